"""The nine shapes of the resource pack, as integer dots, and the member text format.

Every shape is built from curves (or grids) sampled to a dot count, so that each member can be
made to fill its fixed length in the pack with whole dot lines; what is left over goes into
the free header lines."""
import math

import numpy as np

PACK_LENGTHS = [7569, 3851, 4305, 4020, 3746, 2396, 3148, 4038, 3118]
RADIUS_LIMIT = 170


# ---------------------------------------------------------------------------------------------
# Curve sampling


def _resample(poly, n, closed):
    """n points spaced evenly by arc length along a dense polyline."""
    if n <= 0:
        return np.zeros((0, 3))
    pts = np.vstack([poly, poly[:1]]) if closed else poly
    seg = np.linalg.norm(np.diff(pts, axis=0), axis=1)
    cum = np.concatenate([[0.0], np.cumsum(seg)])
    total = cum[-1]
    if closed:
        s = (np.arange(n) + 0.5) * total / n
    else:
        s = np.linspace(0.0, total, n) if n > 1 else np.array([total / 2])
    out = np.empty((n, 3))
    for k in range(3):
        out[:, k] = np.interp(s, cum, pts[:, k])
    return out


def _length(poly, closed):
    pts = np.vstack([poly, poly[:1]]) if closed else poly
    return float(np.linalg.norm(np.diff(pts, axis=0), axis=1).sum())


def sample_curves(curves, n):
    """Share n dots among curves (dense polyline, closed) in proportion to their lengths."""
    lengths = np.array([_length(c, closed) for c, closed in curves])
    share = lengths / lengths.sum() * n
    counts = np.floor(share).astype(int)
    # Hand the remainder to the curves with the largest fractional parts (ties: first curve).
    order = sorted(range(len(curves)), key=lambda i: (-(share[i] - counts[i]), i))
    for i in order[: n - counts.sum()]:
        counts[i] += 1
    return np.vstack([_resample(c, k, closed) for (c, closed), k in zip(curves, counts)])


def _t(m=720):
    return np.linspace(0.0, 2 * math.pi, m, endpoint=False)


def circle(centre, u, v, r, m=720):
    t = _t(m)
    return (np.asarray(centre, float)[None, :] + r * np.cos(t)[:, None] * np.asarray(u, float)
            + r * np.sin(t)[:, None] * np.asarray(v, float))


# ---------------------------------------------------------------------------------------------
# Shapes. Coordinates: x right, y down, z towards the viewer; pixels at depth 0.


def globe(n):
    """A globe of meridians and parallels with its two poles."""
    r = 125.0
    curves = []
    for k in range(12):  # meridians, pole to pole
        a = k * math.pi / 12
        t = np.linspace(0.22, math.pi - 0.22, 400)  # clear of the poles, where meridians crowd
        pts = np.stack([r * np.sin(t) * math.cos(a), -r * np.cos(t), r * np.sin(t) * math.sin(a)], axis=1)
        curves.append((pts, False))
    for lat in (-60, -30, 0, 30, 60):
        y = -r * math.sin(math.radians(lat))
        rr = r * math.cos(math.radians(lat))
        curves.append((circle((0, y, 0), (1, 0, 0), (0, 0, 1), rr), True))
    body = sample_curves(curves, n - 2)
    return np.vstack([[[0, -r, 0], [0, r, 0]], body])


