#include "engine/engine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "raster/blit.h"

namespace engine {

Engine::Engine(MemberPaths member_path, EngineSettings settings, EnginePictures pictures,
               RandomSource& random, EngineHooks hooks)
    : member_path_(std::move(member_path)), settings_(settings), pictures_(pictures),
      random_(random), hooks_(std::move(hooks)), stamps_(kBandCount) {}

Engine::~Engine() = default;

void Engine::ShuffleAtLoad() {
    ShuffleShapes(ShapeOrder, random_);
    OrderPos = 0;
}

bool Engine::Start(int width, int height, std::string& error) {
    SecondCount = 0;
    BackIndex = 0;
    BuildTables(Table);

    // Background set-up: both images at the window's size, picture 0 centred. The engine
    // keeps the size in 16 bits, as its full-frame copies do.
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) {
        error = "the screen size " + std::to_string(width) + " x " + std::to_string(height) +
                " cannot be drawn";
        return false;
    }
    Width = width;
    Height = height;
    work_ = plat::create_bitmap(width, height);
    back_ = plat::create_bitmap(width, height);
    if (!work_ || !back_) {
        error = "the frame images of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels cannot be made";
        return false;
    }
    changed_.Reset(width, height);
    restoring_.Reserve(0, kSpriteSize, height);
    plat::fill_rect(*back_, 0, 0, width, height, 0x000000);  // black, the window-text colour
    CentrePicture(0);

    // The dot stamps, taken from the sheet once.
    const plat::Bitmap* sheet = pictures_.Sprites;
    whole_sheet_ = sheet && sheet->width() >= kSheetWidth && sheet->height() >= kSheetHeight;
    if (whole_sheet_) {
        const plat::Surface s = sheet->surface();
        for (int band = 0; band < kBandCount; ++band)
            for (int row = 0; row < kSpriteSize; ++row)
                for (int col = 0; col < kSpriteSize; ++col) {
                    stamps_[band].mask[row * 8 + col] = s.row(kSpriteSize + row)[col];
                    stamps_[band].disc[row * 8 + col] = s.row(row)[band * kSpriteSize + col];
                }
        // Two stamps at one place: the second gives (picture AND mask) OR (first disc AND
        // mask) OR second disc. Where the first disc has no bit that the mask keeps, that is
        // the second stamp alone, so the first needs no drawing.
        for (int band = 0; band < kBandCount; ++band) {
            std::uint32_t kept = 0;
            for (int k = 0; k < kSpriteSize * kSpriteSize; ++k) kept |= stamps_[band].disc[k] & stamps_[band].mask[k];
            hidden_below_[band] = kept == 0;
        }
    }

    SortByDepth = settings_.NeonEffect == 0;
    HalfWidth = static_cast<std::int16_t>(width / 2);
    HalfHeight = static_cast<std::int16_t>(height / 2);
    Drift = DriftStart();
    DriftCentre(Drift, HalfWidth, HalfHeight, CentreX, CentreY);
    Angle = Angles{};

    const std::string first = member_path_(2);
    ShapeError why{};
    int line = 0;
    const std::optional<int> top = ReadShapeFile(first, CurrentDots, &why, &line);
    if (!top) {
        error = "the first shape \"" + first + "\" cannot be read: " + ShapeErrorText(why);
        if (line > 0) error += " (line " + std::to_string(line) + ")";
        return false;
    }
    ScreenDots.assign(CurrentDots.size(), ShapeDot{});
    ReserveFrameBuffers(CurrentDots.size());
    phase_ = Phase::Holding;
    stopped_ = false;
    return true;
}

const plat::Bitmap* Engine::BackgroundPicture(int index) const {
    if (index < 0 || index > 9) return nullptr;
    if (pictures_.BackgroundOf) return pictures_.BackgroundOf(index);
    return pictures_.Backgrounds[static_cast<std::size_t>(index)];
}

