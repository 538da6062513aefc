# Sourced by the scripts that drive the application on an X display.
# skip_without_x_tools [TOOL...]: exits 77 (skipped) unless Xvfb, openbox, xdotool
# and any further tools named are installed.
# wait_for_main_window [PID]: waits until the application (PID, or $app started by
# the caller) shows its main window and sets $window; calls the caller's fail()
# when it dies or no window comes up within 30 s.
# private_settings: points XDG_CONFIG_HOME at a temporary folder removed on exit,
# so the runs never read or write the user's own settings.
wait_for_main_window() {
    local pid="${1:-$app}"
    window=""
    for _ in $(seq 60); do
        window=$(xdotool search --onlyvisible --name '(^| — )Gravitas$' 2>/dev/null | head -1)
        [ -n "$window" ] && return 0
        kill -0 "$pid" 2>/dev/null || fail "the application ended before its window came up"
        sleep 0.5
    done
    fail "no main window after 30 s"
}

skip_without_x_tools() {
    for tool in xvfb-run openbox xdotool "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIPPED: $tool is not installed (scripts/test installs it)"
            exit 77
        fi
    done
}

private_settings() {
    XDG_CONFIG_HOME=$(mktemp -d)
    export XDG_CONFIG_HOME
    trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
}
