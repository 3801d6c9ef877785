# What every end-to-end script of a command-line tool starts with; sourced, never run.
# The sourcing script is called as SCRIPT BINARY EXAMPLES_DIR CASE. It gets $bin, $examples and
# $case, an empty folder $work and a folder $logs for what the binary prints (both removed on
# exit), fail() to count a failure, run_in() to run the binary, and the expect_ checks. It ends
# with `exit $((failures > 0))`.
set -u
bin=$1 examples=$2 case=$3
work=$(mktemp -d)
logs=$(mktemp -d)
trap 'rm -rf "$work" "$logs"' EXIT
failures=0

fail() { echo "FAIL [$case]: $*" >&2; failures=$((failures + 1)); }

# run_in DIR ARGS...: runs the binary in DIR, leaving $status, $out and $err.
run_in() {
  local dir=$1
  shift
  (cd "$dir" && "$bin" "$@") >"$logs/out" 2>"$logs/err"
  status=$?
  out=$(cat "$logs/out")
  err=$(cat "$logs/err")
}

expect_status() { [ "$status" -eq "$1" ] || fail "exit status $status, expected $1 (stderr: $err)"; }
expect_out() { [ "$out" = "$1" ] || fail "standard output was:"$'\n'"$out"$'\n'"expected:"$'\n'"$1"; }
expect_err() { [ "$err" = "$1" ] || fail "standard error was:"$'\n'"$err"$'\n'"expected:"$'\n'"$1"; }
expect_no_out() { [ -z "$out" ] || fail "standard output was not empty: $out"; }
