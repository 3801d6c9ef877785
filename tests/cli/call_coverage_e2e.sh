#!/usr/bin/env bash
# End-to-end checks of the real dovetrel-call --coverage, one case per run.
# Usage: call_coverage_e2e.sh BINARY EXAMPLES_DIR CASE
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

# run ARGS...: runs the binary in $work, leaving $status, $out and $err.
run() { run_in "$work" "$@"; }

cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
cp -r "$examples/worked/calls" "$work/calls"

case $case in
covered)
  run --coverage --dialect both --lcov calls.info main.ivr "$work"/calls/*.txt
  expect_status 0; expect_err ""
  expect_out "строк проверено звонками: 7 из 7, исходов «нет ответа»: 1 из 1 (100,0 %)"
  grep -qx "SF:$work/sales.ivr" "$work/calls.info" || fail "no record of sales.ivr in calls.info"
  [ "$(grep -c '^DA:' "$work/calls.info")" -eq 7 ] || fail "calls.info does not hold 7 rows"
  ;;
uncovered)
  run --coverage main.ivr calls/sales-no-input.txt
  expect_status 3
  expect_err "main.ivr:3:1: warning: строка не проверена ни одним звонком
main.ivr:4:1: warning: строка не проверена ни одним звонком
main.ivr:5:1: warning: строка не проверена ни одним звонком
sales.ivr:2:1: warning: строка не проверена ни одним звонком
sales.ivr:2:1: warning: исход «нет ответа» (noanswer) этого перевода не проверен ни одним звонком
sales.ivr:3:1: warning: строка не проверена ни одним звонком"
  expect_out "строк проверено звонками: 2 из 7, исходов «нет ответа»: 0 из 1 (25,0 %)"
  run --coverage --min 25 main.ivr calls/sales-no-input.txt
  expect_status 0
  ;;
bad-record)
  printf 'menu main.ivr\nplay welcome.wav\nwait 10s\npress 0\nhangup\npress 1\n' >"$work/late.txt"
  run --coverage main.ivr calls/sales-busy.txt late.txt
  expect_status 2; expect_out ""
  expect_err "late.txt:6: error: Строка записи звонка стоит после hangup: звонок на нём окончен!"
  ;;
*)
  fail "no such case"
  ;;
esac
exit $((failures > 0))
