#!/usr/bin/env bash
# Sets Dovetrel up (packages, build) and runs the whole test suite: on the normal build; clang-tidy
# over the sources (scripts/tidy.sh); a Release build with Debian's hardening flags
# (build-hardened, made by scripts/package.sh), which must build without a warning and pass the
# suite too, and the Debian package made from it, checked by scripts/check-package.sh; the suite
# built with AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize); and the conversion
# fuzzer over its corpus and a fixed-seed minute (build-fuzz), so that a tree gives one verdict.
# Every build treats warnings as errors. Any failure fails the script. DOVETREL_QUICK_TESTS=1 runs the normal build's suite alone.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

"$top/scripts/setup.sh" test build
(cd "$top/build" && ctest --output-on-failure --parallel "$jobs" --timeout 300)

if [ "${DOVETREL_QUICK_TESTS:-0}" = 1 ]; then
  exit 0
fi

echo "== clang-tidy over the sources (${SECONDS}s so far)"
"$top/scripts/tidy.sh" "$top/build"

echo "== the suite on a Release build with Debian's hardening flags (${SECONDS}s so far)"
# The package's own build (scripts/package.sh), with the tests and the benchmarks and warnings as
# errors besides, so that the package is made from the build the suite passes on.
"$top/scripts/package.sh" build-hardened -DDOVETREL_BUILD_TESTS=ON -DDOVETREL_BUILD_BENCH=ON \
  -DDOVETREL_WERROR=ON
(cd "$top/build-hardened" && ctest --output-on-failure --parallel "$jobs" --timeout 300)

echo "== the Debian package, checked (${SECONDS}s so far)"
"$top/scripts/check-package.sh" "$top"/build/dovetrel_*.deb "$top/build-hardened" "$top/build"

echo "== the suite under AddressSanitizer and UndefinedBehaviorSanitizer (${SECONDS}s so far)"
"$top/scripts/setup.sh" test build-sanitize -DDOVETREL_SANITIZE=ON -DDOVETREL_BUILD_DIALOG=OFF \
  -DDOVETREL_BUILD_BENCH=OFF
(cd "$top/build-sanitize" &&
  ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure --parallel "$jobs" --timeout 300)

echo "== the conversion fuzzer: its corpus and a fixed-seed minute (${SECONDS}s so far)"
"$top/fuzz/run.sh" --repeatable build-fuzz
echo "== all passed in ${SECONDS}s"
