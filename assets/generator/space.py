"""Procedural astronomical pictures: lit planets with surface detail, rings, moons, nebulae,
a galaxy and star fields, all on pure black with edges that fade into the screen's black."""
import math

import numpy as np

from noise import fbm3, ridged3, smoothstep, downsample, value3

SS = 3  # supersampling factor per axis


def _grid(w, h):
    ys, xs = np.mgrid[0:h * SS, 0:w * SS].astype(np.float64)
    return (xs + 0.5) / SS, (ys + 0.5) / SS


def _norm(v):
    v = np.asarray(v, dtype=np.float64)
    return v / np.linalg.norm(v)


def _rot(ax, ay, az):
    """Rotation matrix from angles in degrees about x, then y, then z."""
    ax, ay, az = (math.radians(a) for a in (ax, ay, az))
    rx = np.array([[1, 0, 0], [0, math.cos(ax), -math.sin(ax)], [0, math.sin(ax), math.cos(ax)]])
    ry = np.array([[math.cos(ay), 0, math.sin(ay)], [0, 1, 0], [-math.sin(ay), 0, math.cos(ay)]])
    rz = np.array([[math.cos(az), -math.sin(az), 0], [math.sin(az), math.cos(az), 0], [0, 0, 1]])
    return rz @ ry @ rx


def _rgb(*c):
    return np.array(c, dtype=np.float64)


# ---------------------------------------------------------------------------------------------
# Stars


def star_field(w, h, rng, count, brightness=0.55, avoid=None):
    """Additive star light: small Gaussian points with a colour tint from blue-white to orange."""
    img = np.zeros((h, w, 3))
    tints = [_rgb(0.75, 0.85, 1.0), _rgb(1.0, 1.0, 1.0), _rgb(1.0, 0.95, 0.85), _rgb(1.0, 0.82, 0.62)]
    for _ in range(count):
        x = rng.uniform(0, w)
        y = rng.uniform(0, h)
        b = brightness * rng.pareto(2.2) * 0.25 + 0.05
        b = min(b, 1.4)
        sigma = 0.45 + 0.35 * min(b, 1.0)
        tint = tints[rng.integers(0, len(tints))]
        _splat(img, x, y, sigma, tint * b)
    return img


def _splat(img, x, y, sigma, colour):
    h, w = img.shape[:2]
    r = int(math.ceil(sigma * 3.5))
    x0, x1 = max(0, int(x) - r), min(w, int(x) + r + 1)
    y0, y1 = max(0, int(y) - r), min(h, int(y) + r + 1)
    if x0 >= x1 or y0 >= y1:
        return
    ys, xs = np.mgrid[y0:y1, x0:x1]
    d2 = (xs + 0.5 - x) ** 2 + (ys + 0.5 - y) ** 2
    g = np.exp(-d2 / (2 * sigma * sigma))
    img[y0:y1, x0:x1] += g[..., None] * colour


# ---------------------------------------------------------------------------------------------
# Spheres


class Sphere:
    """Geometry of a sphere in picture space at supersampled resolution."""

    def __init__(self, w, h, cx, cy, r):
        xs, ys = _grid(w, h)
        self.dx = (xs - cx) / r
        self.dy = -(ys - cy) / r
        self.d2 = self.dx ** 2 + self.dy ** 2
        self.d = np.sqrt(self.d2)
        self.inside = self.d2 < 1.0
        self.nz = np.sqrt(np.clip(1.0 - self.d2, 0.0, 1.0))
        self.n = np.stack([self.dx, self.dy, self.nz], axis=-1)
        self.r = r

    def body(self, rot):
        return self.n @ rot  # row vectors: body = R^T n


def lambert(n, light, soft=0.08):
    ndl = n @ light
    return np.clip((ndl + soft) / (1 + soft), 0, 1) ** 1.15


def atmosphere(sp, light, colour, thickness, strength):
    """Rim glow inside and just outside the limb, brighter on the lit side."""
    lxy = _norm([light[0], light[1], 0.0]) if abs(light[0]) + abs(light[1]) > 1e-6 else np.zeros(3)
    side = np.clip((sp.dx * lxy[0] + sp.dy * lxy[1]) / np.maximum(sp.d, 1e-6) * 0.6 + 0.5 + light[2] * 0.3, 0, 1)
    outside = np.exp(-np.clip(sp.d - 1.0, 0, None) / thickness) * (sp.d >= 1.0)
    inside = ((1.0 - sp.nz) ** 3) * sp.inside
    glow = (outside + 0.6 * inside) * side * strength
    return glow[..., None] * colour