void Engine::CentrePicture(int index) {
    const plat::Bitmap* picture = BackgroundPicture(index);
    if (!picture || !back_) return;
    // Halving truncates towards zero, so a picture larger than the window sits at a negative
    // offset and is clipped on both sides.
    const plat::Point at = BackgroundPlace(*picture);
    plat::bit_blt(*back_, at.x, at.y, picture->width(), picture->height(), *picture, 0, 0, plat::Rop::SrcCopy);
}

void Engine::BackgroundChange() {
    if (++BackIndex > 9) BackIndex = 0;
    if (!back_) return;
    plat::fill_rect(*back_, 0, 0, Width, Height, 0x000000);
    CentrePicture(BackIndex);
    changed_.MarkAll();
}

void Engine::ComposeWithFullCopies(bool on) {
    full_copies_ = on;
    changed_.MarkAll();
}

void Engine::DrawPicture(bool on) {
    if (on && !draw_picture_) changed_.MarkAll();
    draw_picture_ = on;
}

void Engine::ReserveFrameBuffers(std::size_t dots) {
    if (keys_.size() < dots) keys_.resize(dots);
    if (bands_.size() < dots) bands_.resize(dots);
    if (stamped_.size() < dots) stamped_.resize(dots);
    restoring_.Reserve(dots, kSpriteSize, Height);
    if (sorted_.size() != ScreenDots.size()) sorted_.resize(ScreenDots.size());
}

bool Engine::PrepareMorph(const std::string& path, ShapeError* error) {
    const int u = CurrentTop();
    // The read leaves TargetDots alone when it fails, so an abandoned change loses nothing.
    std::vector<ShapeDot> target;
    const std::optional<int> n_read = ReadShapeFile(path, target, error);
    if (!n_read || u < 0) return false;
    const int n = *n_read;
    TargetDots = std::move(target);
    TargetTop = n;
    const int top = std::max(n, u);
    ScreenDots.assign(static_cast<std::size_t>(n) + 1, ShapeDot{});
    MorphDots.assign(static_cast<std::size_t>(n) + 1, ShapeDot{});

    auto copy_current = [&](int a) {
        const ShapeDot& c = CurrentDots[static_cast<std::size_t>(a)];
        ShapeDot& m = MorphDots[static_cast<std::size_t>(a)];
        m.X = c.X;
        m.Y = c.Y;
        m.Z = c.Z;
        m.W = TargetDots[static_cast<std::size_t>(a)].W;
    };
    if (n == u) {
        for (int a = 0; a <= u; ++a) copy_current(a);
    } else if (u < n) {
        // More dots: the new ones start on randomly chosen old dots.
        for (int a = 0; a <= u; ++a) copy_current(a);
        random_.Reseed();
        for (int j = u + 1; j <= n; ++j) {
            const int k = std::clamp(static_cast<int>(std::nearbyint(random_.Next() * u)), 0, u);
            const ShapeDot& c = CurrentDots[static_cast<std::size_t>(k)];
            MorphDots[static_cast<std::size_t>(j)] =
                ShapeDot{c.X, c.Y, c.Z, TargetDots[static_cast<std::size_t>(k)].W};
        }
    } else {
        // Fewer dots: the surplus old dots travel to randomly chosen new dots and merge.
        TargetDots.resize(static_cast<std::size_t>(u) + 1);  // keeps its contents
        MorphDots.assign(static_cast<std::size_t>(u) + 1, ShapeDot{});
        ScreenDots.assign(static_cast<std::size_t>(u) + 1, ShapeDot{});
        for (int a = 0; a <= u; ++a) copy_current(a);
        random_.Reseed();
        for (int j = n + 1; j <= u; ++j) {
            const int k = std::clamp(static_cast<int>(std::nearbyint(random_.Next() * n)), 0, n);
            const ShapeDot t = TargetDots[static_cast<std::size_t>(k)];
            ShapeDot& tj = TargetDots[static_cast<std::size_t>(j)];
            tj.X = t.X;
            tj.Y = t.Y;
            tj.Z = t.Z;
            MorphDots[static_cast<std::size_t>(j)].W = t.W;
        }
    }
    ReserveFrameBuffers(static_cast<std::size_t>(top) + 1);
    CurrentDots.reserve(static_cast<std::size_t>(n) + 1);  // the adoption then allocates nothing
    phase_ = Phase::Changing;
    return true;
}

