#!/usr/bin/env bash
# Builds the native tree (Linux executable, tests, tools) into build/linux and, unless
# --native-only is given, the MinGW tree (Zephlora.scr and its Windows tests) into build/win32.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)

native_only=0
[ "${1:-}" = "--native-only" ] && native_only=1

# The configurations are the presets in CMakePresets.json.
cd "$root"
if [ $native_only -eq 0 ]; then
  cmake --preset win32 >/dev/null
  cmake --build --preset win32 -j "$jobs"
  cmake --preset linux >/dev/null
else
  cmake --preset linux-native-only >/dev/null
fi
cmake --build --preset linux -j "$jobs"
