"""Deterministic value noise and small image helpers for the picture generator (numpy only)."""
import numpy as np

MASK = np.uint32(0xFFFFFFFF)


def _hash(ix, iy, iz, seed):
    """Integer lattice hash to [0, 1); the same on every machine."""
    with np.errstate(over="ignore"):
        h = (ix.astype(np.uint32) * np.uint32(0x8DA6B343)) ^ (iy.astype(np.uint32) * np.uint32(0xD8163841)) \
            ^ (iz.astype(np.uint32) * np.uint32(0xCB1AB31F)) ^ np.uint32(seed * 0x9E3779B1 & 0xFFFFFFFF)
        h ^= h >> np.uint32(13)
        h *= np.uint32(0x5BD1E995)
        h ^= h >> np.uint32(15)
        h *= np.uint32(0x27D4EB2D)
        h ^= h >> np.uint32(16)
    return (h >> np.uint32(8)).astype(np.float64) / float(1 << 24)


def _fade(t):
    return t * t * t * (t * (t * 6 - 15) + 10)


def value3(x, y, z, seed):
    """Smooth value noise in [0, 1) at float coordinates (arrays of one shape)."""
    x0 = np.floor(x); y0 = np.floor(y); z0 = np.floor(z)
    fx = _fade(x - x0); fy = _fade(y - y0); fz = _fade(z - z0)
    ix = x0.astype(np.int64); iy = y0.astype(np.int64); iz = z0.astype(np.int64)
    out = 0.0
    for dx in (0, 1):
        wx = fx if dx else 1 - fx
        for dy in (0, 1):
            wy = fy if dy else 1 - fy
            for dz in (0, 1):
                wz = fz if dz else 1 - fz
                out = out + wx * wy * wz * _hash(ix + dx, iy + dy, iz + dz, seed)
    return out


# A fixed rotation applied between octaves hides the lattice's axes.
_OCTAVE_TURN = ((0.00, 0.80, 0.60), (-0.80, 0.36, -0.48), (-0.60, -0.48, 0.64))


def _turn(x, y, z, scale):
    m = _OCTAVE_TURN
    return ((m[0][0] * x + m[0][1] * y + m[0][2] * z) * scale + 17.3,
            (m[1][0] * x + m[1][1] * y + m[1][2] * z) * scale - 9.1,
            (m[2][0] * x + m[2][1] * y + m[2][2] * z) * scale + 4.7)


def fbm3(x, y, z, seed, octaves=5, lacunarity=2.03, gain=0.5):
    """Fractal sum of value noise, normalised to about [0, 1]."""
    total = 0.0
    amp = 1.0
    norm = 0.0
    for o in range(octaves):
        total = total + amp * value3(x, y, z, seed + 101 * o)
        norm += amp
        x, y, z = _turn(x, y, z, lacunarity)
        amp *= gain
    return total / norm


def ridged3(x, y, z, seed, octaves=5):
    total = 0.0
    amp = 1.0
    norm = 0.0
    for o in range(octaves):
        n = 1.0 - np.abs(2.0 * value3(x, y, z, seed + 211 * o) - 1.0)
        total = total + amp * n * n
        norm += amp
        x, y, z = _turn(x, y, z, 2.1)
        amp *= 0.5
    return total / norm


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3 - 2 * t)


def mix(a, b, t):
    t = np.asarray(t)[..., None] if np.ndim(a) > np.ndim(t) else t
    return a * (1 - t) + b * t


def downsample(img, factor):
    h, w = img.shape[:2]
    return img.reshape(h // factor, factor, w // factor, factor, -1).mean(axis=(1, 3))


def to_u8(img):
    """Float RGB in 0..1 to bytes, rounding to nearest."""
    return np.clip(np.floor(img * 255.0 + 0.5), 0, 255).astype(np.uint8)
