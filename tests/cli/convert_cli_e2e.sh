#!/usr/bin/env bash
# End-to-end checks of the real dovetrel-convert binary, one case per run.
# Usage: convert_cli_e2e.sh BINARY EXAMPLES_DIR CASE
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

# run ARGS...: runs the binary here, leaving $status, $out and $err.
run() { run_in . "$@"; }

expect_listing() {
  local listing
  listing=$(cd "$work" && ls -A | tr '\n' ' ')
  [ "$listing" = "$1" ] || fail "directory holds '$listing', expected '$1'"
}

summary_load="error: Не удалось загрузить указанный сценарий IVR или вложенный в него сценарий!"
summary_write="error: Не удалось сконвертировать сценарий IVR в сценарий VoiceXML!"
success="information: Файл сценария IVR успешно преобразован в сценарий VoiceXML!"

case $case in
success)
  cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
  run "$work/main.ivr"
  expect_status 0; expect_no_out; expect_err "$success"
  cmp -s "$work/main.vxml" "$examples/worked/expected/main.vxml" || fail "document differs"
  run "$work/main.ivr" "$work/other.vxml"
  expect_status 0
  cmp -s "$work/other.vxml" "$work/main.vxml" || fail "named output differs"
  expect_listing "main.ivr main.vxml other.vxml sales.ivr "
  ;;
name-missing)
  run "" "$work/out.vxml"
  expect_status 1; expect_no_out
  expect_err "error: Не указано имя файла сценария IVR или файла сценария VoiceXML!"
  expect_listing ""
  ;;
load-failure)
  printf '10   a.wav\n1    menu            gone.ivr\n' >"$work/main.ivr"
  echo previous >"$work/main.vxml"
  run "$work/main.ivr"
  expect_status 1; expect_no_out
  expect_err "error: Не удалось открыть файл сценария IVR!
  $work/gone.ivr: No such file or directory (указан в $work/main.ivr:2)
$summary_load"
  [ "$(cat "$work/main.vxml")" = previous ] || fail "previous document changed"
  ;;
write-failure)
  cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
  run "$work/main.ivr" "$work/missing/out.vxml"
  expect_status 1; expect_no_out
  expect_err "error: Невозможно записать заголовок файла сценария VoiceXML!
  $work/missing/out.vxml: папка «$work/missing/» не принимает новый файл: No such file or directory
$summary_write"
  printf '10   a.wav\n1    dial            1\x012\n' >"$work/bad.ivr"
  echo previous >"$work/bad.vxml"
  run "$work/bad.ivr"
  expect_status 1
  expect_err "error: Ошибка записи элемента сценария VoiceXML!
  $work/bad.ivr:2
$summary_write"
  [ "$(cat "$work/bad.vxml")" = previous ] || fail "previous document changed"
  expect_listing "bad.ivr bad.vxml main.ivr sales.ivr "
  ;;
end-failure)
  # A file-size limit of one block makes the final write fail with EFBIG: the end stage's message
  # and its reason, and nothing printed by the XML library itself.
  cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
  echo previous >"$work/main.vxml"
  (trap '' XFSZ; ulimit -f 1; run "$work/main.ivr"; echo "$status" >"$logs/status")
  status=$(cat "$logs/status") err=$(cat "$logs/err")
  expect_status 1
  expect_err "error: Невозможно записать окончание файла сценария VoiceXML!
  $work/main.vxml: File too large
$summary_write"
  [ "$(cat "$work/main.vxml")" = previous ] || fail "previous document changed"
  expect_listing "main.ivr main.vxml sales.ivr "
  ;;
read-error)
  # Reading this process's own memory file fails at once with an I/O error.
  run /proc/self/mem "$work/out.vxml"
  expect_status 1; expect_no_out
  expect_err "error: An unknown error occurred while accessing /proc/self/mem."
  expect_listing ""
  ;;
