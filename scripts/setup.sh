#!/usr/bin/env bash
# Installs the Debian packages Dovetrel needs that are not installed yet, then configures and
# builds it, warnings as errors (DOVETREL_WERROR) and through ccache.
# Usage: scripts/setup.sh [run|package|test] [BUILD_DIR] [extra CMake arguments...]
#   run      what building and starting the dialog needs
#   package  what building the Debian package needs as well (scripts/package.sh)
#   test     everything the test suite needs as well (default)
# A BUILD_DIR of "-" installs the packages only.
set -euo pipefail

profile=${1:-test}
build_dir=${2:-build}
shift $(( $# > 2 ? 2 : $# ))

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The build configures the tests and the benchmarks too, so both profiles need their libraries.
# fonts-dejavu-core: the dialog's and the diagrams' Cyrillic texts need a font that has the glyphs;
# libgraphviz-dev: the drawing module of --flow; nlohmann-json3-dev: the call flow as JSON;
# qt6-svg-dev: the dialog shows the drawn call flow; qt6-multimedia-dev: greetings play in a call;
# libcli11-dev: the command-line programs declare their options with CLI11; libsndfile1-dev: the
# greetings' format and length for --check and --paths; ccache: rebuilds of
# unchanged files, in every build directory, cost next to nothing.
packages=(cmake ninja-build g++ pkg-config libxml2-dev qt6-base-dev qt6-translations-l10n
          libgtest-dev libbenchmark-dev fonts-dejavu-core libgraphviz-dev nlohmann-json3-dev
          qt6-svg-dev qt6-multimedia-dev libcli11-dev libsndfile1-dev ccache)
if [ "$profile" = test ]; then
  # xvfb, xdotool, x11-utils (xprop): the dialog's smoke test; openbox: the window manager of the
  # real-input check of the dialog's windows; imagemagick: scripts/screenshot.sh;
  # graphviz: dot, the reference of the diagram benchmark; clang-tidy: scripts/tidy.sh; dpkg-dev
  # (dpkg-buildflags): the hardened build of scripts/test.sh; neovim: a real editor's LSP client
  # against dovetrel-lsp; libkf5syntaxhighlighting-tools: Kate's highlighter reads the .ivr
  # syntax definition; lcov: genhtml renders the recorded calls' coverage of the examples.
  packages+=(libxml2-utils xvfb xdotool xauth x11-utils openbox imagemagick clang libclang-rt-14-dev
             graphviz clang-tidy dpkg-dev neovim libkf5syntaxhighlighting-tools lcov)
fi

# Every build makes the manual pages (scdoc) and the icon's PNG sizes (librsvg2-bin's
# rsvg-convert). The package needs dpkg-dev (dpkg-buildflags for the hardening flags,
# dpkg-shlibdeps for the dependencies) and file, with which CPack finds the programs. Its checks
# (scripts/check-package.sh) and the tests of the manual pages and the completion need lintian,
# desktop-file-validate, appstreamcli, update-mime-database, man and groff, and bash-completion.
packages+=(scdoc librsvg2-bin)
if [ "$profile" = package ] || [ "$profile" = test ]; then
  packages+=(dpkg-dev file)
fi
if [ "$profile" = test ]; then
  packages+=(lintian desktop-file-utils appstream shared-mime-info man-db groff-base
             bash-completion)
fi

# A package counts as installed once it is unpacked and configured, with or without triggers still
# pending from another apt run.
missing=()
for package in "${packages[@]}"; do
  state=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
  case "$state" in
    installed | triggers-pending | triggers-awaited) ;;
    *) missing+=("$package") ;;
  esac
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  # Another apt run (an unattended upgrade, a second setup) holds the locks for a while: wait.
  wait_lock=(-o DPkg::Lock::Timeout=600)
  $sudo apt-get "${wait_lock[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait_lock[@]}" install -y -qq \
    --no-install-recommends "${missing[@]}"
fi

[ "$build_dir" != - ] || exit 0

# The project's own builds treat warnings as errors; the arguments given can still override.
settings=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOVETREL_WERROR=ON)
if command -v ccache >/dev/null; then
  settings+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths inside the repository count relative to it and the build directory does not count, so
  # that a checkout in another folder (CI clones afresh) is served from the same cache.
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$top} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi

cd "$top"
# A build directory made before these settings existed is configured again.
if [ ! -f "$build_dir/build.ninja" ] || [ $# -gt 0 ] ||
   ! grep -q '^DOVETREL_WERROR:BOOL=ON$' "$build_dir/CMakeCache.txt"; then
  cmake -S . -B "$build_dir" "${settings[@]}" "$@"
fi
cmake --build "$build_dir" --parallel "$(nproc)"
