#!/usr/bin/env bash
# Runs clang-tidy, with the repository's .clang-tidy, over every source file of the project's
# folders that the build compiles, in parallel, from the build's compile_commands.json. Fails
# when clang-tidy reports anything, warnings included. The whole output is kept in
# BUILD_DIR/tidy.log.
# Usage: scripts/tidy.sh [BUILD_DIR (build)]   (the build must have run: Qt's moc files are needed)
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=$(cd "${1:-$top/build}" && pwd)
folders=()
for folder in text audio scenario flow vxml diagram convert call lsp diff cli gui; do
  [ -d "$top/$folder" ] && folders+=("$folder")
done

for tool in clang-tidy run-clang-tidy; do
  command -v "$tool" >/dev/null || { echo "tidy: $tool is missing (scripts/setup.sh test)" >&2; exit 1; }
done
database=$build_dir/compile_commands.json
[ -f "$database" ] || { echo "tidy: $database is missing; configure and build first" >&2; exit 1; }

# The folders' sources that the build compiles (the dialog's only when it is built).
cd "$top"
files=()
for file in $(find "${folders[@]}" -name '*.cpp' | sort); do
  if grep -qF "\"file\": \"$top/$file\"" "$database"; then
    files+=("$top/$file")
  else
    echo "tidy: $file is not in this build, not checked"
  fi
done
[ ${#files[@]} -gt 0 ] || { echo "tidy: no source file of ${folders[*]} in $database" >&2; exit 1; }

# run-clang-tidy takes regular expressions: one per file, its name escaped.
patterns=()
for file in "${files[@]}"; do
  patterns+=("^$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$file")\$")
done

log=$build_dir/tidy.log
echo "tidy: ${#files[@]} files, $(nproc) at a time, log in $log"
status=0
run-clang-tidy -quiet -j "$(nproc)" -p "$build_dir" -clang-tidy-binary "$(command -v clang-tidy)" \
  "${patterns[@]}" 2>&1 | sed 's/\x1b\[[0-9;]*m//g' >"$log" || status=$?

# A finding in a header comes once for every file that includes it: each is listed once. An
# "error:" is a file clang-tidy could not compile, and fails the check too.
findings=$(grep -E '^[^ :]+:[0-9]+:[0-9]+: (warning|error):' "$log" | sort -t: -k1,1 -k2,2n -k3,3n -k4 -u || true)
count=$(grep -c . <<<"$findings" || true)
if [ "$count" -gt 0 ] || [ "$status" -ne 0 ]; then
  [ -z "$findings" ] || printf '%s\n' "$findings"
  echo "tidy: FAILED, $count findings (run-clang-tidy exit $status); the details are in $log" >&2
  exit 1
fi
echo "tidy: no findings"
