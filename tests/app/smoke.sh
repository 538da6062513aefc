#!/usr/bin/env bash
# The application as a user meets it on a real X display: under Xvfb with
# openbox it takes Ctrl+2, Ctrl+F, Ctrl+1, Space, the arrows, Ctrl+keypad 2,
# Escape, the wheel (plain and with Shift), -, +, = and Page Up/Down, and right
# and middle drags without dying; a double-click on the Sun makes the camera
# follow it (the title shows the change), and Ctrl+Q ends it with status 0;
# without any window manager Ctrl+Q still quits it. Exit 77 (skipped) when the
# tools are missing.
set -u
APP="$1"
UNIVERSE="$2"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/x_window.sh"
skip_without_x_tools import convert
private_settings  # the user's own settings stay untouched
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
    # Moving around without a keypad, the pointer over the 3-D view.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    xdotool click 4 click 4 click 5
    xdotool keydown shift click 4 click 5 keyup shift
    sleep 0.5
    press minus 0.3; press plus 0.3; press equal 0.3; press Prior 0.3; press Next 0.3
    xdotool mousedown 3 mousemove_relative 0 -30 mouseup 3
    xdotool mousedown 2 mousemove_relative 30 0 mouseup 2
    sleep 0.5
    # Stopped (Escape always stops), the Sun, the only pale yellow point, stays where it was drawn.
    press Escape 1
    case "$(xdotool getwindowname "$window")" in *"*"*) fail "modified before any change";; esac
    import -window "$window" /tmp/gravitas-smoke-$$.png 2>/dev/null
    sun=$(convert /tmp/gravitas-smoke-$$.png txt:- 2>/dev/null | grep -m1 '#FFFFA5' | cut -d: -f1)
    rm -f /tmp/gravitas-smoke-$$.png
    [ -n "$sun" ] || fail "the Sun is not in view"
    xdotool mousemove --window "$window" "${sun%,*}" "${sun#*,}"
    xdotool click --repeat 2 --delay 80 1
    sleep 1.5
    kill -0 "$app" 2>/dev/null || fail "the application died after a double-click"
    case "$(xdotool getwindowname "$window")" in *"*"*) ;; *) fail "a double-click on the Sun did not follow it";; esac
    press ctrl+z
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
