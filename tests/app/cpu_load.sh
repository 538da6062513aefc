#!/usr/bin/env bash
# How much of a core the demo takes on a real X display (Xvfb with openbox) with its
# main window at 1280 x 800: the process's own CPU time (user + system, from
# /proc/PID/stat) over a stretch of wall time, running and then paused. CPU time
# counts only what the application itself spent, so other work on the machine does
# not inflate it. Limits: GRAVITAS_CPU_RUNNING_MAX and GRAVITAS_CPU_PAUSED_MAX (per
# cent of one core, default 35 and 20); GRAVITAS_CPU_SECONDS the stretch (default 5).
# Exit 77 (skipped) when the tools are missing.
set -u
APP="$1"
UNIVERSE="$2"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/x_window.sh"
skip_without_x_tools
private_settings  # the user's own settings stay untouched
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
export APP UNIVERSE HERE
export RUNNING_MAX="${GRAVITAS_CPU_RUNNING_MAX:-35}" PAUSED_MAX="${GRAVITAS_CPU_PAUSED_MAX:-20}"
export SECONDS_MEASURED="${GRAVITAS_CPU_SECONDS:-5}"

xvfb-run -a -s "-screen 0 1600x1000x24" bash -s <<'INNER'
set -u
fail() { echo "FAIL: $*"; kill "$app" "$wm" 2>/dev/null; exit 1; }
openbox >/dev/null 2>&1 & wm=$!
sleep 1
"$APP" "$UNIVERSE" >/tmp/gravitas-cpu-$$.log 2>&1 &
app=$!
source "$HERE/x_window.sh"
wait_for_main_window
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool windowsize --sync "$window" 1280 800
xdotool windowactivate --sync "$window" 2>/dev/null
sleep 3
ticks=$(getconf CLK_TCK)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }  # after the ")" of the name: no spaces in it
# Per cent of one core over SECONDS_MEASURED of wall time.
measure() {
    local c0 c1 t0 t1
    c0=$(cpu_ticks); t0=$(date +%s.%N)
    sleep "$SECONDS_MEASURED"
    c1=$(cpu_ticks); t1=$(date +%s.%N)
    awk -v c="$((c1 - c0))" -v hz="$ticks" -v t0="$t0" -v t1="$t1" 'BEGIN { printf "%.1f", 100 * c / hz / (t1 - t0) }'
}
running=$(measure)
xdotool key space
sleep 1
paused=$(measure)
xdotool key space
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "window ${WIDTH}x${HEIGHT}: running ${running} % of a core (limit ${RUNNING_MAX}), paused ${paused} % (limit ${PAUSED_MAX})"
xdotool key ctrl+q
for _ in $(seq 40); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
kill "$app" "$wm" 2>/dev/null
awk -v r="$running" -v p="$paused" -v rm="$RUNNING_MAX" -v pm="$PAUSED_MAX" 'BEGIN { exit !(r <= rm && p <= pm) }' ||
    fail "more CPU than allowed"
echo PASS
INNER
