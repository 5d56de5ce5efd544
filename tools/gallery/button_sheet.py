#!/usr/bin/python3
"""Lays the styled button's gallery pictures out in a grid: one row per row label, one column
per column label, in the order the list gives them.

    button_sheet.py LIST OUTPUT

LIST holds one picture a line: its file, its row label and its column label, tab-separated.
"""
import sys

from PIL import Image, ImageDraw

BG = (24, 26, 30)
LABEL = (220, 224, 230)
SUB = (150, 156, 166)
PAD = 10
ROW_LABEL_W = 110


def main():
    entries = [line.rstrip("\n").split("\t") for line in open(sys.argv[1], encoding="utf-8") if line.strip()]
    rows, grid = [], {}
    for file, row, col in entries:
        if row not in grid:
            rows.append(row)
            grid[row] = []
        grid[row].append((file, col))
    images = {file: Image.open(file).convert("RGB") for file, _, _ in entries}
    cell_w = max(im.width for im in images.values()) + PAD
    cell_h = max(im.height for im in images.values()) + PAD + 14
    cols = max(len(v) for v in grid.values())
    sheet = Image.new("RGB", (ROW_LABEL_W + cols * cell_w + PAD, len(rows) * cell_h + PAD), BG)
    draw = ImageDraw.Draw(sheet)
    for r, row in enumerate(rows):
        y = PAD + r * cell_h
        draw.text((PAD, y + cell_h // 2 - 8), row, fill=LABEL)
        for c, (file, col) in enumerate(grid[row]):
            x = ROW_LABEL_W + c * cell_w
            draw.text((x, y), col, fill=SUB)
            sheet.paste(images[file], (x, y + 14))
    sheet.save(sys.argv[2])


if __name__ == "__main__":
    main()
