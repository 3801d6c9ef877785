#!/usr/bin/env bash
# Starts the dialog on a virtual display, opened with the worked example's main file as a file
# manager's "Open with" would, and saves a picture of its window.
# Usage: scripts/screenshot.sh [BUILD_DIR] [OUTPUT_PNG]   (defaults: build, docs/dialog.png)
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$top/build}
output=$(realpath -m "${2:-$top/docs/dialog.png}")
binary=$(realpath -m "$build_dir")/bin/dovetrel

[ -x "$binary" ] || { echo "screenshot: $binary is not built" >&2; exit 1; }
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/setup.sh test)" >&2; exit 1; }
done

# The part below runs inside the virtual display.
inner=$(cat <<'INNER'
set -euo pipefail
"$1" main.ivr & pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Dovetrel$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: the dialog did not appear" >&2; exit 1; }
sleep 0.5 # let it paint
import -window "$window" "$2"
INNER
)
# From the example's directory, so that the fields show short names.
(cd "$top/examples/worked" &&
  xvfb-run -a -s '-screen 0 1024x768x24' bash -c "$inner" screenshot "$binary" "$output")
echo "screenshot: $output"
