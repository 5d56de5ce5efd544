#!/usr/bin/python3
"""Lays pictures of the gallery out on one contact sheet, each with its label and command line.

    sheet.py LIST OUTPUT

LIST holds one picture a line: its file, its label and its arguments, separated by tabs.
"""
import sys

from PIL import Image, ImageDraw

BG = (24, 26, 30)
LABEL = (220, 224, 230)
ARGS = (150, 156, 166)
COLUMNS = 2
CELL_W = 560
PAD = 16


def main():
    rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1], encoding="utf-8") if line.strip()]
    pictures = [(Image.open(f).convert("RGB"), label, args) for f, label, args in rows]
    # Each row as tall as its tallest picture.
    rows_of = [pictures[i:i + COLUMNS] for i in range(0, len(pictures), COLUMNS)]
    heights = [max(p.height for p, _, _ in row) + 34 for row in rows_of]
    sheet = Image.new("RGB", (COLUMNS * CELL_W + PAD, sum(heights) + PAD * len(heights) + 40), BG)
    draw = ImageDraw.Draw(sheet)
    draw.text((PAD, 10), "Slider states drawn by zephlora_gallery --control slider (x3)", fill=LABEL)
    for n, (picture, label, args) in enumerate(pictures):
        r, c = divmod(n, COLUMNS)
        x, y = PAD + c * CELL_W, 40 + sum(heights[:r]) + PAD * r
        draw.text((x, y), label, fill=LABEL)
        draw.text((x, y + 14), args if len(args) < 90 else args[:87] + "...", fill=ARGS)
        sheet.paste(picture, (x, y + 34))
    sheet.save(sys.argv[2], "PNG", optimize=True)


if __name__ == "__main__":
    main()
