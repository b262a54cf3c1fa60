#!/usr/bin/env bash
# Runs a benchmark binary once, as briefly as it allows: a benchmark that no longer runs through
# (a script the dialog has outgrown, a workspace that is not written) fails here instead of
# reporting an error no one reads.
set -uo pipefail
binary="$1"
output=$("$binary" --benchmark_min_time=0.001 2>&1)
status=$?
if [[ $status -ne 0 ]] || grep -q "ERROR OCCURRED" <<<"$output"; then
  printf '%s\n' "$output"
  echo "bench_dry_run: $(basename "$binary") failed (exit status $status)" >&2
  exit 1
fi
echo "$(basename "$binary"): every benchmark ran"
