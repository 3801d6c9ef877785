#!/usr/bin/env bash
# Builds Dovetrel's Debian package, build/dovetrel_VERSION_ARCH.deb: installs what is missing
# (scripts/setup.sh package), makes a Release build with Debian's hardening flags in BUILD_DIR
# (the programs, manual pages and desktop files; no tests, no benchmarks), and packs what its
# install rules install with CPack's DEB generator, dependencies read from the programs.
# Install it with: apt install ./build/dovetrel_*.deb
# Usage: scripts/package.sh [BUILD_DIR [extra CMake arguments...]]
#   BUILD_DIR defaults to build-package, in the checkout; the CMake arguments come after the
#   package's own, so they can add the tests (scripts/test.sh does) or override a setting.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
build_dir=$(realpath -m "${1:-build-package}") # relative to the checkout, as with scripts/setup.sh
shift $(( $# > 0 ? 1 : 0 ))

"$top/scripts/setup.sh" package - # dpkg-buildflags comes with the packages
# The flags Debian builds its packages with, every hardening feature on, and its optimisation,
# -O2 (CMake's Release adds only -DNDEBUG here; its -O3 makes GCC 12 warn falsely of overlapping
# copies, -Wrestrict, in string concatenations). The maps of the source path are left out: they
# would name the checkout's folder and keep ccache from serving a checkout in another folder, and
# the programs are stripped of what they affect. A package is built with warnings as warnings,
# so that a newer compiler's new warning does not stop it.
flags() {
  DEB_BUILD_MAINT_OPTIONS="hardening=+all reproducible=-fixfilepath,-fixdebugpath" \
    dpkg-buildflags --get "$1"
}
ldflags=$(flags LDFLAGS)
"$top/scripts/setup.sh" package "$build_dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DDOVETREL_BUILD_TESTS=OFF -DDOVETREL_BUILD_BENCH=OFF -DDOVETREL_WERROR=OFF \
  "-DCMAKE_C_FLAGS=$(flags CPPFLAGS) $(flags CFLAGS)" \
  "-DCMAKE_CXX_FLAGS=$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_C_FLAGS_RELEASE=-DNDEBUG -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
  "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "-DCMAKE_MODULE_LINKER_FLAGS=$ldflags" \
  "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags" "$@"

rm -f "$build_dir"/dovetrel_*.deb
(cd "$build_dir" && cpack -G DEB >cpack.log 2>&1) || { cat "$build_dir/cpack.log" >&2; exit 1; }
packages=("$build_dir"/dovetrel_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] ||
  { echo "package: cpack made ${packages[*]}" >&2; exit 1; }
# One package in build/, so that the README's "apt install ./build/dovetrel_*.deb" names one file.
mkdir -p "$top/build"
rm -f "$top"/build/dovetrel_*.deb
cp "${packages[0]}" "$top/build/"
echo "package: $top/build/$(basename "${packages[0]}")"
