#!/bin/sh
# Makes the seed corpora under tests/fuzz/corpus from the samples: small
# copies of the sample pictures in the bitmap variants editors write, the
# logo payload and a sample image, the sample boards' segments and
# settings, and a board of every size and layout for the update.  The
# inputs for faults fuzzing found (fault-*) are written here too.  Needs
# ImageMagick, cjpeg and a built varlin (VARLIN, default build/native/bin/varlin).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
samples="$root/samples"
varlin=${VARLIN:-"$root/build/native/bin/varlin"}
corpus="$here/corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for target in picture_check bitmap jpeg_markers palette member_chain bios_update segment board_settings lha_decoder image_contents; do
    mkdir -p "$corpus/$target"
done

# Pictures: the sample bitmap and JPEG at 40x30, in each variant.
small="$work/small.ppm"
convert "$samples/pictures/varlin-320x240.bmp" -resize 40x30 "$small"
convert "$small" -type Palette -colors 256 BMP3:"$work/info40.bmp"
convert "$small" -type Palette -colors 16 -compress RLE BMP3:"$work/rle8.bmp"
convert "$small" -type Palette -colors 256 BMP2:"$work/core.bmp"
convert "$small" -type Palette -colors 256 BMP:"$work/v5.bmp"
convert "$small" -type TrueColor BMP3:"$work/24bit.bmp"
convert "$samples/pictures/varlin-640x480.jpg" -resize 40x30 "$work/small-jpeg.ppm"
cjpeg -baseline -quality 75 "$work/small-jpeg.ppm" > "$work/baseline.jpg"
cjpeg -progressive "$work/small-jpeg.ppm" > "$work/progressive.jpg"
for name in info40 rle8 core v5 24bit; do
    cp "$work/$name.bmp" "$corpus/picture_check/sample-$name.bmp"
    cp "$work/$name.bmp" "$corpus/bitmap/sample-$name.bmp"
done
for name in baseline progressive; do
    cp "$work/$name.jpg" "$corpus/picture_check/sample-$name.jpg"
    cp "$work/$name.jpg" "$corpus/jpeg_markers/sample-$name.jpg"
done

# The payload of the small bitmap, and the 128 KiB sample image.
"$varlin" payload "$work/info40.bmp" -o "$corpus/palette/sample-payload.tbp" --post-message >/dev/null
cp "$samples/bios/award-128k.bin" "$corpus/member_chain/sample-award-128k.bin"
cp "$samples/bios/award-128k.bin" "$corpus/image_contents/sample-award-128k.bin"
cp "$samples/bios/award-256k-stock.bin" "$corpus/image_contents/sample-award-256k-stock.bin"
cp "$samples/bios/award-256k-stock-split.bin" "$corpus/member_chain/sample-award-256k-stock-split.bin"
cp "$samples/bios/award-128k-nologo.bin" "$corpus/member_chain/sample-award-128k-nologo.bin"
cp "$samples/bios/award-256k-stock-noblock.bin" "$corpus/image_contents/sample-award-256k-stock-noblock.bin"

# The sample boards' segments and settings.
for board in board-128k board-256k board-512k board-sst-protected; do
    cp "$samples/boards/$board/segment.bin" "$corpus/segment/sample-$board.bin"
    cp "$samples/boards/$board/board.conf" "$corpus/board_settings/sample-$board.conf"
done

python3 - "$corpus" "$work/baseline.jpg" "$samples/bios/award-128k.bin" <<'PYTHON'
import sys, pathlib, struct
corpus = pathlib.Path(sys.argv[1])
baseline = bytearray(pathlib.Path(sys.argv[2]).read_bytes())
image = pathlib.Path(sys.argv[3]).read_bytes()

def put(target, name, data):
    (corpus / target / name).write_bytes(bytes(data))

# Boards of every layout, with and without the regions, the marks and the
# extra-region record (size, layout, choices); of 1 MiB only a few, since
# each takes the update a second under the sanitizers.
for size in range(4):
    for layout in range(8) if size < 3 else (1, 4):
        for choices in (0x03, 0x77):
            put("bios_update", f"board-{size}-{layout}-{choices:02x}", [size, layout, choices])

# The members of the 128 KiB sample image, and the logo stored (-lh0-):
# method, original size, data.
at = 0
while at + 22 < len(image) and image[at] not in (0x00, 0xFF):
    header = image[at] + 2
    packed, original = struct.unpack_from("<II", image, at + 7)
    data = image[at + header:at + header + packed]
    put("lha_decoder", f"sample-member-{at:05x}", b"\0" + struct.pack("<I", original) + data)
    load = struct.unpack_from("<HH", image, at + 15)  # offset, segment
    if load == (0, 0x4000):
        put("lha_decoder", "sample-logo-stored", b"\1" + struct.pack("<I", 64) + data[:64])
    at += header + packed + 1 + (1 if load == (0, 0x5000) else 0)

# 1: an extra region assumed past 4 GiB took the DMI and PNP data with it.
put("bios_update", "fault-01-512k-layout-4-extra-region", [2, 4, 0x13])
put("bios_update", "fault-01-1m-layout-1-extra-region", [3, 1, 0x13])
# 6: a DMI region with no place in layout 3, found after Main was rewritten.
put("bios_update", "fault-06-layout-3-with-dmi", [1, 3, 0x03])
# 2: a flash record whose port word lies past the segment's end.
segment = bytearray(65536)
segment[0xFFF0:0xFFFA] = b"$@AWDFLASH"
put("segment", "fault-02-flash-record-at-segment-end", segment)
# 9: a baseline frame of 0 x 0 pixels.
frame = baseline.find(b"\xff\xc0", 16)
zero = bytearray(baseline)
zero[frame + 5:frame + 9] = b"\0\0\0\0"
put("picture_check", "fault-09-jpeg-frame-0x0.jpg", zero)
# 11: a kept segment whose length field is 0; numbers board.conf must refuse.
put("jpeg_markers", "fault-11-kept-segment-length-0.jpg",
    b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
    b"\xff\xdb\x00\x00\x07\xff\xda\x00\x02\x12\xff\xd9")
put("board_settings", "fault-11-octal.conf", b"smi-level = 010\n")
put("board_settings", "fault-11-plus-sign.conf", b"smi-level = +4\n")
put("board_settings", "fault-11-zero-byte.conf", b"chip = 0x10BF\0junk\n")
PYTHON
