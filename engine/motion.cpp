#include "engine/motion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

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

inline std::int32_t to_pixel(double v) {
    v = v > kPixelLimit ? kPixelLimit : v;
    v = v > -kPixelLimit ? v : -kPixelLimit;  // also takes the NaN of a parked dot's 0 / 0
    return static_cast<std::int32_t>(round_even(v));
}

}  // namespace

void BuildTables(Tables& tables) {
    const float step = static_cast<float>(6.283185308 / 1024.0);
    float theta = step;
    for (int i = 0; i <= kFullTurn; ++i) {
        tables.Sin[i] = static_cast<std::int32_t>(std::nearbyint(255.0 * std::sin(static_cast<double>(theta))));
        tables.Cos[i] = static_cast<std::int32_t>(std::nearbyint(255.0 * std::cos(static_cast<double>(theta))));
        theta = theta + step;  // rounded to single precision at every step
    }
    tables.Sin[kTableSize - 1] = 0;
    tables.Cos[kTableSize - 1] = 0;
}

namespace {

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

void GatherDots(const ShapeDot* __restrict dots, const DepthKey* __restrict keys, int top,
                ShapeDot* __restrict out) {
    for (int i = 0; i <= top; ++i) out[i] = dots[keys[i].index];
}

std::int16_t AdvanceAngle(std::int16_t angle, std::int32_t rate) {
    std::int64_t a = static_cast<std::int64_t>(angle) + rate;
    if (a > kFullTurn) a = (a - 1) % kFullTurn + 1;  // one subtraction of 1024 for rates up to 1024
    if (a < 0) a = 0;
    return static_cast<std::int16_t>(a);
}

DriftState DriftStart() {
    return DriftState{static_cast<float>(16.0 / 10.0), static_cast<float>(10.0 / 10.0),
                      static_cast<float>(14.0 / 10.0), static_cast<float>(18.0 / 10.0)};
}

// Every named quantity is a float; inside one formula the arithmetic runs in double precision
// and the result is rounded to single precision when it is stored.
void StepDrift(DriftState& s) {
    constexpr float kRest = 0.2f, kStiffness = 1.0f, kMass = 1.0f, kStep = 0.002f;
    constexpr float kLeftX = -1.0f, kRightX = 1.0f, kAnchorY = 0.0f;
    const double x = s.x, y = s.y;

    // One spring's force on the mass at (x, y). At zero length the direction is undefined and
    // the spring is slack anyway (rest length 0.2), so it pulls with no force.
    auto spring = [&](float anchor_x, float& fx, float& fy) {
        const double dx = anchor_x - x, dy = kAnchorY - y;
        const float d = static_cast<float>(std::sqrt(dx * dx + dy * dy));
        const float t = d > kRest ? static_cast<float>((static_cast<double>(d) - kRest) * kStiffness) : 0.0f;
        if (d == 0.0f) {
            fx = fy = 0.0f;
            return;
        }
        const float ux = static_cast<float>(dx / d), uy = static_cast<float>(dy / d);
        fx = static_cast<float>(static_cast<double>(ux) * t);
        fy = static_cast<float>(static_cast<double>(uy) * t);
    };
    float f1x, f1y, f2x, f2y;
    spring(kLeftX, f1x, f1y);
    spring(kRightX, f2x, f2y);
    const float ax = static_cast<float>((static_cast<double>(f2x) + f1x) / kMass);
    const float ay = static_cast<float>((static_cast<double>(f2y) + f1y) / kMass);
    // Velocity first, then the position with the new velocity.
    s.vx = static_cast<float>(static_cast<double>(kStep) * ax + s.vx);
    s.vy = static_cast<float>(static_cast<double>(kStep) * ay + s.vy);
    s.x = static_cast<float>(static_cast<double>(kStep) * s.vx + s.x);
    s.y = static_cast<float>(static_cast<double>(s.vy) * kStep + s.y);
}

void DriftCentre(const DriftState& drift, std::int16_t half_width, std::int16_t half_height,
                 std::int16_t& centre_x, std::int16_t& centre_y) {
    auto to16 = [](double v) {
        v = std::nearbyint(v);
        if (!(v >= -32768.0)) v = -32768.0;
        if (v > 32767.0) v = 32767.0;
        return static_cast<std::int16_t>(v);
    };
    centre_x = to16(static_cast<double>(drift.x) * 20 * 10 + half_width);
    centre_y = to16(half_height - static_cast<double>(drift.y) * 20 * 10);
}

void SortDotsByDepthReference(ShapeDot* dots, int lo, int hi) {
    if (!(lo < hi)) return;
    const int mid = (lo + hi) / 2;
    const std::int32_t pivot = dots[mid].Z;
    int i = lo, j = hi;
    for (;;) {
        while (dots[i].Z < pivot) ++i;
        while (dots[j].Z > pivot) --j;
        if (j < i) break;
        std::swap(dots[i], dots[j]);
        ++i;
        --j;
        if (j < i) break;
    }
    if (mid < j) {
        SortDotsByDepthReference(dots, i, hi);
        SortDotsByDepthReference(dots, lo, j);
    } else {
        SortDotsByDepthReference(dots, lo, j);
        SortDotsByDepthReference(dots, i, hi);
    }
}

namespace {

// The fast depth sort works on keys that stand for the dots: either (depth, index) pairs, or,
// when the depths span at most 32,768 values and there are at most 65,536 dots, one 32-bit
// word per dot holding the depth above the lowest depth in its upper half and the index in
// its lower half. Words compare as their depths do, and twice as many of them fit a cache
// line or a vector register. Each kind of key describes itself to the sort below:
//   Bounds bounds(key)          what the partition needs to know of a pivot key;
//   below / above(key, bounds)  the key's depth is below / above the pivot's;
//   not_below4 / not_above4     the same, negated, as a 4-bit mask for keys[0..3];
//   depth(key)                  a value equal for equal depths.
struct PairKeys {
    using Key = DepthKey;
    struct Bounds {
        std::int32_t z;
    };
    static Bounds bounds(const Key& k) { return {k.z}; }
    static bool below(const Key& k, Bounds b) { return k.z < b.z; }
    static bool above(const Key& k, Bounds b) { return k.z > b.z; }
    static std::int32_t depth(const Key& k) { return k.z; }
    static bool all_of_depth(const Key* k, int n, std::int32_t z) {
        int differing = 0;
        for (int t = 0; t < n; ++t) differing += k[t].z != z;
        return differing == 0;
    }
#ifdef __SSE2__
    static __m128i depths4(const Key* k) {
        const __m128 a = _mm_loadu_ps(reinterpret_cast<const float*>(k));
        const __m128 b = _mm_loadu_ps(reinterpret_cast<const float*>(k + 2));
        return _mm_castps_si128(_mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
    }
    static int not_below4(const Key* k, Bounds b) {
        return ~_mm_movemask_ps(_mm_castsi128_ps(_mm_cmplt_epi32(depths4(k), _mm_set1_epi32(b.z)))) & 15;
    }
    static int not_above4(const Key* k, Bounds b) {
        return ~_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(depths4(k), _mm_set1_epi32(b.z)))) & 15;
    }
#else
    static int not_below4(const Key* k, Bounds b) {
        return !below(k[0], b) | !below(k[1], b) << 1 | !below(k[2], b) << 2 | !below(k[3], b) << 3;
    }
    static int not_above4(const Key* k, Bounds b) {
        return !above(k[0], b) | !above(k[1], b) << 1 | !above(k[2], b) << 2 | !above(k[3], b) << 3;
    }
#endif
};

struct PackedKeys {
    using Key = std::int32_t;  // never negative: depth offset below 2^15, index below 2^16
    struct Bounds {
        std::int32_t low, high;  // the least and the greatest word with the pivot's depth
    };
    static Bounds bounds(Key k) { return {k & ~0xFFFF, k | 0xFFFF}; }
    static bool below(Key k, Bounds b) { return k < b.low; }
    static bool above(Key k, Bounds b) { return k > b.high; }
    static std::int32_t depth(Key k) { return k >> 16; }
    static bool all_of_depth(const Key* k, int n, std::int32_t z) {
        int t = 0, differing = 0;
#ifdef __SSE2__
        const __m128i mask = _mm_set1_epi32(~0xFFFF), want = _mm_set1_epi32(z << 16);
        __m128i same = _mm_set1_epi32(-1);
        for (; t + 4 <= n; t += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(k + t));
            same = _mm_and_si128(same, _mm_cmpeq_epi32(_mm_and_si128(v, mask), want));
        }
        differing = _mm_movemask_epi8(same) != 0xFFFF;
#endif
        for (; t < n; ++t) differing += depth(k[t]) != z;
        return differing == 0;
    }
#ifdef __SSE2__
    static int not_below4(const Key* k, Bounds b) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(k));
        return ~_mm_movemask_ps(_mm_castsi128_ps(_mm_cmplt_epi32(v, _mm_set1_epi32(b.low)))) & 15;
    }
    static int not_above4(const Key* k, Bounds b) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(k));
        return ~_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(v, _mm_set1_epi32(b.high)))) & 15;
    }
