#!/usr/bin/env bash
# Converts every example, every input of the fuzzer's seed corpus (plus any corpus directory
# given) and 1,000 random sets made from a fixed seed with the dovetrel-convert of this tree and
# with that of commit REF, in both dialects, and runs --check on each; fails when a document or a
# message differs in a single byte. It proves that a change left the documents as they were.
# --documents compares the documents and the exit status alone (a change to the messages stays
# out) and shows how each differing document differs.
# Usage: scripts/compare-classic.sh [--documents] REF [CORPUS_DIR...]
set -euo pipefail
mode=()
if [ "${1:-}" = --documents ]; then
  mode=(--documents)
  shift
fi
ref=${1:?usage: scripts/compare-classic.sh [--documents] REF [CORPUS_DIR...]}
shift
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'git -C "$top" worktree remove --force "$work/ref" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

git -C "$top" worktree add --detach "$work/ref" "$ref" >/dev/null
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$work CCACHE_NOHASHDIR=1
fi
# Older trees make every warning an error; RelWithDebInfo is what they were built with.
if ! { cmake -S "$work/ref" -B "$work/ref-build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
         -DDOVETREL_WERROR=OFF -DDOVETREL_BUILD_TESTS=OFF -DDOVETREL_BUILD_BENCH=OFF \
         -DDOVETREL_BUILD_DIALOG=OFF ${launcher[@]+"${launcher[@]}"} &&
       cmake --build "$work/ref-build" --target dovetrel-convert; } >"$work/ref-build.log" 2>&1; then
  cat "$work/ref-build.log" >&2
  exit 1
fi
old=$(find "$work/ref-build" -name dovetrel-convert -type f -executable | head -n 1)
new=$top/build/bin/dovetrel-convert
[ -x "$new" ] || { echo "build this tree first (scripts/setup.sh)" >&2; exit 1; }

python3 "$top/scripts/compare_classic.py" "${mode[@]}" "$old" "$new" "$top/examples" "$top/fuzz/corpus" "$@"
