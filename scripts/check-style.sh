#!/bin/sh
# Holds the C++ sources to the project's style: every file to .clang-format
# (that takes seconds), and the files changed since BASE to .clang-tidy
# (tidy compiles each file, so only what changed; the tree as a whole was
# made clean once).  Tidy reads the native build's compile_commands.json, so
# it sees the files the native build compiles; the Windows adapters it
# cannot see are held to the format only.
#
#   scripts/check-style.sh [BASE]     BASE: a commit, by default the one before HEAD
#
# Exits 1 and names the files when something is out of style;
# `clang-format -i FILE` puts a file's format right.
set -eu
cd "$(dirname "$0")/.."
base=${1:-HEAD^}
build=build/native
jobs=$(nproc 2>/dev/null || echo 2)

status=0
sources=$(git ls-files '*.cpp' '*.h')
unformatted=$(echo "$sources" | xargs -P "$jobs" -n 16 clang-format --dry-run 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: warning:.*/\1/p' | sort -u)
if [ -n "$unformatted" ]; then
    echo "style: not formatted as .clang-format says:"
    echo "$unformatted" | sed 's/^/  /'
    status=1
fi

# The changed files the native build compiles (added, copied, modified or renamed).
if git rev-parse --verify --quiet "$base" >/dev/null; then
    changed=$( (git diff --name-only --diff-filter=ACMR "$base" -- '*.cpp'; git ls-files --others --exclude-standard -- '*.cpp') | sort -u)
else
    changed=$(git ls-files '*.cpp')  # no such commit (a shallow clone): every file
fi
compiled=""
for file in $changed; do
    if grep -q "\"file\": \"$PWD/$file\"" "$build/compile_commands.json"; then compiled="$compiled $file"; fi
done
if [ -n "$compiled" ]; then
    if ! echo "$compiled" | tr ' ' '\n' | sed '/^$/d' |
        xargs -P "$jobs" -n 4 clang-tidy -p "$build" --quiet --extra-arg=-Wno-unknown-warning-option >"$build/clang-tidy.log" 2>&1; then
        echo "style: clang-tidy finds faults (all of them in $build/clang-tidy.log):"
        grep -E ': (warning|error): ' "$build/clang-tidy.log" | sort -u | head -40
        status=1
    fi
fi
[ "$status" -eq 0 ] && echo "style: $(echo "$sources" | wc -l) files formatted; $(echo $compiled | wc -w) changed files tidy"
exit "$status"