#else
    static int not_below4(const Key* k, Bounds b) {
        return (k[0] >= b.low) | (k[1] >= b.low) << 1 | (k[2] >= b.low) << 2 | (k[3] >= b.low) << 3;
    }
    static int not_above4(const Key* k, Bounds b) {
        return (k[0] <= b.high) | (k[1] <= b.high) << 1 | (k[2] <= b.high) << 2 | (k[3] <= b.high) << 3;
    }
#endif
};

// One partition step of the depth sort on keys[lo..hi] around the pivot, leaving the scan
// positions in i and j exactly as the plain step does:
//   i = lo, j = hi; repeat: skip depths below the pivot from the left and above it from the
//   right; stop if j < i; swap; step both; stop if j < i.
// The k-th swap always pairs the k-th key from the left whose depth is not below the pivot
// with the k-th key from the right whose depth is not above it. While the unscanned middle is
// wide, those keys are found in blocks without branches (their positions noted in two small
// buffers) and swapped pairwise; the blocks on the two sides never overlap there, so every
// pair is one the plain step would swap. The plain step then finishes from the same state.
// Offsets of the candidates among four neighbouring keys, for each 4-bit mask of them, packed
// in the bytes of a word (first candidate in the lowest byte): ascending for the left scan,
// descending (from the fourth key down) for the right scan.
struct CandidateTables {
    std::uint32_t up[16]{};
    std::uint32_t down[16]{};
    std::uint8_t count[16]{};
    constexpr CandidateTables() {
        for (int m = 0; m < 16; ++m) {
            int n = 0;
            for (int b = 0; b < 4; ++b)
                if (m & (1 << b)) up[m] |= static_cast<std::uint32_t>(b) << (8 * n++);
            count[m] = static_cast<std::uint8_t>(n);
            n = 0;
            for (int b = 3; b >= 0; --b)
                if (m & (1 << b)) down[m] |= static_cast<std::uint32_t>(3 - b) << (8 * n++);
        }
    }
};
constexpr CandidateTables kCandidates;

