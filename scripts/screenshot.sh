#!/usr/bin/env bash
# Starts the dialog on a virtual display, opened with the worked example's main file as a file
# manager's "Open with" would, and saves pictures of its windows: the dialog, the call flow
# ("Схема…") and a call placed on the document ("Проверить звонок…", the first key pressed, the
# coverage of the example's recorded calls shown).
# Usage: scripts/screenshot.sh [BUILD_DIR] [OUTPUT_DIR]   (defaults: build, docs)
# Writes OUTPUT_DIR/dialog.png, OUTPUT_DIR/flow-window.png and OUTPUT_DIR/call-window.png.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${1:-$top/build}
output=$(realpath -m "${2:-$top/docs}")
binary=$(realpath -m "$build_dir")/bin/dovetrel

[ -x "$binary" ] || { echo "screenshot: $binary is not built" >&2; exit 1; }
for tool in xvfb-run xdotool import; do
  command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing (scripts/setup.sh test)" >&2; exit 1; }
done

# The part below runs inside the virtual display.
inner=$(cat <<'INNER'
set -euo pipefail
binary=$1 output=$2
# window TITLE: the id of the visible window whose title is TITLE, waiting for it to appear.
window() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "screenshot: no window '$1' appeared" >&2
  exit 1
}
# press WINDOW KEYS...: sends the keys to the window, one after the other.
press() {
  local id=$1
  shift
  for key in "$@"; do xdotool key --window "$id" "$key"; sleep 0.1; done
}
# open TABS: starts the dialog, and presses Space on the button TABS steps of the tab order after
# the IVR field (0: none); leaves the dialog's window id in $dialog.
open() {
  [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
  "$binary" main.ivr & pid=$!
  dialog=$(window '^Dovetrel$')
  sleep 0.5 # let it paint
  [ "$1" -gt 0 ] || return 0
  for _ in $(seq "$1"); do press "$dialog" Tab; done
  press "$dialog" space
}
trap 'kill "$pid" 2>/dev/null || true' EXIT
open 0
import -window "$dialog" "$output/dialog.png"
# The tab order from the IVR field: its chooser, the VoiceXML field, the dialect, its chooser,
# then "Схема…" and "Проверить звонок…".
open 5
flow=$(window '^Схема звонка')
sleep 1
import -window "$flow" "$output/flow-window.png"
open 6
call=$(window '^Проверка звонка')
sleep 0.3
press "$call" 1 # the keypad's first key has the focus
# "Покрытие звонками", beside the bottom left button: the example's calls/ on the call flow.
height=$(xdotool getwindowgeometry "$call" | sed -n 's/.*Geometry: [0-9]*x//p')
xdotool mousemove --window "$call" 220 $((height - 22)) click 1 mousemove 0 0
sleep 0.5
import -window "$call" "$output/call-window.png"
INNER
)
# From the example's directory, so that the fields show short names.
(cd "$top/examples/worked" &&
  xvfb-run -a -s '-screen 0 1280x1024x24' bash -c "$inner" screenshot "$binary" "$output")
echo "screenshot: $output/dialog.png, $output/flow-window.png, $output/call-window.png"
