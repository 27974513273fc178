#!/usr/bin/env bash
# Builds, tests and runs the scenery configurator on Debian 12.
#
#   ./build.sh run     install what is missing, build (Release), start the program on the demo
#                      (QT_SCALE_FACTOR=2 ./build.sh run shows it as on a screen of twice the density)
#   ./build.sh test    install what is missing, build, run the whole test suite
#   ./build.sh bench   install what is missing, build, run the benchmarks
#   ./build.sh sanitize  build and test with AddressSanitizer and UndefinedBehaviorSanitizer
#   ./build.sh fuzz    build the libFuzzer targets with clang, run each on 30,000 inputs
#   ./build.sh format  check that every C++ file is formatted as .clang-format says
#   ./build.sh windows       build Qt for Windows once (cached), then the Windows program,
#                            sceneryctl and tests; lay out build-windows/dist/ and its zip
#   ./build.sh windows-test  the above, then the Windows tests and the shipped folder under Wine
#
# Every command is incremental: a second call rebuilds only what changed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
ROOT=$PWD

# Debian packages the build, the tests and the demo need.
PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-private-dev libgl-dev libbenchmark-dev
          xvfb xauth fonts-dejavu-core fonts-liberation fonts-wine)
# The fuzz targets also need clang and its libFuzzer runtime.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

install_packages() {
    local missing=() p
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo=(sudo)
        else
            echo "These Debian packages are missing: ${missing[*]}" >&2
            echo "Install them as root, then run this command again:" >&2
            echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
            exit 1
        fi
    fi
    echo "Installing Debian packages: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures once, then builds incrementally.
build() {
    local preset=$1 dir=$2
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake --preset "$preset"
    fi
    cmake --build --preset "$preset"
}

# Qt wants a private runtime folder; as root none is set.
runtime_dir() {
    if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -w "${XDG_RUNTIME_DIR}" ]; then
        export XDG_RUNTIME_DIR="$ROOT/build/runtime"
        mkdir -p "$XDG_RUNTIME_DIR"
        chmod 700 "$XDG_RUNTIME_DIR"
    fi
}

# The program runs from a copy of the demo scenery, so the user's changes never touch the
# committed files. The executable lies beside the control file, as it is shipped.
stage_demo() {
    local demo="$ROOT/build/demo"
    if [ ! -d "$demo" ]; then
        cp -r "$ROOT/examples/demo" "$demo"
    fi
    cp -f "$ROOT/build/app/scenery-configurator" "$demo/"
}

run_demo() {
    stage_demo
    runtime_dir
    local demo="$ROOT/build/demo"
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
        cd "$demo"
        exec ./scenery-configurator
    fi
    local shot="$ROOT/build/demo-screenshot.png"
    echo "No display found: running under a virtual X server (xvfb-run) and taking a screenshot."
    rm -f "$shot"
    xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
        cd "$1" || exit 1
        ./scenery-configurator & app=$!
        "$2" "$3"; status=$?
        kill $app 2>/dev/null; wait $app 2>/dev/null
        exit $status' _ "$demo" "$ROOT/build/tools/grabscreen" "$shot"
    echo "Screenshot of the window: $shot"
}

