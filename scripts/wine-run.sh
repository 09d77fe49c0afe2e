#!/bin/bash
# Runs a Windows program under the project's Wine prefix and passes its exit
# code on. CTest uses it as the emulator of the windows preset.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/env.sh"
if [ -z "${DISPLAY:-}" ]; then
    echo "wine-run.sh: no DISPLAY; start an X server (scripts/test.sh starts Xvfb)" >&2
    exit 125
fi
exec wine "$@"
