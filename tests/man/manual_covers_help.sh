#!/usr/bin/env bash
# Runs PROGRAM --help and checks each manual page given against it: every option the help names
# (--long, -x, and Qt's single-dash words such as -platform) must be in the page, and every exit
# status the help lists must open an entry of the page's exit-status section.
# Usage: manual_covers_help.sh PROGRAM PAGE.1...
set -euo pipefail
export LC_ALL=C.UTF-8
program=${1:?usage: manual_covers_help.sh PROGRAM PAGE.1...}
shift
[ $# -gt 0 ] || { echo "no manual page given" >&2; exit 2; }

help=$("$program" --help)
# Options: one or two dashes and a letter, not inside a word ("KOI8-R" and "UTF-8" are not options).
mapfile -t options < <(grep -oP '(?<![\w-])--?[A-Za-z][A-Za-z0-9-]*' <<<"$help" | sort -u)
[ ${#options[@]} -gt 0 ] || { echo "$program --help names no option: is this its help?" >&2; exit 1; }
# Exit statuses: the numbers before a dash or a colon in the paragraph that starts with its heading.
statuses_text=$(awk '/^(Коды? завершения|[Ee]xit status)/ {on = 1} on && /^$/ {exit} on' <<<"$help")
statuses=()
if grep -qE '[Кк]оды? завершения|[Ee]xit status' <<<"$help"; then
  mapfile -t statuses < <(grep -oP '(?<![\w.-])[0-9]{1,3}(?= ?[—:-])' <<<"$statuses_text" | sort -un)
  [ ${#statuses[@]} -gt 0 ] || { echo "no status read from: $statuses_text" >&2; exit 1; }
fi
echo "$program --help: options ${options[*]}; exit statuses ${statuses[*]:-none}"

failures=0
for page in "$@"; do
  # The page as a reader sees it, hyphens and minus signs as plain dashes.
  text=$(groff -k -man -Tutf8 -P-cbou "$page" | sed 's/\xe2\x80\x90/-/g; s/\xe2\x88\x92/-/g')
  [ -n "$text" ] || { echo "$page: renders to nothing" >&2; failures=$((failures + 1)); continue; }
  for option in "${options[@]}"; do
    if ! grep -qP -- "(?<![\w-])${option}(?![\w-])" <<<"$text"; then
      echo "$page: option $option of --help is missing" >&2
      failures=$((failures + 1))
    fi
  done
  # The section runs from its heading (at the left margin) to the next heading.
  section=$(awk '/^[^ ]/ {on = ($0 ~ /^(EXIT STATUS|КОДЫ ЗАВЕРШЕНИЯ)$/); next} on' <<<"$text")
  if [ ${#statuses[@]} -gt 0 ] && [ -z "$section" ]; then
    echo "$page: no EXIT STATUS (КОДЫ ЗАВЕРШЕНИЯ) section" >&2
    failures=$((failures + 1))
  fi
  for status in "${statuses[@]}"; do
    if ! grep -qP "^\s+${status}(\s|$)" <<<"$section"; then
      echo "$page: exit status $status of --help has no entry in its exit-status section" >&2
      failures=$((failures + 1))
    fi
  done
done
[ "$failures" -eq 0 ] || { echo "$failures omissions" >&2; exit 1; }
echo "every option and exit status is in $*"
