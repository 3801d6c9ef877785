#!/usr/bin/env bash
# Renders each manual page given with groff and with man, warnings on, and fails on any warning,
# on a page without a NAME section, on a word hyphenated at a line end and on a whatis line that
# man-db cannot read (what apropos and lintian use).
# Usage: render_manuals.sh PAGE.1...
set -euo pipefail
export LC_ALL=C.UTF-8 MANWIDTH=80
[ $# -gt 0 ] || { echo "no manual page given" >&2; exit 2; }
failures=0
for page in "$@"; do
  groff_warnings=$( { groff -ww -k -man -Tutf8 -z "$page"; } 2>&1 >/dev/null || echo "groff failed")
  man_warnings=$( { man --warnings -l "$page" >/dev/null; } 2>&1 || echo "man failed")
  if [ -n "$groff_warnings$man_warnings" ]; then
    printf '%s:\n%s\n%s\n' "$page" "$groff_warnings" "$man_warnings" >&2
    failures=$((failures + 1))
  fi
  text=$(man -l "$page" 2>/dev/null)
  if ! grep -qE '^(NAME|ИМЯ)$' <<<"$text"; then
    echo "$page: no NAME section" >&2
    failures=$((failures + 1))
  fi
  # A hyphenated line end shows as U+2010; it would cut an option such as --dialect in two.
  if grep -n $'\u2010' <<<"$text" >&2; then
    echo "$page: words hyphenated at line ends (above)" >&2
    failures=$((failures + 1))
  fi
  whatis=$(lexgrog "$page" 2>&1) || { echo "$page: $whatis" >&2; failures=$((failures + 1)); }
done
[ "$failures" -eq 0 ] || exit 1
echo "$# pages render without a warning"
