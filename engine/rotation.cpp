#include "engine/rotation.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace engine {
namespace {

// Nearest integer with halves to even for |v| < 2^51: adding and removing 1.5 x 2^52 leaves
// the value rounded by the hardware's default mode (to nearest, ties to even). Much cheaper
// than a library call in the per-dot loops, and the same result.
inline double round_even(double v) {
    constexpr double kMagic = 6755399441055744.0;
    return (v + kMagic) - kMagic;
}

// Pixel positions far off any screen are held at this distance; clipping then draws nothing.
constexpr double kPixelLimit = 1'000'000'000.0;

// The rotation runs in double precision, where it is exact: a coordinate (below 2^25) times a
// table value over 256 (nine significant bits) needs at most 34 bits, and the rounding trick
// above then gives exactly FixedProduct. The compiler turns this loop into vector code.
void rotate_wide(const Tables& tables, Angles angles, const ShapeDot* __restrict src, int first, int last,
                 ShapeDot* __restrict out) {
    constexpr double k = 1.0 / 256;
    const double sY = tables.Sin[angles.Y] * k, cY = tables.Cos[angles.Y] * k;
    const double sZ = tables.Sin[angles.Z] * k, cZ = tables.Cos[angles.Z] * k;
    const double sX = tables.Sin[angles.X] * k, cX = tables.Cos[angles.X] * k;
    for (int i = first; i <= last; ++i) {
        const double x = src[i].X, y = src[i].Y, z = src[i].Z;
        // About Y, then Z, then X; each product is rounded on its own.
        const double x1 = round_even(x * cY) - round_even(z * sY);
        const double z1 = round_even(x * sY) + round_even(z * cY);
        const double x2 = round_even(x1 * cZ) + round_even(y * sZ);
        const double y1 = round_even(y * cZ) - round_even(x1 * sZ);
        const double z2 = round_even(z1 * cX) - round_even(y1 * sX);
        const double y2 = round_even(z1 * sX) + round_even(y1 * cX);
        out[i].X = static_cast<std::int32_t>(x2);
        out[i].Y = static_cast<std::int32_t>(y2);
        out[i].Z = static_cast<std::int32_t>(z2);
        out[i].W = src[i].W;
    }
}

#ifdef __SSE2__
// Most shapes are small: with every coordinate within 4,096, each term of the rotation stays
// within 20,480 (a product m(a, b) is never larger than a, and each stage adds two of them),
// so eight dots at a time can be rotated in 16-bit lanes. m(a, b) is then exact in integers:
// the product's upper and lower halves give q = a x b; k = floor(q / 256); the remainder r
// rounds k up when r > 128, or r = 128 and k is odd, that is when r + 127 + (k & 1) >= 256.
constexpr int kNarrowLimit = 4096;

inline __m128i product16(__m128i a, __m128i b) {
    const __m128i lo = _mm_mullo_epi16(a, b), hi = _mm_mulhi_epi16(a, b);
    const __m128i k = _mm_or_si128(_mm_slli_epi16(hi, 8), _mm_srli_epi16(lo, 8));
    const __m128i r = _mm_and_si128(lo, _mm_set1_epi16(255));
    const __m128i t = _mm_add_epi16(_mm_add_epi16(r, _mm_set1_epi16(127)), _mm_and_si128(k, _mm_set1_epi16(1)));
    return _mm_add_epi16(k, _mm_srli_epi16(t, 8));
}

// Rotates src[first..first + 7] if all their coordinates are narrow; false (nothing written)
// otherwise.
inline bool rotate8(const __m128i (&sc)[6], const ShapeDot* __restrict src, ShapeDot* __restrict out) {
    __m128i d[8];
    for (int t = 0; t < 8; ++t) d[t] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + t));
    // To 16 bits (saturating, so a wide coordinate stays wide) and then into one vector per axis.
    const __m128i p0 = _mm_packs_epi32(d[0], d[1]), p1 = _mm_packs_epi32(d[2], d[3]);
    const __m128i p2 = _mm_packs_epi32(d[4], d[5]), p3 = _mm_packs_epi32(d[6], d[7]);
    const __m128i a0 = _mm_unpacklo_epi16(p0, p1), a1 = _mm_unpackhi_epi16(p0, p1);
    const __m128i a2 = _mm_unpacklo_epi16(p2, p3), a3 = _mm_unpackhi_epi16(p2, p3);
    const __m128i b0 = _mm_unpacklo_epi16(a0, a1), b1 = _mm_unpackhi_epi16(a0, a1);
    const __m128i b2 = _mm_unpacklo_epi16(a2, a3), b3 = _mm_unpackhi_epi16(a2, a3);
    const __m128i x = _mm_unpacklo_epi64(b0, b2), y = _mm_unpackhi_epi64(b0, b2), z = _mm_unpacklo_epi64(b1, b3);
    const __m128i high = _mm_set1_epi16(kNarrowLimit), low = _mm_set1_epi16(-kNarrowLimit);
    const __m128i wide = _mm_or_si128(
        _mm_or_si128(_mm_or_si128(_mm_cmpgt_epi16(x, high), _mm_cmplt_epi16(x, low)),
                     _mm_or_si128(_mm_cmpgt_epi16(y, high), _mm_cmplt_epi16(y, low))),
        _mm_or_si128(_mm_cmpgt_epi16(z, high), _mm_cmplt_epi16(z, low)));
    if (_mm_movemask_epi8(wide)) return false;
    // sc: sin Y, cos Y, sin Z, cos Z, sin X, cos X.
    const __m128i x1 = _mm_sub_epi16(product16(x, sc[1]), product16(z, sc[0]));
    const __m128i z1 = _mm_add_epi16(product16(x, sc[0]), product16(z, sc[1]));
    const __m128i x2 = _mm_add_epi16(product16(x1, sc[3]), product16(y, sc[2]));
    const __m128i y1 = _mm_sub_epi16(product16(y, sc[3]), product16(x1, sc[2]));
    const __m128i z2 = _mm_sub_epi16(product16(z1, sc[5]), product16(y1, sc[4]));
    const __m128i y2 = _mm_add_epi16(product16(z1, sc[4]), product16(y1, sc[5]));
    // Back to records of 32-bit fields, each with its own W.
    for (int half = 0; half < 2; ++half) {
        auto widen = [half](__m128i v) {
            const __m128i u = half ? _mm_unpackhi_epi16(v, v) : _mm_unpacklo_epi16(v, v);
            return _mm_srai_epi32(u, 16);
        };
        const __m128i xs = widen(x2), ys = widen(y2), zs = widen(z2);
        const __m128i* q = d + 4 * half;
        const __m128i ws = _mm_unpackhi_epi64(_mm_unpackhi_epi32(q[0], q[1]), _mm_unpackhi_epi32(q[2], q[3]));
        const __m128i xy0 = _mm_unpacklo_epi32(xs, ys), xy1 = _mm_unpackhi_epi32(xs, ys);
        const __m128i zw0 = _mm_unpacklo_epi32(zs, ws), zw1 = _mm_unpackhi_epi32(zs, ws);
        __m128i* o = reinterpret_cast<__m128i*>(out + 4 * half);
        _mm_storeu_si128(o + 0, _mm_unpacklo_epi64(xy0, zw0));
        _mm_storeu_si128(o + 1, _mm_unpackhi_epi64(xy0, zw0));
        _mm_storeu_si128(o + 2, _mm_unpacklo_epi64(xy1, zw1));
        _mm_storeu_si128(o + 3, _mm_unpackhi_epi64(xy1, zw1));
    }
    return true;
}
#endif

}  // namespace

