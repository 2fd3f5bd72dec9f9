#!/usr/bin/env bash
# Runs one fuzz target for a bounded time. The inputs it finds go to RUN_DIR/corpus
# and any crashing input to RUN_DIR; the seeds are read where they lie.
#   run-fuzz.sh FUZZER RUN_DIR SECONDS SEED_FOLDER [FILE_PATTERN]
set -euo pipefail
fuzzer=$1 run_dir=$2 seconds=$3 seed_folder=$4 pattern=${5:-*}

seeds=()
for seed in "$seed_folder"/$pattern; do
    [ -f "$seed" ] && seeds+=("$seed")
done
if [ ${#seeds[@]} -eq 0 ]; then
    echo "no seeds $seed_folder/$pattern" >&2
    exit 1
fi
mkdir -p "$run_dir/corpus"
rm -f "$run_dir"/crash-* "$run_dir"/leak-* "$run_dir"/timeout-* "$run_dir"/oom-*
# libFuzzer reads the list of seed files from a file, comma-separated.
(IFS=,; echo "${seeds[*]}") >"$run_dir/seeds"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# Without the allocation stacks of every block each input runs faster; a failing
# input is run once more below with them, for a full report.
status=0
ASAN_OPTIONS=malloc_context_size=0 "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -seed_inputs=@"$run_dir/seeds" -artifact_prefix="$run_dir/" "$run_dir/corpus" ||
    status=$?
for artifact in "$run_dir"/crash-* "$run_dir"/leak-*; do
    [ -f "$artifact" ] || continue
    echo "== $artifact again, with allocation stacks"
    "$fuzzer" "$artifact" || true
done
exit $status
