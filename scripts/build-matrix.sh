#!/bin/sh
# Prints a digest of everything the tool makes from the samples: the build of
# every sample picture into every sample image with each set of logo options,
# inspect and extract of each result, a flash of every sample board, and the
# requests one ROM update sends.  Run it before and after a change that must
# not alter bytes, messages or requests, and compare the two outputs:
#
#   scripts/build-matrix.sh > before.txt; ...; scripts/build-matrix.sh > after.txt
#   diff before.txt after.txt
set -u
cd "$(dirname "$0")/.."
varlin=${VARLIN:-build/native/bin/varlin}
bench=${BENCH:-build/native/bin/rom_update_bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

digest() { sha256sum "$@" 2>/dev/null | cut -c1-16; }

# Runs the tool and prints its exit status and a digest of what it said;
# paths of the working folder are taken out so that runs compare.
run() {
    "$varlin" "$@" >"$work/out" 2>"$work/err"
    status=$?
    sed "s|$work|WORK|g" "$work/out" "$work/err" | digest
    echo "  status $status"
}

for bios in samples/bios/*.bin; do
    echo "== $bios"
    run inspect "$bios" --json
    for picture in samples/pictures/*; do
        echo "preview $(basename "$picture"): $(run preview --picture "$picture" --bios "$bios" \
            --output "$work/preview.png" | tr '\n' ' ') $(digest "$work/preview.png")"
        for options in "" "--position top-left --post-message" "--resolution 800x600" \
            "--logo-format payload" "--logo-format stock"; do
            out="$work/new.bin"
            rm -f "$out"
            # shellcheck disable=SC2086
            echo "build $(basename "$picture") $options: $(run build --bios "$bios" --picture "$picture" \
                --output "$out" $options | tr '\n' ' ')"
            if [ -f "$out" ]; then
                echo "  image $(digest "$out")"
                echo "  inspect $(run inspect "$out" --json | tr '\n' ' ')"
                echo "  extract $(run extract "$out" --logo -o "$work/logo" | tr '\n' ' ') $(digest "$work/logo")"
            fi
        done
    done
done

for board in samples/boards/*; do
    rm -rf "$work/board"
    cp -r "$board" "$work/board"
    echo "== flash $(basename "$board"): $(run flash --board "$work/board" --yes \
        --picture samples/pictures/varlin-640x480.bmp | tr '\n' ' ') rom $(digest "$work/board/rom.bin")"
done

if [ -x "$bench" ]; then
    "$bench" --benchmark_min_time=0.01 2>/dev/null | grep -o 'BM_[A-Za-z0-9_/]*\|requests=[0-9.k]*' | paste - -
fi
