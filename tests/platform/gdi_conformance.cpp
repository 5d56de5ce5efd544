// The software raster against real GDI: the same labelled scenes drawn with BitBlt on memory
// device contexts (32-bit DIB sections) and with raster::bit_blt, compared pixel for pixel.
// Runs on Windows and under Wine.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/sprite_sheet.h"
#include "engine_support.h"
#include "platform/win32/draw_win32.h"
#include "platform/win32/prelude.h"
#include "raster/blit.h"

namespace {

using plat::win32::DibBitmap;

DWORD gdi_rop(plat::Rop rop) { return static_cast<DWORD>(rop); }

std::vector<std::uint32_t> pixels_of(const plat::Bitmap& b) {
    GdiFlush();
    const plat::Surface s = b.surface();
    std::vector<std::uint32_t> out;
    for (int y = 0; y < s.height; ++y) out.insert(out.end(), s.row(y), s.row(y) + s.width);
    return out;
}

void fill_random(const plat::Bitmap& b, std::mt19937& gen) {
    GdiFlush();
    const plat::Surface s = b.surface();
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) s.row(y)[x] = gen() & 0x00FFFFFF;
}

void copy_pixels(const plat::Bitmap& from, const plat::Bitmap& to) {
    GdiFlush();
    const plat::Surface a = from.surface(), b = to.surface();
    for (int y = 0; y < a.height; ++y) std::copy(a.row(y), a.row(y) + a.width, b.row(y));
}

// Where two pictures first differ, for the failure message.
std::string first_difference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int width) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) {
            char text[96];
            std::snprintf(text, sizeof text, "first difference at (%d, %d): GDI %06X, raster %06X",
                          static_cast<int>(i % static_cast<std::size_t>(width)),
                          static_cast<int>(i / static_cast<std::size_t>(width)), a[i], b[i]);
            return text;
        }
    return "sizes differ";
}

constexpr plat::Rop kRops[] = {plat::Rop::SrcCopy, plat::Rop::SrcAnd, plat::Rop::SrcPaint};

// Scene: one block copy with random placement, size and raster operation, including every
// edge of both bitmaps, negative offsets on either side and sizes beyond the bitmaps.
TEST(GdiConformance, SingleCopiesClipLikeBitBlt) {
    std::mt19937 gen(12);
    for (int round = 0; round < 1500; ++round) {
        const int dw = 1 + static_cast<int>(gen() % 20), dh = 1 + static_cast<int>(gen() % 20);
        const int sw = 1 + static_cast<int>(gen() % 20), sh = 1 + static_cast<int>(gen() % 20);
        DibBitmap gdi_dst(dw, dh), soft_dst(dw, dh), src(sw, sh);
        ASSERT_TRUE(gdi_dst.valid() && soft_dst.valid() && src.valid());
        fill_random(gdi_dst, gen);
        copy_pixels(gdi_dst, soft_dst);
        fill_random(src, gen);
        auto r = [&](int span) { return static_cast<int>(gen() % (2 * span + 1)) - span; };
        const int x = r(24), y = r(24), sx = r(24), sy = r(24);
        const int w = r(30), h = r(30);  // negative sizes too
        const plat::Rop rop = kRops[gen() % 3];
        BitBlt(gdi_dst.dc(), x, y, w, h, src.dc(), sx, sy, gdi_rop(rop));
        raster::bit_blt(soft_dst.surface(), x, y, w, h, src.surface(), sx, sy, rop);
        const auto a = pixels_of(gdi_dst), b = pixels_of(soft_dst);
        ASSERT_EQ(a, b) << "round " << round << ": " << dw << "x" << dh << " <- " << sw << "x" << sh << " at " << x
                        << "," << y << " size " << w << "x" << h << " from " << sx << "," << sy << " rop "
                        << std::hex << static_cast<unsigned>(rop) << "; " << first_difference(a, b, dw);
    }
}

