#!/bin/sh
# Makes the wine prefix the Windows programs' tests share: a virtual desktop
# of 1024x768, on which wine draws the window frames itself (no window
# manager runs on the virtual display), and wine's own fonts, so that the
# dialogs are laid out with the metrics of the Windows fonts they name.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:=$here/wineprefix}"
export WINEPREFIX
"$here/run-wine.sh" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
"$here/run-wine.sh" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f
fonts=/usr/share/wine/fonts
if [ -d "$fonts" ]; then
  cp "$fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/"
fi