def craters(p, light_body, rng, count, rmin, rmax, depth=0.5):
    """Brightness factor of a cratered surface, from shading of bowls and rims against the light."""
    shade = np.ones(p.shape[:-1])
    lt = light_body
    for _ in range(count):
        c = _norm(rng.normal(size=3))
        a = rmin * (rmax / rmin) ** (rng.uniform() ** 2.2)
        cosang = p @ c
        near = cosang > math.cos(a * 1.6)
        if not np.any(near):
            continue
        pc = p[near]
        ca = np.clip(pc @ c, -1, 1)
        ang = np.arccos(ca)
        d = ang / a
        t = pc - ca[:, None] * c
        tn = t / np.maximum(np.linalg.norm(t, axis=-1, keepdims=True), 1e-9)
        facing = tn @ lt
        # Height h(d) = -(1 - d^2)^2 inside plus a rim bump; the brightness follows -h'(d) along
        # the light's direction across the surface.
        slope = np.where(d < 1.0, 4.0 * d * (1.0 - d * d), 0.0)
        slope += -0.35 * 2.0 * (d - 1.0) / 0.04 * np.exp(-((d - 1.0) ** 2) / 0.04)
        shade[near] += depth * (-slope * facing * 0.5) * np.exp(-np.clip(d - 1.3, 0, None) * 8)
    return np.clip(shade, 0.25, 1.8)


def composite_disc(base, colour, coverage):
    return base * (1 - coverage[..., None]) + colour * coverage[..., None]


# ---------------------------------------------------------------------------------------------
# Finishing


def finish(img_ss, w, h, margin=14.0, gamma=1.0):
    """Downsample, fade the edges into black and quantise to bytes."""
    img = downsample(img_ss, SS)
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float64)
    edge = np.minimum(np.minimum(xs, w - 1 - xs), np.minimum(ys, h - 1 - ys))
    fade = smoothstep(0.0, margin, edge - 0.5)
    img = np.clip(img, 0, None) ** gamma * fade[..., None]
    out = np.clip(np.floor(img * 255.0 + 0.5), 0, 255).astype(np.uint8)
    return out


def tonemap(x, k=1.0):
    return 1.0 - np.exp(-k * x)


def upsample_stars(stars):
    return np.repeat(np.repeat(stars, SS, axis=0), SS, axis=1)


# ---------------------------------------------------------------------------------------------
# The ten pictures


def earth(w=320, h=320, seed=11, cx=150.0, cy=168.0, r=112.0, with_moon=True, stars=170, margin=14.0):
    rng = np.random.default_rng(seed)
    sp = Sphere(w, h, cx, cy, r)
    light = _norm([-0.78, 0.36, 0.50])
    rot = _rot(-18, 35, 21)
    p = sp.body(rot)
    px, py, pz = p[..., 0], p[..., 1], p[..., 2]
    # Continents: warped fractal noise above a sea level.
    warp = fbm3(px * 2.0, py * 2.0, pz * 2.0, seed + 1, octaves=3)
    c = fbm3(px * 1.7 + warp, py * 1.7 - warp, pz * 1.7, seed + 2, octaves=6)
    land = smoothstep(0.515, 0.53, c)
    coast = smoothstep(0.47, 0.52, c) * (1 - land)
    lat = np.abs(py)
    ocean = _rgb(0.015, 0.055, 0.20) * (1 - coast[..., None]) + _rgb(0.04, 0.20, 0.36) * coast[..., None]
    dry = smoothstep(0.25, 0.05, np.abs(lat - 0.38)) * smoothstep(0.45, 0.6, fbm3(px * 3, py * 3, pz * 3, seed + 3, 4))
    hills = fbm3(px * 6, py * 6, pz * 6, seed + 4, octaves=5)
    green = _rgb(0.10, 0.22, 0.07) * (0.8 + 0.5 * hills[..., None])
    desert = _rgb(0.52, 0.40, 0.24) * (0.85 + 0.3 * hills[..., None])
    ground = green * (1 - dry[..., None]) + desert * dry[..., None]
    ground = ground * (1 - smoothstep(0.6, 0.75, hills)[..., None] * 0.3)
    surface = ocean * (1 - land[..., None]) + ground * land[..., None]
    ice = smoothstep(0.80, 0.86, lat + 0.08 * (fbm3(px * 5, py * 5, pz * 5, seed + 5, 3) - 0.5))
    surface = surface * (1 - ice[..., None]) + _rgb(0.85, 0.88, 0.92) * ice[..., None]
    # Clouds: a warped layer of streaks.
    cw = fbm3(px * 2.5, py * 5.0, pz * 2.5, seed + 6, octaves=3)
    cl = fbm3(px * 3.0 + 1.5 * cw, py * 4.5, pz * 3.0 - 1.5 * cw, seed + 7, octaves=6)
    clouds = smoothstep(0.50, 0.72, cl) * 0.92
    surface = surface * (1 - clouds[..., None]) + _rgb(0.92, 0.93, 0.95) * clouds[..., None]
    lit = lambert(sp.n, light, 0.05)
    view = np.array([0, 0, 1.0])
    half = _norm(light + view)
    specular = np.clip(sp.n @ half, 0, 1) ** 60 * (1 - land) * (1 - clouds) * 0.55
    col = surface * lit[..., None] + specular[..., None] * _rgb(0.9, 0.9, 0.8)
    col = col * (0.75 + 0.25 * sp.nz[..., None])
    img = np.zeros(sp.n.shape)
    img = composite_disc(img, col, sp.inside.astype(float))
    img += atmosphere(sp, light, _rgb(0.25, 0.5, 1.0), 0.035, 0.9)
    # The Moon, small and far behind on the upper right.
    if with_moon:
        img = add_moon(img, w, h, 272.0, 58.0, 17.0, light, seed + 8, tint=_rgb(0.72, 0.70, 0.68))
    star_light = upsample_stars(star_field(w, h, rng, stars, 0.45))
    img = img + star_light * (1 - planet_cover(sp))[..., None]
    return finish(img, w, h, margin=margin)


