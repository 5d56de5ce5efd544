#!/usr/bin/python3
"""Draws docs/contact_sheet.png: every picture that ships in the executables, and each of the
nine shapes of the resource pack as dots from three angles, stamped with the real sprite discs
and projected as the engine projects them.

    contact_sheet.py [OUTPUT]
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "assets", "generator"))

import numpy as np  # noqa: E402
from PIL import Image, ImageDraw  # noqa: E402

import shapes  # noqa: E402
import ui  # noqa: E402

BG = (24, 26, 30)
LABEL = (170, 176, 186)
ANGLES = [(-15, 0, 0), (-30, 40, 10), (60, 110, -20)]
CELL = 300
SCALE = 0.6


def load(name):
    return np.array(Image.open(os.path.join(ROOT, "assets", "pictures", name)).convert("RGB"))


def zoom(img, k):
    return np.repeat(np.repeat(img, k, axis=0), k, axis=1)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs", "contact_sheet.png")
    sheet_px = load("sprites.png")
    width = 6 * CELL + 40
    blocks = []  # (image, x, y, label)
    y = 36
    # Backgrounds: two rows of five, each on the black screen it is shown on.
    x = 20
    for i in range(10):
        img = load(f"background{i}.png")
        if i == 5:
            x, y = 20, y + 348
        blocks.append((img, x, y, f"background {i}  {img.shape[1]} x {img.shape[0]}"))
        x += 356
    y += 348 + 20
    small = [(load("preview.jpg"), "preview 152 x 112 (JPEG)", 1), (sheet_px, "sprites 40 x 16 (x4)", 4),
             (load("option_on.png"), "option on (x4)", 4), (load("option_off.png"), "option off (x4)", 4),
             (load("icon32.png"), "icon 32 (x2)", 2), (load("icon16.png"), "icon 16 (x4)", 4)]
    x = 20
    for img, label, k in small:
        blocks.append((zoom(img, k), x, y, label))
        x += max(img.shape[1] * k, 110) + 30
    y += 150
    blocks.append((zoom(load("panel.png"), 2), 20, y, "panel texture 394 x 24 (x2)"))
    sx = 20 + 394 * 2 + 40
    for name in ("left", "full", "empty", "right", "handle", "up", "down", "handle2", "full2", "empty2"):
        img = zoom(load(f"slider_{name}.png"), 3)
        blocks.append((img, sx, y, name))
        sx += max(img.shape[1], 40) + 22
    y += 110
    shapes_top = y
    rows = 5
    height = shapes_top + rows * (CELL + 24) + 20
    canvas = np.zeros((height, width, 3), np.uint8)
    canvas[:] = BG
    labels = []
    for img, bx, by, label in blocks:
        canvas[by:by + img.shape[0], bx:bx + img.shape[1]] = img
        labels.append((bx, by - 16, label))
    for n in range(1, 10):
        data = open(os.path.join(ROOT, "assets", "shapes", f"Zephlora{n:03d}.zpk"), "rb").read()
        dots = np.array(shapes.parse_member(data), float)[:, :3]
        r, c = divmod(n - 1, 2)
        for k, angles in enumerate(ANGLES):
            cx = 20 + (c * 3 + k) * CELL
            cy = shapes_top + r * (CELL + 24)
            cell = np.zeros((CELL - 6, CELL - 6, 3), np.uint8)
            ui.draw_shape(cell, dots, (CELL - 6) / 2, (CELL - 6) / 2, angles, SCALE, sheet_px)
            canvas[cy:cy + CELL - 6, cx:cx + CELL - 6] = cell
        labels.append((20 + c * 3 * CELL, shapes_top + r * (CELL + 24) - 16,
                       f"member {n:03d}: {shapes.SHAPES[n - 1][0]}, {len(dots)} dots"))
    image = Image.fromarray(canvas)
    draw = ImageDraw.Draw(image)
    draw.text((20, 8), "Zephlora: the pictures in the executables and the nine shapes of Zephlora.zpk "
              f"(shapes drawn with the sprite discs at {int(SCALE * 100)}% scale)", fill=(220, 224, 230))
    for lx, ly, label in labels:
        draw.text((lx, ly), label, fill=LABEL)
    image.save(out, "PNG", optimize=True)


if __name__ == "__main__":
    main()
