#!/usr/bin/env bash
# Reproduces every figure of docs/performance.md: sets up and builds (RelWithDebInfo), then runs
# the in-process benchmarks against their system-call floors, the whole process beside
# xmllint --format, --flow beside Graphviz's dot and a call of dovetrel-call beside the plain
# conversion, the generated calls and the coverage of records beside a conversion and a replay, and
# the language server's answer to an edit (dovetrel_bench), and times the start-up of the dialog
# and of the language server. Exits non-zero when a budget is missed.
# Usage: bench/run.sh [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-build}
"$top/scripts/setup.sh" test "$build" >/dev/null
cd "$top"

status=0
echo "== machine"
echo "$(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo
echo "== in process, and the whole process beside xmllint and dot (median of 5 repetitions)"
"$build/bin/dovetrel_bench" --enforce --benchmark_repetitions=5 \
  --benchmark_display_aggregates_only=true || status=1
echo
echo "== dialog shown and ready (offscreen, median of 20 starts)"
if [ -x "$build/bin/dovetrel_dialog_ready" ]; then
  runtime=$(mktemp -d)
  trap 'rm -rf "$runtime"' EXIT
  for ((n = 0; n < 20; n++)); do
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime \
      "$build/bin/dovetrel_dialog_ready" "$(date +%s%N)"
  done | sort -n | awk '{ t[NR] = $1 } END {
    m = t[int((NR + 1) / 2)]
    printf "ready after %.1f ms (budget 300 ms) %s\n", m, (m <= 300 ? "ok" : "OVER")
    exit (m <= 300 ? 0 : 1)
  }' || status=1
else
  echo "the dialog is not built (DOVETREL_BUILD_DIALOG=OFF)"
fi
echo
echo "== the call-flow and call windows, largest set, click to ready (offscreen, median of 5)"
if [ -x "$build/bin/dovetrel_windows_ready" ]; then
  for ((n = 0; n < 5; n++)); do
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$runtime "$build/bin/dovetrel_windows_ready" \
      2>/dev/null
  done | sort -k1,1 -k2,2n | awk '{ v[$1, ++n[$1]] = $2 } END {
    status = 0
    for (w in n) {
      m = v[w, int((n[w] + 1) / 2)]
      printf "%s ready after %.1f ms (budget 300 ms) %s\n", w, m, (m <= 300 ? "ok" : "OVER")
      if (m > 300) status = 1
    }
    exit status
  }' || status=1
fi
echo
echo "== the language server started and answering initialize (median of 20 starts)"
"$build/bin/dovetrel_lsp_ready" "$build/bin/dovetrel-lsp" 20 || status=1
echo
echo "== dependencies of dovetrel-convert, dovetrel-call and dovetrel-diff"
for program in dovetrel-convert dovetrel-call dovetrel-diff; do
  if ldd "$build/bin/$program" | grep -qi qt; then
    echo "$program links Qt: OVER"
    status=1
  else
    echo "$program: no Qt: ok"
  fi
done
# Graphviz is for --flow alone: a plain conversion neither links nor loads it.
set_dir=$(mktemp -d)
cp examples/worked/*.ivr "$set_dir/"
loaded=$(LD_DEBUG=libs "$build/bin/dovetrel-convert" "$set_dir/main.ivr" 2>&1 |
  grep -cE 'calling init: .*lib(gvc|cgraph)' || true)
rm -rf "$set_dir"
if ldd "$build/bin/dovetrel-convert" | grep -qE 'lib(gvc|cgraph)' || [ "$loaded" -ne 0 ]; then
  echo "a plain conversion links or loads Graphviz: OVER"
  status=1
else
  echo "no Graphviz in a plain conversion: ok"
fi
exit $status
