#!/usr/bin/env bash
# Shows dovetrel-lsp in Kate as a new user meets it, and saves a picture of it: the build is
# installed into a scratch prefix (the "IVR scenario" syntax definition and the server, as the
# package puts them), a fresh home enables Kate's LSP Client plugin with the server settings of
# `man dovetrel-lsp`, and Kate opens a set with two traps on a virtual display with a window
# manager. Kate asks once whether to start the server's command; the script answers yes as the
# user would, opens the Diagnostics tab and leaves the cursor on the trap.
# Kate is not among the test suite's packages (it is large): `apt-get install kate` first.
# Usage: scripts/editor-screenshot.sh [BUILD_DIR] [OUTPUT_DIR]   (defaults: build, docs)
# Writes OUTPUT_DIR/kate-lsp.png.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(realpath -m "${1:-$top/build}")
output=$(realpath -m "${2:-$top/docs}")

[ -x "$build_dir/bin/dovetrel-lsp" ] || { echo "editor-screenshot: $build_dir is not built" >&2; exit 1; }
for tool in kate xvfb-run openbox xdotool import; do
  command -v "$tool" >/dev/null ||
    { echo "editor-screenshot: $tool is missing (apt-get install kate; scripts/setup.sh test)" >&2; exit 1; }
done

mkdir -p "$output"
work=$(mktemp -d)
# The set's folder has a name of its own: Kate shows its path above the text and in Diagnostics.
set_dir=${TMPDIR:-/tmp}/dovetrel-set
rm -rf "$set_dir"
trap 'rm -rf "$work" "$set_dir"' EXIT
cmake --install "$build_dir" --prefix "$work/usr" >/dev/null
mkdir -p "$set_dir" "$work/home/.config/kate/lspclient"
# The dial's keyword one column early, and a keyword in capitals.
printf '%s\n' '10   welcome.wav' '1    menu            sales.ivr' '2   dial             123' \
  '3    Disconnect' '0    disconnect' >"$set_dir/main.ivr"
cp "$top/examples/worked/sales.ivr" "$set_dir/"
# What Settings, Configure Kate, Plugins, LSP Client and its User Server Settings leave behind.
printf '[Kate Plugins]\nlspclientplugin=true\n' >"$work/home/.config/katerc"
cat >"$work/home/.config/kate/lspclient/settings.json" <<'JSON'
{
  "servers": {
    "ivr": {
      "command": ["dovetrel-lsp"],
      "highlightingModeRegex": "^IVR scenario$"
    }
  }
}
JSON

# The part below runs inside the virtual display.
inner=$(cat <<'INNER'
set -euo pipefail
output=$1
# window TITLE: the id of the visible window whose title matches TITLE, waiting for it to appear.
window() {
  local id=""
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "editor-screenshot: no window '$1' appeared" >&2
  exit 1
}
openbox >/dev/null 2>&1 & wm=$!
kate main.ivr >kate.log 2>&1 & pid=$!
# Kate writes its settings as it quits: wait for it, so that nothing writes while the home goes.
trap 'kill "$pid" "$wm" 2>/dev/null || true; wait "$pid" "$wm" 2>/dev/null || true' EXIT
# "Do you want the LSP server to be started?": Yes, the default button.
xdotool windowactivate --sync "$(window '^LSP server start requested')" key Return
kate=$(window '^main\.ivr')
xdotool windowactivate --sync "$kate" windowmove "$kate" 0 0 windowsize "$kate" 1240 600
sleep 1
xdotool key alt+l; sleep 0.5; xdotool key d # LSP Client, Switch to Diagnostics Tab
sleep 0.5
xdotool windowactivate --sync "$kate"
xdotool key ctrl+g; sleep 0.3; xdotool type 3; xdotool key Return Home Right Right Right Right
sleep 1.5 # the server's answer and a repaint
import -window "$kate" "$output/kate-lsp.png"
INNER
)
(cd "$set_dir" &&
  env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
      XDG_DATA_DIRS="$work/usr/share:/usr/share" PATH="$work/usr/bin:$PATH" \
      xvfb-run -a -s '-screen 0 1280x720x24' bash -c "$inner" editor-screenshot "$output")
echo "editor-screenshot: $output/kate-lsp.png"
