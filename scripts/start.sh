#!/usr/bin/env bash
# Sets Dovetrel up (packages, build) and starts the dialog. Without a display, it says how to
# convert from the command line, or run the dialog on a virtual display, instead.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh" run build >&2
dialog=$top/build/bin/dovetrel
convert=$top/build/bin/dovetrel-convert

if [ ! -x "$dialog" ]; then
  cat >&2 <<MSG
The dialog was not built (the build directory has DOVETREL_BUILD_DIALOG=OFF). Convert from the
command line instead, for example:
  $convert $top/examples/worked/main.ivr /tmp/main.vxml
MSG
  exit 1
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$dialog"
fi
cat >&2 <<MSG
There is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so the dialog cannot open.
Everything is built. Either convert from the command line, for example:
  $convert $top/examples/worked/main.ivr /tmp/main.vxml
  $convert --help
or run the dialog on a virtual display (scripts/setup.sh test installs xvfb-run):
  xvfb-run -a $dialog
MSG
exit 1
