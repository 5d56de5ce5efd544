#!/usr/bin/env bash
# Makes the README's picture of the saver: an animated PNG recorded headless from the native
# build (the resource pack and the pictures as shipped, default settings, a fixed seed).
# Usage: tools/recorder/readme_picture.sh [output.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$root/docs/saver.png}
build=$root/build/linux
cmake --build "$build" --target zephlora_recorder -j "$(nproc)" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Default settings: the folder holds the pack only, so every key takes its default.
cp "$build/Zephlora.zpk" "$work/"
mkdir -p "$(dirname "$out")"
"$build/zephlora_recorder" --folder "$work" --size 1024x768 --seed 2026 --spf 0.02 \
    --frames 480 --every 4 --out "$work/frames" --apng "$out" --apng-delay 80
echo "wrote $out"