void Engine::AdoptTarget() {
    CurrentDots.assign(TargetDots.begin(), TargetDots.begin() + TargetTop + 1);
    phase_ = Phase::Holding;
}

void Engine::AssignBands(int drawn_top, int band_reference) {
    // Depth thresholds from the first drawn dot and the dot at band_reference.
    const std::int64_t t0 = ScreenDots[0].Z;
    const std::int64_t t5 = ScreenDots[static_cast<std::size_t>(band_reference)].Z;
    const std::int64_t step = (std::llabs(t5) + std::llabs(t0)) / 5;
    const std::int64_t t1 = t0 + step, t2 = t1 + step, t3 = t2 + step, t4 = t3 + step;
    std::uint8_t band = 0;
    for (int i = 0; i <= drawn_top; ++i) {
        // Only a depth that hits a threshold exactly changes the band; otherwise the dot takes
        // the band of the dot before it.
        const std::int64_t z = ScreenDots[static_cast<std::size_t>(i)].Z;
        if (z == t0 || z == t1) band = 4;
        else if (z == t2) band = 3;
        else if (z == t3) band = 2;
        else if (z == t4) band = 1;
        else if (z == t5) band = 0;
        bands_[static_cast<std::size_t>(i)] = band;
    }
}

void Engine::ComposeClipped(int drawn_top) {
    // A sheet of another size: every copy clipped against it, exactly as BitBlt would.
    plat::bit_blt(*work_, 0, 0, Width, Height, *back_, 0, 0, plat::Rop::SrcCopy);
    const plat::Surface dst = work_->surface();
    const plat::Surface sheet = pictures_.Sprites ? pictures_.Sprites->surface() : plat::Surface{};
    if (!sheet.pixels) return;
    for (int i = 0; i <= drawn_top; ++i) {
        const ShapeDot& d = ScreenDots[static_cast<std::size_t>(i)];
        const int b = bands_[static_cast<std::size_t>(i)];
        raster::bit_blt(dst, d.X, d.Y, kSpriteSize, kSpriteSize, sheet, 0, kSpriteSize, plat::Rop::SrcAnd);
        raster::bit_blt(dst, d.X, d.Y, kSpriteSize, kSpriteSize, sheet, b * kSpriteSize, 0, plat::Rop::SrcPaint);
    }
}

namespace {

// A whole footprint inside the picture: destination = (destination AND mask) OR disc, row by
// row, eight pixels at a time, as the raster's stamp does it.
inline void StampInside(std::uint32_t* __restrict d, std::ptrdiff_t stride, const raster::Stamp8& stamp) {
    for (int row = 0; row < kSpriteSize; ++row, d += stride) {
        const std::uint32_t* __restrict m = stamp.mask + row * kSpriteSize;
        const std::uint32_t* __restrict s = stamp.disc + row * kSpriteSize;
        for (int i = 0; i < kSpriteSize; ++i) d[i] = (d[i] & m[i]) | s[i];
    }
}

// A whole footprint inside the picture copied from the background.
inline void RestoreInside(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, std::ptrdiff_t d_stride,
                          std::ptrdiff_t s_stride) {
    // A copy of known small size, which compilers make inline.
    for (int row = 0; row < kSpriteSize; ++row, d += d_stride, s += s_stride)
        std::memcpy(d, s, kSpriteSize * sizeof(std::uint32_t));
}

}  // namespace

