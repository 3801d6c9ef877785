#!/usr/bin/env bash
# Checks Dovetrel's Debian package (scripts/package.sh) as a user's machine meets it:
#  - lintian finds no error and no warning;
#  - the desktop entry, the AppStream metainfo and the .ivr type are valid, and a MIME database made
#    from the type reads *.ivr as text/x-ivr-scenario, a kind of text/plain;
#  - unpacked into a scratch root (dpkg -x), every program answers --version (the dialog without
#    a display), the converter converts the examples into their expected documents byte for byte
#    and draws a call flow through the packaged Graphviz module, and bash-completion finds the
#    completion of each command-line program in that tree;
#  - every program has a manual page in English and in Russian, and each renders without a warning;
#  - with the language server come the editors' files: Neovim (run headless through the unpacked
#    plugin and server, a column trap is diagnosed and its quick fix applied) and Kate (its
#    highlighter loads the unpacked syntax definition);
#  - the package holds exactly what `cmake --install` installs from each BUILD_DIR given, the same
#    bytes for every file that is not a program.
# Usage: scripts/check-package.sh DEB BUILD_DIR...
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deb=$(realpath "${1:?usage: scripts/check-package.sh DEB BUILD_DIR...}")
shift
[ $# -gt 0 ] || { echo "check-package: name at least one build directory" >&2; exit 2; }
export LC_ALL=C.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
failures=0
fail() {
  echo "check-package: FAIL: $*" >&2
  failures=$((failures + 1))
}
step() { echo "== check-package: $*"; }

step "lintian"
# Errors and warnings fail; the informational tags are printed for the record. One warning is
# expected: CPack's DEB generator makes postinst and postrm call ldconfig for any shared object
# under /usr/lib, here the Graphviz module in /usr/lib/dovetrel/, which no program links (it is
# opened by path). ldconfig never looks there, and dpkg runs it by trigger anyway: the calls are
# redundant and harmless, and CPack has no setting to leave them out.
if ! lintian --fail-on error,warning --display-info --suppress-tags maintscript-calls-ldconfig "$deb"; then
  fail "lintian reports errors or warnings (above)"
fi

step "the file list"
dpkg -x "$deb" "$root"
# Every file and link of the package, as ./usr/..., sorted.
dpkg -c "$deb" | awk '$1 !~ /^d/ {sub(/ -> .*/, ""); print $NF}' | sort >"$work/package.list"
[ -s "$work/package.list" ] || fail "the package holds no file"
has() { grep -qxF "./$1" "$work/package.list"; }
outside=$(grep -v '^\./usr/' "$work/package.list" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
mapfile -t programs < <(sed -n 's,^\./usr/bin/,,p' "$work/package.list")
[ ${#programs[@]} -gt 0 ] || fail "no program in /usr/bin"
for program in "${programs[@]}"; do
  case $program in
    dovetrel | dovetrel-convert | dovetrel-call | dovetrel-diff | dovetrel-lsp) ;;
    *) fail "/usr/bin/$program is not one of Dovetrel's programs (a test or a helper?)" ;;
  esac
  for page in "usr/share/man/man1/$program.1.gz" "usr/share/man/ru/man1/$program.1.gz"; do
    has "$page" || fail "no manual page $page"
  done
  if [ "$program" != dovetrel ]; then
    has "usr/share/bash-completion/completions/$program" || fail "no bash completion for $program"
  fi
done
has usr/bin/dovetrel-convert || fail "no /usr/bin/dovetrel-convert"
for file in usr/share/doc/dovetrel/copyright usr/share/doc/dovetrel/changelog.gz \
            usr/share/mime/packages/dovetrel.xml; do
  has "$file" || fail "no $file"
done
if has usr/bin/dovetrel; then
  for file in usr/share/applications/dovetrel.desktop usr/share/metainfo/dovetrel.metainfo.xml \
              usr/share/icons/hicolor/scalable/apps/dovetrel.svg \
              usr/share/icons/hicolor/48x48/apps/dovetrel.png; do
    has "$file" || fail "no $file"
  done
fi
nvim_site=usr/share/nvim/site
kate_syntax=usr/share/org.kde.syntax-highlighting/syntax/ivr.xml
if has usr/bin/dovetrel-lsp; then
  for file in "$nvim_site/ftdetect/ivr.vim" "$nvim_site/ftplugin/ivr.lua" \
              "$nvim_site/syntax/ivr.vim" "$nvim_site/lua/dovetrel/lsp.lua" "$kate_syntax"; do
    has "$file" || fail "no $file"
  done
fi
others=$(grep '^\./usr/lib/' "$work/package.list" | grep -v '^\./usr/lib/dovetrel/' || true)
[ -z "$others" ] || fail "libraries outside /usr/lib/dovetrel: $others"

# What the install rules install, from each build directory.
for build_dir in "$@"; do
  build_dir=$(realpath "$build_dir")
  rm -rf "$work/install"
  DESTDIR=$work/install cmake --install "$build_dir" --prefix /usr >/dev/null
  (cd "$work/install" && find . ! -type d | sort) >"$work/install.list"
  if ! diff -u --label "package" --label "cmake --install $build_dir" \
         "$work/package.list" "$work/install.list"; then
    fail "the package and the install rules of $build_dir disagree (above)"
    continue
  fi
  # The programs differ by build flags and stripping; every other file must be the same bytes.
  while read -r file; do
    if [ -f "$root/$file" ] && ! head -c 4 "$root/$file" | grep -q 'ELF'; then
      cmp -s "$root/$file" "$work/install/$file" ||
        fail "$file differs between the package and $build_dir"
    fi
  done <"$work/package.list"
done

step "the programs, unpacked"
bin=$root/usr/bin
for program in "${programs[@]}"; do
  # The dialog's --version must not need a display.
  if ! version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$bin/$program" --version); then
    fail "$program --version failed"
  elif [ "$version" != "$program $(dpkg-deb -f "$deb" Version)" ]; then
    fail "$program --version says '$(head -c 200 <<<"$version")'"
  fi
done
for example in worked callcentre; do
  for dialect in classic w3c; do
    expected=main.vxml
    [ "$dialect" = classic ] || expected=main.$dialect.vxml
    if ! "$bin/dovetrel-convert" --dialect "$dialect" "$top/examples/$example/main.ivr" \
           "$work/$example.$dialect.vxml" 2>"$work/messages"; then
      fail "the unpacked dovetrel-convert could not convert $example ($dialect): $(cat "$work/messages")"
    elif ! cmp "$work/$example.$dialect.vxml" "$top/examples/$example/expected/$expected"; then
      fail "the unpacked dovetrel-convert converted $example ($dialect) into another document"
    fi
  done
done

# The unpacked dovetrel-diff: a set against itself changes nothing for callers.
if has usr/bin/dovetrel-diff &&
   ! "$bin/dovetrel-diff" "$top/examples/callcentre/main.ivr" "$top/examples/callcentre/main.ivr" \
     >"$work/messages" 2>&1; then
  fail "the unpacked dovetrel-diff found changes in a set against itself: $(cat "$work/messages")"
fi

# The call flow drawn in process, through the module the program finds beside its own folder.
if has usr/lib/dovetrel/dovetrel-graphviz.so; then
  for format in svg png; do
    flow=$work/flow.$format
    if ! "$bin/dovetrel-convert" --flow "$flow" "$top/examples/callcentre/main.ivr" \
           2>"$work/messages"; then
      fail "the unpacked dovetrel-convert could not draw the flow as $format: $(cat "$work/messages")"
      continue
    fi
    case $format in
      svg) grep -q '<svg' "$flow" || fail "the drawn flow.svg holds no <svg>" ;;
      png) [ "$(head -c 8 "$flow" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
             fail "the drawn flow.png is not a PNG" ;;
    esac
  done
fi

step "the editors' files, unpacked"
# Each script exits 77 when its editor is not installed: the check is then skipped, not failed.
editor_check() {
  local status=0
  "$@" >"$work/editor.log" 2>&1 || status=$?
  case $status in
    0) ;;
    77) echo "check-package: skipped: $(tail -n 1 "$work/editor.log")" ;;
    *) fail "$(basename "$2") on the unpacked package: $(cat "$work/editor.log")" ;;
  esac
}
if has usr/bin/dovetrel-lsp; then
  editor_check bash "$top/tests/editors/nvim_client.sh" "$bin" "$root/$nvim_site"
  editor_check bash "$top/tests/editors/kate_syntax.sh" "$root/$kate_syntax"
