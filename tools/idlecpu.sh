#!/usr/bin/env bash
# tools/idlecpu.sh [seconds] [rounds]: the CPU the program uses while it idles on the staged demo
# with its status line scrolling, as a share of one core. Each round starts the program, waits
# until it has settled and counts its CPU time over all threads for the given seconds; the
# median of the rounds is the result. Run ./build.sh run once first (it stages build/demo/).
# Without a display it runs under a virtual X server.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-20}
rounds=${2:-5}

# Nanoseconds on a CPU so far, summed over the process's threads.
cputime() {
    cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%.0f", sum }'
}

# One round: the share of one core in per cent.
round() {
    cd "$root/build/demo"
    ./scenery-configurator & local app=$!
    sleep 5 # start-up done, window shown
    local t0 t1
    t0=$(cputime "$app")
    sleep "$seconds"
    t1=$(cputime "$app")
    kill "$app"
    wait "$app" 2>/dev/null || true
    awk -v d=$((t1 - t0)) -v s="$seconds" 'BEGIN { printf "%.2f", 100 * d / 1e9 / s }'
}

measure() {
    local shares=() i share
    for ((i = 1; i <= rounds; i++)); do
        share=$(round)
        echo "round $i: $share % of one core"
        shares+=("$share")
    done
    printf '%s\n' "${shares[@]}" | sort -n | awk '{ v[NR] = $1 } END {
        printf "idle CPU with the status line scrolling: %.2f %% of one core (median of %d rounds of %s s)\n",
            v[int((NR + 1) / 2)], NR, '"$seconds"' }'
}

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$root/build/runtime}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    measure
else
    exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$seconds" "$rounds"
fi