def flower(n):
    """The signature: a flower facing the viewer, eight cupped petals round a seed head laid out
    in the golden angle, on a stem with two leaves."""
    head_y = -38.0
    curves = []
    petals = 8
    for k in range(petals):
        a0 = k * 2 * math.pi / petals + math.pi / petals
        t = np.linspace(0, 1, 300)
        phi = a0 + (t - 0.5) * (2 * math.pi / petals) * 0.92
        rad = 38 + 72 * np.sin(math.pi * t) ** 0.7
        cup = 34 * ((rad - 38) / 72) ** 2  # the petal tips curve towards the viewer
        curves.append((np.stack([rad * np.cos(phi), head_y + rad * np.sin(phi), cup], axis=1), False))
    stem_t = np.linspace(0, 1, 200)
    stem = np.stack([10 * np.sin(stem_t * 2.2), head_y + 40 + (150 - head_y - 40) * stem_t, -8 * stem_t], axis=1)
    curves.append((stem, False))
    for side, at in ((-1, 0.45), (1, 0.7)):  # two leaves, closed loops off the stem
        base = np.array([10 * math.sin(at * 2.2), head_y + 40 + (150 - head_y - 40) * at, -8 * at])
        t = np.linspace(0, 2 * math.pi, 200, endpoint=False)
        lx = side * (28 + 28 * np.cos(t + math.pi))
        ly = -16 * np.sin(t) - side * 0.35 * lx * side
        curves.append((base + np.stack([lx, ly - 0.3 * np.abs(lx), 10 * np.sin(t) ** 2], axis=1), True))
    seeds = max(30, n // 5)
    outline = sample_curves(curves, n - seeds)
    k = np.arange(seeds)
    rr = 30.0 * np.sqrt((k + 0.5) / seeds)
    ga = k * math.pi * (3 - math.sqrt(5))
    head = np.stack([rr * np.cos(ga), head_y + rr * np.sin(ga), 8 - (rr / 30.0) ** 2 * 6], axis=1)
    return np.vstack([head, outline])


def torus(n):
    """A ring torus as a grid of dots: u rings round the tube, v dots on each."""
    u, v = _torus_grid(n)
    R, r = 105.0, 45.0
    pts = []
    for i in range(u):
        a = 2 * math.pi * i / u
        for j in range(v):
            b = 2 * math.pi * j / v + (math.pi / v if i % 2 else 0.0)
            pts.append([(R + r * math.cos(b)) * math.cos(a), r * math.sin(b), (R + r * math.cos(b)) * math.sin(a)])
    return np.array(pts)


def _torus_grid(n):
    v = 12
    return max(3, n // v), v


def helix(n):
    """A double helix with rungs, standing upright."""
    curves = []
    turns = 2.2
    height = 300.0
    r = 62.0
    t = np.linspace(0, 1, 1200)
    for phase in (0.0, math.pi):
        ang = 2 * math.pi * turns * t + phase
        curves.append((np.stack([r * np.cos(ang), -height / 2 + height * t, r * np.sin(ang)], axis=1), False))
    rungs = 18
    for k in range(rungs):
        tk = (k + 0.5) / rungs
        ang = 2 * math.pi * turns * tk
        a = np.array([r * math.cos(ang), -height / 2 + height * tk, r * math.sin(ang)])
        b = np.array([-a[0], a[1], -a[2]])
        s = np.linspace(0.18, 0.82, 50)[:, None]
        curves.append((a * (1 - s) + b * s, False))
    return sample_curves(curves, n)


def lattice(n):
    """A cube lattice: the edges of a 2 x 2 x 2 block of cells, dots evenly spaced on every edge."""
    h = 92.0
    k = 5  # dots per cell edge
    vals = np.linspace(-h, h, 2 * k + 1)
    on_line = [i % k == 0 for i in range(2 * k + 1)]
    pts = []
    for i, x in enumerate(vals):
        for j, y in enumerate(vals):
            for m, z in enumerate(vals):
                if on_line[i] + on_line[j] + on_line[m] >= 2:
                    pts.append([x, y, z])
    pts = np.array(pts)
    if len(pts) > n:  # smaller budgets take whole shells from the centre outwards
        order = np.argsort(np.linalg.norm(pts, axis=1), kind="stable")
        pts = pts[np.sort(order[len(pts) - n:])]
    return pts


def pyramid(n):
    """A square pyramid: base outline, four edges to the apex and a ring round the middle."""
    b = 92.0
    top = np.array([0.0, -132.0, 0.0])
    base_y = 80.0
    corners = [np.array([sx * b, base_y, sz * b]) for sx, sz in ((-1, -1), (1, -1), (1, 1), (-1, 1))]
    curves = []
    for i in range(4):
        a, c = corners[i], corners[(i + 1) % 4]
        curves.append((np.linspace(a, c, 200), False))
        curves.append((np.linspace(top, a, 200)[1:], False))
    # The base's diagonals make it read as a floor while it turns.
    curves.append((np.linspace(corners[0], corners[2], 200)[10:-10], False))
    curves.append((np.linspace(corners[1], corners[3], 200)[10:-10], False))
    pts = sample_curves(curves, n - 1)
    return np.vstack([top[None, :], pts])


def heart(n):
    """A heart of stacked outlines: the classic curve swept through depth."""
    curves = []
    layers = [(-36, 0.55), (-18, 0.85), (0, 1.0), (18, 0.85), (36, 0.55)]
    t = _t(900)
    x = 16 * np.sin(t) ** 3
    y = -(13 * np.cos(t) - 5 * np.cos(2 * t) - 2 * np.cos(3 * t) - np.cos(4 * t))
    for z, s in layers:
        k = 8.2 * s
        curves.append((np.stack([x * k, (y + 2.5) * k, np.full_like(x, z)], axis=1), True))
    return sample_curves(curves, n)


def galaxy(n):
    """A spiral galaxy: two arms wound round a bright core, thin and slightly warped."""
    curves = []
    for phase in (0.0, math.pi):
        t = np.linspace(0.0, 1.0, 800)
        ang = phase + t * 3.3 * math.pi
        rad = 22 + 130 * t
        pts = np.stack([rad * np.cos(ang), 6 * np.sin(ang * 0.5) * t, rad * np.sin(ang)], axis=1)
        curves.append((pts, False))
        # A fainter lane beside each arm.
        ang2 = ang + 0.35
        rad2 = (22 + 115 * t)[100:]
        pts2 = np.stack([rad2 * np.cos(ang2[100:]), np.zeros_like(rad2), rad2 * np.sin(ang2[100:])], axis=1)
        curves.append((pts2, False))
    arms = sample_curves(curves, n - 60)
    # The core: a small golden-angle sphere.
    k = np.arange(60)
    zc = 1 - 2 * (k + 0.5) / 60
    rc = np.sqrt(1 - zc * zc)
    ga = k * math.pi * (3 - math.sqrt(5))
    core = 22 * np.stack([rc * np.cos(ga), zc * 0.6, rc * np.sin(ga)], axis=1)
    return np.vstack([core, arms])


def atom(n):
    """An atom: three tilted electron orbits about a nucleus."""
    curves = []
    r = 148.0
    for tilt in (0, 60, 120):
        a = math.radians(tilt)
        u = (math.cos(a), math.sin(a), 0.0)
        v = (0.0, 0.0, 1.0)
        curves.append((_ellipse(u, v, r, 0.42), True))
    orbits = sample_curves(curves, n - 19)
    nucleus = [[0, 0, 0]]
    for k in range(18):  # two shells of nucleons
        zc = 1 - 2 * (k + 0.5) / 18
        rc = math.sqrt(1 - zc * zc)
        ga = k * math.pi * (3 - math.sqrt(5))
        nucleus.append([20 * rc * math.cos(ga), 20 * zc, 20 * rc * math.sin(ga)])
    return np.vstack([np.array(nucleus), orbits])


def _ellipse(u, v, r, squash):
    t = _t(900)
    u = np.asarray(u, float)
    v = np.asarray(v, float)
    return r * np.cos(t)[:, None] * u + r * squash * np.sin(t)[:, None] * v + 0 * t[:, None]


# Member order: member 2 is shown first.
SHAPES = [
    ("Globe", globe, "twelve meridians and five parallels on a sphere of radius 125, with both poles"),
    ("Flower", flower, "eight cupped petals round a golden-angle seed head, a stem and two leaves"),
    ("Torus", torus, "rings of twelve dots round a tube of radius 45, centre circle radius 105"),
    ("Double helix", helix, "two strands of 2.2 turns, radius 62, joined by eighteen rungs"),
    ("Cube lattice", lattice, "the edges of a 2 x 2 x 2 block of cells, 184 wide"),
    ("Pyramid", pyramid, "a square pyramid with its apex up, the base with both diagonals"),
    ("Heart", heart, "five heart outlines stacked through the depth"),
    ("Spiral galaxy", galaxy, "two arms with dust lanes round a small spherical core"),
    ("Atom", atom, "three electron orbits tilted 60 degrees apart round a nucleus"),
]


# ---------------------------------------------------------------------------------------------
# Member text


def dot_lines(pts):
    out = []
    for x, y, z in np.rint(np.asarray(pts, float)).astype(int).tolist():
        out.append(f"{x}!{y}@{z}")
    return out


def _header(number, name, how, count, faces):
    return [
        f"Zephlora shape {number:03d}: {name}",
        f"Made by assets/generator/generate.py: {how}.",
        "One dot per line from line 13 on: X!Y@Z in pixels at depth 0,",
        "X to the right, Y downwards, Z towards the viewer.",
        f"{count} dots, all within a radius of {RADIUS_LIMIT} of the origin.",
        "Lines 1 to 8 and 11 to 12 are free text." if not faces else
        "After the dots: one face per line, the dot numbers of its corners.",
        "",
        "",
        f"MaxIndex={count - 1}",
        f"Faces={len(faces)}" if faces else "Faces=Not Available",
        "",
        "",
    ]


PAD_LINES = (6, 7, 10, 11)  # free lines (zero-based) that take the padding rules
PAD_WIDTH = 100


def member_text(number, name, how, pts, length=None, faces=()):
    """The member's bytes; with a length, rules on the free lines make it exactly that long."""
    lines = dot_lines(pts)
    header = _header(number, name, how, len(lines), faces)
    tail = [",".join(str(i) for i in f) for f in faces]
    body = "".join(line + "\r\n" for line in header + lines + tail).encode("ascii")
    if length is None:
        return body
    spare = length - len(body)
    if spare < 0 or spare > PAD_WIDTH * len(PAD_LINES):
        return None
    for k in PAD_LINES:
        take = min(spare, PAD_WIDTH)
        header[k] = "-" * take
        spare -= take
    data = "".join(line + "\r\n" for line in header + lines + tail).encode("ascii")
    assert len(data) == length
    return data


def lattice_faces(pts):
    """The 36 square faces of the lattice's cells, by the dot numbers of their corners."""
    index = {tuple(p): i for i, p in enumerate(np.rint(pts).astype(int).tolist())}
    h = 92
    nodes = (-h, 0, h)
    faces = []
    for axis in range(3):
        for plane in nodes:
            for a in range(2):
                for b in range(2):
                    quad = []
                    for da, db in ((0, 0), (1, 0), (1, 1), (0, 1)):
                        p = [0, 0, 0]
                        others = [k for k in range(3) if k != axis]
                        p[axis] = plane
                        p[others[0]] = nodes[a + da]
                        p[others[1]] = nodes[b + db]
                        quad.append(index.get(tuple(p)))
                    if None not in quad:
                        faces.append(quad)
    return faces


def _dedupe(pts):
    """Drop dots that round to the same integer point as an earlier one."""
    seen = set()
    keep = []
    for i, p in enumerate(np.rint(pts).astype(int).tolist()):
        if tuple(p) not in seen:
            seen.add(tuple(p))
            keep.append(i)
    return pts[keep]


def build_member(number):
    """The largest dot count whose member text fits the member's length, padded to it."""
    name, fn, how = SHAPES[number - 1]
    length = PACK_LENGTHS[number - 1]
    best = None
    lo, hi = 10, length // 8
    while lo <= hi:  # the text grows with the count; find the largest count that fits
        mid = (lo + hi) // 2
        pts = _dedupe(fn(mid))
        data = member_text(number, name, how, pts, length, FACES.get(fn, _none)(pts))
        if data is not None:
            best = (mid, pts, data)
            lo = mid + 1
        elif len(member_text(number, name, how, pts, None, FACES.get(fn, _none)(pts))) < length:
            lo = mid + 1
        else:
            hi = mid - 1
    # Near the top the text length is not strictly monotonic in the count: try a few more.
    for extra in range(1, 12):
        pts = _dedupe(fn(best[0] + extra))
        data = member_text(number, name, how, pts, length, FACES.get(fn, _none)(pts))
        if data is not None and len(pts) > len(best[1]):
            best = (best[0] + extra, pts, data)
    return best[1], best[2]


def _none(pts):
    return ()


FACES = {lattice: lattice_faces}


def parse_member(data):
    """A strict reading of the member format; returns the dots or raises ValueError."""
    text = data.decode("ascii")
    if not text.endswith("\r\n"):
        raise ValueError("member does not end with CR LF")
    lines = text[:-2].split("\r\n")
    if any("\n" in l or "\r" in l for l in lines):
        raise ValueError("stray line break")
    if len(lines) < 12:
        raise ValueError("short header")
    count_line = lines[8]
    top = int(count_line.split("=", 1)[1] if "=" in count_line else count_line)
    if "Not Available" not in lines[9]:
        float(lines[9].split("=", 1)[1] if "=" in lines[9] else lines[9])
    dots = []
    for i in range(top + 1):
        line = lines[12 + i]
        a = line.index("!")
        b = line.index("@", a + 1)
        if "*" in line:
            c = line.index("*", b + 1)
            x, y, z, w = line[:a], line[a + 1:b], line[b + 1:c], line[c + 1:]
        else:
            x, y, z, w = line[:a], line[a + 1:b], line[b + 1:], "0"
        dots.append(tuple(int(round(float(f.strip()))) for f in (x, y, z, w)))
    return dots
