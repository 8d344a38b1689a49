#!/bin/sh
# Runs a Windows program of ours under wine: in a wine prefix of the build's
# own, and on a virtual X display when none is set.  Afterwards it waits,
# bounded, for the wine session to end, so that the next program starts a
# fresh one on its own display.
set -eu
build_dir=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
: "${WINEPREFIX:=$build_dir/wineprefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
status=0
"$wine" "$@" || status=$?
timeout 60 "$wineserver" -w || true
exit "$status"
