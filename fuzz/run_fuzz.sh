#!/usr/bin/env bash
# fuzz/run_fuzz.sh TARGET SEED-DIR WORK-DIR [SECONDS]: one bounded libFuzzer
# run on a fresh copy of the seeds (SECONDS defaults to $BRANNOCK_FUZZ_SECONDS,
# else 25). The grown corpus stays in WORK-DIR/corpus, a failing input in
# WORK-DIR/crash-* (or leak-*, oom-*).
set -euo pipefail
target=$1 seeds=$2 work=$3 seconds=${4:-${BRANNOCK_FUZZ_SECONDS:-25}}
rm -rf "$work"
mkdir -p "$work/corpus"
cp "$seeds"/* "$work/corpus/"
exec "$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
     -max_len=65536 -artifact_prefix="$work/" "$work/corpus"
