#!/usr/bin/env bash
# Sets Dovetrel up (packages, build) and runs the whole test suite.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh" test build
cd "$top/build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
