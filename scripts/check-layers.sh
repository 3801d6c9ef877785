#!/usr/bin/env bash
# Checks that the source folders include one another only along the layers:
#   scenario <- flow <- vxml <- convert <- the front ends (cli, gui); call/ stands beside convert/
# Every `#include "FOLDER/..."` (or <FOLDER/...> naming a folder of the repository) in a .h or
# .cpp of a folder below must name a folder that its rule allows. Prints every offending include
# as `FILE:LINE: FOLDER/ may not include OTHER/` and exits 1 when there is one.
# Usage: scripts/check-layers.sh [SOURCE_DIR (the repository)]
set -euo pipefail

top=${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
cd "$top"

# FOLDER   the folders its files may include (itself included). One line per folder; a folder
# without a line is not checked.
rules="
scenario  scenario
flow      scenario flow
vxml      scenario flow vxml
convert   scenario flow vxml convert
call      scenario flow vxml call
cli       scenario flow vxml convert cli
gui       scenario flow vxml convert gui
"

declare -A allowed=()
folders=()
while read -r folder targets; do
  [ -n "$folder" ] || continue
  folders+=("$folder")
  allowed[$folder]=" $targets "
done <<<"$rules"

status=0
checked=0
for folder in "${folders[@]}"; do
  [ -d "$folder" ] || continue
  while IFS= read -r -d '' file; do
    checked=$((checked + 1))
    # LINE:TARGET for every include whose path has a folder part.
    while IFS=: read -r line target; do
      # An angle include only counts when it names a folder of this repository.
      case $target in
        '<'*) target=${target#<}; [ -d "$target" ] || continue ;;
        *) target=${target#\"} ;;
      esac
      if [[ ${allowed[$folder]} != *" $target "* ]]; then
        echo "$file:$line: $folder/ may not include $target/"
        status=1
      fi
    done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^/">]+/' "$file" |
               sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*(["<][^/">]+)\/.*/\1:\2/')
  done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z)
done

if [ "$checked" -eq 0 ]; then
  echo "check-layers: no source file found under $top" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "check-layers: includes against the layers; the rules are in $0" >&2
fi
exit "$status"
