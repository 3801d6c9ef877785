#!/usr/bin/env bash
# Sets Dovetrel up (packages, build) and starts the dialog. Without a display, it says how to
# convert from the command line instead.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh" run build >&2
if [ -x "$top/build/app/dovetrel" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$top/build/app/dovetrel"
fi
cat >&2 <<MSG
There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the dialog cannot open.
Everything is built. Either convert from the command line, for example:
  $top/build/app/dovetrel-convert $top/examples/worked/main.ivr /tmp/main.vxml
  $top/build/app/dovetrel-convert --help
or run the dialog on a virtual display (scripts/setup.sh test installs xvfb-run):
  xvfb-run -a $top/build/app/dovetrel
MSG
exit 1
