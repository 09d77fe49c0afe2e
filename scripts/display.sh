# Sourced: gives the Wine scripts an X display. Uses the one in DISPLAY if it
# answers, otherwise starts an Xvfb of its own (1024 x 768, 24 bits).
kv_started_xvfb=""
kv_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Ends the wineservers of both prefixes (32- and 64-bit), and with them their
# explorers, which stay bound to the display they first saw.
kv_kill_wineservers() {
    local bits
    for bits in 32 64; do
        ( KV_WINE_BITS=$bits; . "$kv_scripts/env.sh"; "$KV_WINESERVER" -k >/dev/null 2>&1 || true )
    done
}
kv_start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n
    if ! command -v Xvfb >/dev/null; then
        echo "FAILED: starting a virtual display: Xvfb is not installed (scripts/setup.sh installs it)" >&2
        return 1
    fi
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
            kv_kill_wineservers
            return 0
        fi
        kill "$kv_started_xvfb" 2>/dev/null
    done
    echo "FAILED: starting a virtual display: no Xvfb on displays :91 to :140 answered" >&2
    return 1
}
kv_stop_display() {
    kv_kill_wineservers
    [ -n "$kv_started_xvfb" ] && kill "$kv_started_xvfb" 2>/dev/null
    return 0
}
