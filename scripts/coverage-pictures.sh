#!/usr/bin/env bash
# Renews the README's pictures of the recorded calls' coverage, from the call-centre example:
# genhtml's page of its main file annotated with its calls' counts (dovetrel-call --coverage
# --lcov, then genhtml; the page drawn by wkhtmltoimage), and its call flow with the counts on the
# arrows (dovetrel-convert --flow --coverage), one call left out so that arrows no call takes show.
# The example is read from a copy in UTF-8, so that genhtml's page shows its Russian names.
# Usage: scripts/coverage-pictures.sh [BUILD_DIR] [OUTPUT_DIR]   (defaults: build, docs)
# Writes OUTPUT_DIR/callcentre-lcov.png and OUTPUT_DIR/callcentre-covered.png. Installs Debian's
# lcov and wkhtmltopdf when they are missing (as root), and runs wkhtmltoimage on a virtual display.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(realpath -m "${1:-$top/build}")
output=$(realpath -m "${2:-$top/docs}")
call=$build_dir/bin/dovetrel-call
convert=$build_dir/bin/dovetrel-convert
left_out=tv-fax.txt # the call the covered diagram goes without

for binary in "$call" "$convert"; do
  [ -x "$binary" ] || { echo "coverage-pictures: $binary is not built" >&2; exit 1; }
done
missing=()
command -v genhtml >/dev/null || missing+=(lcov)
command -v wkhtmltoimage >/dev/null || missing+=(wkhtmltopdf)
command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
if [ ${#missing[@]} -gt 0 ]; then
  [ "$(id -u)" -eq 0 ] || { echo "coverage-pictures: install ${missing[*]} (as root)" >&2; exit 1; }
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
set_dir=$work/callcentre
mkdir -p "$set_dir/calls"
for ivr in "$top"/examples/callcentre/*.ivr; do
  iconv -f WINDOWS-1251 -t UTF-8 "$ivr" >"$set_dir/$(basename "$ivr")"
done
cp "$top"/examples/callcentre/calls/*.txt "$set_dir/calls/"

cd "$set_dir"
"$call" --coverage --lcov "$work/calls.info" main.ivr calls/*.txt
genhtml --quiet --prefix "$work" --title "Звонки примера callcentre" \
  --output-directory "$work/html" "$work/calls.info"
page=$(find "$work/html" -name main.ivr.gcov.html)
[ -n "$page" ] || { echo "coverage-pictures: genhtml wrote no page of main.ivr" >&2; exit 1; }
XDG_RUNTIME_DIR=$work xvfb-run -a wkhtmltoimage --quiet --width 900 --encoding utf-8 \
  --enable-local-file-access "file://$page" "$output/callcentre-lcov.png"

records=()
for record in calls/*.txt; do
  [ "$(basename "$record")" = "$left_out" ] || records+=("$record")
done
"$convert" --flow "$output/callcentre-covered.png" --coverage "${records[@]}" main.ivr
echo "coverage-pictures: $output/callcentre-lcov.png $output/callcentre-covered.png"