target-is-scenario)
  # Every spelling of a file of the set is refused, before anything is written; the message
  # names the file as the set was given (main.ivr, beside it sales.ivr).
  cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
  mkdir "$work/x"
  ln -s ../sales.ivr "$work/x/link.vxml"
  for target in "$work/main.ivr" main.ivr ./main.ivr "../$(basename "$work")/sales.ivr" \
                x/link.vxml; do
    run_in "$work" main.ivr "$target"
    expect_status 1
    file=main.ivr
    case $target in *sales.ivr | *link.vxml) file=sales.ivr ;; esac
    expect_err "error: Файл сценария VoiceXML совпадает с файлом сценария IVR и не может быть перезаписан!
  $file
$summary_write"
  done
  cmp -s "$work/main.ivr" "$examples/worked/main.ivr" || fail "main.ivr changed"
  cmp -s "$work/sales.ivr" "$examples/worked/sales.ivr" || fail "sales.ivr changed"
  expect_listing "main.ivr sales.ivr x "
  ;;
control-characters)
  # Texts quoted from a scenario never reach the terminal raw: one finding a line, no escapes.
  printf 'abc  cr\rx\r\n1    dial            123\r\n2    menu            \033[31mred.ivr\n' \
    >"$work/main.ivr"
  run --check "$work/main.ivr"
  expect_status 1
  [[ $err != *$'\r'* && $err != *$'\033'* ]] || fail "a control character reached standard error"
  [ "$(grep -c '' <<<"$err")" -eq 4 ] || fail "expected four findings, got:"$'\n'"$err"
  [[ $err == *'«cr\rx»'* && $err == *'\x1B[31mred.ivr'* ]] || fail "not escaped:"$'\n'"$err"
  run "$work/main.ivr" "$work/out.vxml"
  expect_status 1
  [[ $err != *$'\033'* ]] || fail "a control character reached standard error"
  [[ $err == *'\x1B[31mred.ivr: No such file'* ]] || fail "not escaped:"$'\n'"$err"
  ;;
usage)
  run --bogus
  expect_status 2; expect_no_out
  run
  expect_status 2
  run "$work/a.ivr" "$work/b" "$work/c"
  expect_status 2
  run --help
  expect_status 0
  [ -n "$out" ] && [ -z "$err" ] || fail "help must go to standard output only"
  run --version
  expect_status 0
  [ "$out" = "dovetrel-convert 1.3" ] || fail "version was '$out'"
  ;;
flow-usage)
  # --flow takes a file of a known suffix, and neither --check nor a document beside it.
  cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
  for args in "--flow $work/f.txt $work/main.ivr" "--flow=$work/f $work/main.ivr" \
              "--flow $work/f.svg --check $work/main.ivr" "--flow $work/f.svg $work/main.ivr $work/o.vxml" \
              "--flow= $work/main.ivr" "$work/main.ivr --flow"; do
    run $args
    expect_status 2; expect_no_out
    [[ $err == "error: dovetrel-convert: "*$'\n'"  справка: dovetrel-convert --help" ]] ||
      fail "usage message for '$args' was: $err"
  done
  run --flow "$work/f.txt" "$work/main.ivr"
  [[ $err == *"неизвестный формат схемы $work/f.txt"* ]] || fail "the suffix is not named: $err"
  expect_listing "main.ivr sales.ivr "
  ;;
flow-coverage)
  # The records' counts on the arrows and the summary on standard output; a record that is no
  # transcript is an error at its line, and nothing is drawn; --coverage only with --flow.
  cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
  run --flow "$work/flow.dot" --coverage "$examples/worked/calls/sales-busy.txt" "$work/main.ivr"
  expect_status 0
  [ "$out" = "строк проверено звонками: 4 из 7, исходов «нет ответа»: 0 из 1 (50,0 %)" ] || fail "summary was: $out"
  grep -qF 'label="1 ×1"' "$work/flow.dot" || fail "no count on the arrow of main.ivr:2"
  grep -qF 'label="2 ×0"' "$work/flow.dot" || fail "no uncovered arrow of main.ivr:3"
  printf 'menu main.ivr\nhangup\nsilence\n' >"$work/bad.txt"
  run --flow "$work/bad.dot" --coverage "$work/bad.txt" "$work/main.ivr"
  expect_status 2; expect_no_out
  expect_err "$work/bad.txt:3: error: Строка записи звонка стоит после hangup: звонок на нём окончен!"
  run --coverage "$work/bad.txt" "$work/main.ivr"
  expect_status 2
  expect_listing "bad.txt flow.dot main.ivr sales.ivr "
  ;;
