// Applying 10,000 changed objects on real files, against a bare loop of the same existence
// checks and renames. Target: within 2x of the bare loop, the control file saved once.
#include "checkstate/checktreemodel.h"
#include "config/sceneryapplier.h"
#include "config/sceneryloader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

constexpr int Entries = 10000;

// A program folder with a control file of `Entries` objects, all active on disk.
void prepare(const QTemporaryDir &dir, TSceneryState &state)
{
    QDir(dir.path()).mkpath(QStringLiteral("Scenery"));
    QByteArray ini = "[Szenerie]\r\n";
    for (int i = 0; i < Entries; ++i) {
        const QByteArray key = "obj" + QByteArray::number(i);
        ini += key + "=Objekt\r\n";
        QFile file(dir.filePath(QStringLiteral("Scenery/") + QString::fromLatin1(key + ".bgl")));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot create a scenery file");
    }
    state.Scenery = dir.filePath(QStringLiteral("bench.ini"));
    QFile file(state.Scenery);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the control file");
    file.write(ini);
}

void BM_ApplyChangedEntries(benchmark::State &bench)
{
    QTemporaryDir dir;
    TSceneryState state;
    prepare(dir, state);
    TCheckTreeModel tree;
    TSceneryLoader(state, tree).ReadIni();
    for (auto _ : bench) {
        bench.PauseTiming();
        for (int i = 0; i < tree.Count(); ++i) // the user flips every object
            tree.ToggleCheckState(tree.Item(i));
        bench.ResumeTiming();
        const QList<TRenameFailure> failures = TSceneryApplier(state, tree).Apply();
        if (!failures.isEmpty())
            bench.SkipWithError("a rename failed");
    }
    bench.SetItemsProcessed(bench.iterations() * Entries);
}
BENCHMARK(BM_ApplyChangedEntries)->Unit(benchmark::kMillisecond);

// The same existence checks and renames without a control file or a tree.
void BM_BareRenameLoop(benchmark::State &bench)
{
    QTemporaryDir dir;
    TSceneryState state;
    prepare(dir, state);
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(dir.filePath(QStringLiteral("Scenery")).toStdString());
    bool active = true;
    for (auto _ : bench) {
        active = !active;
        for (int i = 0; i < Entries; ++i) {
            const std::string key = "obj" + std::to_string(i);
            const fs::path bgl = folder / (key + ".bgl"), bg_ = folder / (key + ".bg_");
            const bool hasActive = fs::is_regular_file(bgl), hasInactive = fs::is_regular_file(bg_);
            if (active && !hasActive && hasInactive)
                fs::rename(bg_, bgl);
            else if (!active && !hasInactive && hasActive)
                fs::rename(bgl, bg_);
        }
    }
    bench.SetItemsProcessed(bench.iterations() * Entries);
}
BENCHMARK(BM_BareRenameLoop)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
