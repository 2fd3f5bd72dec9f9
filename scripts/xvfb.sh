# Sourced by the scripts that need an X display.
#   start_xvfb [WIDTHxHEIGHTxDEPTH]   starts a private Xvfb server on a free display
#                                     number and exports DISPLAY
#   stop_xvfb                         stops it again (callers put it in their EXIT trap)
#   display_works                     true when DISPLAY names a server that answers

vardak_xvfb_pid=""

display_works() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

start_xvfb() {
    local screen=${1:-1280x1024x24} number_file number
    number_file=$(mktemp)
    # The server picks a free display number itself and writes it once it listens, so
    # parallel runs on one machine never race for a number.
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    vardak_xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$number_file" ] && break
        sleep 0.1
    done
    number=$(tr -d '[:space:]' <"$number_file")
    rm -f "$number_file"
    if [ -z "$number" ] || ! xdpyinfo -display ":$number" >/dev/null 2>&1; then
        echo "Xvfb did not start" >&2
        stop_xvfb
        return 1
    fi
    export DISPLAY=:$number
}

stop_xvfb() {
    if [ -n "$vardak_xvfb_pid" ]; then
        kill "$vardak_xvfb_pid" 2>/dev/null || true
        vardak_xvfb_pid=""
    fi
}