flow-load-failure)
  # The conversion's own messages, and nothing written.
  printf '10   a.wav\n1    menu            gone.ivr\n' >"$work/main.ivr"
  for format in svg json; do
    run --flow "$work/flow.$format" "$work/main.ivr"
    expect_status 1; expect_no_out
    expect_err "error: Не удалось открыть файл сценария IVR!
  $work/gone.ivr: No such file or directory (указан в $work/main.ivr:2)
$summary_load"
  done
  expect_listing "main.ivr "
  ;;
flow-write-failure)
  # A file that cannot be written: its name and the reason, nothing left behind, the earlier
  # file kept.
  cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
  for format in svg json; do
    run --flow "$work/missing/flow.$format" "$work/main.ivr"
    expect_status 1; expect_no_out
    expect_err "error: Не удалось записать файл схемы звонка!
  $work/missing/flow.$format: папка «$work/missing/» не принимает новый файл: No such file or directory"
  done
  echo previous >"$work/flow.dot"
  (trap '' XFSZ; ulimit -f 1; run --flow "$work/flow.dot" "$work/main.ivr"; echo "$status" >"$logs/status")
  status=$(cat "$logs/status") err=$(cat "$logs/err")
  expect_status 1
  expect_err "error: Не удалось записать файл схемы звонка!
  $work/flow.dot: File too large"
  [ "$(cat "$work/flow.dot")" = previous ] || fail "previous file changed"
  run --flow "$work/sales.ivr.svg" "$work/main.ivr"
  expect_status 0
  ln -s sales.ivr "$work/x.svg"
  run --flow "$work/x.svg" "$work/main.ivr"
  expect_status 1
  expect_err "error: Файл схемы совпадает с файлом сценария IVR и не может быть перезаписан!
  $work/sales.ivr"
  cmp -s "$work/sales.ivr" "$examples/worked/sales.ivr" || fail "sales.ivr changed"
  expect_listing "flow.dot main.ivr sales.ivr sales.ivr.svg x.svg "
  ;;
flow-module)
  # The drawing module is looked for beside the program, in ../lib/dovetrel/: missing or broken,
  # the drawn formats fail naming it, while JSON needs no module.
  cp "$examples/worked/main.ivr" "$examples/worked/sales.ivr" "$work/"
  mkdir -p "$logs/prefix/bin" "$logs/prefix/lib/dovetrel"
  cp "$bin" "$logs/prefix/bin/"
  bin=$logs/prefix/bin/$(basename "$bin")
  module=$logs/prefix/bin/../lib/dovetrel/dovetrel-graphviz.so
  run --flow "$work/flow.svg" "$work/main.ivr"
  expect_status 1; expect_no_out
  expect_err "error: Не удалось загрузить модуль рисования схем dovetrel-graphviz.so!
  $module: cannot open shared object file: No such file or directory"
  echo "not a library" >"$module"
  run --flow "$work/flow.png" "$work/main.ivr"
  expect_status 1
  [[ $err == "error: Не удалось загрузить модуль рисования схем dovetrel-graphviz.so!"$'\n'"  $module: "* ]] ||
    fail "a broken module was not named: $err"
  run --flow "$work/flow.json" "$work/main.ivr"
  expect_status 0
  expect_listing "flow.json main.ivr sales.ivr "
  ;;
