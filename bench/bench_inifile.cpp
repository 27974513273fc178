#include "config/inifile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString objects = QStringLiteral("Szenerie");
const QString states = QStringLiteral("Checked");

QString key(int i)
{
    return QStringLiteral("object_%1").arg(i, 5, 10, QLatin1Char('0'));
}

// A control file with `count` objects: a caption each in the object list and a state each in the
// state section, Windows-1252 with CR LF like the files the configurator ships with.
QString controlFile(int count)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("scenery-%1.ini").arg(count));
    if (QFile::exists(path))
        return path;
    QByteArray text = "[Settings]\r\nLanguage=german\r\n\r\n[Szenerie]\r\n";
    for (int i = 0; i < count; ++i)
        text += key(i).toLatin1() + "=Geb\xE4ude Nummer " + QByteArray::number(i) + "\r\n";
    text += "\r\n[Checked]\r\n";
    for (int i = 0; i < count; ++i)
        text += key(i).toLatin1() + '=' + QByteArray::number(i % 2) + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write the benchmark's control file");
    return path;
}

void readAllEntries(benchmark::State &state)
{
    const QString path = controlFile(int(state.range(0)));
    for (auto _ : state) {
        const TIniFile ini(path);
        QStringList keys;
        ini.ReadSection(objects, keys);
        qint64 checked = 0;
        for (const QString &name : std::as_const(keys)) {
            benchmark::DoNotOptimize(ini.ReadString(objects, name, QString()));
            checked += ini.ReadInteger(states, name, 1);
        }
        benchmark::DoNotOptimize(checked);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(readAllEntries)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// All states changed in one accessor and saved with one rewrite, as apply does.
void writeAllStates(benchmark::State &state)
{
    const int count = int(state.range(0));
    const QString path = controlFile(count);
    int round = 0;
    for (auto _ : state) {
        ++round; // every round changes every value, so every round rewrites the file
        TIniFile ini(path);
        for (int i = 0; i < count; ++i)
            ini.WriteInteger(states, key(i), (i + round) % 2);
        ini.UpdateFile();
    }
}
BENCHMARK(writeAllStates)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