def planet_cover(sp, extra=0.04):
    return np.clip((1.0 + extra - sp.d) / extra, 0, 1)


def add_moon(img, w, h, cx, cy, r, light, seed, tint, crater_count=40):
    sp = Sphere(w, h, cx, cy, r)
    rng = np.random.default_rng(seed)
    rot = _rot(10, 40, 0)
    p = sp.body(rot)
    lb = light @ rot
    mare = smoothstep(0.55, 0.45, fbm3(p[..., 0] * 1.6, p[..., 1] * 1.6, p[..., 2] * 1.6, seed, 4))
    alb = tint * (0.55 + 0.45 * (1 - mare[..., None] * 0.45))
    cr = craters(p, lb, rng, crater_count, 0.06, 0.3, 0.35)
    col = alb * (lambert(sp.n, light, 0.0) * cr)[..., None]
    cover = np.clip((1.0 - sp.d) * r * 1.0 + 0.5, 0, 1) * (sp.d < 1.2)
    cover = np.where(sp.inside, 1.0, 0.0)
    return composite_disc(img, col, cover)


def ring_nebula(w=280, h=280, seed=21):
    rng = np.random.default_rng(seed)
    xs, ys = _grid(w, h)
    cx, cy = w / 2, h / 2
    ang = math.radians(32)
    u = ((xs - cx) * math.cos(ang) + (ys - cy) * math.sin(ang)) / 72.0
    v = (-(xs - cx) * math.sin(ang) + (ys - cy) * math.cos(ang)) / 56.0
    rho = np.sqrt(u * u + v * v)
    theta = np.arctan2(v, u)
    n1 = fbm3(u * 3.0, v * 3.0, np.zeros_like(u), seed + 1, octaves=6)
    n2 = fbm3(u * 7.0, v * 7.0, np.ones_like(u) * 3.0, seed + 2, octaves=5)
    wobble = 0.08 * (n1 - 0.5) + 0.04 * np.sin(theta * 3 + 0.7)
    rr = rho + wobble
    shell = np.exp(-((rr - 1.0) / 0.22) ** 2) * (0.65 + 0.7 * n2)
    inner = np.exp(-(rr / 0.78) ** 4) * (0.35 + 0.4 * n1)
    outer = np.exp(-((rr - 1.22) / 0.2) ** 2) * (0.4 + 0.9 * n2 ** 2)
    fil = fbm3(u * 5, v * 5, np.zeros_like(u) + 7, seed + 3, 6)
    halo = np.exp(-((rr - 1.5) / 0.3) ** 2) * smoothstep(0.45, 0.75, fil) * 0.45
    green_blue = _rgb(0.25, 0.70, 0.75)
    img = inner[..., None] * _rgb(0.20, 0.45, 0.70) * 0.8
    img = img + shell[..., None] * (green_blue * smoothstep(1.15, 0.85, rr)[..., None]
                                    + _rgb(0.95, 0.55, 0.25) * smoothstep(0.85, 1.15, rr)[..., None])
    img = img + outer[..., None] * _rgb(0.85, 0.18, 0.22)
    img = img + halo[..., None] * _rgb(0.6, 0.12, 0.2)
    img = tonemap(img * 0.9, 1.3)
    stars = star_field(w, h, rng, 230, 0.5)
    _splat(stars, cx + 0.3, cy - 0.2, 0.9, _rgb(0.8, 0.9, 1.0) * 1.2)
    img = img + upsample_stars(stars)
    return finish(img, w, h, margin=18.0)


