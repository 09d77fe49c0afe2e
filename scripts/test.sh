#!/bin/bash
# Installs what is missing, builds every preset and runs every test.
# Used by the README and by CI.
#
# The Windows suite runs under Wine. Where this machine runs 32-bit programs,
# both the 32-bit build (windows) and the 64-bit build (windows64) are tested;
# where its kernel refuses 32-bit code, only the 64-bit build is, and the
# 32-bit program, help and zip are still built. KV_FORCE_WIN64=1 takes the
# 64-bit-only road on any machine. At the end both zips are put side by side
# in build/release with their SHA256SUMS.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
start=$(date +%s)
. scripts/common.sh

summary=()
status=0
note() { summary+=("$1"); }
finish() {
    echo
    echo "== summary"
    local line
    for line in "${summary[@]}"; do echo "$line"; done
    echo "test command took $(( $(date +%s) - start )) s; $([ $status -eq 0 ] && echo "all passed" || echo "SOME STEPS FAILED")"
    exit $status
}
# A step that stops the run: its failure line, then the summary so far.
stop() {
    status=1
    note "stopped: $1"
    finish
}

kv_quiet "installing the build and test packages (scripts/setup.sh)" bash scripts/setup.sh ||
    stop "packages could not be installed"

if [ "${KV_FORCE_WIN64:-}" = 1 ]; then
    echo "KV_FORCE_WIN64=1: testing the 64-bit build only, as on a machine that can't run 32-bit programs"
    windows_tested=(64)
    untested_32bit="forced: KV_FORCE_WIN64=1"
elif kv_can_run_32bit; then
    echo "this machine runs 32-bit programs: testing the 32-bit and the 64-bit builds"
    windows_tested=(32 64)
else
    echo "this machine can't run 32-bit programs (its kernel refuses them): the 32-bit build is only built, the windows suite runs from the 64-bit build under 64-bit Wine"
    windows_tested=(64)
    untested_32bit="this machine can't run 32-bit programs"
fi

. scripts/display.sh
kv_start_display || stop "no X display for Wine"
trap kv_stop_display EXIT
for bits in "${windows_tested[@]}"; do
    KV_WINE_BITS=$bits bash scripts/wine-prefix.sh || stop "the ${bits}-bit Wine prefix could not be made"
done

# build <preset> <label>: configure and build one preset; a failure stops the run.
build() {
    echo "== $2: build"
    kv_quiet "configuring the $1 preset (cmake --preset $1)" cmake --preset "$1" ||
        stop "$2: configure failed"
    if ! cmake --build --preset "$1"; then
        kv_fail "building the $1 preset" "the compiler or linker errors are above"
        stop "$2: build failed"
    fi
}
# run_tests <preset> <label>: runs one test preset; a failure is noted and the run goes on.
run_tests() {
    echo "== $2: tests"
    if ctest --preset "$1"; then
        note "$2: built, every test passed"
    else
        kv_fail "the $1 tests" "the failing tests are listed above"
        note "$2: built, TESTS FAILED"
        status=1
    fi
}

build native "native (portable code, sanitizers)"
run_tests native "native (portable code, sanitizers)"

echo "== bounded fuzz run"
if bash scripts/fuzz.sh; then
    note "fuzz: the settings-file reader ran without a finding"
else
    note "fuzz: FAILED"
    status=1
fi

build windows "windows (32-bit)"
if [[ " ${windows_tested[*]} " == *" 32 "* ]]; then
    run_tests windows "windows (32-bit, under 32-bit Wine)"
else
    note "windows (32-bit): program, help and Keyvane.zip built; not tested ($untested_32bit)"
fi
# The two builds share the display but not the wineserver: end the first.
kv_kill_wineservers

build windows64 "windows64 (64-bit)"
run_tests windows64 "windows64 (64-bit, under 64-bit Wine)"

# The two zips side by side with their checksums, as they are published: the
# two presets build them in trees of their own.
release=build/release
rm -rf "$release"
if mkdir -p "$release" && cp build/windows/Keyvane.zip build/windows64/Keyvane-x64.zip "$release"/ &&
    (cd "$release" && sha256sum Keyvane.zip Keyvane-x64.zip >SHA256SUMS && sha256sum -c --quiet SHA256SUMS); then
    note "release: $release/SHA256SUMS verifies (sha256sum -c) the two zips beside it:"
    for zip in Keyvane.zip Keyvane-x64.zip; do
        note "  $release/$zip  $(stat -c %s "$release/$zip") bytes"
    done
else
    note "release: FAILED to put the zips and SHA256SUMS into $release"
    status=1
fi
finish
