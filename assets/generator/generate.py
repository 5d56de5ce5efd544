#!/usr/bin/python3
"""Makes every file of Zephlora's shipped content from source, the same bytes on every run:
the nine shape members and the resource pack, the pictures the executables carry, and the
program icon in the sizes of the desktop's icon theme.

    generate.py [--out DIR]      write into DIR (default: the assets folder)
    generate.py --check          make everything in a temporary folder and compare it byte
                                 for byte with the committed files; exit 1 on a difference
"""
import argparse
import filecmp
import io
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import same_on_every_cpu  # noqa: E402

# Before numpy is imported: the same arithmetic on every processor.
same_on_every_cpu.hold()

import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402

import shapes  # noqa: E402
import space  # noqa: E402
import ui  # noqa: E402

ASSETS = os.path.dirname(HERE)

# The display scales above 1 that have a sprite sheet of their own (plat::kMaxDisplayScale).
SPRITE_SCALES = (2, 3, 4)

# Every file the generator writes, relative to the assets folder.
PICTURES = (["pictures/sprites.png"] + [f"pictures/background{i}.png" for i in range(10)]
            + ["pictures/preview.jpg", "pictures/option_on.png", "pictures/option_off.png",
               "pictures/panel.png"]
            + [f"pictures/slider_{n}.png" for n in ("left", "right", "handle", "full", "empty", "up",
                                                    "down", "handle2", "full2", "empty2")]
            + ["pictures/icon32.png", "pictures/icon16.png"]
            + [f"pictures/sprites{n}.png" for n in SPRITE_SCALES]
            + ["pictures/zephlora.ico", "pictures/checksums.inc"])
MEMBERS = [f"shapes/Zephlora{n:03d}.zpk" for n in range(1, 10)]
# The program icon in the desktop's icon theme (installed as it lies, under share/icons).
THEME_ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
THEME_ICONS = [f"icons/hicolor/{n}x{n}/apps/zephlora.png" for n in THEME_ICON_SIZES]
OUTPUTS = MEMBERS + ["Zephlora.zpk"] + PICTURES + THEME_ICONS

SLIDER_ORDER = ["PicLeft", "PicRight", "PicHandle", "PicFullFill", "PicEmptyFill", "PicUp", "PicDown",
                "PicHandle2", "PicFullFill2", "PicEmptyFill2"]


def png_bytes(pixels):
    buf = io.BytesIO()
    Image.fromarray(np.ascontiguousarray(pixels), "RGB").save(buf, "PNG", optimize=False, compress_level=9)
    return buf.getvalue()


def jpeg_bytes(pixels):
    buf = io.BytesIO()
    Image.fromarray(np.ascontiguousarray(pixels), "RGB").save(buf, "JPEG", quality=92, subsampling=0,
                                                              optimize=False, progressive=False)
    return buf.getvalue()


def build(only=None):
    """name -> bytes for every output (or for those in `only`)."""
    out = {}
    want = (lambda name: True) if only is None else (lambda name: name in only)
    members = []
    for n in range(1, 10):
        _, data = shapes.build_member(n)
        members.append(data)
        out[MEMBERS[n - 1]] = data
    pack = b"".join(members)
    assert len(pack) == sum(shapes.PACK_LENGTHS) == 36191
    out["Zephlora.zpk"] = pack
    if want("pictures/sprites.png"):
        out["pictures/sprites.png"] = png_bytes(ui.sprite_sheet())
    for n in SPRITE_SCALES:
        out[f"pictures/sprites{n}.png"] = png_bytes(ui.scaled_sprite_sheet(n))
    for i, fn in enumerate(space.BACKGROUNDS):
        name = f"pictures/background{i}.png"
        if want(name):
            pixels = fn()
            assert pixels.shape[1::-1] == space.SIZES[i]
            out[name] = png_bytes(pixels)
    if want("pictures/preview.jpg"):
        out["pictures/preview.jpg"] = jpeg_bytes(ui.preview(
            lambda: space.earth(152, 112, seed=12, cx=108.0, cy=62.0, r=46.0, with_moon=False, stars=45,
                                margin=1.0)))
    out["pictures/option_on.png"] = png_bytes(ui.option_glyph(True))
    out["pictures/option_off.png"] = png_bytes(ui.option_glyph(False))
    out["pictures/panel.png"] = png_bytes(ui.panel_texture())
    slider = ui.slider_images()
    for key, name in zip(SLIDER_ORDER, [p for p in PICTURES if p.startswith("pictures/slider_")]):
        out[name] = png_bytes(slider[key])
    icons = [ui.icon(32), ui.icon(16)]
    out["pictures/icon32.png"] = png_bytes(icons[0])
    out["pictures/icon16.png"] = png_bytes(icons[1])
    out["pictures/zephlora.ico"] = ui.ico_file(icons)
    for size, name in zip(THEME_ICON_SIZES, THEME_ICONS):
        if want(name):
            out[name] = png_bytes(icons[0] if size == 32 else icons[1] if size == 16 else ui.icon(size))
    if only is None or "pictures/checksums.inc" in only:
        out["pictures/checksums.inc"] = checksums(out)
    return {k: v for k, v in out.items() if only is None or k in only}


