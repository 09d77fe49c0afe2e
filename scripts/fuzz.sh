#!/bin/bash
# Builds the settings-file fuzz target (the INI store and the settings object)
# with libFuzzer, ASan and UBSan into build/fuzz/, and runs it for a bounded
# time (KV_FUZZ_SECONDS, 60 by default) from the seed corpus in
# tests/Lib/corpus. Exits non-zero when the fuzzer finds a crash, a hang, a
# leak or a broken round trip; what it found is left in build/fuzz/artifacts/.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build/fuzz"
seconds="${KV_FUZZ_SECONDS:-60}"
src="$root/src"

if ! command -v clang++ >/dev/null; then
    echo "FAILED: the fuzz run: clang++ (with libFuzzer) is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
mkdir -p "$out/corpus" "$out/artifacts"

# Sources are UTF-8; clang keeps their texts in UTF-8 (it has no Shift-JIS
# execution character set), which only changes the bytes of error messages.
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Wall -Wextra -I"$src" \
    "$root/tests/Lib/Inifileex_fuzz.cpp" \
    "$src/Lib/IniStore.cpp" "$src/Lib/IniStoreDateTime.cpp" "$src/Lib/IniStoreFile.cpp" \
    "$src/Lib/Inifileex.cpp" "$src/Lib/InifileexLayout.cpp" \
    "$src/Framework/SysUtils.cpp" "$src/Framework/Locale.cpp" "$src/Framework/Classes.cpp" \
    -o "$out/Inifileex_fuzz" || { echo "FAILED: building the fuzz target: the clang++ errors are above" >&2; exit 1; }

# The target writes and replaces a settings file for every input; on a memory
# file system the flush to disk that every replacement makes costs nothing.
scratch="$(mktemp -d "${KV_FUZZ_TMP:-/dev/shm}/kvfuzz.XXXXXX" 2>/dev/null || mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

log="$out/fuzz.log"
TMPDIR="$scratch" "$out/Inifileex_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
    -artifact_prefix="$out/artifacts/" -print_final_stats=1 \
    "$out/corpus" "$root/tests/Lib/corpus" >"$log" 2>&1
status=$?
if [ $status -ne 0 ]; then
    tail -n 60 "$log"
    echo "FAILED: the fuzz run: the settings-file fuzzer stopped with exit $status; see $log and the input in $out/artifacts/" >&2
    exit 1
fi
grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb)" "$log"
echo "fuzz.sh: ${seconds} s of fuzzing the settings file found nothing"
