#!/usr/bin/env bash
# Makes the README's picture of the saver, recorded headless from the native build: the
# resource pack and the pictures as shipped, default settings, seed 2026, 50 frames a second
# of simulated time; frame 780 shows the eighth member turning in front of the Earth.
# Usage: tools/recorder/readme_picture.sh [output.png [pictures-folder]]
# (a pictures folder with sprites.png and background0..9.png replaces the built-in pictures)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$root/docs/saver.png}
pictures=${2:-}
build=$root/build/linux
cmake --build "$build" --target zephlora_recorder -j "$(nproc)" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The folder holds the pack only, so every setting takes its default.
pack=${ZEPHLORA_PACK:-$build/Zephlora.zpk}
[ -f "$pack" ] || pack=$root/assets/Zephlora.zpk
cp "$pack" "$work/"
args=(--folder "$work" --size 1024x768 --seed 2026 --spf 0.02 --frames 781 --every 780 --out "$work/frames")
[ -n "$pictures" ] && args+=(--pictures "$pictures")
"$build/zephlora_recorder" "${args[@]}"
mkdir -p "$(dirname "$out")"
cp "$work/frames/frame_00780.png" "$out"
echo "wrote $out"