void RotateDots(const Tables& tables, Angles angles, const ShapeDot* __restrict src, int top,
                ShapeDot* __restrict out) {
    int i = 0;
#ifdef __SSE2__
    const __m128i sc[6] = {_mm_set1_epi16(static_cast<std::int16_t>(tables.Sin[angles.Y])),
                           _mm_set1_epi16(static_cast<std::int16_t>(tables.Cos[angles.Y])),
                           _mm_set1_epi16(static_cast<std::int16_t>(tables.Sin[angles.Z])),
                           _mm_set1_epi16(static_cast<std::int16_t>(tables.Cos[angles.Z])),
                           _mm_set1_epi16(static_cast<std::int16_t>(tables.Sin[angles.X])),
                           _mm_set1_epi16(static_cast<std::int16_t>(tables.Cos[angles.X]))};
    for (; i + 7 <= top; i += 8)
        if (!rotate8(sc, src + i, out + i)) rotate_wide(tables, angles, src, i, i + 7, out);
#endif
    rotate_wide(tables, angles, src, i, top, out);
}

void ProjectDots(ShapeDot* dots, int top, std::int32_t centre_x, std::int32_t centre_y) {
    int i = 0;
#ifdef __SSE2__
    // One dot at a time, its X and Y side by side in one vector: the same operations in the
    // same order as below, so the same results. Negating the product before or after the
    // division is the same in floating point, and min / max pick the limit for a NaN as the
    // comparisons below do.
    const __m128d centre = _mm_setr_pd(centre_x, centre_y);
    const __m128d scale = _mm_set1_pd(-static_cast<double>(kViewDistance));
    const __m128d high = _mm_set1_pd(kPixelLimit), low = _mm_set1_pd(-kPixelLimit);
    const __m128d magic = _mm_set1_pd(6755399441055744.0);
    const __m128i parked_at = _mm_setr_epi32(kParkedX, kParkedY, 0, 0);
    for (; i <= top; ++i) {
        __m128i* p = reinterpret_cast<__m128i*>(dots + i);
        const __m128i d = _mm_loadu_si128(p);
        const std::int32_t z = dots[i].Z;
        const __m128d den = _mm_set1_pd(static_cast<double>(z) - kViewDistance);
        __m128d v = _mm_add_pd(_mm_div_pd(_mm_mul_pd(_mm_cvtepi32_pd(d), scale), den), centre);
        v = _mm_max_pd(_mm_min_pd(v, high), low);
        const __m128i xy = _mm_cvttpd_epi32(_mm_sub_pd(_mm_add_pd(v, magic), magic));
        const __m128i parked = _mm_set1_epi32(-static_cast<int>(z >= kViewDistance));
        const __m128i chosen = _mm_or_si128(_mm_and_si128(parked, parked_at), _mm_andnot_si128(parked, xy));
        _mm_storeu_si128(p, _mm_unpacklo_epi64(chosen, _mm_unpackhi_epi64(d, d)));
    }
#endif
    const double cx = centre_x, cy = centre_y;
    for (; i <= top; ++i) {
        const std::int32_t z = dots[i].Z;
        const double den = static_cast<double>(z) - kViewDistance;
        double px = -(static_cast<double>(dots[i].X) * kViewDistance) / den + cx;
        double py = -(static_cast<double>(dots[i].Y) * kViewDistance) / den + cy;
        // Held far off screen rather than overflowing (this also takes the NaN of 0 / 0 at
        // the eye, which is parked anyway).
        px = px < kPixelLimit ? px : kPixelLimit;
        px = px > -kPixelLimit ? px : -kPixelLimit;
        py = py < kPixelLimit ? py : kPixelLimit;
        py = py > -kPixelLimit ? py : -kPixelLimit;
        const std::int32_t ix = static_cast<std::int32_t>(round_even(px));
        const std::int32_t iy = static_cast<std::int32_t>(round_even(py));
        const bool parked = z >= kViewDistance;
        dots[i].X = parked ? kParkedX : ix;
        dots[i].Y = parked ? kParkedY : iy;
    }
}

std::int16_t AdvanceAngle(std::int16_t angle, std::int32_t rate) {
    std::int64_t a = static_cast<std::int64_t>(angle) + rate;
    if (a > kFullTurn) a = (a - 1) % kFullTurn + 1;  // one subtraction of 1024 for rates up to 1024
    if (a < 0) a = 0;
    return static_cast<std::int16_t>(a);
}

}  // namespace engine
