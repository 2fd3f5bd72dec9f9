#!/usr/bin/env bash
# Runs the SMBIOS fuzz target for a bounded time: new inputs go to a corpus folder of
# the build tree, the real dumps are read where they lie as seeds.
#   run-smbios-fuzz.sh FUZZER CORPUS_DIR SEED_DIR SECONDS
set -euo pipefail
fuzzer=$1 corpus=$2 seeds=$3 seconds=$4
mkdir -p "$corpus"
if [ ! -d "$seeds" ]; then
    echo "no seed folder $seeds" >&2
    exit 1
fi
exec "$fuzzer" -max_total_time="$seconds" -max_len=70000 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$corpus/../" "$corpus" "$seeds"
