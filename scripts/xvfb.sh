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
    local screen=${1:-1280x1024x24} candidate display=""
    # A random display number keeps parallel runs apart.
    for _ in $(seq 50); do
        candidate=$((200 + RANDOM % 300))
        if [ ! -e "/tmp/.X11-unix/X$candidate" ] && [ ! -e "/tmp/.X$candidate-lock" ]; then
            display=:$candidate
            break
        fi
    done
    [ -n "$display" ] || { echo "no free X display" >&2; return 1; }
    Xvfb "$display" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
    vardak_xvfb_pid=$!
    for _ in $(seq 100); do
        xdpyinfo -display "$display" >/dev/null 2>&1 && break
        sleep 0.1
    done
    if ! xdpyinfo -display "$display" >/dev/null 2>&1; then
        echo "Xvfb did not start on $display" >&2
        return 1
    fi
    export DISPLAY=$display
}

stop_xvfb() {
    if [ -n "$vardak_xvfb_pid" ]; then
        kill "$vardak_xvfb_pid" 2>/dev/null || true
        vardak_xvfb_pid=""
    fi
}
