#!/bin/bash
# Builds Keyvane and runs it under Wine from ./run, with a demo settings file
# the first time. Ctrl+C ends it cleanly: the settings are written as at logoff.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

bash scripts/setup.sh || exit 1
. scripts/display.sh
had_display="${DISPLAY:-}"
kv_start_display || exit 1
bash scripts/wine-prefix.sh || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows --target Keyvane KvQuit kv_help || exit 1

mkdir -p run
cp build/windows/bin/Keyvane.exe run/
[ -f build/windows/bin/kyvane.chm ] && cp build/windows/bin/kyvane.chm run/
if [ ! -f run/Keyvane.ini ]; then
    # The settings file is in the program's code page (Shift-JIS) with CR LF lines.
    iconv -f UTF-8 -t CP932 <<'INI' | sed 's/$/\r/' > run/Keyvane.ini
[#Item  00]
Name=メモ帳
ShortCut=WIN + N
Command=notepad.exe
Params=
Path=

[#Item  01]
Name=コマンドプロンプト
ShortCut=WIN + K
Command=wineconsole.exe
Params=cmd
Path=C:\windows\

[#Item  02]
Name=レジストリエディタ
ShortCut=WIN + F9
Command=regedit.exe
Params=
Path=
INI
    echo "wrote a demo settings file: run/Keyvane.ini"
fi

. scripts/env.sh
stop() {
    echo "ending Keyvane (its settings are written to run/Keyvane.ini)"
    wine build/windows/bin/KvQuit.exe
    wait "$kv_pid" 2>/dev/null
    kv_stop_display
    exit 0
}
trap stop INT TERM
(cd run && exec wine Keyvane.exe) &
kv_pid=$!
echo "Keyvane runs on display $DISPLAY (pid $kv_pid). Hot keys of the demo: WIN + N, WIN + K, WIN + F9."
if [ -z "$had_display" ]; then
    echo "No display was set, so a virtual one was started. To see the screen:"
    echo "  import -window root -display $DISPLAY screen.png"
fi
echo "To press a hot key from the shell (Wine sees keys while one of its windows has the focus):"
echo "  DISPLAY=$DISPLAY xdotool search --name 'Wine System Tray' windowfocus key super+n"
echo "Press Ctrl+C (or send SIGTERM) to end it."
wait "$kv_pid"
kv_stop_display
