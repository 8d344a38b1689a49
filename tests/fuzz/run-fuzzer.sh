#!/bin/sh
# Runs one fuzz target for a set time from its seeds, keeping what it finds.
#
#   run-fuzzer.sh TARGET NAME SECONDS RUN_FOLDER
#
# New inputs go to RUN_FOLDER/NAME/corpus (the seeds in tests/fuzz/corpus/NAME
# are only read), an input that breaks the target to RUN_FOLDER/NAME/ with
# the target's report in RUN_FOLDER/NAME/log.  Prints one line: the
# executions, the time and the corpus size; exits non-zero when the target
# found something.
set -eu

target=$1
name=$2
seconds=$3
runs=$4/$name
seeds=$(cd "$(dirname "$0")" && pwd)/corpus/$name

mkdir -p "$runs/corpus"
status=0
"$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2560 -print_final_stats=1 \
    -artifact_prefix="$runs/" "$runs/corpus" "$seeds" >"$runs/log" 2>&1 || status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$runs/log")
corpus=$(ls "$runs/corpus" | wc -l)
echo "fuzz $name: ${executions:-0} executions in $seconds s, $corpus new inputs kept"
if [ "$status" -ne 0 ]; then
    echo "fuzz $name found a failure (exit $status); the input and report are in $runs/:"
    grep -E 'ERROR|property broken|SUMMARY|Test unit written' "$runs/log" | head -20
fi
exit "$status"
