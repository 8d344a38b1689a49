#!/bin/sh
# Runs the main job on the bundled samples and says where the results are.
set -eu
varlin=${1:-build/native/bin/varlin}
cd "$(dirname "$0")/.."
out=build/demo
mkdir -p "$out"

picture=samples/pictures/varlin-640x480.bmp
echo "== checking the sample picture $picture"
"$varlin" check-picture "$picture"

echo "== writing its logo payload"
"$varlin" payload "$picture" -o "$out/logo.tbp" --post-message --position top-left

echo "The payload is in $out/logo.tbp"
