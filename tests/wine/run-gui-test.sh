#!/bin/sh
# Runs one UI test of the Windows program under wine:
#   run-gui-test.sh SHOTS_DIR WORK_DIR PROGRAM ARGS...
# on a virtual display when none is set.  While the test runs, this script
# takes the screenshots it asks for (SHOTS_DIR/NAME.request holds the area;
# the picture goes to NAME.png) with ImageMagick's import, from the display
# where every process's windows are composed.  Afterwards it decodes with
# lha every logo the test left in WORK_DIR/logos (NAME.lzh, a one-member
# archive) and compares it with the payload it must hold (NAME.expected), or
# with the beginning and the length it must have (NAME.head, NAME.size).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
: "${WINEPREFIX:=$here/wineprefix}"
export WINEPREFIX
shots=$1
logos=$2/logos
shift 2
mkdir -p "$shots"
rm -f "$shots"/*.request "$shots"/*.png "$shots/.done"
rm -rf "$logos"

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

check_logos() {
  for archive in "$logos"/*.lzh; do
    [ -e "$archive" ] || continue
    if ! command -v lha >/dev/null 2>&1; then
      echo "run-gui-test: no lha to decode $archive" >&2
      return 1
    fi
    if ! lha -t "$archive" >/dev/null 2>&1; then
      echo "run-gui-test: lha finds $archive broken" >&2
      return 1
    fi
    if [ -e "${archive%.lzh}.head" ]; then
      # Only the beginning and the length are known: NAME.head and NAME.size.
      head=${archive%.lzh}.head
      if ! lha -pq "$archive" | head -c "$(wc -c <"$head")" | cmp -s - "$head" ||
         [ "$(lha -pq "$archive" | wc -c)" != "$(cat "${archive%.lzh}.size")" ]; then
        echo "run-gui-test: $archive does not begin with $head or is not $(cat "${archive%.lzh}.size") bytes long" >&2
        return 1
      fi
    elif ! lha -pq "$archive" | cmp -s - "${archive%.lzh}.expected"; then
      echo "run-gui-test: $archive does not decode to ${archive%.lzh}.expected" >&2
      return 1
    fi
    echo "run-gui-test: $(basename "$archive") decodes to the expected logo"
  done
}

status=0
"$here/run-wine.sh" "$@" || status=$?
touch "$shots/.done"
[ -z "$watcher" ] || wait "$watcher"
check_logos || status=1
exit "$status"
