# Helpers of the scripts that drive the real dovetrel on a virtual display; sourced. They expect
# $work (a directory of the script's own, whose *.log files a failure shows) and set $xvfb.

fail() { echo "FAIL: $*"; cat "$work"/*.log; exit 1; }

# A display of its own, on a random number that answers as ours: another developer's server may
# hold a number although no lock file here says so.
start_display() {
  local number
  for _ in $(seq 10); do
    number=$((RANDOM % 900 + 100))
    [ -e "/tmp/.X$number-lock" ] && continue
    # -noreset: the probe below is the first client to leave, and a reset then would refuse the
    # next one for a moment.
    Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset 2>"$work/xvfb.log" &
    xvfb=$!
    for _ in $(seq 50); do
      if DISPLAY=":$number" xdotool getdisplaygeometry >/dev/null 2>&1; then
        export DISPLAY=":$number"
        return 0
      fi
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=""
  done
  return 1
}

# The visible windows named exactly $1 (xdotool itself matches without regard to case).
windows_named() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
  done
  return 0
}
# The visible windows whose name begins with $1.
windows_beginning() {
  local id name
  for id in $(xdotool search --onlyvisible --name "^$1" 2>/dev/null || true); do
    name=$(xdotool getwindowname "$id" 2>/dev/null || true)
    [ "${name#"$1"}" != "$name" ] && echo "$id"
  done
  return 0
}
# Waits up to 10 s for a visible window named exactly $1 (with $2 = prefix: beginning with $1);
# prints its id.
await_window() {
  local id
  for _ in $(seq 100); do
    if [ "${2:-}" = prefix ]; then id=$(windows_beginning "$1" | head -n1); else
      id=$(windows_named "$1" | head -n1); fi
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Waits up to 10 s until no visible window is named exactly $1 (with $2 = prefix: begins so).
await_gone() {
  for _ in $(seq 100); do
    if [ "${2:-}" = prefix ]; then [ -z "$(windows_beginning "$1")" ] && return 0; else
      [ -z "$(windows_named "$1")" ] && return 0; fi
    sleep 0.1
  done
  return 1
}

# Passes the check once the program ($pid) has ended, within $1 tenths of a second; fails after.
pass_when_ended() {
  for _ in $(seq "$1"); do
    if ! kill -0 "$pid" 2>/dev/null; then
      pid=""
      echo "PASS"
      exit 0
    fi
    sleep 0.1
  done
  fail "answering Yes did not end the program"
}