# Runs every benchmark program, keeps its results as JSON in build/bench-results/, then prints
# each performance goal beside what was measured. The process benchmarks also measure on X: under
# a virtual X server when there is no display. Fails when a benchmark behind a goal failed.
run_benchmarks() {
    local results="$ROOT/build/bench-results" status=0 b name
    rm -rf "$results"
    mkdir -p "$results"
    for b in "$ROOT"/build/bench/bench_*; do
        [ -f "$b" ] && [ -x "$b" ] || continue
        name=$(basename "$b")
        local run=("$b")
        if [ "$name" = bench_process ] && [ -z "${DISPLAY:-}" ]; then
            run=(xvfb-run -a -s "-screen 0 1600x1200x24" "$b")
        fi
        "${run[@]}" --benchmark_out="$results/$name.json" --benchmark_out_format=json || status=1
    done
    "$ROOT/build/bench/goal_summary" "$results"/*.json || status=1
    echo "Load average (1, 5, 15 min): $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
    return $status
}

# Runs every fuzz target on a scratch copy of its seed corpus (the committed seeds stay as they
# are); fails when any target reports a crash, a sanitizer error, a hang or running out of
# memory. Crashing inputs are kept in build-fuzz/runs/<target>/.
# By default each target runs FUZZ_RUNS inputs from a fixed random seed, so every machine tries
# the same inputs and a failure in CI is one that "./build.sh fuzz" shows here too. With
# FUZZ_SECONDS set, each target instead explores from a new seed for that long.
run_fuzzers() {
    local runs="$ROOT/build-fuzz/runs" failed=() summary=() name limit
    if [ -n "${FUZZ_SECONDS:-}" ]; then
        limit=(-max_total_time="$FUZZ_SECONDS")
    else
        limit=(-runs="${FUZZ_RUNS:-30000}" -seed=1)
    fi
    # Temporary files of the targets go to memory when it can hold them: no disk syncs.
    local tmp="$runs/tmp"
    if [ -d /dev/shm ] && [ -w /dev/shm ]; then tmp=$(mktemp -d /dev/shm/sc-fuzz.XXXXXX); fi
    export LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/lsan.supp"
    for name in inifile htmldraw region; do
        local work="$runs/$name" start=$SECONDS status=0
        rm -rf "$work"
        mkdir -p "$work/corpus" "$runs/tmp"
        cp "$ROOT/tests/fuzz/corpus/$name/"* "$work/corpus/"
        echo "fuzz_$name: ${limit[*]}"
        (cd "$work" && TMPDIR="$tmp" "$ROOT/build-fuzz/tests/fuzz/fuzz_$name" \
            "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
            corpus >log.txt 2>&1) || status=$?
        local runsDone
        runsDone=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt")
        summary+=("fuzz_$name: ${runsDone:-?} executions in $((SECONDS - start))s, exit $status")
        if [ "$status" -ne 0 ]; then
            failed+=("fuzz_$name")
            tail -n 60 "$work/log.txt"
            echo "fuzz_$name failed; log and crashing input in $work" >&2
        fi
    done
    if [ "$tmp" != "$runs/tmp" ]; then rm -rf "$tmp"; fi
    printf '%s\n' "${summary[@]}"
    echo "fuzz: $((3 - ${#failed[@]})) passed, ${#failed[@]} failed"
    if [ ${#failed[@]} -ne 0 ]; then
        echo "Fuzz targets that failed: ${failed[*]}" >&2
        return 1
    fi
}

# Lists the tracked C++ files that clang-format would change; fails when there is one.
check_format() {
    local files=() unformatted=() f
    mapfile -t files < <(git -C "$ROOT" ls-files '*.cpp' '*.h')
    for f in "${files[@]}"; do
        clang-format --dry-run --Werror "$ROOT/$f" >/dev/null 2>&1 || unformatted+=("$f")
    done
    if [ ${#unformatted[@]} -ne 0 ]; then
        echo "Not formatted as .clang-format says (run clang-format -i on them):" >&2
        printf '  %s\n' "${unformatted[@]}" >&2
        return 1
    fi
    echo "format: ${#files[@]} files formatted as .clang-format says"
}

# The Windows commands.
source "$ROOT/tools/windows/commands.sh"

command=${1:-}
case "$command" in
    run)
        install_packages
        build release "$ROOT/build"
        run_demo
        ;;
    test)
        install_packages
        build release "$ROOT/build"
        runtime_dir
        ctest --preset release
        ;;
    bench)
        install_packages
        build release "$ROOT/build"
        runtime_dir
        run_benchmarks
        ;;
    sanitize)
        install_packages
        build sanitize "$ROOT/build-sanitize"
        runtime_dir
        export LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/lsan.supp"
        ctest --preset sanitize
        ;;
    fuzz)
        PACKAGES+=("${FUZZ_PACKAGES[@]}")
        install_packages
        build fuzz "$ROOT/build-fuzz"
        runtime_dir
        run_fuzzers
        ;;
    format)
        PACKAGES=(clang-format git)
        install_packages
        check_format
        ;;
    windows)
        windows_build
        ;;
    windows-test)
        windows_test
        ;;
    *)
        echo "usage: $0 run|test|bench|sanitize|fuzz|format|windows|windows-test" >&2
        exit 2
        ;;
esac
