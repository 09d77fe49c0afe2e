#!/bin/bash
# Installs what is missing, builds both presets and runs every test.
# Used by the README and by CI.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
start=$(date +%s)

bash scripts/setup.sh || exit 1
. scripts/display.sh
kv_start_display || exit 1
trap kv_stop_display EXIT
bash scripts/wine-prefix.sh || exit 1

status=0
echo "== native build and tests"
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
ctest --preset native || status=1
if [ -x scripts/fuzz.sh ]; then
    echo "== bounded fuzz run"
    bash scripts/fuzz.sh || status=1
fi
echo "== windows build and tests (under Wine)"
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1
echo "test command took $(( $(date +%s) - start )) s so far"
ctest --preset windows || status=1
exit $status
