#!/bin/sh
# Runs every fuzz target of a fuzz build, one after another, each for a set
# time, and says how many inputs each tried.
#
#   scripts/fuzz.sh BUILD_FOLDER SECONDS
#
# What the targets find stays in BUILD_FOLDER/fuzz-runs/NAME/ (the inputs
# they kept, the input that broke one and its report).
set -u

build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
failed=""
for target in "$build"/bin/fuzz_*; do
    name=${target##*/fuzz_}
    "$here/../tests/fuzz/run-fuzzer.sh" "$target" "$name" "$seconds" "$build/fuzz-runs" || failed="$failed $name"
done
if [ -n "$failed" ]; then
    echo "fuzz: found failures in:$failed"
    exit 1
fi
