#!/bin/sh
# Runs one UI test of the Windows program under wine:
#   run-gui-test.sh SHOTS_DIR PROGRAM ARGS...
# on a virtual display when none is set.  While the test runs, this script
# takes the screenshots it asks for (SHOTS_DIR/NAME.request holds the area;
# the picture goes to NAME.png) with ImageMagick's import, from the display
# where every process's windows are composed.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
: "${WINEPREFIX:=$here/wineprefix}"
export WINEPREFIX
shots=$1
shift
mkdir -p "$shots"
rm -f "$shots"/*.request "$shots"/*.png "$shots/.done"

take_screenshots() {
  while [ ! -e "$shots/.done" ]; do
    for request in "$shots"/*.request; do
      [ -e "$request" ] || continue
      area=$(cat "$request")
      import -window root -crop "$area" +repage "${request%.request}.png" || true
      rm -f "$request"
    done
    sleep 0.1
  done
}
if command -v import >/dev/null 2>&1; then
  take_screenshots &
  watcher=$!
else
  echo "run-gui-test: no ImageMagick import, so no screenshots" >&2
  watcher=
fi

status=0
"$here/run-wine.sh" "$@" || status=$?
touch "$shots/.done"
[ -z "$watcher" ] || wait "$watcher"
exit "$status"