void Engine::ComposeChanged(int drawn_top) {
    // Outside the last frame's footprints the work picture still holds the background. So
    // copying the background back into just those (in any order: every copy reads the
    // background), then stamping every dot in drawing order, leaves every pixel as the whole
    // background copy followed by every stamp would.
    const plat::Surface dst = work_->surface(), src = back_->surface();
    const int inside_x = Width - kSpriteSize, inside_y = Height - kSpriteSize;
    auto inside = [&](plat::Point p) { return p.x >= 0 && p.y >= 0 && p.x <= inside_x && p.y <= inside_y; };
    // Not drawn: the footprints and the changed area only, exactly as below.
    const bool draw = draw_picture_;
    if (changed_.BeginFrame()) {
        if (draw) raster::bit_blt(dst, 0, 0, Width, Height, src, 0, 0, plat::Rop::SrcCopy);
    } else if (draw) {
        // From the top row down rather than in drawing order (engine/footprint_order.h).
        const plat::Point* restoring = restoring_.Sort(stamped_.data(), stamped_count_);
        for (std::size_t k = 0; k < stamped_count_; ++k) {
            const plat::Point p = restoring[k];
            if (inside(p))
                RestoreInside(dst.row(p.y) + p.x, src.row(p.y) + p.x, dst.stride, src.stride);
            else
                raster::bit_blt(dst, p.x, p.y, kSpriteSize, kSpriteSize, src, p.x, p.y, plat::Rop::SrcCopy);
        }
    }
    // A stamp is kept for the next frame's restoring only where it lands; where the next dot
    // lands on the same place with a stamp that hides it, it is left out altogether.
    stamped_count_ = 0;
    for (int i = 0; i <= drawn_top; ++i) {
        const ShapeDot& d = ScreenDots[static_cast<std::size_t>(i)];
        const std::uint8_t band = bands_[static_cast<std::size_t>(i)];
        if (i < drawn_top && hidden_below_[band]) {
            const ShapeDot& next = ScreenDots[static_cast<std::size_t>(i) + 1];
            if (next.X == d.X && next.Y == d.Y) continue;
        }
        const plat::Point p{d.X, d.Y};
        const raster::Stamp8& stamp = stamps_[band];
        if (inside(p)) {
            if (draw) StampInside(dst.row(p.y) + p.x, dst.stride, stamp);
            changed_.MarkInside(p.x, p.y);
        } else if (p.x > -kSpriteSize && p.y > -kSpriteSize && p.x < Width && p.y < Height) {
            if (draw) raster::stamp8(dst, p.x, p.y, stamp);  // clipped at the edges
            changed_.Mark(p.x, p.y);
        } else {
            continue;
        }
        stamped_[stamped_count_++] = p;
    }
    changed_.EndFrame();
}

void Engine::MarkWholeFrame(int drawn_top) {
    changed_.MarkAll();
    changed_.BeginFrame();
    for (int i = 0; i <= drawn_top; ++i) {
        const ShapeDot& d = ScreenDots[static_cast<std::size_t>(i)];
        changed_.Mark(d.X, d.Y);
    }
    changed_.EndFrame();
}

