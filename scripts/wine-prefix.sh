#!/bin/bash
# Creates the Wine prefix the tests and the run command use, once:
# Japanese font replacements, frames drawn by Wine, no crash dialog.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/env.sh"
stamp="$WINEPREFIX/.keyvane-ready-2"
[ -f "$stamp" ] && exit 0
wineboot -i >/dev/null 2>&1 || true
wineserver -w || true
reg="$(mktemp --suffix=.reg)"
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
wine regedit /S "$reg" >/dev/null 2>&1
wineserver -w || true
rm -f "$reg"
touch "$stamp"
