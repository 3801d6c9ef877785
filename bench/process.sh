#!/usr/bin/env bash
# The whole dovetrel-convert process on the largest set beside xmllint --format on the document it
# writes (the same libxml2 loaded, one file read and one written), run side by side in alternating
# rounds. Prints both per-run times (best round) and their ratio; fails when the ratio is over the
# budget. Usage: bench/process.sh BUILD_DIR [RUNS_PER_ROUND] [ROUNDS]
set -euo pipefail
build=$(cd "$1" && pwd)
runs=${2:-200}
rounds=${3:-5}
budget=1.2
convert="$build/app/dovetrel-convert"
command -v xmllint >/dev/null || { echo "process.sh: xmllint is missing (libxml2-utils)" >&2; exit 2; }

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
keys=(1 2 3 4 5 6 7 8 9 '*' '#' a c d e g h i j k)
{
  printf '10   welcome.wav\n'
  for i in "${!keys[@]}"; do
    printf '%s    menu            menu%d.ivr\n' "${keys[$i]}" $((i + 1))
    printf '5    menu%d.wav\n' $((i + 1)) >"$dir/menu$((i + 1)).ivr"
  done
  printf '0    dial            84951234567\n-    menu            main.ivr\n'
} >"$dir/main.ivr"
"$convert" "$dir/main.ivr" "$dir/main.vxml" 2>/dev/null

# Nanoseconds for $runs runs of the command.
time_runs() {
  local start end
  start=$(date +%s%N)
  for ((n = 0; n < runs; n++)); do "$@"; done
  end=$(date +%s%N)
  echo $((end - start))
}

best_convert=0
best_xmllint=0
for ((round = 0; round < rounds; round++)); do
  c=$(time_runs "$convert" "$dir/main.ivr" "$dir/out.vxml" 2>/dev/null)
  x=$(time_runs xmllint --format --output "$dir/formatted.xml" "$dir/main.vxml")
  ((best_convert == 0 || c < best_convert)) && best_convert=$c
  ((best_xmllint == 0 || x < best_xmllint)) && best_xmllint=$x
done

awk -v c="$best_convert" -v x="$best_xmllint" -v n="$runs" -v b="$budget" 'BEGIN {
  r = c / x
  printf "dovetrel-convert   %8.0f us a run\n", c / n / 1000
  printf "xmllint --format   %8.0f us a run\n", x / n / 1000
  printf "ratio              %8.2f x (budget %.1f x) %s\n", r, b, (r <= b ? "ok" : "OVER")
  exit (r <= b ? 0 : 1)
}'
