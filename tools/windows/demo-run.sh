#!/usr/bin/env bash
# demo-run.sh <folder> <grabscreen> <screenshot.png>: under an X server, starts the shipped
# scenery-configurator.exe in <folder> under Wine, checks the window's title as the window
# system sees it, saves a screenshot, unchecks the first entry with the keyboard, applies, and
# checks the control file and the renamed scenery file. Run by build.sh windows-test.
set -euo pipefail
trap 'echo "demo-run.sh: failed at line $LINENO" >&2' ERR
folder=$1 grabscreen=$2 shot=$3
cd "$folder"
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM

first_state() { tr -d '\r' <Musterhafen.ini | sed -n '/^\[Checked\]/,/^\[/p' | grep -m1 '^tower='; }
[ "$(first_state)" = "tower=1" ] && [ -f Scenery/tower.bgl ]

/usr/lib/wine/wine64 scenery-configurator.exe & app=$!
trap 'kill $app 2>/dev/null; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT

# The title exactly: nothing appended by the toolkit.
window=$(timeout 90 xdotool search --sync --onlyvisible --name '^ScenForm1$' | head -n 1)
echo "Window ScenForm1 found: $(xdotool getwindowgeometry "$window" | tr '\n' ' ')"
"$grabscreen" "$shot"

# The first entry of the tree is the tower: select it with a click on its text, uncheck it
# with Space, then press Apply.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 80)) $((Y + 96)) click 1
sleep 1
xdotool key space
sleep 1
xdotool mousemove $((X + 319)) $((Y + 368)) click 1
for _ in $(seq 1 20); do
    if [ "$(first_state)" = "tower=0" ] && [ -f Scenery/tower.bg_ ]; then
        echo "Applied from the shipped folder: [Checked] tower=0, Scenery/tower.bg_"
        exit 0
    fi
    sleep 1
done
echo "Apply did not reach the disk: $(first_state); $(ls Scenery | tr '\n' ' ')" >&2
"$grabscreen" "${shot%.png}-failed.png" || true
exit 1