def pixel_sum(pixels):
    """Position-weighted sum of the 0x00RRGGBB pixels, row by row, modulo 2^64: what the tests
    compute from the decoded pictures."""
    p = pixels.astype(np.uint64)
    v = ((p[..., 0] << np.uint64(16)) | (p[..., 1] << np.uint64(8)) | p[..., 2]).reshape(-1)
    i = np.arange(v.size, dtype=np.uint64)
    with np.errstate(over="ignore"):
        return int(((v ^ (i * np.uint64(0x9E3779B1))) * (i * np.uint64(2) + np.uint64(1))).sum(dtype=np.uint64))


def checksums(out):
    """A C++ table of every embedded picture: size, pixel sum (lossless files) and mean colour."""
    rows = ["// Written by assets/generator/generate.py: what each picture decodes to.",
            "// file, width, height, lossless, pixel sum, mean red, green, blue (x 1000)"]
    for name in PICTURES:
        if not name.endswith((".png", ".jpg")):
            continue
        pixels = np.array(Image.open(io.BytesIO(out[name])).convert("RGB"))
        h, w = pixels.shape[:2]
        lossless = name.endswith(".png")
        mean = [int(round(float(pixels[..., c].mean()) * 1000)) for c in range(3)]
        rows.append(f'{{"{name.split("/")[-1]}", {w}, {h}, {str(lossless).lower()}, '
                    f'0x{pixel_sum(pixels) if lossless else 0:016x}ull, {mean[0]}, {mean[1]}, {mean[2]}}},')
    return ("\n".join(rows) + "\n").encode("ascii")


def check_members(out):
    """The pack's own invariants, checked on every run."""
    offset = 0
    for n, length in enumerate(shapes.PACK_LENGTHS, start=1):
        data = out[MEMBERS[n - 1]]
        assert len(data) == length, (n, len(data), length)
        assert out["Zephlora.zpk"][offset:offset + length] == data
        offset += length
        dots = shapes.parse_member(data)
        for x, y, z, _ in dots:
            assert x * x + y * y + z * z <= shapes.RADIUS_LIMIT ** 2, (n, x, y, z)
        assert len(set(d[:3] for d in dots)) == len(dots), f"member {n} has coinciding dots"


def write(out, folder):
    for name, data in out.items():
        path = os.path.join(folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=ASSETS)
    ap.add_argument("--check", action="store_true")
    args = ap.parse_args()
    out = build()
    check_members(out)
    if not args.check:
        write(out, args.out)
        return 0
    with tempfile.TemporaryDirectory() as tmp:
        write(out, tmp)
        bad = [name for name in OUTPUTS
               if not os.path.exists(os.path.join(ASSETS, name))
               or not filecmp.cmp(os.path.join(tmp, name), os.path.join(ASSETS, name), shallow=False)]
    for name in bad:
        print(f"assets/{name} differs from what the generator makes", file=sys.stderr)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
