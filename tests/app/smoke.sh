#!/usr/bin/env bash
# The application as a user meets it on a real X display: under Xvfb with
# openbox it takes Ctrl+2, Ctrl+F, Ctrl+1, Space, the arrows, Ctrl+keypad 2 and
# Escape without dying, and Ctrl+Q ends it with status 0; without any window
# manager Ctrl+Q still quits it. Exit 77 (skipped) when the tools are missing.
set -u
APP="$1"
UNIVERSE="$2"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/x_window.sh"
skip_without_x_tools
unset QT_QPA_PLATFORM  # the real X display, not the offscreen platform of the other tests
export APP UNIVERSE HERE

run_on_display() {  # $1: with-wm or without-wm
    xvfb-run -a -s "-screen 0 1280x800x24" bash -s "$1" <<'INNER'
set -u
mode="$1"
fail() { echo "FAIL ($mode): $*"; [ -n "${app:-}" ] && kill "$app" 2>/dev/null; [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null; exit 1; }
if [ "$mode" = with-wm ]; then openbox >/dev/null 2>&1 & wm=$!; sleep 1; fi
"$APP" "$UNIVERSE" >/tmp/gravitas-smoke-$$.log 2>&1 &
app=$!
source "$HERE/x_window.sh"
wait_for_main_window
sleep 2
press() {
    xdotool key "$1"
    sleep "${2:-0.7}"
    kill -0 "$app" 2>/dev/null || { cat /tmp/gravitas-smoke-$$.log; fail "the application died after $1"; }
}
if [ "$mode" = with-wm ]; then
    xdotool windowactivate --sync "$window" 2>/dev/null
    press ctrl+2 1.5
    press ctrl+f 1.5
    press ctrl+1 1.5
    press space
    press Left; press Right; press Up; press Down
    press ctrl+KP_2
    press space
    press Escape
else
    # No window manager gives the window the focus: keys go where the pointer is.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    sleep 0.5
fi
xdotool key ctrl+q
for _ in $(seq 40); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
kill -0 "$app" 2>/dev/null && fail "Ctrl+Q did not quit"
wait "$app"
status=$?
[ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
[ "$status" -eq 0 ] || { cat /tmp/gravitas-smoke-$$.log; fail "exit status $status"; }
rm -f /tmp/gravitas-smoke-$$.log
echo "ok ($mode)"
INNER
}

run_on_display with-wm || exit 1
run_on_display without-wm || exit 1
