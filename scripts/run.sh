#!/bin/bash
# Builds Keyvane and runs it under Wine from ./run, with a demo settings file
# the first time. Ctrl+C ends it cleanly: the settings are written as at logoff.
# Runs the 32-bit program where this machine can run 32-bit code, otherwise
# (or with KV_FORCE_WIN64=1) the 64-bit one; both use the same settings file.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
. scripts/common.sh

kv_quiet "installing the packages (scripts/setup.sh)" bash scripts/setup.sh || exit 1
if [ "${KV_FORCE_WIN64:-}" = 1 ]; then
    echo "KV_FORCE_WIN64=1: running the 64-bit Keyvane.exe under 64-bit Wine"
    export KV_WINE_BITS=64
elif kv_can_run_32bit; then
    export KV_WINE_BITS=32
else
    echo "this machine can't run 32-bit programs: running the 64-bit Keyvane.exe under 64-bit Wine"
    export KV_WINE_BITS=64
fi
. scripts/env.sh
. scripts/display.sh
had_display="${DISPLAY:-}"
kv_start_display || exit 1
bash scripts/wine-prefix.sh || exit 1
kv_quiet "configuring the $KV_PRESET preset" cmake --preset "$KV_PRESET" || exit 1
if ! cmake --build --preset "$KV_PRESET" --target Keyvane KvQuit kv_help; then
    kv_fail "building Keyvane ($KV_PRESET preset)" "the compiler or linker errors are above"
    exit 1
fi
bin="build/$KV_PRESET/bin"

mkdir -p run
cp "$bin/Keyvane.exe" run/
[ -f "$bin/kyvane.chm" ] && cp "$bin/kyvane.chm" run/
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

stop() {
    echo "ending Keyvane (its settings are written to run/Keyvane.ini)"
    "$KV_WINE" "$bin/KvQuit.exe"
    wait "$kv_pid" 2>/dev/null
    kv_stop_display
    exit 0
}
trap stop INT TERM
(cd run && exec "$KV_WINE" Keyvane.exe) &
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