def emission_nebula(w=280, h=280, seed=31):
    rng = np.random.default_rng(seed)
    xs, ys = _grid(w, h)
    u = (xs - w * 0.52) / 95.0
    v = (ys - h * 0.48) / 95.0
    z = np.zeros_like(u)
    q1 = fbm3(u * 1.5, v * 1.5, z, seed + 1, octaves=4)
    q2 = fbm3(u * 1.5 + 5.2, v * 1.5 + 1.3, z, seed + 2, octaves=4)
    wu, wv = u + 1.3 * q1, v + 1.3 * q2
    gas = fbm3(wu * 2.0, wv * 2.0, z, seed + 3, octaves=7)
    env = np.exp(-((u * u + v * v) / 0.75) ** 1.5)
    detail = fbm3(wu * 7.0, wv * 7.0, z + 1, seed + 7, octaves=4)
    dens = np.clip(gas - 0.36, 0, None) * 2.8 * env * (0.55 + 0.9 * detail)
    glow = np.exp(-(u * u + v * v) / 0.25) * 0.35
    oiii = np.clip(fbm3(wu * 3.0, wv * 3.0, z + 2, seed + 4, octaves=5) - 0.45, 0, None) * 3.0 * np.exp(-(u * u + v * v) / 0.35)
    dust = smoothstep(0.6, 0.8, ridged3(wu * 1.8 + 3, wv * 1.8, z + 5, seed + 5, 5)) * 0.8
    dust = dust * smoothstep(0.35, 0.6, fbm3(u * 2, v * 2, z + 9, seed + 6, 3))
    img = dens[..., None] * _rgb(0.95, 0.22, 0.32) + oiii[..., None] * _rgb(0.2, 0.62, 0.68)
    img = img + (glow * (0.5 + gas))[..., None] * _rgb(0.9, 0.35, 0.45)
    img = img + (dens ** 2)[..., None] * _rgb(1.0, 0.75, 0.65) * 0.8
    img = img * (1 - 0.85 * dust[..., None])
    img = tonemap(img, 1.7)
    stars = star_field(w, h, rng, 260, 0.5)
    for _ in range(14):  # the young cluster that lights the cloud
        x = w * 0.52 + rng.normal() * 16
        y = h * 0.48 + rng.normal() * 16
        _splat(stars, x, y, 0.8, _rgb(0.75, 0.85, 1.0) * rng.uniform(0.6, 1.3))
    img = img + upsample_stars(stars) * (1 - 0.8 * dust[..., None])
    return finish(img, w, h, margin=20.0)


def mars(w=280, h=280, seed=41):
    rng = np.random.default_rng(seed)
    cx, cy, r = 138.0, 146.0, 102.0
    sp = Sphere(w, h, cx, cy, r)
    light = _norm([0.70, 0.30, 0.65])
    rot = _rot(-20, -30, -12)
    p = sp.body(rot)
    px, py, pz = p[..., 0], p[..., 1], p[..., 2]
    big = fbm3(px * 1.8, py * 1.8, pz * 1.8, seed + 1, octaves=6)
    fine = fbm3(px * 8, py * 8, pz * 8, seed + 2, octaves=4)
    dark = smoothstep(0.52, 0.36, big) * 0.9
    alb = _rgb(0.72, 0.36, 0.17) * (1 - dark[..., None]) + _rgb(0.36, 0.19, 0.11) * dark[..., None]
    alb = alb * (0.85 + 0.3 * fine[..., None])
    # A long canyon along the equator.
    lon = np.arctan2(px, pz)
    canyon = np.exp(-((py + 0.12 + 0.05 * np.sin(lon * 3) + 0.02 * (fine - 0.5)) / 0.04) ** 2) * smoothstep(0.9, 0.3, np.abs(lon - 0.2))
    alb = alb * (1 - 0.25 * canyon[..., None])
    cap = smoothstep(0.86, 0.9, py + 0.05 * (fine - 0.5))
    alb = alb * (1 - cap[..., None]) + _rgb(0.92, 0.90, 0.88) * cap[..., None]
    cr = craters(p, light @ rot, rng, 70, 0.03, 0.16, 0.35)
    col = alb * (lambert(sp.n, light, 0.04) * cr)[..., None]
    img = composite_disc(np.zeros(sp.n.shape), col, sp.inside.astype(float))
    img += atmosphere(sp, light, _rgb(0.9, 0.5, 0.35), 0.02, 0.35)
    img = add_moon(img, w, h, 44.0, 52.0, 6.0, light, seed + 3, _rgb(0.45, 0.40, 0.36), 8)
    img = add_moon(img, w, h, 246.0, 238.0, 3.5, light, seed + 4, _rgb(0.5, 0.45, 0.4), 4)
    stars = upsample_stars(star_field(w, h, rng, 150, 0.45))
    img = img + stars * (1 - planet_cover(sp))[..., None]
    return finish(img, w, h)


