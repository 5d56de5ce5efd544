"""The small pictures: the dot sprite sheet, the preview still, the dialog's option glyphs and
panel texture, the slider's ten images and the program icon."""
import math
import struct

import numpy as np

from noise import fbm3, smoothstep, to_u8

# Green values of the top-left quarter of each disc, one table per depth band, rows 0..3.
DISC_QUARTERS = [
    [[0, 23, 55, 63], [23, 63, 104, 127], [55, 104, 144, 168], [63, 127, 168, 191]],
    [[0, 16, 40, 48], [16, 48, 80, 96], [40, 80, 112, 135], [48, 96, 135, 151]],
    [[0, 15, 31, 39], [15, 39, 63, 72], [31, 63, 87, 96], [39, 72, 96, 111]],
    [[0, 8, 23, 24], [8, 24, 40, 48], [23, 40, 56, 64], [24, 48, 64, 72]],
    [[0, 7, 8, 15], [7, 15, 23, 24], [8, 23, 31, 32], [15, 24, 32, 39]],
]


def sprite_sheet():
    """40 x 16: five discs in the top row, the stamping mask at x 0..7 of the bottom row."""
    img = np.zeros((16, 40, 3), np.uint8)
    for band, quarter in enumerate(DISC_QUARTERS):
        for y in range(8):
            for x in range(8):
                qy = y if y < 4 else 7 - y
                qx = x if x < 4 else 7 - x
                img[y, band * 8 + x, 1] = quarter[qy][qx]
    for x, y in ((0, 8), (7, 8), (0, 15), (7, 15)):
        img[y, x] = 255
    return img


