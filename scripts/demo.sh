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

echo
echo "The new BIOS image is $out/award-256k-varlin.bin"
