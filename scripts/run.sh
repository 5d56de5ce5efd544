#!/usr/bin/env bash
# Installs what is missing, builds the Linux executable and runs the saver full screen.
# Extra arguments are passed on (default /s). It needs a display: without DISPLAY it says so
# and ends (start a virtual X server first, e.g. `Xvfb :5 & DISPLAY=:5 scripts/run.sh`).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" --run-only
(cd "$root" && cmake --preset run >/dev/null && cmake --build --preset run -j "$(nproc)")
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(/s)
if [ -z "${DISPLAY:-}" ]; then
  echo "No DISPLAY: set DISPLAY to your desktop, or run it in Xvfb (see README)." >&2
  exit 1
fi
exec "$root/build/run/zephlora" "${args[@]}"
