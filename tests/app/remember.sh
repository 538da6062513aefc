#!/usr/bin/env bash
# What the application remembers, tried on a real X display under Xvfb with
# openbox: a main window moved and resized by the window manager comes back
# at the same place and size after a restart, the universe opened in the first
# run is in the recent list, and a damaged settings file or a place on a
# screen that is gone leaves the window at its default place. The settings
# live in a folder of the test's own. Exit 77 (skipped) when the tools are missing.
set -u
APP="$1"
UNIVERSE="$2"
HERE="$(cd "$(dirname "$0")" && pwd)"
source "$HERE/x_window.sh"
skip_without_x_tools
private_settings
unset QT_QPA_PLATFORM
export APP UNIVERSE HERE

xvfb-run -a -s "-screen 0 1280x800x24" bash -s <<'INNER'
set -u
CONF="$XDG_CONFIG_HOME/Gravitas/Gravitas.conf"
source "$HERE/x_window.sh"
fail() { echo "FAIL: $*"; [ -n "${app:-}" ] && kill "$app" 2>/dev/null; kill "$wm" 2>/dev/null; exit 1; }
openbox >/dev/null 2>&1 & wm=$!
sleep 1
start() {  # starts the application with the given arguments and finds its main window
    "$APP" "$@" >"$XDG_CONFIG_HOME/run.log" 2>&1 &
    app=$!
    wait_for_main_window "$app"
    sleep 2  # the remembered place is applied after the default layout
}
# Position and size only: the window's X id differs from run to run.
place() { xdotool getwindowgeometry --shell "$window" | grep -v '^WINDOW=' | tr -s '\n' ' '; }
quit() {
    xdotool windowactivate --sync "$window" 2>/dev/null
    xdotool key ctrl+q
    for _ in $(seq 40); do kill -0 "$app" 2>/dev/null || break; sleep 0.25; done
    kill -0 "$app" 2>/dev/null && fail "Ctrl+Q did not quit"
    wait "$app" || fail "exit status $?"
}

start "$UNIVERSE"
default=$(place)
xdotool windowsize "$window" 640 420
xdotool windowmove "$window" 210 150
sleep 1
moved=$(place)
[ "$moved" != "$default" ] || fail "the window did not move"
quit
grep -q "^main=" "$CONF" || fail "no place remembered: $(cat "$CONF")"
grep -q "^file1=$(realpath "$UNIVERSE")$" "$CONF" || fail "the universe is not in the recent list: $(cat "$CONF")"

start
again=$(place)
[ "$again" = "$moved" ] || fail "after a restart the window is at [$again], it was left at [$moved]"
quit

# A screen that is gone: the place lies beyond the present one.
sed -i 's/^main=.*/main=3000 200 640 420/' "$CONF"
start
[ "$(place)" = "$default" ] || fail "a place off every screen was used: [$(place)], default [$default]"
quit

# A damaged file: no crash, the default place.
head -c 3000 /dev/urandom > "$CONF"
start
[ "$(place)" = "$default" ] || fail "a damaged settings file moved the window: [$(place)]"
quit
kill "$wm" 2>/dev/null
echo ok
INNER