template <class K, int kBlock>
void partition(typename K::Key* keys, int lo, int hi, typename K::Bounds pivot, int& i_out, int& j_out) {
    static_assert(kBlock % 4 == 0 && kBlock <= 256);
    int ls = lo, rs = hi;  // next unscanned positions on the left and on the right
    // Candidates of the current blocks, as offsets from the blocks' first keys (lb upwards,
    // rb downwards).
    std::uint8_t left[kBlock + 4], right[kBlock + 4];
    int lb = lo, rb = hi;
    int l_first = 0, l_count = 0, r_first = 0, r_count = 0;
    while (rs - ls + 1 >= 2 * kBlock) {
        if (l_first == l_count) {
            l_first = l_count = 0;
            lb = ls;
            for (int t = 0; t < kBlock; t += 4) {
                const int m = K::not_below4(keys + ls + t, pivot);
                const std::uint32_t offsets = kCandidates.up[m] + static_cast<std::uint32_t>(t) * 0x01010101u;
                std::memcpy(left + l_count, &offsets, 4);
                l_count += kCandidates.count[m];
            }
            ls += kBlock;
        }
        if (r_first == r_count) {
            r_first = r_count = 0;
            rb = rs;
            for (int t = 0; t < kBlock; t += 4) {
                const int m = K::not_above4(keys + rs - t - 3, pivot);
                const std::uint32_t offsets = kCandidates.down[m] + static_cast<std::uint32_t>(t) * 0x01010101u;
                std::memcpy(right + r_count, &offsets, 4);
                r_count += kCandidates.count[m];
            }
            rs -= kBlock;
        }
        const int pairs = std::min(l_count - l_first, r_count - r_first);
        typename K::Key* const lp = keys + lb;
        typename K::Key* const rp = keys + rb;
        for (int t = 0; t < pairs; ++t) std::swap(lp[left[l_first + t]], rp[-right[r_first + t]]);
        l_first += pairs;
        r_first += pairs;
    }
    // Back to the plain step: an unpaired key found in a block is where its scan would stop.
    int i = l_first < l_count ? lb + left[l_first] : ls;
    int j = r_first < r_count ? rb - right[r_first] : rs;
    for (;;) {
        while (K::below(keys[i], pivot)) ++i;
        while (K::above(keys[j], pivot)) --j;
        if (j < i) break;
        std::swap(keys[i], keys[j]);
        ++i;
        --j;
        if (j < i) break;
    }
    i_out = i;
    j_out = j;
}

// When every depth in a range is equal, the comparisons, and so the swaps, depend on nothing
// but the range's length: the quicksort always leaves such a range in the same order, which
// is worked out once per length by running the sort itself on numbered keys.
constexpr int kEqualRunMax = 255;  // orders of runs up to 255 keys fit bytes

struct EqualRunOrders {
    // order[first[n] + t] is the place, within a run of n equal keys, of the key that ends at t.
    std::array<int, kEqualRunMax + 2> first{};
    std::array<std::uint8_t, (kEqualRunMax + 1) * (kEqualRunMax + 2) / 2> order{};
    EqualRunOrders();
};

const EqualRunOrders& equal_run_orders() {
    static const EqualRunOrders orders;  // made once, on the first sort
    return orders;
}

// True (and the run reordered) when keys[lo..hi] all have one depth.
template <class K>
bool settle_equal_run(typename K::Key* keys, int lo, int hi) {
    const int n = hi - lo + 1;
    const std::int32_t z = K::depth(keys[lo]);
    if (K::depth(keys[hi]) != z || K::depth(keys[lo + n / 2]) != z) return false;  // the common, cheap answer
    if (!K::all_of_depth(keys + lo, n, z)) return false;
    const EqualRunOrders& orders = equal_run_orders();
    typename K::Key run[kEqualRunMax];
    std::copy(keys + lo, keys + hi + 1, run);
    const std::uint8_t* order = orders.order.data() + orders.first[static_cast<std::size_t>(n)];
    for (int t = 0; t < n; ++t) keys[lo + t] = run[order[t]];
    return true;
}

// Sorts keys[lo..hi] with the partition above, smaller range first so that the explicit stack
// stays within log2(n) entries. The two ranges left after a partition never overlap, so the
// order in which they are sorted does not change the result. With `shortcut`, a small range
// whose depths are all equal takes its final order from a table instead.
template <class K>
void sort_keys(typename K::Key* keys, int lo, int hi, bool shortcut) {
    struct Range {
        int lo, hi;
    };
    Range stack[64];
    int depth = 0;
    for (;;) {
        while (lo < hi) {
            if (shortcut && hi - lo < kEqualRunMax && settle_equal_run<K>(keys, lo, hi)) break;
            const int mid = lo + (hi - lo) / 2;
            int i, j;
            // Long ranges are scanned in long blocks, short ones in short blocks, so that
            // short ranges too find most of their pairs without branches.
            if (hi - lo >= 512)
                partition<K, 64>(keys, lo, hi, K::bounds(keys[mid]), i, j);
            else
                partition<K, 16>(keys, lo, hi, K::bounds(keys[mid]), i, j);
            // Ranges lo..j and i..hi remain.
            if (j - lo < hi - i) {
                stack[depth++] = Range{i, hi};
                hi = j;
            } else {
                stack[depth++] = Range{lo, j};
                lo = i;
            }
        }
        if (depth == 0) return;
        --depth;
        lo = stack[depth].lo;
        hi = stack[depth].hi;
    }
}

EqualRunOrders::EqualRunOrders() {
    int at = 0;
    DepthKey run[kEqualRunMax];
    for (int n = 0; n <= kEqualRunMax; ++n) {
        first[static_cast<std::size_t>(n)] = at;
        for (int t = 0; t < n; ++t) run[t] = DepthKey{0, t};
        if (n > 1) sort_keys<PairKeys>(run, 0, n - 1, false);
        for (int t = 0; t < n; ++t) order[static_cast<std::size_t>(at + t)] = static_cast<std::uint8_t>(run[t].index);
        at += n;
    }
    first[kEqualRunMax + 1] = at;
}

}  // namespace

void SortDepthKeys(DepthKey* keys, int lo, int hi) { sort_keys<PairKeys>(keys, lo, hi, true); }

void SortDotsByDepth(const ShapeDot* __restrict dots, int top, DepthKey* __restrict keys,
                     ShapeDot* __restrict out) {
    if (top < 0) return;
    std::int32_t zmin = dots[0].Z, zmax = dots[0].Z;
    int i = 0;
#ifdef __SSE2__
    // The depths of four records at a time.
    auto depths4 = [dots](int at) {
        const __m128i* d = reinterpret_cast<const __m128i*>(dots + at);
        const __m128i zw01 = _mm_unpackhi_epi32(_mm_loadu_si128(d), _mm_loadu_si128(d + 1));
        const __m128i zw23 = _mm_unpackhi_epi32(_mm_loadu_si128(d + 2), _mm_loadu_si128(d + 3));
        return _mm_unpacklo_epi64(zw01, zw23);
    };
    if (top >= 3) {
        __m128i lo = depths4(0), hi = lo;
        for (i = 4; i + 3 <= top; i += 4) {
            const __m128i z = depths4(i);
            const __m128i less = _mm_cmplt_epi32(z, lo), more = _mm_cmpgt_epi32(z, hi);
            lo = _mm_or_si128(_mm_and_si128(less, z), _mm_andnot_si128(less, lo));
            hi = _mm_or_si128(_mm_and_si128(more, z), _mm_andnot_si128(more, hi));
        }
        alignas(16) std::int32_t l[4], h[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(l), lo);
        _mm_store_si128(reinterpret_cast<__m128i*>(h), hi);
        for (int t = 0; t < 4; ++t) {
            zmin = std::min(zmin, l[t]);
            zmax = std::max(zmax, h[t]);
        }
    }
#endif
    for (; i <= top; ++i) {
        zmin = std::min(zmin, dots[i].Z);
        zmax = std::max(zmax, dots[i].Z);
    }
    if (top < 65536 && static_cast<std::int64_t>(zmax) - zmin < 32768) {
        // The words live in the pairs' room, two to a pair.
        static_assert(sizeof(DepthKey) == 2 * sizeof(std::int32_t));
        std::int32_t* words = reinterpret_cast<std::int32_t*>(keys);
        i = 0;
#ifdef __SSE2__
        const __m128i base = _mm_set1_epi32(zmin);
        __m128i index = _mm_setr_epi32(0, 1, 2, 3);
        for (; i + 3 <= top; i += 4) {
            const __m128i w = _mm_or_si128(_mm_slli_epi32(_mm_sub_epi32(depths4(i), base), 16), index);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(words + i), w);
            index = _mm_add_epi32(index, _mm_set1_epi32(4));
        }
#endif
        for (; i <= top; ++i) words[i] = (dots[i].Z - zmin) << 16 | i;
        sort_keys<PackedKeys>(words, 0, top, true);
        for (i = 0; i <= top; ++i) out[i] = dots[words[i] & 0xFFFF];
    } else {
        for (i = 0; i <= top; ++i) keys[i] = DepthKey{dots[i].Z, i};
        sort_keys<PairKeys>(keys, 0, top, true);
        GatherDots(dots, keys, top, out);
    }
}

void ShuffleShapes(ShapeOrderList& order, RandomSource& random) {
    std::array<bool, 10> used{};
    int placed = 0;
    for (int remaining = 9; remaining > 0; --remaining) {
        random.Reseed();
        int k = static_cast<int>(std::floor(random.Next() * remaining)) + 1;
        if (k > remaining) k = remaining;  // r is below 1, this only guards a faulty source
        if (k < 1) k = 1;
        for (int j = 1; j <= 9; ++j) {
            if (used[j]) continue;
            if (--k == 0) {
                used[j] = true;
                ++placed;
                order[placed] = static_cast<std::int16_t>(j);
                break;
            }
        }
    }
}

}  // namespace engine
