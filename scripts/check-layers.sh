#!/usr/bin/env bash
# Checks that the source folders include one another only along the layers:
#   text <- scenario <- flow <- vxml <- diagram <- convert <- call <- the front ends (cli, gui)
#   convert <- lsp (the language server, beside call)
#   call <- diff (what changes for callers between two sets) <- cli
# audio/, the greetings' sound files, lies beside text: it includes nothing but itself, and the
# conversion and everything above it may include it.
# text/, the set's texts (stepping, code page, escaping, quoting), lies below them all: it includes
# nothing but itself, and every folder may include it.
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
text      text
audio     audio
scenario  text scenario
flow      text scenario flow
vxml      text scenario flow vxml
diagram   text scenario flow vxml diagram
convert   text scenario flow vxml diagram convert audio
call      text scenario flow vxml diagram convert call audio
lsp       text scenario flow vxml diagram convert call lsp audio
diff      text scenario flow vxml diagram convert call diff audio
cli       text scenario flow vxml diagram convert call diff cli audio
gui       text scenario flow vxml diagram convert call gui audio
"

declare -A allowed=()
folders=()
while read -r folder targets; do
  [ -n "$folder" ] || continue
  folders+=("$folder")
  allowed[$folder]=" $targets "
done <<<"$rules"

# The repository's folders, for angle includes: <QtCore/...> is not one of ours.
repo_folders=" $(find . -mindepth 1 -maxdepth 1 -type d ! -name '.*' -printf '%f ') "

status=0
checked=0
for folder in "${folders[@]}"; do
  [ -d "$folder" ] || continue
  checked=$((checked + $(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' \) | wc -l)))
  # FILE:LINE:TEXT of every include whose path has a folder part, in file and line order.
  offences=$(grep -rnE --include='*.h' --include='*.cpp' \
               '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^/">]+/' "$folder" |
             sort -t: -k1,1 -k2,2n |
             awk -F: -v folder="$folder" -v allowed="${allowed[$folder]}" -v repo="$repo_folders" '{
               file = $1; line = $2; text = $0; sub(/^[^:]*:[^:]*:/, "", text)
               match(text, /["<][^\/">]+\//)
               target = substr(text, RSTART + 1, RLENGTH - 2)
               if (substr(text, RSTART, 1) == "<" && index(repo, " " target " ") == 0)
                 next
               if (index(allowed, " " target " ") == 0)
                 printf "%s:%s: %s/ may not include %s/\n", file, line, folder, target
             }')
  if [ -n "$offences" ]; then
    echo "$offences"
    status=1
  fi
done

if [ "$checked" -eq 0 ]; then
  echo "check-layers: no source file found under $top" >&2
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "check-layers: includes against the layers; the rules are in $0" >&2
fi
exit "$status"
