#!/usr/bin/env bash
# Checks the Kate syntax definition of .ivr files: it is well-formed XML, and KSyntaxHighlighting
# (kate-syntax-highlighter, the engine Kate uses) finds it where an installed one lies
# (DIR/org.kde.syntax-highlighting/syntax of XDG_DATA_DIRS), loads it without a warning under its
# name "IVR scenario", and colours each word by its column as columns.formats says. Exit status 77
# (skipped) after the XML check when kate-syntax-highlighter is not installed.
# Usage: kate_syntax.sh IVR_XML
set -euo pipefail
definition=$(realpath "${1:?usage: kate_syntax.sh IVR_XML}")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

xmllint --noout "$definition"
if ! command -v kate-syntax-highlighter >/dev/null; then
  echo "kate_syntax: SKIP: kate-syntax-highlighter is not installed" \
       "(scripts/setup.sh installs libkf5syntaxhighlighting-tools)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data/org.kde.syntax-highlighting/syntax"
cp "$definition" "$work/data/org.kde.syntax-highlighting/syntax/"
export XDG_DATA_DIRS=$work/data XDG_DATA_HOME=$work/home QT_QPA_PLATFORM=offscreen

# columns.ivr holds a line for each rule, columns.formats the format of each word of each line as
# "COLUMN:FORMAT" (0-based); Neovim's syntax file is held to the same table (nvim_client.lua).
cp "$here/columns.ivr" "$work/set.ivr"
cp "$here/columns.formats" "$work/expected"

kate-syntax-highlighter --syntax "IVR scenario" --output-format ansi --syntax-trace format \
  "$work/set.ivr" >"$work/trace" 2>"$work/warnings"
# The engine's own warnings (an unknown rule, a context that does not exist) fail; Qt's notes
# about the environment only show.
cat "$work/warnings" >&2
if grep -q '^kf\.syntaxhighlighting' "$work/warnings"; then
  echo "kate_syntax: FAIL: KSyntaxHighlighting warns about the definition (above)" >&2
  exit 1
fi
# The trace puts under each line pairs of lines: a "|" at the column where a word starts, and the
# name of the word's format at the same column one line down.
sed 's/\x1b\[[0-9;]*[mK]//g' "$work/trace" | awk -f /dev/fd/3 3<<'AWK' >"$work/actual"
function flush(   column, out) {
  if (!lines) return
  out = ""
  for (column = 0; column <= last; column++)
    if ((column in format) && format[column] != "Normal")
      out = out " " column ":" format[column]
  print substr(out, 2)
  delete format
  last = 0
}
names {
  for (column in marks) {
    name = substr($0, column)
    sub(/ .*/, "", name)
    format[column - 1] = name
    if (column - 1 > last) last = column - 1
  }
  delete marks
  names = 0
  next
}
lines && /^[ |]+$/ {
  for (column = 1; column <= length($0); column++)
    if (substr($0, column, 1) == "|") marks[column] = 1
  names = 1
  next
}
$0 != "" { flush(); lines++ }
END { flush() }
AWK
diff -u --label expected --label kate-syntax-highlighter "$work/expected" "$work/actual"
echo "kate_syntax: $(wc -l <"$work/expected") lines coloured by their columns"
