#!/usr/bin/env bash
# tools/idlecpu.sh [seconds] [rounds]: the CPU the program uses while it idles on the demo with its
# status line scrolling, against an empty window that repaints a strip of the status line's size
# as often, as shares of one core. It runs the idle benchmark of bench_process: rounds of both,
# each measured inside the process over the given whole seconds after it has settled; it prints
# every round and the medians. Build first (./build.sh test or ./build.sh bench). Without a
# display it runs under a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export SC_IDLE_SECONDS=${1:-10} SC_IDLE_ROUNDS=${2:-5}
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR=$root/build/runtime
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
fi
bench=("$root/build/bench/bench_process" --benchmark_filter='^BM_IdleCpu/')
if [ -n "${DISPLAY:-}" ]; then
    exec "${bench[@]}"
fi
exec xvfb-run -a -s "-screen 0 1600x1200x24" "${bench[@]}"
