#!/usr/bin/env bash
# End-to-end checks of the real dovetrel-diff, one case per run; the git cases work in a temporary
# repository of their own.
# Usage: diff_cli_e2e.sh BINARY EXAMPLES_DIR CASE
source "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

# run ARGS...: runs the binary in $work, leaving $status, $out and $err.
run() { run_in "$work" "$@"; }

mkdir "$work/old" "$work/new"
cp "$examples"/callcentre/*.ivr "$work/old/"
cp "$examples"/callcentre/*.ivr "$work/new/"
# tv.ivr: the number of key 1 changes.
new_number() { sed -i 's/+74952220003/+74952220009/' "$1"; }

# git_repo [FOLDER]: a repository in $work/repo with the example set committed in FOLDER of it.
git_repo() {
  mkdir -p "$work/repo/${1:-.}"
  cp "$examples"/callcentre/*.ivr "$work/repo/${1:-.}/"
  (cd "$work/repo" && git init -q && git add . &&
     git -c user.name=t -c user.email=t@example.org commit -qm set) || fail "no repository"
}

case $case in
same)
  # Re-encoded in UTF-8 with LF line ends: each set is read in its own code page, calls are alike.
  for file in "$work"/new/*.ivr; do
    iconv -f WINDOWS-1251 -t UTF-8 "$file" | tr -d '\r' >"$file.utf8" && mv "$file.utf8" "$file"
  done
  run old/main.ivr new/main.ivr
  expect_status 0; expect_out ""
  ;;
load-failure)
  rm "$work/new/tv.ivr"
  run old/main.ivr new/main.ivr
  expect_status 2; expect_out ""
  grep -q 'new/tv.ivr' <<<"$err" || fail "the missing file is not named: $err"
  ;;
usage)
  run old/main.ivr
  expect_status 2
  grep -q 'OLD_IVR NEW_IVR' <<<"$err" || fail "no usage mistake: $err"
  run --git -x main.ivr
  expect_status 2
  ;;
flow)
  new_number "$work/new/tv.ivr"
  sed -i '/^3 /d' "$work/new/main.ivr"
  run --flow changes.dot old/main.ivr new/main.ivr
  expect_status 1
  expect_out "new/tv.ivr:2:1: 2 2 1: набор +74952220003 → набор +74952220009
old/main.ivr:4:1: 3: пункт убран (было: меню billing.ivr)
old/billing.ivr: меню больше недостижимо (было: 3)"
  grep -q 'c45a00' "$work/changes.dot" || fail "no changed arrow marked in changes.dot"
  grep -q 'c62828' "$work/changes.dot" || fail "no removed arrow marked in changes.dot"
  ;;
git)
  # The set in a folder of the repository, its nested files read at the revision too.
  git_repo menus
  new_number "$work/repo/menus/tv.ivr"
  run_in "$work/repo" --git HEAD menus/main.ivr
  expect_status 1
  expect_out "menus/tv.ivr:2:1: 2 2 1: набор +74952220003 → набор +74952220009"
  # Nothing was checked out: the working tree keeps its change.
  grep -q '+74952220009' "$work/repo/menus/tv.ivr" || fail "the working tree changed"
  run_in "$work/repo/menus" --git no-such-revision main.ivr
  expect_status 2
  ;;
difftool)
  # As the README sets it up.
  git_repo
  new_number "$work/repo/tv.ivr"
  expected="tv.ivr:2:1: 1: набор +74952220003 → набор +74952220009"
  PATH=$(dirname "$bin"):$PATH
  out=$(cd "$work/repo" &&
          git -c difftool.dovetrel.cmd='dovetrel-diff --git "${DOVETREL_REV:-HEAD}" "$MERGED"' \
              difftool --no-prompt --tool=dovetrel -- tv.ivr 2>&1)
  [ "$out" = "$expected" ] || fail "git difftool printed:"$'\n'"$out"
  ;;
*)
  fail "unknown case"
  ;;
esac
exit $((failures > 0))
