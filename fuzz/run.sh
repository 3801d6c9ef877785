#!/usr/bin/env bash
# Builds the conversion fuzzer with clang and runs it on one core, starting from the seed corpus
# (fuzz/corpus). Fails when the fuzzer finds a crash, a leak, a hang or a broken promise; the input
# that did it is kept in BUILD_DIR/artifacts/.
#
# Usage: fuzz/run.sh [SECONDS (60)] [BUILD_DIR (build-fuzz)]
#          a random search for SECONDS, adding what it finds to BUILD_DIR/corpus; run it for long
#          (fuzz/run.sh 3600) before a change to the reader or a writer lands
#        fuzz/run.sh --repeatable [BUILD_DIR (build-fuzz)]
#          what CI runs: every input of the seed corpus once, then a fixed number of inputs from a
#          fixed seed (about a minute), in a scratch directory made afresh, so that the same tree
#          always gives the same verdict
set -euo pipefail

repeatable=0
if [ "${1:-}" = --repeatable ]; then
  repeatable=1
  shift
  seconds=0
else
  seconds=${1:-60}
  shift $(( $# > 0 ? 1 : 0 ))
fi
build_dir=${1:-build-fuzz}
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

CC=clang CXX=clang++ scripts/setup.sh test "$build_dir" -DDOVETREL_BUILD_FUZZ=ON \
  -DDOVETREL_BUILD_TESTS=OFF -DDOVETREL_BUILD_DIALOG=OFF -DDOVETREL_BUILD_BENCH=OFF >/dev/null

# Absolute paths: the fuzzer works inside a directory of its own.
build_dir=$(cd "$build_dir" && pwd)
artifacts="$build_dir/artifacts"
mkdir -p "$artifacts"
common=(-dict="$top/fuzz/ivr.dict" -max_len=8192 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$artifacts/")
if [ "$repeatable" = 1 ]; then
  # Inputs, not seconds, bound the run, and the generous timeout only catches a real hang: a
  # loaded machine makes it slower, never different.
  runs=${DOVETREL_FUZZ_RUNS:-6000}
  corpus="$build_dir/corpus-repeatable"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  log="$build_dir/fuzz-repeatable.log"
  echo "fuzz: the seed corpus, then $runs inputs from seed 1; log in $log"
  options=(-seed=1 -runs="$runs" -timeout=60)
else
  corpus="$build_dir/corpus"
  mkdir -p "$corpus"
  log="$build_dir/fuzz-${seconds}s.log"
  echo "fuzz: ${seconds}s, new inputs in $corpus, log in $log"
  options=(-max_total_time="$seconds" -timeout=10)
fi

status=0
"$build_dir/bin/dovetrel_fuzz" "$corpus" "$top/fuzz/corpus" "${common[@]}" "${options[@]}" \
  >"$log" 2>&1 || status=$?

# The figures of the run: libFuzzer's last status line, its final statistics and any notice.
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)' "$log" | tail -n 2 || true
grep -E '^stat::|^fuzz: ' "$log" || true
echo "fuzz: corpus now $(find "$corpus" -type f | wc -l) inputs"
if [ "$status" -ne 0 ]; then
  echo "fuzz: FAILED (exit $status); the end of the log:" >&2
  tail -n 60 "$log" >&2
  exit "$status"
fi
echo "fuzz: passed"