def galaxy(w=280, h=280, seed=51):
    rng = np.random.default_rng(seed)
    xs, ys = _grid(w, h)
    cx, cy = w / 2, h / 2
    tilt = 0.66
    ang = math.radians(-28)
    gx = ((xs - cx) * math.cos(ang) + (ys - cy) * math.sin(ang)) / 92.0
    gy = (-(xs - cx) * math.sin(ang) + (ys - cy) * math.cos(ang)) / (92.0 * tilt)
    rho = np.sqrt(gx * gx + gy * gy) + 1e-6
    th = np.arctan2(gy, gx)
    z = np.zeros_like(gx)
    pitch = math.radians(17)
    wobble = 0.35 * (fbm3(gx * 2.5, gy * 2.5, z + 11, seed + 3, 3) - 0.5)

    def arm_distance(offset):
        """Angular distance to the nearest of the two logarithmic arms, in -pi..pi."""
        best = np.full_like(gx, np.pi)
        for k in range(2):
            phase = th - np.log(rho / 0.1) / math.tan(pitch) - k * math.pi + wobble + offset
            d = np.angle(np.exp(1j * phase))
            best = np.where(np.abs(d) < np.abs(best), d, best)
        return best

    d_arm = arm_distance(0.0)
    width = 0.42 + 0.25 * rho
    arm = np.exp(-(d_arm / width) ** 2)
    clump = fbm3(gx * 8, gy * 8, z, seed + 1, octaves=5)
    disc = np.exp(-rho / 0.36) * smoothstep(1.45, 0.9, rho)
    bulge = np.exp(-(rho / 0.12) ** 1.2)
    inner = smoothstep(0.08, 0.25, rho)
    img = disc[..., None] * _rgb(0.50, 0.46, 0.42) * 0.35
    img = img + (arm * disc * inner * (0.55 + 0.8 * clump))[..., None] * _rgb(0.55, 0.70, 1.0) * 1.9
    knots = smoothstep(0.62, 0.78, clump) * arm * disc * inner
    img = img + knots[..., None] * _rgb(1.0, 0.40, 0.60) * 1.6
    img = img + bulge[..., None] * _rgb(1.0, 0.86, 0.62) * 1.7
    # Dust lanes along the inner edge of each arm.
    d_dust = arm_distance(0.55)
    dust = np.exp(-(d_dust / (0.18 + 0.1 * rho)) ** 2) * inner * smoothstep(0.3, 0.6, fbm3(gx * 6, gy * 6, z + 3, seed + 2, 4))
    img = img * (1 - 0.75 * np.clip(dust, 0, 1)[..., None])
    img = tonemap(img * 1.6, 1.2)
    stars = star_field(w, h, rng, 180, 0.45)
    img = img + upsample_stars(stars)
    return finish(img, w, h, margin=18.0)


