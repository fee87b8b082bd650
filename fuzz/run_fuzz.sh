#!/usr/bin/env bash
# One bounded libFuzzer run of a fuzz target on a fresh copy of its seeds.
#
#   fuzz/run_fuzz.sh TARGET SEED-DIR WORK-DIR [SECONDS]
#
# SECONDS defaults to $BRANNOCK_FUZZ_SECONDS, else 25 (what the test command
# runs). For a longer run on demand, for example an hour of the message
# parser after a native build:
#   BRANNOCK_FUZZ_SECONDS=3600 fuzz/run_fuzz.sh build/native/bin/fuzz_command_processor \
#       build/native/fuzz/seeds/command_processor /tmp/fuzz_command_processor
# The corpus grown by the run stays in WORK-DIR/corpus; a crash, a leak or a
# failed property leaves its input in WORK-DIR as crash-*, leak-* or oom-*.
# libFuzzer prints its final statistics, the executions among them.
set -euo pipefail

target=$1 seeds=$2 work=$3
seconds=${4:-${BRANNOCK_FUZZ_SECONDS:-25}}

rm -rf "$work"
mkdir -p "$work/corpus"
cp "$seeds"/* "$work/corpus/"
exec "$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
     -max_len=65536 -artifact_prefix="$work/" "$work/corpus"
