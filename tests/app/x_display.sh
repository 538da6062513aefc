#!/usr/bin/env bash
# The real application on a real X display (Xvfb, with openbox unless told
# otherwise), its settings in a folder of the test's own. $1: the program,
# $2: a universe, $3: what to try:
#   keys      Ctrl+2, Ctrl+F, Ctrl+1, Space, arrows, Ctrl+keypad 2, Escape, the wheel (plain
#             and with Shift), -, +, =, Page Up/Down and right and middle drags without
#             dying; a double-click on the Sun follows it (it comes to the middle; nothing to save);
#             Ctrl+Q ends it with status 0, also without a window manager.
#   remember  a main window moved and resized comes back after a restart, the universe
#             opened is in the recent list, and a place off the screen or a damaged
#             settings file leaves the default place.
#   cpu       the share of a core the demo takes at 1280 x 800, running and paused
#             (process CPU time; limits GRAVITAS_CPU_RUNNING_MAX and _PAUSED_MAX, per cent).
# Exit 77 (skipped) when the tools are missing.
set -u
APP="$1" UNIVERSE="$2" MODE="$3"
for tool in xvfb-run openbox xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (scripts/test installs it)"; exit 77; }
done
XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
export APP UNIVERSE MODE XDG_CONFIG_HOME RUNNING_MAX="${GRAVITAS_CPU_RUNNING_MAX:-35}" PAUSED_MAX="${GRAVITAS_CPU_PAUSED_MAX:-20}"

SCREEN=1280x800; [ "$MODE" = cpu ] && SCREEN=1600x1000
# From a display number of its own choosing: two runs that both start at :99 can race for it.
# -noreset: without it the server resets when its last client leaves (the window manager killed
# after the application quit), and a program connecting during the reset is turned away.
xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 ${SCREEN}x24 -noreset" bash -s <<'INNER'
set -u
LOG="$XDG_CONFIG_HOME/run.log" CONF="$XDG_CONFIG_HOME/Gravitas/Gravitas.conf"
fail() { echo "FAIL ($MODE): $*"; cat "$LOG"; kill "${app:-}" "${wm:-}" 2>/dev/null; exit 1; }
with_wm() { openbox >/dev/null 2>&1 & wm=$!; sleep 1; }
start() {  # starts the application with the given arguments and waits for its main window
    "$APP" "$@" >"$LOG" 2>&1 & app=$!
    for _ in $(seq 60); do
        window=$(xdotool search --onlyvisible --name '(^| — )Gravitas$' 2>/dev/null | head -1)
        [ -n "$window" ] && { sleep 2; return; }
        kill -0 "$app" 2>/dev/null || fail "the application ended before its window came up"
        sleep 0.5
    done
    fail "no main window after 30 s"
}
quit() {
    [ -n "${wm:-}" ] && xdotool windowactivate --sync "$window" 2>/dev/null
    xdotool key ctrl+q
    for _ in $(seq 40); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
    kill -0 "$app" 2>/dev/null && fail "Ctrl+Q did not quit"
    wait "$app" || fail "exit status $?"
}
press() { xdotool key "$1"; sleep "${2:-0.5}"; kill -0 "$app" 2>/dev/null || fail "the application died after $1"; }
place() { xdotool getwindowgeometry --shell "$window" | grep -v '^WINDOW=' | tr -s '\n' ' '; }
modified() { case "$(xdotool getwindowname "$window")" in *"*"*) return 0;; esac; return 1; }

