#!/usr/bin/env bash
# Builds the native tree (Linux executable, tests, tools) into build/linux and, unless
# --native-only is given, the MinGW tree (Zephlora.scr and its Windows tests) into build/win32.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

native_only=0
[ "${1:-}" = "--native-only" ] && native_only=1

if [ $native_only -eq 0 ]; then
  cmake -S "$root" -B "$root/build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build/win32" -j "$jobs"
  win32_dir="$root/build/win32"
else
  win32_dir=""
fi
cmake -S "$root" -B "$root/build/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DZEPHLORA_WIN32_DIR="$win32_dir" >/dev/null
cmake --build "$root/build/linux" -j "$jobs"
