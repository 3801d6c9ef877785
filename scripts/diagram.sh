#!/usr/bin/env bash
# Draws the call-centre example's call flow for the README with the built dovetrel-convert.
# Usage: scripts/diagram.sh [BUILD_DIR] [OUTPUT (.png or .svg)]   (defaults: build,
# docs/callcentre-flow.png)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$top/build}
output=${2:-$top/docs/callcentre-flow.png}
binary=$build_dir/bin/dovetrel-convert

[ -x "$binary" ] || { echo "diagram: $binary is not built" >&2; exit 1; }
"$binary" --flow "$output" "$top/examples/callcentre/main.ivr" 2>/dev/null ||
  "$binary" --flow "$output" "$top/examples/callcentre/main.ivr" # again, to show why
echo "diagram: $output"
