#!/usr/bin/env bash
# Drives the real dovetrel as a person would, on a virtual display with a window manager
# (openbox), through the window system's own key and mouse events: from the dialog it opens the
# call flow's window, zooms it (Ctrl+plus, the wheel) and saves it (Ctrl+S and the chooser), closes
# it with Escape; opens the call window, presses a key of the keypad with the mouse and one on the
# keyboard, saving the call after each (Ctrl+S) and comparing the records with what dovetrel-call
# prints for the same events; clicks "Покрыть звонками…" and finds the generated calls in calls/,
# then "Покрытие звонками", which says in a box that a record there is no transcript;
# closes it through the window manager (Alt+F4, as its close button);
# then converts again in the dialog and leaves it. Every step waits, within a bound, for what the
# input must bring about, and fails when it does not come.
# Usage: window_input.sh DOVETREL DOVETREL_CALL EXAMPLES_DIR. Exits 77 (skipped) when Xvfb,
# xdotool, xprop or openbox is missing.
set -euo pipefail
binary=$1
call_binary=$2
examples=$3

for tool in Xvfb xdotool xprop openbox; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb="" manager="" pid=""
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  [ -z "$manager" ] || kill "$manager" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
mkdir "$work/saved"
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

source "$(dirname "${BASH_SOURCE[0]}")/x_session.sh"
start_display || fail "no virtual display could be started"

# The window manager, once it has taken the display (it names itself on the root window).
openbox --sm-disable --config-file "$(dirname "${BASH_SOURCE[0]}")/openbox-rc.xml" \
  >"$work/openbox.log" 2>&1 &
manager=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  kill -0 "$manager" 2>/dev/null || fail "the window manager did not start"
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "no window manager took over"

"$binary" "$work/main.ivr" >"$work/dovetrel.log" 2>&1 &
pid=$!

# Runs the command "$@" every 0.1 s until it succeeds, for up to 10 s.
await() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}
# True when the window $1 has the keyboard focus (as the window manager gives it); with "other",
# when a window other than $2 has it (a chooser).
active() {
  local id
  id=$(xdotool getactivewindow 2>/dev/null || true)
  if [ "$1" = other ]; then [ -n "$id" ] && [ "$id" != "$2" ]; else [ "$id" = "$1" ]; fi
}
# True when the window $1 is there and named otherwise than $2.
renamed() {
  local name
  name=$(xdotool getwindowname "$1" 2>/dev/null || true)
  [ -n "$name" ] && [ "$name" != "$2" ]
}
# True when the window $1 is transient for the dialog: the window manager keeps it above the dialog.
transient_for_dialog() {
  xprop -id "$1" WM_TRANSIENT_FOR | grep -q "window id # $(printf '0x%x' "$dialog")\$"
}
# Clicks into the window $1 with the mouse at $2,$3 of its inside.
click_in() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# Saves through the chooser Ctrl+S opens over the window $1: types $2 as the name, when given,
# over what the chooser proposes, then Return; waits until the chooser has gone.
save_through_chooser() {
  xdotool key ctrl+s
  await active other "$1" || fail "Ctrl+S opened no chooser over $(xdotool getwindowname "$1")"
  if [ -n "${2:-}" ]; then
    xdotool key ctrl+a
    xdotool type --delay 5 "$2"
  fi
  xdotool key Return
  await active "$1" || fail "the chooser did not give the window back"
}
# The dialog gets the focus back: a click on its bottom left corner, where nothing answers.
activate_dialog() {
  local height
  height=$(xdotool getwindowgeometry "$dialog" | sed -n 's/.*Geometry: [0-9]*x//p')
  click_in "$dialog" 3 $((height - 3))
  await active "$dialog" || fail "a click did not give the dialog the focus"
}

dialog=$(await_window Dovetrel) || fail "the dialog did not appear"
await active "$dialog" || fail "the dialog did not get the focus"

# Presses the dialog's button $1 steps of the tab order after the IVR field (Alt+I reaches it):
# keys of any keyboard layout, where the buttons' own Alt+letters are Cyrillic.
press_dialog_button() {
  xdotool key alt+i
  for _ in $(seq "$1"); do xdotool key Tab; done
  xdotool key space
}

