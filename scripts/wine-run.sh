#!/bin/bash
# Runs a Windows program under the project's Wine prefix and passes its exit
# code on. CTest uses it as the emulator of the windows presets: "--win64"
# first picks the 64-bit Wine (the windows64 preset).
if [ "${1:-}" = --win64 ]; then
    export KV_WINE_BITS=64
    shift
fi
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/env.sh"
if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run.sh: no DISPLAY; start an X server (scripts/test.sh starts Xvfb)" >&2
    exit 125
fi
exec "$KV_WINE" "$@"
