#!/usr/bin/env bash
# Installs what is missing, builds both back ends (native and MinGW) and runs every test:
# the native ones, the Windows test programs under Wine, and the black-box tests that start
# Zephlora.scr under Wine and the Linux executable, all in a virtual X server. Then the unit
# and scripted tests once more in the sanitizer build (build/asan: clang with AddressSanitizer
# and UndefinedBehaviorSanitizer), with a bounded run of every fuzz target.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

# One virtual X server for the whole run.
display=:${ZEPHLORA_TEST_DISPLAY:-87}
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() { . "$root/scripts/wine-env.sh"; wineserver -k >/dev/null 2>&1 || true; kill $xvfb_pid 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$root/scripts/wine-prefix.sh"

status=0
echo "== Windows build (under Wine) =="
(cd "$root" && ctest --preset win32) || status=1
echo "== Native build =="
(cd "$root" && ctest --preset linux) || status=1
echo "== Sanitizer build (ASan, UBSan) and bounded fuzzing =="
(cd "$root" && cmake --preset linux-asan >/dev/null && cmake --build --preset linux-asan -j "$(nproc)" &&
   ctest --preset linux-asan) || status=1
echo "== Packages =="
# Every header, library, program and data file the builds and the tests used must come from a
# package that scripts/install-deps.sh installs (or one that those pull in).
"$root/scripts/check-packages.py" "$root/build/linux" "$root/build/win32" "$root/build/asan" || status=1
exit $status
