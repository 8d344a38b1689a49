#!/bin/sh
# The main job on the bundled samples: a new boot logo built into a BIOS image.
set -eu
varlin=${1:-build/native/bin/varlin}
cd "$(dirname "$0")/.."
out=build/demo
mkdir -p "$out"

bios=samples/bios/award-256k.bin
picture=samples/pictures/varlin-640x480.bmp

# The boot block's checksum lines of an image's inspection.
checksums() {
    "$varlin" inspect "$1" | sed -n '/^checksums:/,/^  block/p'
}

echo "== checking the sample picture $picture"
"$varlin" check-picture "$picture"

echo "== the boot block's checksums of $bios, which the board tests at power-on"
checksums "$bios"

echo "== building $bios with it as the boot logo (POST messages shown over it)"
"$varlin" build --bios "$bios" --picture "$picture" --post-message --output "$out/award-256k-varlin.bin"

echo "== what the new image holds (its checksums kept)"
"$varlin" inspect "$out/award-256k-varlin.bin"

echo "== the logo, extracted back as a bitmap"
"$varlin" extract "$out/award-256k-varlin.bin" --logo -o "$out/logo.bmp"

echo "== the small logo at the top right of the POST screen, from the same picture, in its classic form"
"$varlin" inspect "$bios" | grep '^small logo:'
"$varlin" build --bios "$bios" --picture "$picture" --post-message --small-logo "$picture" \
    --output "$out/award-256k-varlin-small.bin"
"$varlin" extract "$out/award-256k-varlin-small.bin" --small-logo -o "$out/small-logo.bmp"
"$varlin" preview --picture "$picture" --advanced --post-message --bios "$bios" --small-logo "$picture" \
    --output "$out/post-preview.png"

stock=samples/bios/award-256k-stock.bin
echo "== a stock board's image: its BIOS shows only a full-screen logo in its own format"
"$varlin" inspect "$stock" | grep '^logo format:'

echo "== building $stock: the picture goes in in that format (scaled to fit, 16 colours)"
"$varlin" build --bios "$stock" --picture "$picture" --output "$out/award-256k-stock-varlin.bin"
"$varlin" inspect "$out/award-256k-stock-varlin.bin" | grep -E '^logo format:|^  [0-9]+ .* 4000:0 '

echo "== its logo, extracted as a bitmap, and the boot screen as the board shows it"
"$varlin" extract "$out/award-256k-stock-varlin.bin" --logo -o "$out/stock-logo.bmp"
"$varlin" preview --picture "$picture" --bios "$stock" --output "$out/stock-preview.png"

split=samples/bios/award-256k-stock-split.bin
echo "== a stock board whose logo is followed by two members, its system BIOS apart at 0x20000"
"$varlin" inspect "$split" | sed -n '/^members:/,/^logo slot:/p'
echo "== building $split: the new logo takes the old one's place and the members after it move along"
"$varlin" build --bios "$split" --picture "$picture" --output "$out/award-256k-stock-split-varlin.bin"

nologo=samples/bios/award-128k-nologo.bin
echo "== a board without a logo whose BIOS shows stock ones: a stock logo, dithered to fit its little room"
"$varlin" inspect "$nologo" | grep -E '^banner:|^full-screen logo:|^logo format:|^free after:'
"$varlin" build --bios "$nologo" --picture "$picture" --output "$out/award-128k-nologo-varlin.bin"

silent=samples/bios/award-128k-450pg.bin
echo "== a board whose BIOS shows no full-screen logo: none is added"
"$varlin" build --bios "$silent" --picture "$picture" --output "$out/award-128k-450pg-varlin.bin" || true

echo
echo "The new BIOS image is $out/award-256k-varlin.bin (with the small logo too: $out/award-256k-varlin-small.bin)"
echo "The stock board's new BIOS image is $out/award-256k-stock-varlin.bin"
echo "The stock boards' with moved members and with a new logo: $out/award-256k-stock-split-varlin.bin," \
    "$out/award-128k-nologo-varlin.bin"
