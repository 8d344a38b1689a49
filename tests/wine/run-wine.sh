#!/bin/sh
# Runs a Windows program of ours under wine: in a wine prefix of the build's
# own, and on a virtual X display when none is set.
set -eu
build_dir=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$build_dir/wineprefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$wine" "$@"
fi
exec "$wine" "$@"
