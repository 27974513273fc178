// Whole processes as the user meets them, each against a yardstick run the same way: start-up to
// the main window's first paint with its tree filled (demo, 10,000 and 100,000 entries) against
// an empty window of the same size; the peak memory of the window and of sceneryctl with 100,000
// entries; sceneryctl apply (a dry run) naming 1,000 and 8,000 entries of 100,000; and the idle CPU
// of the window while its status line scrolls, against an empty window that repaints a strip as
// often. The program and its yardstick run as interleaved pairs; the counters are medians.
// Offscreen always; on X too when DISPLAY is set.
#include "bench/childprocess.h"
#include "bench/generatedscenery.h"
#include "bench/samplestats.h"
#include "bench/stagedscenery.h"

#include <QFileInfo>
#include <QMap>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

using TEnvironment = QList<QPair<QByteArray, QByteArray>>;
using SampleStats::Median;

const QString WindowProgram = QStringLiteral(SC_STARTUP_WINDOW);
const QString EmptyProgram = QStringLiteral(SC_STARTUP_EMPTY);
const QString CtlProgram = QStringLiteral(SC_SCENERYCTL);
const QString Generator = QStringLiteral(SC_MAKE_SCENERY);
constexpr int LargeScenery = 100000;

TEnvironment platformEnvironment(const char *platform)
{
    return {{"QT_QPA_PLATFORM", platform}};
}

int environmentNumber(const char *name, int otherwise)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : otherwise;
}

// The folders that are only read are staged once per program run and shared.
const TStagedScenery &sharedScenery(int entries)
{
    static QMap<int, std::shared_ptr<TStagedScenery>> staged;
    if (!staged.contains(entries)) {
        const QStringList programs{WindowProgram, EmptyProgram};
        staged.insert(entries,
                      std::make_shared<TStagedScenery>(
                          entries == 0
                              ? TStagedScenery::CopyOf(QStringLiteral(SC_DEMO_DIR), programs)
                              : TStagedScenery::Generated(Generator, entries, programs)));
    }
    return *staged.value(entries);
}

// Runs one of the probe programs in the folder; a window must have shown its rows. Ends the
// benchmark with an error and returns false when the run failed.
bool runProbe(benchmark::State &bench, const TStagedScenery &folder, const QString &program,
              const QStringList &arguments, const TEnvironment &environment, TChildRun &run)
{
    run = RunChild(folder.Program(program), arguments, folder.Folder(), environment);
    QString failure;
    if (!run.Succeeded())
        failure = run.Failure();
    else if (program == WindowProgram && run.OutputValue("shown-rows") <= 0)
        failure = QStringLiteral("the window's tree stayed empty");
    if (failure.isEmpty())
        return true;
    bench.SkipWithError(qPrintable(QFileInfo(program).fileName() + QStringLiteral(": ") + failure));
    return false;
}

// The shared folder of `entries` entries (0: the demo); none, and the benchmark ended with an
// error, when it could not be staged.
const TStagedScenery *stagedOrSkip(benchmark::State &bench, int entries)
{
    const TStagedScenery &folder = sharedScenery(entries);
    if (folder.Error().isEmpty())
        return &folder;
    bench.SkipWithError(qPrintable(folder.Error()));
    return nullptr;
}

// One pair of runs: the program and the empty window with the same arguments, the window first
// or second as the caller alternates them.
bool runPair(benchmark::State &bench, const TStagedScenery &folder, const QStringList &arguments,
             const TEnvironment &environment, bool windowFirst, TChildRun &window, TChildRun &empty)
{
    if (windowFirst)
        return runProbe(bench, folder, WindowProgram, arguments, environment, window)
            && runProbe(bench, folder, EmptyProgram, arguments, environment, empty);
    return runProbe(bench, folder, EmptyProgram, arguments, environment, empty)
        && runProbe(bench, folder, WindowProgram, arguments, environment, window);
}