def jupiter(w=300, h=300, seed=61):
    rng = np.random.default_rng(seed)
    cx, cy, r = 146.0, 152.0, 112.0
    sp = Sphere(w, h, cx, cy, r)
    light = _norm([-0.45, 0.20, 0.87])
    rot = _rot(12, 25, -8)
    p = sp.body(rot)
    px, py, pz = p[..., 0], p[..., 1], p[..., 2]
    lon = np.arctan2(px, pz)
    turb = fbm3(px * 3.5, py * 9.0, pz * 3.5, seed + 1, octaves=6)
    lat = py + 0.035 * (turb - 0.5) + 0.01 * np.sin(lon * 7 + py * 20)
    # Belts and zones: a fixed latitude profile, not a plain sine.
    edges = [-0.95, -0.72, -0.58, -0.47, -0.38, -0.25, -0.12, 0.02, 0.13, 0.27, 0.36, 0.50, 0.62, 0.78, 0.95]
    shades = [0.55, 0.35, 0.75, 0.25, 0.85, 0.10, 0.95, 0.80, 0.05, 0.90, 0.30, 0.70, 0.40, 0.60, 0.5]
    band = np.zeros_like(lat) + shades[0]
    for e, v in zip(edges, shades[1:]):
        band = band + (v - band) * smoothstep(e - 0.012, e + 0.012, lat)
    band = band + 0.15 * (fbm3(px * 6, py * 30, pz * 6, seed + 5, 4) - 0.5)
    cream = _rgb(0.94, 0.89, 0.80)
    tan = _rgb(0.78, 0.58, 0.42)
    brown = _rgb(0.50, 0.33, 0.24)
    b = np.clip(band, 0, 1)[..., None]
    col = np.where(b > 0.5, cream * (b - 0.5) * 2 + tan * (1 - (b - 0.5) * 2), tan * b * 2 + brown * (1 - b * 2))
    polar = smoothstep(0.65, 0.95, np.abs(py))
    col = col * (1 - polar[..., None] * 0.5) + _rgb(0.45, 0.42, 0.42) * polar[..., None] * 0.5
    # The great storm: an oval with a swirling edge, south of the equator, turned towards us.
    spot_dir = _norm([0.28, -0.33, 0.9]) @ rot
    lon_c = math.atan2(spot_dir[0], spot_dir[2])
    dl = lon - lon_c
    dlat = py - spot_dir[1]
    oval = (dl / 0.24) ** 2 + (dlat / 0.085) ** 2
    spot = np.exp(-oval ** 2) * smoothstep(1.2, 0.4, np.abs(dl))
    ringed = np.exp(-((np.sqrt(oval) - 1.05) / 0.18) ** 2) * 0.5
    col = col * (1 - spot[..., None]) + _rgb(0.78, 0.40, 0.26) * spot[..., None]
    col = col * (1 - ringed[..., None] * 0.3) + cream * ringed[..., None] * 0.3
    col = col * (0.85 + 0.3 * fbm3(px * 12, py * 24, pz * 12, seed + 2, 3))[..., None]
    limb = 0.45 + 0.55 * sp.nz ** 0.6
    shade = lambert(sp.n, light, 0.06) * limb
    # The shadow of a moon on the cloud tops.
    sh = np.exp(-(((sp.dx - 0.30) ** 2 + (sp.dy + 0.05) ** 2) / 0.0018) ** 3)
    shade = shade * (1 - 0.92 * sh)
    img = composite_disc(np.zeros(sp.n.shape), col * shade[..., None], sp.inside.astype(float))
    img += atmosphere(sp, light, _rgb(0.8, 0.7, 0.55), 0.02, 0.25)
    img = add_moon(img, w, h, 262.0, 64.0, 10.0, light, seed + 3, _rgb(0.92, 0.80, 0.45), 6)
    img = add_moon(img, w, h, 40.0, 236.0, 8.0, light, seed + 4, _rgb(0.82, 0.80, 0.76), 6)
    img = add_moon(img, w, h, 60.0, 50.0, 5.0, light, seed + 5, _rgb(0.6, 0.56, 0.5), 5)
    stars = upsample_stars(star_field(w, h, rng, 160, 0.4))
    img = img + stars * (1 - planet_cover(sp))[..., None]
    return finish(img, w, h)


def moon(w=280, h=280, seed=71):
    rng = np.random.default_rng(seed)
    cx, cy, r = 140.0, 140.0, 108.0
    sp = Sphere(w, h, cx, cy, r)
    light = _norm([-0.80, 0.12, 0.58])
    rot = _rot(5, -10, 0)
    p = sp.body(rot)
    px, py, pz = p[..., 0], p[..., 1], p[..., 2]
    mare = smoothstep(0.50, 0.40, fbm3(px * 1.4, py * 1.4, pz * 1.4, seed + 1, octaves=5))
    fine = fbm3(px * 10, py * 10, pz * 10, seed + 2, octaves=4)
    alb = 0.62 * (1 - 0.45 * mare) * (0.85 + 0.3 * fine)
    cr = craters(p, light @ rot, rng, 420, 0.012, 0.2, 0.3)
    # A young crater with bright rays.
    c = _norm([0.3, -0.55, 0.78])
    ang = np.arccos(np.clip(p @ c, -1, 1))
    t = p - (p @ c)[..., None] * c
    az = np.arctan2(t @ _norm(np.cross(c, [0, 1, 0])), t @ _norm(np.cross(c, np.cross(c, [0, 1, 0]))))
    rays = (value3(az * 6.0, np.zeros_like(az), np.zeros_like(az), seed + 3) ** 6) * np.exp(-ang / 0.35) * 0.9
    alb = alb + rays * 0.3 + np.exp(-(ang / 0.04) ** 2) * 0.3
    col = (alb * lambert(sp.n, light, 0.0) * cr)[..., None] * _rgb(0.98, 0.97, 0.95)
    img = composite_disc(np.zeros(sp.n.shape), col, sp.inside.astype(float))
    stars = upsample_stars(star_field(w, h, rng, 140, 0.4))
    img = img + stars * (1 - planet_cover(sp))[..., None]
    return finish(img, w, h)


