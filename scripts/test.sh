#!/usr/bin/env bash
# Sets Dovetrel up (packages, build) and runs the whole test suite three ways: the normal build,
# the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer (build-sanitize), and
# a one-minute run of the conversion fuzzer (build-fuzz). Between the first two it builds the
# Debian package (scripts/package.sh, build-package) and checks it (scripts/check-package.sh).
# Any failure fails the script. DOVETREL_QUICK_TESTS=1 runs the normal build's suite alone.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

"$top/scripts/setup.sh" test build
(cd "$top/build" && ctest --output-on-failure --parallel "$jobs" --timeout 300)

if [ "${DOVETREL_QUICK_TESTS:-0}" = 1 ]; then
  exit 0
fi

echo "== the Debian package, built and checked (${SECONDS}s so far)"
"$top/scripts/package.sh" build-package
"$top/scripts/check-package.sh" "$top"/build/dovetrel_*.deb "$top/build-package" "$top/build"

echo "== the suite under AddressSanitizer and UndefinedBehaviorSanitizer (${SECONDS}s so far)"
"$top/scripts/setup.sh" test build-sanitize -DDOVETREL_SANITIZE=ON -DDOVETREL_BUILD_DIALOG=OFF \
  -DDOVETREL_BUILD_BENCH=OFF
(cd "$top/build-sanitize" &&
  ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure --parallel "$jobs" --timeout 300)

echo "== the conversion fuzzer, one minute (${SECONDS}s so far)"
"$top/fuzz/run.sh" 60 build-fuzz
echo "== all passed in ${SECONDS}s"
