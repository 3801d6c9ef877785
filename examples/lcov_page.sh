#!/usr/bin/env bash
# Writes the lcov tracefile of an example's recorded calls with dovetrel-call --coverage and renders
# it with genhtml: every scenario file of the set must get its annotated page. Exits 77 (skipped)
# when genhtml is not installed (Debian's lcov package).
# Usage: lcov_page.sh DOVETREL_CALL EXAMPLE_DIR
set -euo pipefail
call=$1 example=$2
if ! command -v genhtml >/dev/null; then
  echo "genhtml is not installed (Debian: lcov): skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$call" --coverage --dialect both --lcov "$work/calls.info" "$example/main.ivr" \
  "$example"/calls/*.txt 2>/dev/null
grep -q '^SF:' "$work/calls.info"
genhtml --quiet --output-directory "$work/html" "$work/calls.info"
for ivr in "$example"/*.ivr; do
  page=$(find "$work/html" -name "$(basename "$ivr").gcov.html")
  if [ -z "$page" ]; then
    echo "genhtml wrote no page of $(basename "$ivr")" >&2
    exit 1
  fi
done