# The call flow ("Схема…", after the IVR chooser, the VoiceXML field, the dialect and its
# chooser) opens active, named with its scale.
press_dialog_button 5
flow=$(await_window "Схема звонка — main.ivr" prefix) || fail "\"Схема…\" opened no call-flow window"
await active "$flow" || fail "the call-flow window did not get the focus"
transient_for_dialog "$flow" || fail "the call-flow window is not transient for the dialog"
title=$(xdotool getwindowname "$flow")
xdotool key ctrl+plus
await renamed "$flow" "$title" || fail "Ctrl+plus did not zoom ($title)"
title=$(xdotool getwindowname "$flow")
xdotool mousemove --window "$flow" 200 150 click 4 # the wheel turned up, over the drawing
await renamed "$flow" "$title" || fail "the wheel did not zoom ($title)"
save_through_chooser "$flow" "$work/saved/flow.svg"
await [ -s "$work/saved/flow.svg" ] || fail "Ctrl+S saved no call flow"
grep -q '<svg' "$work/saved/flow.svg" || fail "the saved call flow is no SVG"
xdotool key Escape
await_gone "Схема звонка — main.ivr" prefix || fail "Escape did not close the call-flow window"
await active "$dialog" || activate_dialog

# The call ("Проверить звонок…", the next button) opens; the keypad's 1 pressed with the mouse (the
# keypad's first key, at its top left), then 1 typed. Each save proposes calls/ beside the main
# file, named by the events.
press_dialog_button 6
call=$(await_window "Проверка звонка — main.ivr") || fail "\"Проверить звонок…\" opened no call window"
await active "$call" || fail "the call window did not get the focus"
transient_for_dialog "$call" || fail "the call window is not transient for the dialog"
click_in "$call" 20 20
save_through_chooser "$call"
await [ -s "$work/calls/main-1.txt" ] || fail "the mouse's key or Ctrl+S was lost: no calls/main-1.txt"
"$call_binary" "$work/main.ivr" 1 >"$work/expected-1" 2>>"$work/dovetrel-call.log"
cmp -s "$work/calls/main-1.txt" "$work/expected-1" || fail "the call record differs: $(cat "$work/calls/main-1.txt")"
xdotool key 1
save_through_chooser "$call"
await [ -s "$work/calls/main-1-1.txt" ] || fail "the typed key or Ctrl+S was lost: no calls/main-1-1.txt"
"$call_binary" "$work/main.ivr" 1 1 >"$work/expected-1-1" 2>>"$work/dovetrel-call.log"
cmp -s "$work/calls/main-1-1.txt" "$work/expected-1-1" || fail "the call record differs: $(cat "$work/calls/main-1-1.txt")"
"$call_binary" --expect "$work/calls/main-1-1.txt" "$work/main.ivr" 2>>"$work/dovetrel-call.log" ||
  fail "dovetrel-call --expect does not replay the saved call"
# "Покрыть звонками…", at the bottom left, clicked: the generated calls appear in calls/ beside
# the two saved there, each as dovetrel-call --cover writes it, and a box says how many.
height=$(xdotool getwindowgeometry "$call" | sed -n 's/.*Geometry: [0-9]*x//p')
click_in "$call" 30 $((height - 22))
box=$(await_window dovetrel) || fail "\"Покрыть звонками…\" showed no box"
await [ "$(ls "$work/calls" | wc -l)" -gt 2 ] || fail "\"Покрыть звонками…\" wrote no call into calls/"
"$call_binary" --cover "$work/expected-calls" "$work/main.ivr" >/dev/null 2>>"$work/dovetrel-call.log"
for record in "$work"/expected-calls/*.txt; do
  cmp -s "$record" "$work/calls/$(basename "$record")" || fail "no generated $(basename "$record") in calls/"
done
await active "$box" || fail "the box did not get the focus"
xdotool key Return
await active "$call" || fail "the box did not give the call window back"
# "Покрытие звонками", beside it, clicked on its label: the records in calls/ are run, and one that
# is no transcript is said in a box.
printf 'menu main.ivr\nhangup\nsilence\n' >"$work/calls/zz-no-transcript.txt"
click_in "$call" 200 $((height - 22))
box=$(await_window dovetrel) || fail "\"Покрытие звонками\" showed no box for a record that is no transcript"
await active "$box" || fail "the box did not get the focus"
xdotool key Return
await active "$call" || fail "the box did not give the call window back"
xdotool key alt+F4 # the window manager's close, as its close button
await_gone "Проверка звонка — main.ivr" || fail "the window manager could not close the call window"
await active "$dialog" || activate_dialog

# The dialog converts again: Return in the IVR field, into the name it proposed.
rm -f "$work/main.vxml"
xdotool key alt+i Return
box=$(await_window dovetrel) || fail "no box after Convert"
cmp -s "$work/main.vxml" "$examples/worked/expected/main.vxml" || fail "the document differs"
await active "$box" || fail "the box did not get the focus"
xdotool key Return
await_gone dovetrel || fail "Return did not close the success box"

# Leaving: Escape, and Yes.
await active "$dialog" || activate_dialog
xdotool key Escape
question=$(await_window dovetrel) || fail "Escape asked nothing"
await active "$question" || fail "the question did not get the focus"
xdotool key Return
pass_when_ended 100
