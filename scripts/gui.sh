#!/bin/sh
# Starts the Windows program under wine on the bundled sample board:
#   scripts/gui.sh BUILD_DIR      (BUILD_DIR: the mingw64 build, e.g. build/mingw64)
# The program runs from build/gui/, beside a "bios" folder holding the
# board's BIOS (so the Easy path is open), on a copy of
# samples/boards/board-256k.  With a display set, the program simply runs
# there until it is closed.  Without one, a virtual display is started, the
# start page is saved as build/gui/start-page.png and the program is ended.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/mingw64}" && pwd)
gui=$root/build/gui
export WINEPREFIX="$gui/wineprefix"
export WINEDEBUG="${WINEDEBUG:--all}"
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

if [ "${VARLIN_GUI_ON_VIRTUAL_DISPLAY:-}" != yes ]; then
  mkdir -p "$gui/bios"
  cp "$build/bin/varlin.exe" "$gui/varlin.exe"
  cp "$build"/bin/BIOS_*.dll "$gui/"   # the preview's POST-message pictures
  cp "$root/samples/bios/award-256k.bin" "$gui/bios/"
  rm -rf "$gui/board"
  cp -r "$root/samples/boards/board-256k" "$gui/board"
  if [ ! -d "$WINEPREFIX" ]; then
    echo "gui: making the wine prefix $WINEPREFIX"
    "$build/tests/wine/prepare-prefix.sh" >/dev/null
  fi
  if [ -n "${DISPLAY:-}" ]; then
    cd "$gui"
    exec "$wine" ./varlin.exe --board board
  fi
  export VARLIN_GUI_ON_VIRTUAL_DISPLAY=yes
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$build"
fi

# On the virtual display: start the program, wait for its start page, save it.
cd "$gui"
"$wine" ./varlin.exe --board board &
window=
for _ in $(seq 1 300); do
  window=$(xwininfo -root -tree 2>/dev/null | grep '"VARLIN"' | head -n 1 || true)
  [ -z "$window" ] || break
  sleep 0.2
done
status=0
if [ -n "$window" ]; then
  sleep 2  # let it paint
  # "WIDTHxHEIGHT+X+Y  +ABSX+ABSY": the page and a margin around it.
  area=$(echo "$window" | sed -E 's/.* ([0-9]+)x([0-9]+)[+-][0-9]+[+-][0-9]+ +\+([0-9]+)\+([0-9]+).*/\1 \2 \3 \4/' |
    awk '{ x = $3 - 8; y = $4 - 8; if (x < 0) x = 0; if (y < 0) y = 0; printf "%dx%d+%d+%d", $1 + 16, $2 + 16, x, y }')
  import -window root -crop "$area" +repage "$gui/start-page.png"
  echo "gui: the start page is in $gui/start-page.png"
else
  echo "gui: the start page did not appear" >&2
  status=1
fi
# Every process in this wine prefix is the program started above.
"$wineserver" -k || true
exit "$status"