// Start-up of the program and of the empty window, as interleaved pairs, each pair in the other
// order than the one before.
void startup(benchmark::State &bench, int entries, const TEnvironment &environment)
{
    const TStagedScenery *staged = stagedOrSkip(bench, entries);
    if (!staged)
        return;
    const TStagedScenery &folder = *staged;
    std::vector<double> windowWall, windowCpu, windowPeak, emptyWall, emptyCpu, emptyPeak;
    bool windowFirst = true;
    for (auto _ : bench) {
        TChildRun window, empty;
        if (!runPair(bench, folder, {}, environment, windowFirst, window, empty))
            break;
        windowFirst = !windowFirst;
        bench.SetIterationTime(window.WallSeconds);
        windowWall.push_back(window.WallSeconds);
        windowCpu.push_back(window.CpuSeconds);
        windowPeak.push_back(window.PeakRssMiB);
        emptyWall.push_back(empty.WallSeconds);
        emptyCpu.push_back(empty.CpuSeconds);
        emptyPeak.push_back(empty.PeakRssMiB);
    }
    if (windowWall.empty())
        return;
    bench.counters["window_wall_s"] = Median(windowWall);
    bench.counters["window_cpu_s"] = Median(windowCpu);
    bench.counters["window_peak_MiB"] = Median(windowPeak);
    bench.counters["empty_wall_s"] = Median(emptyWall);
    bench.counters["empty_cpu_s"] = Median(emptyCpu);
    bench.counters["empty_peak_MiB"] = Median(emptyPeak);
    bench.counters["wall_ratio"] = Median(windowWall) / Median(emptyWall);
    bench.counters["cpu_ratio"] = Median(windowCpu) / Median(emptyCpu);
}

// sceneryctl reading the large scenery: its peak memory, and that it read every entry.
void ctlReading(benchmark::State &bench, const QString &command)
{
    const TStagedScenery *staged = stagedOrSkip(bench, LargeScenery);
    if (!staged)
        return;
    const TStagedScenery &folder = *staged;
    std::vector<double> peak, cpu;
    for (auto _ : bench) {
        const TChildRun run = RunChild(CtlProgram, {QStringLiteral("-C"), folder.Folder(), command},
                                       folder.Folder());
        if (!run.Succeeded()) {
            bench.SkipWithError(
                qPrintable(QStringLiteral("sceneryctl %1: ").arg(command) + run.Failure()));
            break;
        }
        if (run.Output.count('\n') < LargeScenery) {
            bench.SkipWithError(qPrintable(QStringLiteral("sceneryctl %1 named only %2 lines")
                                               .arg(command)
                                               .arg(run.Output.count('\n'))));
            break;
        }
        bench.SetIterationTime(run.WallSeconds);
        peak.push_back(run.PeakRssMiB);
        cpu.push_back(run.CpuSeconds);
    }
    bench.counters["peak_MiB"] = Median(peak);
    bench.counters["cpu_s"] = Median(cpu);
}

// sceneryctl apply --dry-run naming `names` checked entries spread over the large scenery: it
// finds each name, changes the tree and works out every state and rename as an apply does, but
// leaves the folder as it is for the next run.
void ctlApply(benchmark::State &bench, int names)
{
    const TStagedScenery *staged = stagedOrSkip(bench, LargeScenery);
    if (!staged)
        return;
    const TStagedScenery &folder = *staged;
    QStringList arguments{QStringLiteral("-C"), folder.Folder(), QStringLiteral("apply"),
                          QStringLiteral("--dry-run")};
    {
        const QStringList checked = GeneratedScenery::CheckedEntries(LargeScenery);
        for (int i = 0; i < names; ++i)
            arguments << QStringLiteral("--off")
                      << checked.at(qsizetype(i) * checked.size() / names);
    }
    std::vector<double> wall, cpu;
    for (auto _ : bench) {
        const TChildRun run = RunChild(CtlProgram, arguments, folder.Folder());
        if (!run.Succeeded()) {
            bench.SkipWithError(qPrintable(QStringLiteral("sceneryctl apply: ") + run.Failure()));
            break;
        }
        const qsizetype renames
            = run.Output.count("\nwould rename ") + run.Output.startsWith("would rename ");
        if (renames < names) {
            bench.SkipWithError(qPrintable(QStringLiteral("sceneryctl apply would rename %1 files "
                                                          "for %2 names")
                                               .arg(renames)
                                               .arg(names)));
            break;
        }
        bench.SetIterationTime(run.WallSeconds);
        wall.push_back(run.WallSeconds);
        cpu.push_back(run.CpuSeconds);
    }
    bench.counters["wall_s"] = Median(wall);
    bench.counters["cpu_s"] = Median(cpu);
    bench.counters["ms_per_name"] = 1000 * Median(wall) / names;
}