def star_cluster(w=280, h=280, seed=81):
    rng = np.random.default_rng(seed)
    img = star_field(w, h, rng, 300, 0.45)
    cx, cy = w * 0.5, h * 0.5
    a = 30.0
    for _ in range(4200):  # Plummer sphere, projected
        m = rng.uniform(0.001, 0.8)
        rr = a / math.sqrt(m ** (-2.0 / 3.0) - 1.0)
        phi = rng.uniform(0, 2 * math.pi)
        ct = rng.uniform(-1, 1)
        x = cx + rr * math.sqrt(1 - ct * ct) * math.cos(phi)
        y = cy + rr * math.sqrt(1 - ct * ct) * math.sin(phi)
        b = 0.06 + 0.5 * rng.pareto(2.5) * 0.3
        tint = _rgb(1.0, 0.86, 0.62) if rng.uniform() < 0.75 else _rgb(0.75, 0.85, 1.0)
        _splat(img, x, y, 0.55, tint * min(b, 1.3))
    ys, xs = np.mgrid[0:h, 0:w].astype(np.float64)
    d2 = (xs + 0.5 - cx) ** 2 + (ys + 0.5 - cy) ** 2
    img += (1.0 / (1 + d2 / (a * a)) ** 2.5)[..., None] * _rgb(1.0, 0.85, 0.6) * 0.55
    img = tonemap(img, 1.2)
    return finish(upsample_stars(img), w, h, margin=16.0)


def neptune(w=300, h=300, seed=91):
    rng = np.random.default_rng(seed)
    cx, cy, r = 156.0, 142.0, 108.0
    sp = Sphere(w, h, cx, cy, r)
    light = _norm([0.55, 0.35, 0.76])
    rot = _rot(-25, 10, 28)
    p = sp.body(rot)
    px, py, pz = p[..., 0], p[..., 1], p[..., 2]
    lon = np.arctan2(px, pz)
    turb = fbm3(px * 3, py * 8, pz * 3, seed + 1, octaves=5)
    lat = py + 0.04 * (turb - 0.5)
    col = _rgb(0.16, 0.33, 0.82) * (0.9 + 0.12 * np.sin(lat * 14)[..., None]) * (0.85 + 0.3 * turb[..., None])
    spot = np.exp(-(((lon + 0.4) / 0.22) ** 2 + ((py + 0.32) / 0.08) ** 2) ** 2)
    col = col * (1 - 0.6 * spot[..., None])
    streak = np.exp(-((py + 0.22 + 0.02 * np.sin(lon * 5)) / 0.018) ** 2) * smoothstep(0.5, 0.75, fbm3(px * 6, py * 3, pz * 6, seed + 2, 4))
    streak2 = np.exp(-((py - 0.42) / 0.015) ** 2) * smoothstep(0.55, 0.75, fbm3(px * 6, py * 3, pz * 6, seed + 3, 4))
    clouds = np.clip(streak + streak2, 0, 1)
    col = col * (1 - clouds[..., None]) + _rgb(0.9, 0.93, 1.0) * clouds[..., None]
    shade = lambert(sp.n, light, 0.05) * (0.55 + 0.45 * sp.nz ** 0.5)
    img = composite_disc(np.zeros(sp.n.shape), col * shade[..., None], sp.inside.astype(float))
    img += atmosphere(sp, light, _rgb(0.35, 0.55, 1.0), 0.03, 0.7)
    img = add_moon(img, w, h, 52.0, 250.0, 9.0, light, seed + 4, _rgb(0.78, 0.72, 0.70), 5)
    stars = upsample_stars(star_field(w, h, rng, 170, 0.45))
    img = img + stars * (1 - planet_cover(sp))[..., None]
    return finish(img, w, h)