bool Engine::RenderFrame() {
    if (phase_ == Phase::NotStarted || !work_) return false;
    const bool changing = phase_ == Phase::Changing;
    const ShapeDot* shown = changing ? MorphDots.data() : CurrentDots.data();
    const int top = DrawnTop();

    // 1 (the background under everything) is done just before the stamps of step 6, and
    // only where the last frame stamped (ComposeChanged).
    // 2 to 4. Rotate, sort far to near unless neon, project. The sort orders small keys
    // (depth and index) exactly as the quicksort orders whole records, and the records are
    // then gathered in that order. The projection works on each dot alone and leaves the
    // depth, so it may run before the sort, in list order, where it is faster.
    if (SortByDepth) {
        RotateDots(Table, Angle, shown, top, ScreenDots.data());
        ProjectDots(ScreenDots.data(), top, CentreX, CentreY);
        SortDotsByDepth(ScreenDots.data(), top, keys_.data(), sorted_.data());
        std::swap(ScreenDots, sorted_);  // same sizes: no allocation
    } else {
        RotateDots(Table, Angle, shown, top, ScreenDots.data());
        ProjectDots(ScreenDots.data(), top, CentreX, CentreY);
    }
    // 5 and 6. Bands (measured against the dot at the current shape's top, also during a
    // change), then the background and the stamps.
    AssignBands(top, CurrentTop());
    last_drawn_top_ = top;
    if (whole_sheet_ && !full_copies_) {
        ComposeChanged(top);
    } else {
        MarkWholeFrame(top);
        if (draw_picture_) ComposeClipped(top);
    }
    // The morph step of each index follows its stamp; it changes MorphDots only, which this
    // frame no longer reads, so the steps can run after the drawing loop.
    bool done = false;
    if (changing) {
        done = true;
        for (int i = 0; i <= top; ++i) {
            ShapeDot& m = MorphDots[static_cast<std::size_t>(i)];
            const ShapeDot& t = TargetDots[static_cast<std::size_t>(i)];
            m.X += (m.X < t.X) - (m.X > t.X);
            m.Y += (m.Y < t.Y) - (m.Y > t.Y);
            m.Z += (m.Z < t.Z) - (m.Z > t.Z);
            done &= m.X == t.X && m.Y == t.Y && m.Z == t.Z;
        }
    }
    // 8. The angles advance after every frame drawn.
    last_angles_ = Angle;
    Angle.X = AdvanceAngle(Angle.X, settings_.XAxis);
    Angle.Y = AdvanceAngle(Angle.Y, settings_.YAxis);
    Angle.Z = AdvanceAngle(Angle.Z, settings_.ZAxis);
    return done;
}

void Engine::PresentFrame() {
    if (work_ && hooks_.Present) hooks_.Present(*work_);
}

void Engine::StepDriftAndCentre() {
    StepDrift(Drift);
    DriftCentre(Drift, HalfWidth, HalfHeight, CentreX, CentreY);
}

bool Engine::Frame() {
    if (phase_ == Phase::NotStarted || stopped_) return false;
    const bool changing = phase_ == Phase::Changing;
    const bool done = RenderFrame();
    PresentFrame();
    // A negative pause (a hand-edited file) is no pause; a long one is bounded.
    if (settings_.Sleep > 0 && hooks_.Sleep)
        hooks_.Sleep(std::min<std::uint32_t>(static_cast<std::uint32_t>(settings_.Sleep), kMaxSleepMs));
    if (hooks_.Pump) hooks_.Pump();
    if (stopped_) return false;
    StepDriftAndCentre();
    if (changing && done && phase_ == Phase::Changing) AdoptTarget();
    return true;
}

ChangeReport Engine::ChangeTick() {
    ChangeReport report;
    if (phase_ != Phase::Holding || in_tick_ || stopped_) return report;
    if (++SecondCount < settings_.Interval) return report;
    SecondCount = 0;
    // Let pending input run first; ticks arriving meanwhile are not counted.
    in_tick_ = true;
    if (hooks_.Pump) hooks_.Pump();
    in_tick_ = false;
    if (stopped_) return report;
    if (OrderPos >= 9) {
        OrderPos = 0;
        ShuffleShapes(ShapeOrder, random_);
        BackgroundChange();
    }
    ++OrderPos;
    report.Member = ShapeOrder[static_cast<std::size_t>(OrderPos)];
    report.Began = true;
    // A member that cannot be read abandons this change; the current shape keeps turning and
    // the next change that falls due goes on with the order.
    if (!PrepareMorph(member_path_(report.Member), &report.Error)) {
        report.Failed = true;
        if (report.Error == ShapeError::None) report.Error = ShapeError::Unreadable;
    }
    return report;
}

}  // namespace engine
