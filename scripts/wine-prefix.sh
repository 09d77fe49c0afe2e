#!/bin/bash
# Creates the Wine prefix the tests and the run command use, once per kind
# (KV_WINE_BITS=32 or 64, see env.sh): Japanese font replacements, frames drawn
# by Wine, no crash dialog. A failure names the step and what Wine said.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/env.sh"
. "$here/common.sh"
stamp="$WINEPREFIX/.keyvane-ready-2"
[ -f "$stamp" ] && exit 0
what="the ${KV_WINE_BITS}-bit Wine prefix $WINEPREFIX"
if [ ! -x "$(command -v "$KV_WINE")" ]; then
    kv_fail "$what" "$KV_WINE is not installed (scripts/setup.sh installs it)"
    exit 1
fi
kv_quiet "creating $what (wineboot)" "$KV_WINE" wineboot -i || exit 1
"$KV_WINESERVER" -w
# wineboot may exit 0 and still leave no prefix behind (a loader that can't
# start, for one); the registry files show a prefix that was really made.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    kv_fail "creating $what" "wineboot left no system.reg in the prefix"
    exit 1
fi
reg="$(mktemp --suffix=.reg)"
trap 'rm -f "$reg"' EXIT
python3 - "$reg" <<'PY'
import sys
text = r'''Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Tahoma"="IPAPGothic"
"MS Shell Dlg"="IPAPGothic"
"MS Shell Dlg 2"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""
'''
open(sys.argv[1], 'wb').write(b'\xff\xfe' + text.replace('\n', '\r\n').encode('utf-16-le'))
PY
kv_quiet "writing the font and window settings into $what (regedit)" "$KV_WINE" regedit /S "$reg" || exit 1
"$KV_WINESERVER" -w
touch "$stamp"
