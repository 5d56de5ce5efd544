#include "raster/blit.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "engine/sprite_sheet.h"

namespace {

struct Image {
    Image(int w, int h) : pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)), width(w), height(h) {}
    plat::Surface surface() { return plat::Surface{pixels.data(), width, height, width}; }
    std::vector<std::uint32_t> pixels;
    int width, height;
};

void fill_random(Image& img, std::mt19937& gen) {
    for (auto& p : img.pixels) p = gen();
}

// One pixel at a time, straight from the definition: every pixel of the rectangle whose
// source and destination both lie inside their bitmaps takes op(destination, source), with
// the source read as it was before the call.
void reference_blt(Image& dst, long long x, long long y, long long w, long long h, const Image& src_in,
                   long long sx, long long sy, plat::Rop rop) {
    const Image src = src_in;  // a snapshot, for copies within one image
    if (w < 0) { x += w + 1; sx += w + 1; w = -w; }
    if (h < 0) { y += h + 1; sy += h + 1; h = -h; }
    for (long long j = 0; j < h; ++j)
        for (long long i = 0; i < w; ++i) {
            const long long dx = x + i, dy = y + j, px = sx + i, py = sy + j;
            if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) continue;
            if (px < 0 || py < 0 || px >= src.width || py >= src.height) continue;
            std::uint32_t& d = dst.pixels[static_cast<std::size_t>(dy * dst.width + dx)];
            const std::uint32_t s = src.pixels[static_cast<std::size_t>(py * src.width + px)];
            d = rop == plat::Rop::SrcCopy ? s : rop == plat::Rop::SrcAnd ? (d & s) : (d | s);
        }
}

constexpr plat::Rop kRops[] = {plat::Rop::SrcCopy, plat::Rop::SrcAnd, plat::Rop::SrcPaint};

TEST(Raster, ClipsAtEveryEdgeOfBothBitmaps) {
    std::mt19937 gen(1);
    for (int round = 0; round < 20000; ++round) {
        Image dst(1 + gen() % 12, 1 + gen() % 12), src(1 + gen() % 12, 1 + gen() % 12);
        fill_random(dst, gen);
        fill_random(src, gen);
        Image expected = dst;
        auto r = [&](int span) { return static_cast<int>(gen() % (2 * span + 1)) - span; };
        const int x = r(14), y = r(14), w = r(16), h = r(16), sx = r(14), sy = r(14);
        const plat::Rop rop = kRops[gen() % 3];
        reference_blt(expected, x, y, w, h, src, sx, sy, rop);
        raster::bit_blt(dst.surface(), x, y, w, h, src.surface(), sx, sy, rop);
        ASSERT_EQ(dst.pixels, expected.pixels) << "round " << round << ": " << x << "," << y << " "
                                               << w << "x" << h << " from " << sx << "," << sy;
    }
}

TEST(Raster, OverlappingCopiesWithinOneBitmapReadTheSourceFirst) {
    std::mt19937 gen(2);
    for (int round = 0; round < 5000; ++round) {
        Image img(2 + gen() % 10, 2 + gen() % 10);
        fill_random(img, gen);
        Image expected = img;
        auto r = [&](int span) { return static_cast<int>(gen() % (2 * span + 1)) - span; };
        const int x = r(6), y = r(6), w = r(10), h = r(10), sx = r(6), sy = r(6);
        const plat::Rop rop = kRops[gen() % 3];
        reference_blt(expected, x, y, w, h, img, sx, sy, rop);
        raster::bit_blt(img.surface(), x, y, w, h, img.surface(), sx, sy, rop);
        ASSERT_EQ(img.pixels, expected.pixels) << "round " << round;
    }
}

TEST(Raster, AbsurdArgumentsNeitherOverflowNorTouchAnything) {
    Image dst(8, 8), src(8, 8);
    std::mt19937 gen(3);
    fill_random(dst, gen);
    fill_random(src, gen);
    const Image before = dst;
    for (int v : {INT_MAX, INT_MIN, INT_MAX - 3, INT_MIN + 3}) {
        raster::bit_blt(dst.surface(), v, 0, 8, 8, src.surface(), 0, 0, plat::Rop::SrcCopy);
        raster::bit_blt(dst.surface(), 0, v, 8, 8, src.surface(), 0, 0, plat::Rop::SrcCopy);
        raster::bit_blt(dst.surface(), 0, 0, 8, 8, src.surface(), v, v, plat::Rop::SrcCopy);
        raster::bit_blt(dst.surface(), 4, 4, v, 0, src.surface(), 0, 0, plat::Rop::SrcCopy);
        raster::bit_blt(dst.surface(), v, v, v, v, src.surface(), v, v, plat::Rop::SrcPaint);
        raster::fill_rect(dst.surface(), v, v, 5, 5, 0);
        raster::fill_rect(dst.surface(), v, v, v, v, 0);
    }
    EXPECT_EQ(dst.pixels, before.pixels);
    // A copy as wide as the integers allow is clipped to the bitmaps.
    raster::bit_blt(dst.surface(), 0, 0, INT_MAX, INT_MAX, src.surface(), 0, 0, plat::Rop::SrcCopy);
    EXPECT_EQ(dst.pixels, src.pixels);
    raster::fill_rect(dst.surface(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0);
    EXPECT_EQ(dst.pixels, src.pixels) << "ends at -2 before the bitmap";
}

TEST(Raster, FusedStampEqualsMaskThenDiscAtEveryPlacement) {
    auto sheet = engine::BuildSpriteSheet(0x00ABCDEF);
    const plat::Surface s = sheet->surface();
    std::mt19937 gen(4);
    for (int band = 0; band < 5; ++band) {
        raster::Stamp8 stamp{};
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                stamp.mask[y * 8 + x] = s.row(8 + y)[x];
                stamp.disc[y * 8 + x] = s.row(y)[band * 8 + x];
            }
        for (int y = -10; y <= 22; ++y)
            for (int x = -10; x <= 22; ++x) {
                Image a(15, 13);
                fill_random(a, gen);
                Image b = a;
                raster::stamp8(a.surface(), x, y, stamp);
                raster::bit_blt(b.surface(), x, y, 8, 8, s, 0, 8, plat::Rop::SrcAnd);
                raster::bit_blt(b.surface(), x, y, 8, 8, s, band * 8, 0, plat::Rop::SrcPaint);
                ASSERT_EQ(a.pixels, b.pixels) << band << " at " << x << "," << y;
            }
        // Rows taken band by band give the same picture as the whole stamp.
        Image whole(20, 20), banded(20, 20);
        raster::stamp8(whole.surface(), 5, 3, stamp);
        for (int first = 0; first < 20; first += 3) raster::stamp8_rows(banded.surface(), 5, 3, stamp, first, first + 2);
        EXPECT_EQ(whole.pixels, banded.pixels);
    }
}

TEST(Raster, FillIsClippedAndTakesGdiColourOrder) {
    Image img(4, 3);
    raster::fill_rect(img.surface(), -2, 1, 4, 10, 0x00112233);  // BB=11 GG=22 RR=33
    EXPECT_EQ(img.pixels[4], 0x00332211u);
    EXPECT_EQ(img.pixels[5], 0x00332211u);
    EXPECT_EQ(img.pixels[6], 0u);
    EXPECT_EQ(img.pixels[0], 0u);
    EXPECT_EQ(img.pixels[8 + 1], 0x00332211u);
}

}  // namespace
