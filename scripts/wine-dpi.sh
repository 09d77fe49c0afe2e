#!/bin/bash
# Runs a Windows program as wine-run.sh does, on a screen of other pixels per
# inch: wine-dpi.sh [--win64] DPI PROGRAM [ARGS...]. The setting belongs to a
# whole Wine prefix and takes a restart of its server, so the program runs in
# a prefix of its own beside the shared one (named after it with "-dpiDPI"),
# made once; the shared prefix never changes.
set -uo pipefail
bits=()
if [ "${1:-}" = --win64 ]; then
    export KV_WINE_BITS=64
    bits=(--win64)
    shift
fi
dpi="${1:?usage: wine-dpi.sh [--win64] DPI PROGRAM [ARGS...]}"
shift
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/env.sh"
if [ "${KV_WINE_BITS}" = 64 ]; then
    export KV_WINEPREFIX64="$WINEPREFIX-dpi$dpi"
else
    export KV_WINEPREFIX="$WINEPREFIX-dpi$dpi"
fi
. "$here/env.sh"
bash "$here/wine-prefix.sh" || exit 1
stamp="$WINEPREFIX/.keyvane-dpi-$dpi"
if [ ! -f "$stamp" ]; then
    for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
        "$KV_WINE" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || {
            echo "wine-dpi.sh: can't set LogPixels in $WINEPREFIX" >&2
            exit 1
        }
    done
    # The server holds the value it read at its start.
    "$KV_WINESERVER" -k 2>/dev/null
    "$KV_WINESERVER" -w
    touch "$stamp"
fi
exec bash "$here/wine-run.sh" "${bits[@]}" "$@"