def saturn(w=320, h=221, seed=101):
    rng = np.random.default_rng(seed)
    cx, cy, r = 160.0, 110.5, 56.0
    sp = Sphere(w, h, cx, cy, r)
    light = _norm([-0.55, 0.45, 0.70])
    # Ring plane normal in picture space: tipped towards the viewer and turned a little.
    rn = _norm(_rot(0, 0, -9) @ np.array([0.0, math.cos(math.radians(24)), math.sin(math.radians(24))]))
    rot_body = np.linalg.qr(np.stack([np.cross(rn, [0, 0, 1.0]), rn, np.cross(np.cross(rn, [0, 0, 1.0]), rn)], axis=1))[0]
    # Planet body: bands along the ring plane's latitude.
    lat = sp.n @ rn
    turb = fbm3(sp.n[..., 0] * 3, lat * 10, sp.n[..., 2] * 3, seed + 1, octaves=5)
    la = lat + 0.03 * (turb - 0.5)
    bands = np.sin(la * 16) * 0.5 + 0.5
    col = _rgb(0.90, 0.80, 0.58) * (1 - bands[..., None] * 0.35) + _rgb(0.70, 0.55, 0.36) * bands[..., None] * 0.35
    polar = smoothstep(0.7, 0.95, np.abs(lat))
    col = col * (1 - polar[..., None] * 0.4) + _rgb(0.55, 0.6, 0.62) * polar[..., None] * 0.4
    shade = lambert(sp.n, light, 0.05) * (0.5 + 0.5 * sp.nz ** 0.5)
    # Shadow of the rings on the planet: follow the light from the surface to the ring plane.
    denom = light @ rn
    s = -(sp.n @ rn) / (denom if abs(denom) > 1e-6 else 1e-6)
    hit = sp.n + s[..., None] * light
    hr = np.linalg.norm(hit, axis=-1)
    shade = shade * (1 - 0.75 * (s > 0) * ring_opacity(hr))
    planet_col = col * shade[..., None]
    # The ring seen along each pixel's line of sight (orthographic: points (dx, dy, z)).
    zr = -(sp.dx * rn[0] + sp.dy * rn[1]) / rn[2]
    rp = np.stack([sp.dx, sp.dy, zr], axis=-1)
    rr = np.linalg.norm(rp, axis=-1)
    op = ring_opacity(rr)
    ring_col = ring_colour(rr)
    # Planet's shadow on the ring: from the ring point towards the light, does the ray meet the sphere?
    b = rp @ light
    c = rr * rr - 1.0
    disc = b * b - c
    in_shadow = (disc > 0) & (-b - np.sqrt(np.clip(disc, 0, None)) > 0)
    ring_light = 0.25 + 0.75 * abs(float(light @ rn)) ** 0.5
    ring_col = ring_col * ring_light * np.where(in_shadow, 0.06, 1.0)[..., None]
    img = np.zeros(sp.n.shape)
    front = zr > sp.nz  # ring in front of the planet (or no planet)
    behind = sp.inside & ~front
    # Back half of the ring, then the planet, then the front half.
    ring_back = (~sp.inside) | front
    img = composite_disc(img, ring_col, op * ring_back * (~front | ~sp.inside))
    img = composite_disc(img, planet_col, sp.inside.astype(float))
    img = composite_disc(img, ring_col, op * (front & sp.inside))
    img += atmosphere(sp, light, _rgb(0.9, 0.8, 0.6), 0.015, 0.2) * (1 - op[..., None])
    img = add_moon(img, w, h, 38.0, 40.0, 5.5, light, seed + 2, _rgb(0.85, 0.75, 0.55), 4)
    img = add_moon(img, w, h, 286.0, 190.0, 3.5, light, seed + 3, _rgb(0.8, 0.8, 0.8), 3)
    stars = upsample_stars(star_field(w, h, rng, 140, 0.4))
    cover = np.clip(np.maximum(planet_cover(sp), op), 0, 1)
    img = img + stars * (1 - cover)[..., None]
    del behind, rot_body
    return finish(img, w, h, margin=10.0)


def ring_opacity(rr):
    """Ring density by radius in planet radii: C ring, B ring, Cassini division, A ring, Encke gap."""
    c_ring = smoothstep(1.24, 1.28, rr) * smoothstep(1.53, 1.50, rr) * 0.25
    b_ring = smoothstep(1.52, 1.56, rr) * smoothstep(1.96, 1.94, rr) * (0.75 + 0.2 * np.sin(rr * 90) ** 2)
    a_ring = smoothstep(2.02, 2.04, rr) * smoothstep(2.27, 2.25, rr) * 0.6 * (1 - 0.8 * np.exp(-((rr - 2.21) / 0.006) ** 2))
    return np.clip(c_ring + b_ring + a_ring, 0, 1)


def ring_colour(rr):
    base = _rgb(0.86, 0.78, 0.62)
    tint = (np.sin(rr * 37.0) * 0.5 + 0.5)[..., None]
    return base * (0.82 + 0.18 * tint) * (1 - 0.3 * smoothstep(1.5, 1.3, rr))[..., None]


BACKGROUNDS = [earth, ring_nebula, emission_nebula, mars, galaxy, jupiter, moon, star_cluster, neptune, saturn]
SIZES = [(320, 320), (280, 280), (280, 280), (280, 280), (280, 280), (300, 300), (280, 280), (280, 280), (300, 300),
         (320, 221)]