def scaled_sprite_sheet(scale):
    """The sheet for a display scale: the same layout `scale` times larger, drawn afresh. Each
    pixel takes the 8 x 8 disc's green interpolated (bilinearly, in integers) at its own centre
    between the centres of the 8 x 8 pixels, so the rim stays one pixel wide; the mask keeps
    the scale x scale corners and the discs are black there. Scale 1 gives sprite_sheet()."""
    base = sprite_sheet()
    side, span = 8 * scale, 2 * scale
    img = np.zeros((2 * side, 5 * side, 3), np.uint8)

    def axis(p):
        c = 2 * p + 1 - scale
        i0 = c // span
        f = c - i0 * span
        if i0 < 0:
            return 0, 0
        if i0 >= 7:
            return 7, 0
        return i0, f

    def keeps(x, y):
        return (x < scale or x >= 7 * scale) and (y < scale or y >= 7 * scale)

    for band in range(5):
        g = base[0:8, band * 8:band * 8 + 8, 1].astype(int)
        for y in range(side):
            y0, fy = axis(y)
            y1 = y0 + 1 if fy else y0
            for x in range(side):
                if keeps(x, y):
                    continue
                x0, fx = axis(x)
                x1 = x0 + 1 if fx else x0
                total = (g[y0, x0] * (span - fx) * (span - fy) + g[y0, x1] * fx * (span - fy)
                         + g[y1, x0] * (span - fx) * fy + g[y1, x1] * fx * fy)
                img[y, band * side + x, 1] = (total + span * span // 2) // (span * span)
    for y in range(side):
        for x in range(side):
            if keeps(x, y):
                img[side + y, x] = 255
    return img


def stamp_dots(img, xs, ys, bands, sheet):
    """Stamp dots like the engine: the mask with AND, then the disc with OR, clipped."""
    h, w = img.shape[:2]
    mask = sheet[8:16, 0:8]
    for x, y, band in zip(xs, ys, bands):
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(w, x + 8), min(h, y + 8)
        if x0 >= x1 or y0 >= y1:
            continue
        sx, sy = x0 - x, y0 - y
        region = img[y0:y1, x0:x1]
        region &= mask[sy:sy + y1 - y0, sx:sx + x1 - x0]
        region |= sheet[sy:sy + y1 - y0, band * 8 + sx:band * 8 + sx + x1 - x0]


def project(pts, ax, ay, az, scale=1.0):
    """Turn the dots about x, y and z (degrees), then project like the engine (focal 260).
    Returns pixel offsets of the sprites' top-left corners, depths, in far-to-near order."""
    a, b, c = (math.radians(v) for v in (ax, ay, az))
    rx = np.array([[1, 0, 0], [0, math.cos(a), -math.sin(a)], [0, math.sin(a), math.cos(a)]])
    ry = np.array([[math.cos(b), 0, math.sin(b)], [0, 1, 0], [-math.sin(b), 0, math.cos(b)]])
    rz = np.array([[math.cos(c), -math.sin(c), 0], [math.sin(c), math.cos(c), 0], [0, 0, 1]])
    p = np.asarray(pts, float) @ (rz @ ry @ rx).T
    order = np.argsort(p[:, 2], kind="stable")
    p = p[order]
    f = 260.0 / (260.0 - p[:, 2])
    return p[:, 0] * f * scale, p[:, 1] * f * scale, p[:, 2]


def depth_bands(z):
    """Band 0 (brightest) for the nearest fifth of the depth range, 4 for the farthest."""
    lo, hi = float(z.min()), float(z.max())
    if hi - lo < 1e-9:
        return np.full(len(z), 4)
    t = (z - lo) / (hi - lo)
    return np.clip(4 - np.floor(t * 5), 0, 4).astype(int)


def draw_shape(img, pts, cx, cy, angles, scale=1.0, sheet=None):
    sheet = sprite_sheet() if sheet is None else sheet
    x, y, z = project(pts, *angles, scale=scale)
    xs = np.rint(x + cx - 4).astype(int)
    ys = np.rint(y + cy - 4).astype(int)
    stamp_dots(img, xs, ys, depth_bands(z), sheet)


def preview(earth_fn):
    """152 x 112: a cube of green dots in front of the Earth on black."""
    img = earth_fn()
    k = 6
    edge = np.linspace(-1, 1, k + 1)
    pts = set()
    for a in (-1, 1):
        for b in (-1, 1):
            for t in edge:
                pts.add((t, a, b)); pts.add((a, t, b)); pts.add((a, b, t))
    pts = np.array(sorted(pts)) * 27.0
    draw_shape(img, pts, 56, 54, (-22, 32, 0), scale=1.0)
    return img


def option_glyph(selected):
    """12 x 12: a blue filled square in a frame, or an empty grey square."""
    img = np.zeros((12, 12, 3))
    if selected:
        img[:] = (72, 74, 84)
        img[1:11, 1:11] = (236, 238, 244)
        ys, xs = np.mgrid[0:8, 0:8]
        t = (ys + xs) / 14.0
        top = np.array([96, 150, 255.0])
        bottom = np.array([16, 52, 178.0])
        img[2:10, 2:10] = top * (1 - t[..., None]) + bottom * t[..., None]
        img[2, 2:10] = (150, 190, 255)
    else:
        img[:] = (128, 128, 132)
        img[1:11, 1:11] = (222, 222, 224)
        img[1, 1:11] = (176, 176, 180)
        img[1:11, 1] = (176, 176, 180)
    return np.clip(np.rint(img), 0, 255).astype(np.uint8)


def panel_texture(seed=7):
    """394 x 24 light grey brushed metal: fine horizontal streaks over a soft sheen."""
    rng = np.random.default_rng(seed)
    w, h = 394, 24
    img = np.zeros((h, w))
    for y in range(h):
        row = rng.normal(0.0, 1.0, w + 60)
        kern = np.exp(-np.linspace(-3, 3, 41) ** 2)
        kern /= kern.sum()
        streak = np.convolve(row, kern, mode="same")[30:30 + w] * 14.0
        img[y] = 196 + rng.normal(0, 2.5) + streak + rng.normal(0, 2.0, w)
    xs = np.arange(w)
    sheen = 10 * np.sin(xs / w * math.pi * 2 + 0.6)
    img += sheen[None, :]
    rgb = np.stack([img, img + 1.0, img + 4.0], axis=-1)
    return np.clip(np.rint(rgb), 0, 255).astype(np.uint8)


# The rim of the empty groove strip, by offset across the groove; rows 6..12 are the groove.
EMPTY_RIM = {
    0: (2, 2, 2), 1: (209, 209, 211), 2: (204, 202, 207), 3: (164, 157, 164), 4: (55, 41, 41),
    5: (78, 71, 78), 13: (140, 145, 139), 14: (193, 193, 193), 15: (63, 61, 64),
    16: (10, 9, 10), 17: (6, 6, 7), 18: (4, 4, 4), 19: (78, 71, 78),
}
FULL_RIM_SHIFT = {1: (-2, -1, -2), 2: (1, 2, 0), 3: (-1, 1, -1), 13: (2, -1, 1), 14: (-2, -2, -1)}
GROOVE = range(6, 13)
EMPTY_GROOVE = (0, 0, 0)        # the default back colour
FULL_GROOVE = (200, 200, 0)     # the default fill colour at the minimum


def _profile(full):
    col = np.zeros((20, 3))
    for r in range(20):
        if r in GROOVE:
            col[r] = FULL_GROOVE if full else EMPTY_GROOVE
        else:
            col[r] = EMPTY_RIM[r]
            if full and r in FULL_RIM_SHIFT:
                col[r] = col[r] + FULL_RIM_SHIFT[r]
    return col


def _cap(width, centre_x, left):
    """An end cap of the groove: the rim profile bent round a half circle of radius 10."""
    prof = _profile(False)
    img = np.zeros((20, width, 3))
    for y in range(20):
        for x in range(width):
            px, py = x + 0.5, y + 0.5
            beyond = (px < centre_x) if left else (px > centre_x)
            if not beyond:
                img[y, x] = prof[y]
                continue
            d = math.hypot(px - centre_x, py - 10.0)
            if d >= 10.0:
                img[y, x] = (2, 2, 2)
                continue
            row = 10.0 - d if py < 10.0 else 10.0 + d - 1.0
            r = int(min(19, max(0, math.floor(row))))
            if r in GROOVE:
                img[y, x] = (14, 13, 15)  # the closed end of the groove
            else:
                img[y, x] = prof[r]
    # Keep the far end of the cap dark so that the stretched fill meets a clean edge.
    return np.clip(np.rint(img), 0, 255).astype(np.uint8)


def _handle():
    """19 x 10: a white knob with a grey rim and three grip lines."""
    w, h = 19, 10
    img = np.zeros((h, w, 3))
    for y in range(h):
        v = 252 - 70 * (y / (h - 1)) ** 1.3
        img[y, :] = (v, v, v + 2)
    img[0, :] = (110, 110, 114)
    img[-1, :] = (70, 70, 74)
    img[:, 0] = (110, 110, 114)
    img[:, -1] = (70, 70, 74)
    img[1, 1:-1] = (255, 255, 255)
    img[1:-1, 1] = (246, 246, 248)
    for x in (7, 9, 11):
        img[3:7, x] = (120, 120, 126)
        img[3:7, x + 1] = (255, 255, 255)
    for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        img[y, x] = (40, 40, 42)
    return np.clip(np.rint(img), 0, 255).astype(np.uint8)


def slider_images():
    """The ten images of the slider, horizontal ones first, by the slider's own names."""
    full = np.clip(np.rint(_profile(True)), 0, 255).astype(np.uint8)[:, None, :]
    empty = np.clip(np.rint(_profile(False)), 0, 255).astype(np.uint8)[:, None, :]
    left = _cap(11, 10.0, True)
    right = _cap(14, 4.0, False)
    handle = _handle()
    # The vertical images are the horizontal ones turned: offsets across the groove run left to
    # right, the top cap is the right cap turned up, the bottom cap the left cap turned down.
    up = np.transpose(right, (1, 0, 2))[::-1]
    down = np.transpose(left, (1, 0, 2))[::-1]
    handle2 = np.transpose(handle, (1, 0, 2))
    return {
        "PicLeft": left, "PicRight": right, "PicHandle": handle,
        "PicFullFill": full, "PicEmptyFill": empty,
        "PicUp": up, "PicDown": down, "PicHandle2": handle2,
        "PicFullFill2": np.transpose(full, (1, 0, 2)), "PicEmptyFill2": np.transpose(empty, (1, 0, 2)),
    }


def icon(size):
    """The program icon: a turning cube of green dots before a blue planet's limb, on black.

    Sizes 16 and 32 are the Windows icon's two images; the other sizes (the desktop's icon
    theme) draw the same picture, the dots as wide in proportion as in the nearer of the two
    designs, 16 (eight corner dots) below 32 and 32 (with the edges' midpoints) from there on.
    Sizes above 64 are sampled less finely, 512 samples a side."""
    s = 8 if size <= 64 else max(2, 512 // size)
    base = 32 if size >= 32 else 16
    n = size * s
    ys, xs = np.mgrid[0:n, 0:n].astype(np.float64)
    u = (xs + 0.5) / n - 0.5
    v = (ys + 0.5) / n - 0.5
    img = np.zeros((n, n, 3))
    pd = np.sqrt((u - 0.46) ** 2 + (v - 0.52) ** 2)
    planet = pd < 0.42
    shade = np.clip(((-(u - 0.42) - (v - 0.5)) / 0.42) * 0.7 + 0.2, 0, 1)
    img[planet] = (np.array([0.05, 0.22, 0.55]) * shade[..., None])[planet]
    img += (np.exp(-np.abs(pd - 0.42) / 0.025) * 0.9 * np.clip(shade + 0.2, 0, 1))[..., None] * np.array([0.35, 0.6, 1.0])
    k = 2 if size >= 32 else 1
    edge = np.linspace(-1, 1, k + 1)
    pts = set()
    for a in (-1, 1):
        for b in (-1, 1):
            for t in edge:
                pts.add((t, a, b)); pts.add((a, t, b)); pts.add((a, b, t))
    pts = np.array(sorted(pts)) * 60.0
    x, y, z = project(pts, -24, 38, 0)
    r = (0.36 if size >= 32 else 0.33) * n / 100.0
    sigma = (0.95 if size >= 32 else 0.75) * s * (size / base)
    ox, oy = n * 0.44, n * 0.46
    glow = np.zeros((n, n))
    for px, py, pz in zip(x * r + ox, y * r + oy, z):
        b = 0.55 + 0.45 * (pz + 100) / 200
        x0, x1 = int(max(0, px - 3 * sigma)), int(min(n, px + 3 * sigma + 1))
        y0, y1 = int(max(0, py - 3 * sigma)), int(min(n, py + 3 * sigma + 1))
        gy, gx = np.mgrid[y0:y1, x0:x1]
        glow[y0:y1, x0:x1] = np.maximum(glow[y0:y1, x0:x1], b * np.exp(-((gx + 0.5 - px) ** 2 + (gy + 0.5 - py) ** 2) / (2 * sigma * sigma)))
    glow = np.clip(glow * 1.6, 0, 1)
    img = img * (1 - glow[..., None]) + glow[..., None] * np.array([0.35, 1.0, 0.3])
    small = img.reshape(size, s, size, s, 3).mean(axis=(1, 3))
    return to_u8(small)


def ico_file(images):
    """A Windows icon file of opaque 32-bit images (each with its all-clear AND mask)."""
    head = struct.pack("<HHH", 0, 1, len(images))
    entries = b""
    blobs = b""
    offset = 6 + 16 * len(images)
    for img in images:
        h, w = img.shape[:2]
        bgra = np.concatenate([img[..., ::-1], np.full((h, w, 1), 255, np.uint8)], axis=-1)
        xor = bgra[::-1].tobytes()
        mask_row = ((w + 31) // 32) * 4
        and_mask = bytes(mask_row * h)
        bih = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
        blob = bih + xor + and_mask
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        blobs += blob
        offset += len(blob)
    return head + entries + blobs
