#!/usr/bin/env bash
# Drives the bash completion of dovetrel-convert, dovetrel-call and dovetrel-diff as bash would on Tab: sources
# bash-completion and the scripts, fills COMP_WORDS for a command line and compares what is offered
# with what should be.
# Usage: completion_test.sh COMPLETIONS_DIR (the folder that holds packaging/completion's files)
set -uo pipefail
export LC_ALL=C.UTF-8 # one sort order for the offers
dir=${1:?usage: completion_test.sh COMPLETIONS_DIR}
framework=/usr/share/bash-completion/bash_completion
[ -r "$framework" ] || { echo "bash-completion is not installed (scripts/setup.sh test)"; exit 77; }
# shellcheck source=/dev/null
source "$framework"
# shellcheck source=/dev/null
source "$dir/dovetrel-convert"
# shellcheck source=/dev/null
source "$dir/dovetrel-call"
# shellcheck source=/dev/null
source "$dir/dovetrel-diff"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch main.ivr sales.IVR notes.txt main.vxml old.vxml flow.svg flow.json
mkdir scenarios

failures=0
# offered WORD... -- the words of the command line as readline splits it, the last one being
# completed; a word "=" stands for "--option=VALUE" typed without spaces. Prints the offers,
# sorted, one a line.
offered() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_LINE=${COMP_LINE// = /=}
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  local function
  function=$(complete -p "$1" 2>/dev/null | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
  [ -n "$function" ] || { echo "no completion for $1"; return; }
  "$function" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}" | sort
}
# expect "EXPECTED OFFERS" WORD... : the offers, one a line, must be exactly these.
expect() {
  local expected=$1 actual
  shift
  actual=$(offered "$@" | paste -sd' ')
  if [ "$actual" != "$expected" ]; then
    echo "FAIL: '$*<Tab>' offered '$actual', expected '$expected'"
    failures=$((failures + 1))
  fi
}
# expect_some "OFFER..." WORD... : each of these must be offered (among others).
expect_some() {
  local wanted=$1 actual word
  shift
  actual=$(offered "$@")
  for word in $wanted; do
    if ! grep -qxF -- "$word" <<<"$actual"; then
      echo "FAIL: '$*<Tab>' did not offer '$word' (offered: $(head -c 200 <<<"$actual" | paste -sd' '))"
      failures=$((failures + 1))
    fi
  done
}

expect "--check --coverage --dialect --dry-run --encoding --fix --flow --help --version" dovetrel-convert --
expect "--dialect" dovetrel-convert --di
expect "classic w3c" dovetrel-convert --dialect ''
expect "w3c" dovetrel-convert --dialect w
expect "classic" dovetrel-convert --dialect = c
expect "" dovetrel-convert --help ''
# The scenario first (directories too, to walk into), then the document.
expect "main.ivr sales.IVR scenarios" dovetrel-convert ''
expect "main.ivr sales.IVR scenarios" dovetrel-convert --dialect w3c --encoding KOI8-R ''
expect "main.vxml old.vxml scenarios" dovetrel-convert main.ivr ''
expect "main.vxml old.vxml scenarios" dovetrel-convert --dialect classic main.ivr ''
expect "main.vxml old.vxml scenarios" dovetrel-convert --encoding = UTF-8 main.ivr ''
expect "" dovetrel-convert main.ivr out.vxml ''
expect "" dovetrel-convert --check main.ivr ''
expect "" dovetrel-convert --fix --dry-run main.ivr ''
expect "main.vxml old.vxml scenarios" dovetrel-convert -- main.ivr ''
# --flow names a diagram or JSON file, and then takes the scenario alone.
expect "flow.json flow.svg scenarios" dovetrel-convert --flow ''
expect "flow.json flow.svg scenarios" dovetrel-convert --flow = ''
expect "main.ivr sales.IVR scenarios" dovetrel-convert --flow flow.svg ''
expect "" dovetrel-convert --flow flow.svg main.ivr ''
expect "" dovetrel-convert --flow = flow.svg main.ivr ''
all="flow.json flow.svg main.ivr main.vxml notes.txt old.vxml sales.IVR scenarios"
expect "$all" dovetrel-convert --flow flow.svg --coverage notes.txt ''
expect "both classic w3c" dovetrel-convert --coverage notes.txt --dialect ''
expect "main.ivr sales.IVR scenarios" dovetrel-convert --coverage notes.txt --flow flow.svg ''
if command -v iconv >/dev/null; then
  expect_some "KOI8-R KOI8-U" dovetrel-convert --encoding KOI8-
  expect_some "WINDOWS-1251 UTF-8" dovetrel-convert --encoding ''
  expect_some "CP1251" dovetrel-convert --encoding = CP125
fi

expect "--cover --coverage --dialect --encoding --expect --help --lcov --min --paths --version" \
  dovetrel-call --
expect "classic w3c" dovetrel-call --dialect ''
expect "main.ivr sales.IVR scenarios" dovetrel-call ''
expect "main.ivr sales.IVR scenarios" dovetrel-call --encoding = KOI8-R --dialect w3c ''
# Events after the scenario, as many as the call takes; none with --expect.
expect "0 1 2 3 4 5 6 7 8 9 \\# \\* answer busy fax noanswer silence" dovetrel-call main.ivr ''
expect "silence" dovetrel-call main.ivr 1 si
expect "busy" dovetrel-call main.ivr 2 b
expect "" dovetrel-call --expect call.txt main.ivr ''
expect "" dovetrel-call --cover scenarios main.ivr ''
expect "scenarios" dovetrel-call --cover ''
expect "" dovetrel-call --paths main.ivr ''
expect "notes.txt" dovetrel-call --coverage main.ivr no
expect "" dovetrel-call --coverage --min ''
expect "flow.json flow.svg main.ivr main.vxml notes.txt old.vxml sales.IVR scenarios" \
  dovetrel-call --expect ''
expect "--flow --git --help --version" dovetrel-diff --
expect "main.ivr sales.IVR scenarios" dovetrel-diff main.ivr ''
expect "" dovetrel-diff --git HEAD main.ivr ''
expect "flow.svg scenarios" dovetrel-diff --flow ''
if command -v iconv >/dev/null; then
  expect_some "KOI8-R" dovetrel-call --encoding KOI8-
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures completions wrong"
  exit 1
fi
echo "every completion as expected"
