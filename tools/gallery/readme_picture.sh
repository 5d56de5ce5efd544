#!/usr/bin/env bash
# Makes the README's contact sheet of slider states with zephlora_gallery: each state drawn
# from its stored form and input steps through the scripted back end, three times enlarged,
# then laid out with its command line as the label (sheet.py).
# Usage: tools/gallery/readme_picture.sh [output.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$root/docs/slider_states.png}
build=$root/build/linux
cmake --build "$build" --target zephlora_gallery -j 2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
coarse=(--set Max=3 --set Min=0 --set Value=0)
states=(
  "defaults (Value 50 of -100..100)|"
  "Value = Min: ForeColor|--set Value=-100"
  "Value = Max: ForeColor2|--set Value=100"
  "halfway: RGB(200,100,0)|--set Value=0"
  "dialog interval 12 of 1..30|--set Max=30 --set Min=1 --set Value=12 --set ForeColor=&H00FFC0C0& --set ForeColor2=&H0080FF80&"
  "BackColor &H00603010&|--set Value=-20 --set BackColor=&H00603010&"
  "0..3, Value 1: the handle of an odd range|${coarse[*]} --key 39"
  "0..3, drag to x 40, Snap off|${coarse[*]} --press 19 --move 40"
  "0..3, drag to x 40, Snap on|${coarse[*]} --set Snap=True --press 19 --move 40"
  "0..3, dragged past the right end|${coarse[*]} --drag 250"
  "0..3, right arrow twice|${coarse[*]} --key 39 --key 39"
  "narrow: grows to 63|--rect 8,8,30,20 --set Value=80"
  "vertical, Value 50|--set Style=1"
  "vertical, drag to y 40, Snap off|${coarse[*]} --set Style=1 --press 10,80 --move 10,40"
)
list=$work/list.txt
: >"$list"
i=0
for entry in "${states[@]}"; do
  label=${entry%%|*}
  args=${entry#*|}
  file=$work/state$i.png
  # shellcheck disable=SC2086
  "$build/zephlora_gallery" --control slider $args --zoom 3 --out "$file"
  printf '%s\t%s\t%s\n' "$file" "$label" "$args" >>"$list"
  i=$((i + 1))
done
mkdir -p "$(dirname "$out")"
/usr/bin/python3 "$root/tools/gallery/sheet.py" "$list" "$out"
echo "wrote $out"
