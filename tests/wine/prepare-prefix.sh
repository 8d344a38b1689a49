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
# Programs of these names are told they run on Windows 98: copies of the
# 32-bit program and of the uninstaller's test.
for program in varlin98.exe uninstall98_wine_test.exe; do
  "$here/run-wine.sh" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program" /v Version /d win98 /f
done
fonts=/usr/share/wine/fonts
if [ -d "$fonts" ]; then
  cp "$fonts"/* "$WINEPREFIX/drive_c/windows/Fonts/"
fi
