# Sourced by the tests on an X display. wait_for_main_window PID sets
# `window` to the application's main window once it is up, or calls the
# caller's `fail` when the application ends first or no window comes in 30 s.
wait_for_main_window() {
    window=""
    for _ in $(seq 60); do
        window=$(xdotool search --onlyvisible --name '(^| — )Gravitas$' 2>/dev/null | head -1)
        [ -n "$window" ] && return 0
        kill -0 "$1" 2>/dev/null || fail "the application ended before its window came up"
        sleep 0.5
    done
    fail "no main window after 30 s"
}