// Scene: the dot stamp (mask with SRCAND, disc with SRCPAINT) at every placement around a
// small picture, against the fused stamp of the raster.
TEST(GdiConformance, DotStampsAtEveryEdge) {
    auto sheet_soft = engine::BuildSpriteSheet(0x00ABCDEF);
    DibBitmap sheet(40, 16);
    copy_pixels(*sheet_soft, sheet);
    std::mt19937 gen(5);
    for (int band = 0; band < 5; ++band) {
        raster::Stamp8 stamp{};
        const plat::Surface s = sheet.surface();
        for (int yy = 0; yy < 8; ++yy)
            for (int xx = 0; xx < 8; ++xx) {
                stamp.mask[yy * 8 + xx] = s.row(8 + yy)[xx];
                stamp.disc[yy * 8 + xx] = s.row(yy)[band * 8 + xx];
            }
        DibBitmap gdi(13, 11), raster(13, 11);
        fill_random(gdi, gen);
        copy_pixels(gdi, raster);
        for (int y = -9; y <= 12; ++y)
            for (int x = -9; x <= 14; ++x) {
                BitBlt(gdi.dc(), x, y, 8, 8, sheet.dc(), 0, 8, SRCAND);
                BitBlt(gdi.dc(), x, y, 8, 8, sheet.dc(), band * 8, 0, SRCPAINT);
                GdiFlush();
                raster::stamp8(raster.surface(), x, y, stamp);
            }
        const auto a = pixels_of(gdi), b = pixels_of(raster);
        ASSERT_EQ(a, b) << "band " << band << "; " << first_difference(a, b, 13);
    }
}

// Whole frames of the engine: its own composition (software raster) against the same frame
// drawn with one GDI call per copy, from the dots and bands the engine used.
void compare_frames(int width, int height, int neon, int members_dots) {
    engine_test::TempFolder folder("gdi_frames");
    for (int n = 1; n <= 9; ++n)
        folder.WriteMember(n, engine_test::RandomShape(members_dots + 7 * n, 160, static_cast<unsigned>(n)));
    engine::EngineSettings settings;
    settings.NeonEffect = neon;
    settings.Interval = 1;
    engine_test::Harness h(folder.path(), settings);
    // A background larger than the screen, so that its centring clips on every side.
    h.pictures.backgrounds[0] = plat::create_bitmap(width + 37, height + 23);
    std::mt19937 gen(77);
    fill_random(*h.pictures.backgrounds[0], gen);
    h.engine = std::make_unique<engine::Engine>(engine_test::InFolder(folder.path()), settings, h.pictures.view(), h.random, engine::EngineHooks{});
    std::string error;
    h.engine->ShuffleAtLoad();
    ASSERT_TRUE(h.engine->Start(width, height, error)) << error;
    const auto& sheet = static_cast<const DibBitmap&>(*h.pictures.sprites);
    const auto& back = static_cast<const DibBitmap&>(*h.engine->background());

    // The background as GDI centres it.
    DibBitmap gdi_back(width, height);
    PatBlt(gdi_back.dc(), 0, 0, width, height, BLACKNESS);
    const auto& pic = static_cast<const DibBitmap&>(*h.pictures.backgrounds[0]);
    BitBlt(gdi_back.dc(), (width - pic.width()) / 2, (height - pic.height()) / 2, pic.width(), pic.height(), pic.dc(), 0, 0,
           SRCCOPY);
    ASSERT_EQ(pixels_of(gdi_back), pixels_of(back)) << "background set-up";

    DibBitmap gdi_work(width, height);
    for (int frame = 0; frame < 60; ++frame) {
        if (frame == 20) {
            ASSERT_TRUE(h.engine->ChangeTick().Began);
        }
        h.engine->RenderFrame();
        BitBlt(gdi_work.dc(), 0, 0, width, height, back.dc(), 0, 0, SRCCOPY);
        for (int i = 0; i <= h.engine->DrawnTop(); ++i) {
            const engine::ShapeDot& d = h.engine->ScreenDots[static_cast<std::size_t>(i)];
            BitBlt(gdi_work.dc(), d.X, d.Y, 8, 8, sheet.dc(), 0, 8, SRCAND);
            BitBlt(gdi_work.dc(), d.X, d.Y, 8, 8, sheet.dc(), h.engine->Bands()[static_cast<std::size_t>(i)] * 8, 0,
                   SRCPAINT);
        }
        const auto a = pixels_of(gdi_work), b = pixels_of(*h.engine->work());
        ASSERT_EQ(a, b) << "frame " << frame << "; " << first_difference(a, b, width);
        h.engine->StepDriftAndCentre();
    }
}

TEST(GdiConformance, EngineFramesDepthSorted) { compare_frames(200, 150, 0, 300); }
TEST(GdiConformance, EngineFramesNeon) { compare_frames(173, 311, 1, 200); }
TEST(GdiConformance, EngineFramesLargeScreen) { compare_frames(1024, 768, 0, 2000); }

}  // namespace