case "$MODE" in
keys)
    with_wm
    start "$UNIVERSE"
    xdotool windowactivate --sync "$window" 2>/dev/null
    for k in ctrl+2 ctrl+f ctrl+1; do press $k 1.5; done
    for k in space Left Right Up Down ctrl+KP_2 space Escape; do press $k; done
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 4 click 4 click 5 keydown shift click 4 click 5 keyup shift
    for k in minus plus equal Prior Next; do press $k 0.3; done
    xdotool mousedown 3 mousemove_relative 0 -30 mouseup 3 mousedown 2 mousemove_relative 30 0 mouseup 2
    press Escape 1  # stopped: the Sun, the only pale yellow point, stays where it was drawn
    modified && fail "modified before any change"
    # The view may still be settling after the wheel and the drags (for longer on a busy
    # machine): the Sun is clicked where two looks half a second apart agree it is.
    sun="" seen=""
    for _ in $(seq 20); do
        import -window "$window" "$XDG_CONFIG_HOME/shot.png" 2>/dev/null
        sun=$(convert "$XDG_CONFIG_HOME/shot.png" txt:- 2>/dev/null | grep -m1 '#FFFFA5' | cut -d: -f1)
        [ -n "$sun" ] && [ "$sun" = "$seen" ] && break
        seen=$sun
        sleep 0.5
    done
    [ -n "$sun" ] || fail "the Sun is not in view"
    xdotool mousemove --window "$window" "${sun%,*}" "${sun#*,}" click --repeat 2 --delay 80 1
    # Following is a view change: the Sun comes to the middle (the eye eases there, slower on a
    # busy machine), and there is nothing to save.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    for _ in $(seq 20); do
        sleep 0.5
        import -window "$window" "$XDG_CONFIG_HOME/shot.png" 2>/dev/null
        middle=$(convert "$XDG_CONFIG_HOME/shot.png" -crop "1x1+$((WIDTH / 2))+$((HEIGHT / 2))" txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}')
        [ "$middle" = "#FFFFA5" ] && break
    done
    modified && fail "following a body asks to be saved"
    [ "$middle" = "#FFFFA5" ] || fail "a double-click on the Sun at $sun did not follow it (the middle of the view is ${middle:-unknown})"
    press ctrl+z
    quit
    kill "$wm"; unset wm
    start "$UNIVERSE"  # no window manager gives the focus: keys go where the pointer is
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    sleep 0.5
    quit;;
remember)
    with_wm
    start "$UNIVERSE"
    default=$(place)
    xdotool windowsize "$window" 640 420 windowmove "$window" 210 150
    sleep 1
    moved=$(place)
    [ "$moved" != "$default" ] || fail "the window did not move"
    quit
    grep -q "^main=" "$CONF" || fail "no place remembered: $(cat "$CONF")"
    grep -q "^file1=$(realpath "$UNIVERSE")$" "$CONF" || fail "the universe is not in the recent list: $(cat "$CONF")"
    start
    [ "$(place)" = "$moved" ] || fail "after a restart the window is at [$(place)], it was left at [$moved]"
    quit
    sed -i 's/^main=.*/main=3000 200 640 420/' "$CONF"  # a screen that is gone
    start
    [ "$(place)" = "$default" ] || fail "a place off every screen was used: [$(place)], default [$default]"
    quit
    head -c 3000 /dev/urandom >"$CONF"
    start
    [ "$(place)" = "$default" ] || fail "a damaged settings file moved the window: [$(place)]"
    quit;;
cpu)
    with_wm
    start "$UNIVERSE"
    xdotool windowactivate --sync "$window" windowsize --sync "$window" 1280 800 windowactivate --sync "$window" 2>/dev/null
    sleep 3
    measure() {  # per cent of one core over 5 s of wall time: user + system ticks after the name's ")"
        local c0 c1 t0 t1
        c0=$(awk '{ print $14 + $15 }' "/proc/$app/stat"); t0=$(date +%s.%N); sleep 5
        c1=$(awk '{ print $14 + $15 }' "/proc/$app/stat"); t1=$(date +%s.%N)
        awk -v c="$((c1 - c0))" -v hz="$(getconf CLK_TCK)" -v t0="$t0" -v t1="$t1" 'BEGIN { printf "%.1f", 100 * c / hz / (t1 - t0) }'
    }
    running=$(measure)
    press space 1
    paused=$(measure)
    press space
    echo "running ${running} % of a core (limit ${RUNNING_MAX}), paused ${paused} % (limit ${PAUSED_MAX})"
    quit
    awk -v r="$running" -v p="$paused" -v rm="$RUNNING_MAX" -v pm="$PAUSED_MAX" 'BEGIN { exit !(r <= rm && p <= pm) }' ||
        fail "more CPU than allowed";;
esac
[ -n "${wm:-}" ] && kill "$wm" 2>/dev/null
echo "ok ($MODE)"
INNER
