# Sourced: gives the Wine scripts an X display. Uses the one in DISPLAY if it
# answers, otherwise starts an Xvfb of its own (1024 x 768, 24 bits).
kv_started_xvfb=""
kv_start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X${n}-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        kv_started_xvfb=$!
        export DISPLAY=":$n"
        for _ in $(seq 1 100); do
            xdpyinfo >/dev/null 2>&1 && break
            sleep 0.1
        done
        if xdpyinfo >/dev/null 2>&1; then
            # A wineserver bound to an earlier display would keep its explorer there.
            ( . "$(dirname "${BASH_SOURCE[0]}")/env.sh"; wineserver -k 2>/dev/null || true )
            return 0
        fi
        kill "$kv_started_xvfb" 2>/dev/null
    done
    echo "could not start Xvfb" >&2
    return 1
}
kv_stop_display() {
    ( . "$(dirname "${BASH_SOURCE[0]}")/env.sh"; wineserver -k 2>/dev/null || true )
    [ -n "$kv_started_xvfb" ] && kill "$kv_started_xvfb" 2>/dev/null
    return 0
}
