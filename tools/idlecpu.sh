#!/usr/bin/env bash
# tools/idlecpu.sh [seconds]: the CPU the program uses while it idles on the staged demo with
# its status line scrolling, as a share of one core. Run ./build.sh run once first (it stages
# build/demo/). Without a display it runs under a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-20}
# Nanoseconds on a CPU so far, summed over the process's threads.
cputime() {
    cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%d", sum }'
}
measure() {
    cd "$root/build/demo"
    ./scenery-configurator & app=$!
    sleep 5 # start-up done, window shown
    local t0 t1
    t0=$(cputime "$app")
    sleep "$seconds"
    t1=$(cputime "$app")
    kill "$app"
    awk -v d=$((t1 - t0)) -v s="$seconds" \
        'BEGIN { printf "idle CPU with the status line scrolling: %.2f %% of one core\n", 100 * d / 1e9 / s }'
}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$root/build/runtime}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    measure
else
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$seconds"
fi