fix)
  # The safe fixes of a CR LF file without a final line end: each changed line before and after,
  # the same as "diff -u" with --dry-run, which patch takes; the other bytes and files untouched.
  printf '10 welcome.wav\r\n  1  menu sales.ivr\r\n2    Dial            123\r\n3    dial            5 6\r\n0    disconnect' \
    >"$work/main.ivr"
  printf '10   s.wav\n1    disconnect\n' >"$work/sales.ivr"
  cp "$work/main.ivr" "$logs/before.ivr"
  sales_inode=$(stat -c %i "$work/sales.ivr")
  run_in "$work" --fix --dry-run main.ivr
  expect_status 0; expect_err ""
  cmp -s "$work/main.ivr" "$logs/before.ivr" || fail "--dry-run changed main.ivr"
  diff=$out
  run_in "$work" --fix main.ivr
  expect_status 0; expect_err ""
  [ "$out" = "main.ivr:1: -10 welcome.wav
main.ivr:1: +10   welcome.wav
main.ivr:2: -  1  menu sales.ivr
main.ivr:2: +1    menu            sales.ivr
main.ivr:3: -2    Dial            123
main.ivr:3: +2    dial            123" ] || fail "listing was:"$'\n'"$out"
  expected_diff=$(cd "$logs" && cp "$work/main.ivr" after.ivr && diff -u before.ivr after.ivr |
                  tail -n +3)
  [ "$(tail -n +3 <<<"$diff")" = "$expected_diff" ] || fail "diff was:"$'\n'"$diff"
  [ "$(head -n 2 <<<"$diff")" = $'--- a/main.ivr\n+++ b/main.ivr' ] || fail "diff names: $diff"
  mkdir "$logs/tree" && cp "$logs/before.ivr" "$logs/tree/main.ivr"
  (cd "$logs/tree" && patch -s -p1 <<<"$diff") || fail "patch refused the diff"
  cmp -s "$logs/tree/main.ivr" "$work/main.ivr" || fail "the patched file differs"
  [ "$(stat -c %i "$work/sales.ivr")" = "$sales_inode" ] || fail "sales.ivr was replaced"
  run_in "$work" --check main.ivr
  expect_status 3
  # The greetings' sound files are not there: notes, which no fix mends.
  warnings=$(grep -v ': information: приветствие «' <<<"$err")
  [[ $warnings == "main.ivr:4:24: warning: текст «6» после аргумента"* && $warnings != *$'\n'* ]] ||
    fail "--check after --fix: $err"
  main_inode=$(stat -c %i "$work/main.ivr")
  run_in "$work" --fix main.ivr
  expect_status 0; expect_no_out; expect_err ""
  [ "$(stat -c %i "$work/main.ivr")" = "$main_inode" ] || fail "a file without fixes was replaced"
  expect_listing "main.ivr sales.ivr "
  ;;
fix-failure)
  # A set that does not load, even fixed, and a file that cannot be written: the messages, and
  # every file as it was, nothing left behind.
  printf '10   a.wav\n1    menu  gone.ivr\n' >"$work/main.ivr"
  run --fix "$work/main.ivr"
  expect_status 1; expect_no_out
  expect_err "error: Не удалось открыть файл сценария IVR!
  $work/gone.ivr: No such file or directory (указан в $work/main.ivr:2)
$summary_load"
  printf '10   a.wav\n1    menu  big.ivr\n' >"$work/main.ivr"
  { printf '10   a.wav\n'; for i in $(seq 100); do printf '%-20s\n' "$((i % 10))  disconnect"; done; } \
    >"$work/big.ivr"
  cp "$work/main.ivr" "$work/big.ivr" "$logs/"
  (trap '' XFSZ; ulimit -f 1; run --fix "$work/main.ivr"; echo "$status" >"$logs/status")
  status=$(cat "$logs/status") err=$(cat "$logs/err")
  expect_status 1
  expect_err "error: Не удалось записать исправленный файл сценария!
  $work/big.ivr: File too large"
  cmp -s "$work/main.ivr" "$logs/main.ivr" || fail "main.ivr changed"
  cmp -s "$work/big.ivr" "$logs/big.ivr" || fail "big.ivr changed"
  expect_listing "big.ivr main.ivr "
  ;;
*)
  fail "no such case"
  ;;
esac
exit $((failures > 0))
