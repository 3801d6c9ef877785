#!/usr/bin/env bash
# Builds the conversion fuzzer with clang and runs it on one core for a bounded time, starting
# from the seed corpus. Fails when the fuzzer finds a crash, a leak, a hang or a broken promise;
# the input that did it is kept in BUILD_DIR/artifacts/.
# Usage: fuzz/run.sh [SECONDS (60)] [BUILD_DIR (build-fuzz)]
set -euo pipefail

seconds=${1:-60}
build_dir=${2:-build-fuzz}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

CC=clang CXX=clang++ scripts/setup.sh test "$build_dir" -DDOVETREL_BUILD_FUZZ=ON \
  -DDOVETREL_BUILD_TESTS=OFF -DDOVETREL_BUILD_DIALOG=OFF -DDOVETREL_BUILD_BENCH=OFF >/dev/null

corpus="$build_dir/corpus"
artifacts="$build_dir/artifacts"
log="$build_dir/fuzz-${seconds}s.log"
mkdir -p "$corpus" "$artifacts"

echo "fuzz: ${seconds}s, new inputs in $corpus, log in $log"
status=0
"$build_dir/bin/dovetrel_fuzz" "$corpus" fuzz/corpus -dict=fuzz/ivr.dict \
  -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?

# The figures of the run: libFuzzer's last status line and its final statistics.
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$log" | tail -n 2 || true
grep -E '^stat::' "$log" || true
echo "fuzz: corpus now $(find "$corpus" -type f | wc -l) inputs"
if [ "$status" -ne 0 ]; then
  echo "fuzz: FAILED (exit $status); the end of the log:" >&2
  tail -n 60 "$log" >&2
  exit "$status"
fi
echo "fuzz: passed"
