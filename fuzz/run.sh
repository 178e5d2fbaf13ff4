#!/usr/bin/env bash
# Runs every fuzz target of a build for a bounded time, starting from its
# seeds in fuzz/corpus/<target>/ (read only: what a run finds stays in a
# temporary folder). A crash, a sanitizer finding or a hang fails the script
# and leaves the input that caused it in the working folder it names.
#   bash fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]}
seconds=${2:-20}
seeds="$(cd "$(dirname "$0")" && pwd)/corpus"
work=$(mktemp -d)
failed=0
for target in linear_modules pdf417_encoder picture_reader stream_decoder error_correction; do
  mkdir -p "$work/$target"
  echo "fuzz_$target: ${seconds}s"
  if ! "$build/fuzz/fuzz_$target" "$work/$target" "$seeds/$target" -max_total_time="$seconds" -timeout=10 \
       -rss_limit_mb=2048 -artifact_prefix="$work/$target-" -print_final_stats=1 > "$work/$target.log" 2>&1; then
    tail -n 40 "$work/$target.log"
    echo "fuzz_$target failed; its log and input are in $work" >&2
    failed=1
  fi
done
[[ $failed == 0 ]] && rm -rf "$work"
exit $failed