fi

step "bash completion, as bash-completion loads it"
for program in "${programs[@]}"; do
  [ "$program" != dovetrel ] || continue
  # bash-completion looks in DIR/bash-completion/completions for each DIR of XDG_DATA_DIRS, as it
  # finds the installed package's in /usr/share.
  offered=$(PATH=$bin:$PATH XDG_DATA_DIRS=$root/usr/share BASH_COMPLETION_USER_DIR=$work/none bash -c '
    source /usr/share/bash-completion/bash_completion
    __load_completion "$1" || exit 1
    function=$(complete -p "$1" | sed -n "s/.*-F \([^ ]*\) .*/\1/p")
    COMP_WORDS=("$1" --) COMP_CWORD=1 COMP_LINE="$1 --" COMP_POINT=${#COMP_LINE}
    "$function" "$1" -- "$1" && printf "%s\n" "${COMPREPLY[@]}"' check "$program" 2>&1) ||
    fail "bash-completion does not load the completion of $program: $offered"
  grep -qxF -- --help <<<"$offered" || fail "the completion of $program does not offer --help: $offered"
done

step "the desktop entry, the metainfo and the .ivr type"
if has usr/share/applications/dovetrel.desktop; then
  desktop=$root/usr/share/applications/dovetrel.desktop
  desktop-file-validate "$desktop" || fail "desktop-file-validate (above)"
  grep -qx 'Exec=dovetrel %f' "$desktop" || fail "the desktop entry does not run 'dovetrel %f'"
  grep -qx 'MimeType=text/x-ivr-scenario;' "$desktop" || fail "the desktop entry opens no .ivr files"
  # The id is the desktop entry's file name, which is not reverse-DNS ("Open with" and
  # xdg-mime name the entry by it); every other warning fails.
  report=$(appstreamcli validate --no-net --pedantic --no-color \
             "$root/usr/share/metainfo/dovetrel.metainfo.xml" 2>&1 || true)
  if grep -E '^[EW]:' <<<"$report" | grep -qv 'cid-desktopapp-is-not-rdns'; then
    fail "appstreamcli: $report"
  fi
fi
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/dovetrel.xml" "$work/mime/packages/"
if ! XDG_DATA_DIRS=$work update-mime-database "$work/mime" 2>"$work/mime.log" ||
   [ -s "$work/mime.log" ]; then
  fail "update-mime-database: $(cat "$work/mime.log")"
fi
grep -qx 'text/x-ivr-scenario:\*\.ivr' "$work/mime/globs" 2>/dev/null ||
  fail "the MIME database does not map *.ivr to text/x-ivr-scenario"
grep -qx 'text/x-ivr-scenario text/plain' "$work/mime/subclasses" 2>/dev/null ||
  fail "the MIME database does not make text/x-ivr-scenario a kind of text/plain"

step "the manual pages"
mapfile -t pages < <(find "$root/usr/share/man" -name '*.1.gz' | sort)
[ ${#pages[@]} -gt 0 ] || fail "no manual page"
for page in "${pages[@]}"; do
  zcat "$page" >"$work/page.1"
  groff_warnings=$(groff -ww -k -man -Tutf8 -z "$work/page.1" 2>&1 >/dev/null) ||
    groff_warnings+=" (groff failed)"
  man_warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || man_warnings+=" (man failed)"
  [ -z "$groff_warnings$man_warnings" ] ||
    fail "${page#"$root"} renders with warnings: $groff_warnings $man_warnings"
done

if [ "$failures" -ne 0 ]; then
  echo "check-package: $failures checks failed for $deb" >&2
  exit 1
fi
echo "check-package: $(basename "$deb") passed (${#programs[@]} programs, $(wc -l <"$work/package.list") files)"
