#!/usr/bin/env bash
# Builds, tests and runs the scenery configurator on Debian 12.
#
#   ./build.sh run     install what is missing, build (Release), start the program on the demo
#   ./build.sh test    install what is missing, build, run the whole test suite
#   ./build.sh bench   install what is missing, build, run the benchmarks
#   ./build.sh sanitize  build and test with AddressSanitizer and UndefinedBehaviorSanitizer
#
# Every command is incremental: a second call rebuilds only what changed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
ROOT=$PWD

# Debian packages the build, the tests and the demo need.
PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev libbenchmark-dev
          xvfb xauth fonts-dejavu-core fonts-liberation fonts-wine)

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
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        cd "$1" || exit 1
        ./scenery-configurator & app=$!
        "$2" "$3"; status=$?
        kill $app 2>/dev/null; wait $app 2>/dev/null
        exit $status' _ "$demo" "$ROOT/build/tools/grabscreen" "$shot"
    echo "Screenshot of the window: $shot"
}

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
        for b in "$ROOT"/build/bench/bench_*; do
            if [ -f "$b" ] && [ -x "$b" ]; then "$b"; fi
        done
        ;;
    sanitize)
        install_packages
        build sanitize "$ROOT/build-sanitize"
        runtime_dir
        ctest --preset sanitize
        ;;
    *)
        echo "usage: $0 run|test|bench|sanitize" >&2
        exit 2
        ;;
esac
