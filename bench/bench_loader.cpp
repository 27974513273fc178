// Loading generated control files into the object tree: the model alone and the real widget.
// Target: cost linear in the number of entries, under 100 ms for 10,000.
#include "config/sceneryloader.h"
#include "widgets/rzchecktree.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A control file of `entries` top-level entries: half plain objects, a quarter groups of three
// members, a quarter switches with two alternatives.
QString writeControlFile(const QTemporaryDir &dir, int entries)
{
    QByteArray objects = "[Szenerie]\r\n", groups = "[Gruppen]\r\n", switches = "[Schalter]\r\n";
    QByteArray sections, states = "[Checked]\r\n";
    for (int i = 0; i < entries; ++i) {
        const QByteArray n = QByteArray::number(i);
        switch (i % 4) {
        case 0:
        case 1:
            objects += "obj" + n + "=Objekt " + n + "\r\n";
            states += "obj" + n + '=' + QByteArray::number(i % 3 == 0 ? 0 : 1) + "\r\n";
            break;
        case 2:
            groups += "grp" + n + "=Gruppe " + n + "\r\n";
            sections += "[grp" + n + "]\r\nChecked=g" + n + "\r\nShow=1\r\n";
            for (int m = 0; m < 3; ++m)
                sections += "mem" + n + '_' + QByteArray::number(m) + "=Teil\r\n";
            states += 'g' + n + "=1\r\n";
            break;
        default:
            switches += "sw" + n + "=Schalter " + n + "\r\n";
            sections
                += "[sw" + n + "]\r\nChecked=s" + n + "\r\nalt" + n + "a=A\r\nalt" + n + "b=B\r\n";
            states += 's' + n + "=0\r\n";
            break;
        }
    }
    const QString path = dir.filePath(QStringLiteral("bench.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the control file");
    file.write("[Settings]\r\nLanguage=german\r\n" + objects + groups + switches + sections
               + states);
    return path;
}

void BM_LoadIntoModel(benchmark::State &bench)
{
    QTemporaryDir dir;
    TSceneryState state;
    state.Scenery = writeControlFile(dir, int(bench.range(0)));
    TCheckTreeModel tree;
    for (auto _ : bench)
        TSceneryLoader(state, tree).ReadIni();
    bench.SetComplexityN(bench.range(0));
}
BENCHMARK(BM_LoadIntoModel)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_LoadIntoWidget(benchmark::State &bench)
{
    QTemporaryDir dir;
    TSceneryState state;
    state.Scenery = writeControlFile(dir, int(bench.range(0)));
    TRzCheckTree tree;
    for (auto _ : bench)
        TSceneryLoader(state, tree.Items()).ReadIni();
    bench.SetComplexityN(bench.range(0));
}
BENCHMARK(BM_LoadIntoWidget)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace
