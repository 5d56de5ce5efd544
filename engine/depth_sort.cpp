#include "engine/depth_sort.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace engine {

void GatherDots(const ShapeDot* __restrict dots, const DepthKey* __restrict keys, int top,
                ShapeDot* __restrict out) {
    for (int i = 0; i <= top; ++i) out[i] = dots[keys[i].index];
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

// The same step on a short range (2 to 64 keys), with both scans read off two bit masks of
// the range instead of comparing key by key: bit t of `nb` says that keys[lo + t] is not
// below the pivot (where the left scan stops), bit t of `na` that it is not above it (where
// the right scan stops). A swap exchanges the two keys' bits as well, so that the masks keep
// describing the keys in place, which later scans may read again. The scans stop inside the
// range just as the plain ones do (at the pivot, or at a key swapped past the other scan),
// and no branch depends on a comparison. A key both not below and not above the pivot has its
// depth, so the masks also tell at once whether the whole range has one depth: then nothing is
// moved and the answer is false.
template <class K>
bool partition_short(typename K::Key* keys, int lo, int hi, typename K::Bounds pivot, int& i_out, int& j_out) {
    typename K::Key* const k = keys + lo;
    const int n = hi - lo + 1;
    std::uint64_t nb = 0, na = 0;
    int t = 0;
    for (; t + 4 <= n; t += 4) {
        nb |= static_cast<std::uint64_t>(K::not_below4(k + t, pivot)) << t;
        na |= static_cast<std::uint64_t>(K::not_above4(k + t, pivot)) << t;
    }
    for (; t < n; ++t) {
        nb |= static_cast<std::uint64_t>(!K::below(k[t], pivot)) << t;
        na |= static_cast<std::uint64_t>(!K::above(k[t], pivot)) << t;
    }
    if ((nb & na) == ~std::uint64_t{0} >> (64 - n)) return false;
    int i = 0, j = n - 1;
    for (;;) {
        i += std::countr_zero(nb >> i);
        j = 63 - std::countl_zero(na & (~std::uint64_t{0} >> (63 - j)));
        if (j < i) break;
        std::swap(k[i], k[j]);
        const std::uint64_t b = ((nb >> i) ^ (nb >> j)) & 1, a = ((na >> i) ^ (na >> j)) & 1;
        nb ^= b << i | b << j;
        na ^= a << i | a << j;
        ++i;
        --j;
        if (j < i) break;
    }
    i_out = lo + i;
    j_out = lo + j;
    return true;
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

// Puts keys[lo..hi], all of one depth, in the order the quicksort leaves them in.
template <class K>
void order_equal_run(typename K::Key* keys, int lo, int hi) {
    const int n = hi - lo + 1;
    const EqualRunOrders& orders = equal_run_orders();
    typename K::Key run[kEqualRunMax];
    std::copy(keys + lo, keys + hi + 1, run);
    const std::uint8_t* order = orders.order.data() + orders.first[static_cast<std::size_t>(n)];
    for (int t = 0; t < n; ++t) keys[lo + t] = run[order[t]];
}

// True (and the run reordered) when keys[lo..hi] all have one depth.
template <class K>
bool settle_equal_run(typename K::Key* keys, int lo, int hi) {
    const int n = hi - lo + 1;
    const std::int32_t z = K::depth(keys[lo]);
    if (K::depth(keys[hi]) != z || K::depth(keys[lo + n / 2]) != z) return false;  // the common, cheap answer
    if (!K::all_of_depth(keys + lo, n, z)) return false;
    order_equal_run<K>(keys, lo, hi);
    return true;
}

// Ranges of two to four keys: the quicksort's comparisons, and so its swaps, depend only on
// how each pair of depths compares (below, equal, above), which makes 3, 27 or 729 cases.
// The order it leaves for each case is taken once from the plain reference sort, run on every
// assignment of depths 0..n-1 (which shows every case that can arise).
constexpr int kTinyMax = 4;

template <class Depth>
int tiny_case(const Depth& depth, int n) {
    int code = 0, weight = 1;
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) {
            const auto da = depth(a), db = depth(b);
            code += weight * ((da < db) + 2 * (da > db));
            weight *= 3;
        }
    return code;
}

struct TinyOrders {
    // order[n][case]: the place, within the range, of the key that ends at t in byte t.
    std::array<std::uint32_t, 3> two{};
    std::array<std::uint32_t, 27> three{};
    std::array<std::uint32_t, 729> four{};
    TinyOrders() {
        for (int n = 2; n <= kTinyMax; ++n) {
            int total = 1;
            for (int t = 0; t < n; ++t) total *= n;
            for (int v = 0; v < total; ++v) {
                ShapeDot run[kTinyMax];
                for (int t = 0, rest = v; t < n; ++t, rest /= n) run[t] = ShapeDot{t, 0, rest % n, 0};
                const int c = tiny_case([&](int t) { return run[t].Z; }, n);
                SortDotsByDepthReference(run, 0, n - 1);
                std::uint32_t order = 0;
                for (int t = 0; t < n; ++t) order |= static_cast<std::uint32_t>(run[t].X) << (8 * t);
                table(n)[static_cast<std::size_t>(c)] = order;
            }
        }
    }
    std::uint32_t* table(int n) { return n == 2 ? two.data() : n == 3 ? three.data() : four.data(); }
    const std::uint32_t* table(int n) const { return n == 2 ? two.data() : n == 3 ? three.data() : four.data(); }
};

const TinyOrders& tiny_orders() {
    static const TinyOrders orders;
    return orders;
}

template <class K>
void sort_tiny(typename K::Key* k, int n) {
    const int c = tiny_case([k](int t) { return K::depth(k[t]); }, n);
    std::uint32_t order = tiny_orders().table(n)[c];
    typename K::Key run[kTinyMax];
    std::copy(k, k + n, run);
    for (int t = 0; t < n; ++t, order >>= 8) k[t] = run[order & 0xFF];
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
            if (hi - lo < kTinyMax) {
                sort_tiny<K>(keys + lo, hi - lo + 1);
                break;
            }
            const int mid = lo + (hi - lo) / 2;
            int i, j;
            // Long ranges are scanned in long blocks, shorter ones in short blocks, so that
            // they too find most of their pairs without branches; the shortest are read off
            // bit masks.
            if (hi - lo < 64) {
                if (!partition_short<K>(keys, lo, hi, K::bounds(keys[mid]), i, j)) {
                    if (shortcut) {
                        order_equal_run<K>(keys, lo, hi);
                        break;
                    }
                    partition<K, 16>(keys, lo, hi, K::bounds(keys[mid]), i, j);
                }
            } else {
                if (shortcut && hi - lo < kEqualRunMax && settle_equal_run<K>(keys, lo, hi)) break;
                if (hi - lo >= 512)
                    partition<K, 64>(keys, lo, hi, K::bounds(keys[mid]), i, j);
                else
                    partition<K, 16>(keys, lo, hi, K::bounds(keys[mid]), i, j);
            }
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

}  // namespace engine
