// Loading generated control files into the object tree: the model alone and the real widget,
// from 1,000 to 1,000,000 entries, with the memory the loaded tree keeps per entry; and the
// user's first click on a group of 10,000 and of 100,000 members in the widget.
// Target: cost linear in the number of entries, under 100 ms for 10,000.
#include "config/sceneryloader.h"
#include "widgets/rzchecktree.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <optional>

#ifdef Q_OS_LINUX
#include <malloc.h>
#include <unistd.h>
#endif

namespace {

// A control file of `entries` top-level entries: half plain objects, a quarter groups of three
// members, a quarter switches with two alternatives. Short keys keep a million entries within
// the largest control file the loader reads (64 MiB).
QString writeControlFile(const QTemporaryDir &dir, int entries)
{
    QByteArray objects = "[Szenerie]\r\n", groups = "[Gruppen]\r\n", switches = "[Schalter]\r\n";
    QByteArray sections, states = "[Checked]\r\n";
    for (int i = 0; i < entries; ++i) {
        const QByteArray n = QByteArray::number(i);
        switch (i % 4) {
        case 0:
        case 1:
            objects += 'o' + n + "=Objekt " + n + "\r\n";
            states += 'o' + n + '=' + QByteArray::number(i % 3 == 0 ? 0 : 1) + "\r\n";
            break;
        case 2:
            groups += 'g' + n + "=Gruppe " + n + "\r\n";
            sections += "[g" + n + "]\r\nChecked=g" + n + "\r\n";
            for (int m = 0; m < 3; ++m)
                sections += 'm' + n + '_' + QByteArray::number(m) + "=T\r\n";
            states += 'g' + n + "=1\r\n";
            break;
        default:
            switches += 's' + n + "=Schalter " + n + "\r\n";
            sections += "[s" + n + "]\r\nChecked=s" + n + "\r\n" + 's' + n + "a=A\r\n" + 's' + n
                + "b=B\r\n";
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

// A control file with one checked group of `members` members.
QString writeGroupFile(const QTemporaryDir &dir, int members)
{
    QByteArray group = "[grp]\r\nChecked=g\r\n";
    for (int m = 0; m < members; ++m)
        group += "mem" + QByteArray::number(m) + "=Teil " + QByteArray::number(m) + "\r\n";
    const QString path = dir.filePath(QStringLiteral("group.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the control file");
    file.write("[Settings]\r\nLanguage=german\r\n[Szenerie]\r\n[Gruppen]\r\ngrp=Fahrzeuge\r\n"
               + group + "[Checked]\r\ng=1\r\n");
    return path;
}

// The memory the process holds, after the allocator has handed back what it no longer uses, so
// that the growth over a load is what the loaded tree keeps.
qint64 residentBytes()
{
#ifdef Q_OS_LINUX
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
#else
    return 0;
#endif
}

// Loads the file into tree untimed: once for the counter "bytes/entry", the growth of the resident
// memory per entry, and once more to fault in again what the measuring handed back to the system.
// Then once per iteration: the timed loads are reloads at every size, so that a large size, run
// for few iterations, does not carry a first load's fresh pages that a small size spreads over
// many iterations.
void loadInto(benchmark::State &bench, TCheckTreeModel &tree, TSceneryState &state,
              qint64 residentBefore)
{
    TSceneryLoader(state, tree).ReadIni();
    if (tree.Count() == 0) {
        bench.SkipWithError("the control file was not read");
        return;
    }
    bench.counters["bytes/entry"]
        = double(residentBytes() - residentBefore) / double(bench.range(0));
    TSceneryLoader(state, tree).ReadIni();
    for (auto _ : bench)
        TSceneryLoader(state, tree).ReadIni();
    bench.SetComplexityN(bench.range(0));
}

void BM_LoadIntoModel(benchmark::State &bench)
{
    QTemporaryDir dir;
    TSceneryState state;
    state.Scenery = writeControlFile(dir, int(bench.range(0)));
    const qint64 before = residentBytes();
    TCheckTreeModel tree;
    loadInto(bench, tree, state, before);
}

void BM_LoadIntoWidget(benchmark::State &bench)
{
    QTemporaryDir dir;
    TSceneryState state;
    state.Scenery = writeControlFile(dir, int(bench.range(0)));
    const qint64 before = residentBytes();
    TRzCheckTree tree;
    loadInto(bench, tree.Items(), state, before);
}

// Few iterations for the large sizes: a million entries take seconds. 100,000 is loaded more
// than once, so that it is compared with 10,000 on reloads too.
void sizes(benchmark::internal::Benchmark *b)
{
    b->Unit(benchmark::kMillisecond)->Complexity();
    b->Arg(1000)->Arg(10000);
}
BENCHMARK(BM_LoadIntoModel)->Apply(sizes);
BENCHMARK(BM_LoadIntoModel)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIntoModel)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIntoWidget)->Apply(sizes);
BENCHMARK(BM_LoadIntoWidget)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIntoWidget)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

// A left click at the middle of the item's check area, as the user's pointer gives it.
void clickCheckArea(TRzCheckTree &tree, const QModelIndex &index)
{
    const QPointF at = tree.CheckArea(index).center();
    const QPointF global = tree.viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(tree.viewport(), &release);
}

// The first click on the check box of a loaded and shown group: the group and every member
// change their state, and the view shows it.
void BM_FirstClickOnLargeGroup(benchmark::State &bench)
{
    QTemporaryDir dir;
    TSceneryState state;
    state.Scenery = writeGroupFile(dir, int(bench.range(0)));
    // The tree of one iteration is destroyed in the next one's pause.
    std::optional<TRzCheckTree> view;
    for (auto _ : bench) {
        bench.PauseTiming();
        view.reset();
        TRzCheckTree &tree = view.emplace();
        TSceneryLoader(state, tree.Items()).ReadIni();
        tree.resize(365, 229);
        tree.show();
        QCoreApplication::processEvents();
        tree.grab();
        const QModelIndex group = tree.model()->index(0, 0);
        bench.ResumeTiming();

        clickCheckArea(tree, group);
        QCoreApplication::processEvents();

        bench.PauseTiming();
        const bool reached = tree.GetItemState(0) == csUnchecked
            && tree.GetItemState(int(bench.range(0))) == csUnchecked;
        bench.ResumeTiming();
        if (!reached) {
            bench.SkipWithError("the click did not reach the group and its members");
            break;
        }
    }
}
BENCHMARK(BM_FirstClickOnLargeGroup)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace
