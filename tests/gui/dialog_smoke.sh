#!/usr/bin/env bash
# Drives the real dovetrel on a virtual display: started with the worked example's main file, it
# converts with Return into the name it proposed; then types both names, converts again, checks
# each document, and leaves through Escape (No first, then Yes).
# Usage: dialog_smoke.sh DOVETREL EXAMPLES_DIR. Exits 77 (skipped) when Xvfb or xdotool is
# missing.
set -euo pipefail
binary=$1
examples=$2

for tool in Xvfb xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb="" pid=""
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
expected=$examples/worked/expected/main.vxml

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
start_display || fail "no virtual display could be started"

"$binary" "$work/main.ivr" >"$work/dovetrel.log" 2>&1 &
pid=$!

# Sends keys to the window $1, focusing it first (there is no window manager to do it).
keys_to() { xdotool windowfocus --sync "$1"; sleep 0.2; xdotool key --clearmodifiers "${@:2}"; }

dialog=$(await_window Dovetrel) || fail "the dialog did not appear"
# An ordinary window of its own (own taskbar entry), of fixed size, with a 32 x 32 icon.
props=$(xprop -id "$dialog")
grep -q '^WM_TRANSIENT_FOR' <<<"$props" && fail "the dialog is transient for another window"
grep -q '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL' <<<"$props" ||
  fail "the dialog is not an ordinary window"
minimum=$(sed -n 's/^\s*program specified minimum size: //p' <<<"$props")
maximum=$(sed -n 's/^\s*program specified maximum size: //p' <<<"$props")
[ -n "$minimum" ] && [ "$minimum" = "$maximum" ] || fail "the dialog can be resized"
grep -q 'Icon (32 x 32)' <<<"$props" || fail "the dialog has no 32 x 32 icon"

xdotool windowfocus --sync "$dialog"; sleep 0.3
# Started with the scenario, the dialog proposes main.vxml beside it; Return converts, and Return
# in the success box is its OK.
xdotool key Return
box=$(await_window dovetrel) || fail "no box after Convert with the proposed name"
cmp -s "$work/main.vxml" "$expected" || fail "the proposed document differs from $expected"
keys_to "$box" Return
await_gone dovetrel || fail "Return did not close the success box"

# The IVR field has the focus; Tab twice passes its chooser button to the VoiceXML field.
keys_to "$dialog" ctrl+a
xdotool type --delay 5 "$work/main.ivr"
xdotool key Tab Tab
xdotool type --delay 5 "$work/out.vxml"
xdotool key Return

box=$(await_window dovetrel) || fail "no box after Convert"
[ -f "$work/out.vxml" ] || fail "no document was written"
cmp -s "$work/out.vxml" "$expected" || fail "the document differs from $expected"
keys_to "$box" Return
await_gone dovetrel || fail "the information box did not close"

keys_to "$dialog" Escape
question=$(await_window dovetrel) || fail "Escape asked nothing"
keys_to "$question" Escape # No
await_gone dovetrel || fail "the question did not close"
sleep 0.3
kill -0 "$pid" 2>/dev/null || fail "answering No ended the program"

keys_to "$dialog" Escape
question=$(await_window dovetrel) || fail "Escape asked nothing the second time"
keys_to "$question" Return # Yes, the default button
pass_when_ended 50
