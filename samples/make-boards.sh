#!/bin/sh
# Makes the sample emulated boards from the sample BIOS images.
#
#   samples/make-boards.sh [BIOS_FOLDER [BOARDS_FOLDER]]
#
# BIOS_FOLDER (default samples/bios) holds award-128k.bin, award-256k.bin,
# award-256k-stock.bin, award-256k-stock-split.bin, award-512k.bin and
# award-1m.bin; the boards go to BOARDS_FOLDER (default samples/boards), one
# folder each.  VARLIN names the tool to use (default
# build/native/bin/varlin).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
bios=${1:-"$here/bios"}
boards=${2:-"$here/boards"}
varlin=${VARLIN:-"$here/../build/native/bin/varlin"}

board() {
    name=$1
    shift
    "$varlin" board create --force --out "$boards/$name" "$@"
}

# One board of each ROM size, with the regions its layout has.
board board-128k --bios "$bios/award-128k.bin" --layout 1 --dmi --pnp
board board-256k --bios "$bios/award-256k.bin" --layout 4 --dmi --pnp
board board-512k --bios "$bios/award-512k.bin" --layout 6 --dmi --pnp
board board-1m --bios "$bios/award-1m.bin" --layout 4 --dmi --pnp
# A stock board, whose BIOS shows only a full-screen logo of its own format.
board board-stock --bios "$bios/award-256k-stock.bin" --layout 4 --dmi --pnp
# A page-write chip (SST 29EE020): no erase needed before programming.
board board-page-write --bios "$bios/award-256k.bin" --chip 0x10BF --layout 4 --dmi --pnp
# An SST 49LF004 whose boot block is locked.
board board-sst-protected --bios "$bios/award-512k.bin" --chip 0x58BF --layout 6 --dmi --pnp --protect-boot
# An Intel 82802AB firmware hub.
board board-fwh --bios "$bios/award-512k.bin" --chip 0xAD89 --layout 6 --dmi --pnp
# A stock board whose logo is followed by two members, its system BIOS apart.
board board-stock-split --bios "$bios/award-256k-stock-split.bin" --layout 4 --dmi --pnp
