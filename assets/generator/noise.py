"""Deterministic value noise and small image helpers for the picture generator (numpy only)."""
import numpy as np

MASK = np.uint32(0xFFFFFFFF)


# The noise works through its arrays a slice at a time: every step is arithmetic on one
# element at a time, so a slice gives the very bits the whole array would, and a slice of this
# many elements keeps the dozen temporaries of a step in the processor's cache.
_SLICE = 1 << 14


def _hash_parts(ix, iy, iz, seed):
    """The lattice hash's per-axis products for the two lattice points on each axis: the hash
    of a corner is their exclusive or, then mixed (see _mix)."""
    with np.errstate(over="ignore"):
        hx = [(ix + d).astype(np.uint32) * np.uint32(0x8DA6B343) for d in (0, 1)]
        hy = [(iy + d).astype(np.uint32) * np.uint32(0xD8163841) for d in (0, 1)]
        s = np.uint32(seed * 0x9E3779B1 & 0xFFFFFFFF)
        hz = [((iz + d).astype(np.uint32) * np.uint32(0xCB1AB31F)) ^ s for d in (0, 1)]
    return hx, hy, hz


def _mix(h):
    """The hash's mixing steps, in place, then the value in [0, 1); the same on every machine."""
    with np.errstate(over="ignore"):
        h ^= h >> np.uint32(13)
        h *= np.uint32(0x5BD1E995)
        h ^= h >> np.uint32(15)
        h *= np.uint32(0x27D4EB2D)
        h ^= h >> np.uint32(16)
        h >>= np.uint32(8)
    # A power of two: multiplying by its inverse is the same as dividing, exactly.
    return h.astype(np.float64) * (1.0 / float(1 << 24))


def _fade(t):
    """t^3 (t (6 t - 15) + 10), each product and sum in that order."""
    a = t * 6
    a -= 15
    a *= t
    a += 10
    b = t * t
    b *= t
    b *= a
    return b


def _value3_slice(x, y, z, seed):
    x0 = np.floor(x); y0 = np.floor(y); z0 = np.floor(z)
    fx = _fade(x - x0); fy = _fade(y - y0); fz = _fade(z - z0)
    hx, hy, hz = _hash_parts(x0.astype(np.int64), y0.astype(np.int64), z0.astype(np.int64), seed)
    wx = (1 - fx, fx); wy = (1 - fy, fy); wz = (1 - fz, fz)
    out = None
    for dx in (0, 1):
        for dy in (0, 1):
            wxy = wx[dx] * wy[dy]
            hxy = hx[dx] ^ hy[dy]
            for dz in (0, 1):
                # ((wx wy) wz) h, summed over the corners in this order.
                term = wxy * wz[dz]
                term *= _mix(hxy ^ hz[dz])
                if out is None:
                    out = term
                else:
                    out += term
    return out


def _sliced(f, arrays, *rest):
    """f over the arrays (one shape once broadcast) a slice at a time, as one array."""
    arrays = [np.ascontiguousarray(a, dtype=np.float64) for a in np.broadcast_arrays(*arrays)]
    shape = arrays[0].shape
    flat = [a.reshape(-1) for a in arrays]
    n = flat[0].size
    out = np.empty(n, dtype=np.float64)
    for i in range(0, n, _SLICE):
        out[i:i + _SLICE] = f(*(a[i:i + _SLICE] for a in flat), *rest)
    return out.reshape(shape)


def value3(x, y, z, seed):
    """Smooth value noise in [0, 1) at float coordinates (arrays of one shape)."""
    return _sliced(_value3_slice, (x, y, z), seed)


# A fixed rotation applied between octaves hides the lattice's axes.
_OCTAVE_TURN = ((0.00, 0.80, 0.60), (-0.80, 0.36, -0.48), (-0.60, -0.48, 0.64))


def _turn(x, y, z, scale):
    m = _OCTAVE_TURN
    return ((m[0][0] * x + m[0][1] * y + m[0][2] * z) * scale + 17.3,
            (m[1][0] * x + m[1][1] * y + m[1][2] * z) * scale - 9.1,
            (m[2][0] * x + m[2][1] * y + m[2][2] * z) * scale + 4.7)


def fbm3(x, y, z, seed, octaves=5, lacunarity=2.03, gain=0.5):
    """Fractal sum of value noise, normalised to about [0, 1]."""
    return _sliced(_fbm3_slice, (x, y, z), seed, octaves, lacunarity, gain)


def _fbm3_slice(x, y, z, seed, octaves, lacunarity, gain):
    total = 0.0
    amp = 1.0
    norm = 0.0
    for o in range(octaves):
        total = total + amp * _value3_slice(x, y, z, seed + 101 * o)
        norm += amp
        x, y, z = _turn(x, y, z, lacunarity)
        amp *= gain
    return total / norm


def ridged3(x, y, z, seed, octaves=5):
    return _sliced(_ridged3_slice, (x, y, z), seed, octaves)


def _ridged3_slice(x, y, z, seed, octaves):
    total = 0.0
    amp = 1.0
    norm = 0.0
    for o in range(octaves):
        n = 1.0 - np.abs(2.0 * _value3_slice(x, y, z, seed + 211 * o) - 1.0)
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
