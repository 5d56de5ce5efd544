#!/usr/bin/env bash
# Makes the README's contact sheet of the styled button with zephlora_gallery: the eight
# styles in their six states in the settings dialog's colours and font, and the seven shapes
# in three styles, each drawn through the scripted back end three times enlarged, laid out in
# a grid by button_sheet.py (Pillow).
# Usage: tools/gallery/button_sheet.sh [output.png]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$root/docs/button_sheet.png}
build=$root/build/linux
cmake --build "$build" --target zephlora_gallery -j 2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dialog=(--set Caption=Save --set "cFore=&H00000000&" --set "cFHover=&H00000000&" --set "cGradient=&H00000000&"
        --set "cBack=&H00FFFFFF&" --set "Font=ＭＳ Ｐゴシック,9.75,128")
list=$work/list.txt
: >"$list"
for style in 0 1 2 3 4 5 6 7; do
  for state in normal hovered pressed focused disabled design; do
    file=$work/s${style}_$state.png
    "$build/zephlora_gallery" --control button "${dialog[@]}" --set BackStyle=$style --state $state --zoom 3 --out "$file"
    printf '%s\t%s\t%s\n' "$file" "ButtonStyle $style" "$state" >>"$list"
  done
done
for shape in 0 1 2 3 4 5 6; do
  for look in "2 hovered" "4 normal" "6 pressed" "7 focused" "1 normal" "3 pressed"; do
    set -- $look
    file=$work/shape${shape}_$1_$2.png
    "$build/zephlora_gallery" --control button "${dialog[@]}" --set BackStyle=$1 --set Shape=$shape --set Gradient=$(( shape % 5 )) \
      --set "cGradient=&H00C08040&" --state $2 --zoom 3 --out "$file"
    printf '%s\t%s\t%s\n' "$file" "Shape $shape" "style $1 $2, Gradient $(( shape % 5 ))" >>"$list"
  done
done
mkdir -p "$(dirname "$out")"
/usr/bin/python3 "$root/tools/gallery/button_sheet.py" "$list" "$out"
echo "wrote $out"