// Idle CPU with the status line scrolling: rounds of the program and the empty window, each
// measured by the probe inside the process over the same seconds after it has settled.
void idleCpu(benchmark::State &bench, const TEnvironment &environment)
{
    const TStagedScenery *staged = stagedOrSkip(bench, 0);
    if (!staged)
        return;
    const TStagedScenery &folder = *staged;
    const QStringList arguments{QStringLiteral("--idle"),
                                QString::number(environmentNumber("SC_IDLE_SECONDS", 10))};
    std::vector<double> window, empty;
    bool windowFirst = true;
    for (auto _ : bench) {
        TChildRun windowRun, emptyRun;
        if (!runPair(bench, folder, arguments, environment, windowFirst, windowRun, emptyRun))
            break;
        const double windowShare = windowRun.OutputValue("idle-cpu-percent");
        const double emptyShare = emptyRun.OutputValue("idle-cpu-percent");
        if (windowShare < 0 || emptyShare < 0) {
            bench.SkipWithError("a probe printed no idle CPU");
            break;
        }
        windowFirst = !windowFirst;
        bench.SetIterationTime(windowRun.WallSeconds);
        window.push_back(windowShare);
        empty.push_back(emptyShare);
        std::printf("idle round %zu: window %.2f %%, empty window %.2f %% of one core\n",
                    window.size(), windowShare, emptyShare);
        std::fflush(stdout);
    }
    if (window.empty())
        return;
    bench.counters["window_pct"] = Median(window);
    bench.counters["empty_pct"] = Median(empty);
    bench.counters["window_max_pct"] = SampleStats::Largest(window);
    bench.counters["ratio"] = Median(window) / Median(empty);
}

void registerPlatform(const char *name, const char *platform, bool withSizes)
{
    const TEnvironment environment = platformEnvironment(platform);
    const std::string suffix = std::string("/") + name;
    benchmark::RegisterBenchmark(
        ("BM_Startup/demo" + suffix).c_str(),
        [environment](benchmark::State &bench) { startup(bench, 0, environment); })
        ->Iterations(10)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    if (withSizes) {
        for (const int entries : {10000, LargeScenery}) {
            benchmark::RegisterBenchmark(("BM_Startup/" + std::to_string(entries) + suffix).c_str(),
                                         [environment, entries](benchmark::State &bench) {
                                             startup(bench, entries, environment);
                                         })
                ->Iterations(entries == LargeScenery ? 3 : 6)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    registerPlatform("offscreen", "offscreen", true);
    const bool x = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (x)
        registerPlatform("x", "xcb", false);
    for (const char *command : {"list", "check"}) {
        benchmark::RegisterBenchmark(
            (std::string("BM_CtlRead/") + command).c_str(),
            [command](benchmark::State &bench) { ctlReading(bench, QString::fromLatin1(command)); })
            ->Iterations(2)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    for (const int names : {1000, 8000}) {
        benchmark::RegisterBenchmark(("BM_CtlApply/" + std::to_string(names)).c_str(),
                                     [names](benchmark::State &bench) { ctlApply(bench, names); })
            ->Iterations(2)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    // Idle CPU where the user sees it: on X when there is one.
    const TEnvironment idleEnvironment = platformEnvironment(x ? "xcb" : "offscreen");
    benchmark::RegisterBenchmark(
        x ? "BM_IdleCpu/x" : "BM_IdleCpu/offscreen",
        [idleEnvironment](benchmark::State &bench) { idleCpu(bench, idleEnvironment); })
        ->Iterations(environmentNumber("SC_IDLE_ROUNDS", 5))
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
