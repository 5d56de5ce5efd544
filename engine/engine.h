// The morph engine: the dot lists, the change of shapes, frame composition and the frame
// loop. The saver window hosts it: the window owns the timers and the event pump and calls
// Start on its first engine tick, Frame in its loop, and ChangeTick on every one-second tick;
// the engine calls back for presenting, pausing and pumping, and asks the host where each
// member lies; a failed start is returned to the host, which reports it. Nothing here is global, so the
// recorder and the tests can run engines of their own side by side.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/changed_area.h"
#include "engine/footprint_order.h"
#include "engine/motion.h"
#include "engine/random.h"
#include "engine/shape_file.h"
#include "platform/draw.h"

namespace raster {
struct Stamp8;  // raster/blit.h, which only the engine's own files include
}  // namespace raster

namespace engine {

// The settings the engine reads once at start.
struct EngineSettings {
    std::int32_t Interval = 2;    // change ticks (seconds) from one change to the next
    std::int32_t NeonEffect = 0;  // 0: dots drawn from far to near; otherwise in list order
    std::int32_t XAxis = 5, YAxis = 5, ZAxis = 5;  // rotation rates, index steps per frame
    std::int32_t Sleep = 1;       // pause after each frame, milliseconds
};

// The longest pause after a frame. Input is handled only between frames, so a longer pause
// from a hand-edited settings file would leave the saver deaf to the key that ends it.
inline constexpr std::uint32_t kMaxSleepMs = 1000;

// The pictures come from the host (the window's resources, or a test's own).
struct EnginePictures {
    const plat::Bitmap* Sprites = nullptr;                 // 40 x 16 sprite sheet
    std::array<const plat::Bitmap*, 10> Backgrounds{};     // missing ones leave black
    // When set, asked for background n instead of Backgrounds (a host that decodes only the
    // picture shown). The picture need live only until the next call.
    std::function<const plat::Bitmap*(int index)> BackgroundOf;
};

struct EngineHooks {
    std::function<void(const plat::Bitmap& frame)> Present;  // show the finished frame
    std::function<void(std::uint32_t ms)> Sleep;             // pause the thread
    std::function<void()> Pump;                              // handle pending window events
};

enum class Phase { NotStarted, Holding, Changing };

// Where a shape change stands after a tick; for the host's log and the recorder's trace.
struct ChangeReport {
    bool Began = false;         // a change was prepared
    bool Failed = false;        // its member could not be read; the change was abandoned
    int Member = 0;             // member number 1..9
    ShapeError Error = ShapeError::None;
};

// The sprite sheet's layout: five discs in the top row, the mask below the first.
inline constexpr int kSpriteSize = 8;
inline constexpr int kBandCount = 5;
inline constexpr int kSheetWidth = 40, kSheetHeight = 16;

// The file that holds member number 1..9 (the host knows where its members lie).
using MemberPaths = std::function<std::string(int member)>;

class Engine {
public:
    Engine(MemberPaths member_path, EngineSettings settings, EnginePictures pictures,
           RandomSource& random, EngineHooks hooks);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Window load: a new shape order, and the order position back to 0.
    void ShuffleAtLoad();

    // Engine start: tables, images of width x height, neon switch, drift, the first shape
    // (member 2). False when the engine cannot start; `error` then says why in English.
    bool Start(int width, int height, std::string& error);

    // One step of the frame loop: compose, present, pause, pump, drift, adopt. False when the
    // engine is not running (not started, or stopped during the pump).
    bool Frame();

    // One tick of the one-second change timer. Ticks that fall while a change is running are
    // held back (not counted): a change always runs to its end, and the next one falls due
    // Interval ticks after its adoption. So changes never nest or cut one another short.
    ChangeReport ChangeTick();

    // The window is closing: no further frame is drawn. The host must not destroy the engine
    // from inside a hook; it calls Stop and lets Frame return.
    void Stop() { stopped_ = true; }
    bool Stopped() const { return stopped_; }

    // The steps of a frame and of a change, public so that each can be checked on its own.
    bool RenderFrame();  // returns MorphDone
    void PresentFrame();
    // Reads the target shape from `path` and sets up the morph towards it; on success the
    // engine is changing from the next frame on. False (nothing changed) when it cannot.
    bool PrepareMorph(const std::string& path, ShapeError* error = nullptr);
    void AdoptTarget();
    void BackgroundChange();
    void StepDriftAndCentre();

    // State, read by the host, the recorder and the tests.
    Phase phase() const { return phase_; }
    int CurrentTop() const { return static_cast<int>(CurrentDots.size()) - 1; }
    int TargetListTop() const { return static_cast<int>(TargetDots.size()) - 1; }
    // The highest index drawn in the next frame.
    int DrawnTop() const { return phase_ == Phase::Changing ? TargetListTop() : CurrentTop(); }
    const plat::Bitmap* work() const { return work_.get(); }
    // Background picture n as the engine gets it (null when missing), and where the shown one
    // lies on the picture (its top-left corner, centred, possibly negative).
    const plat::Bitmap* BackgroundPicture(int index) const;
    plat::Point BackgroundPlace(const plat::Bitmap& picture) const {
        return {(Width - picture.width()) / 2, (Height - picture.height()) / 2};
    }
    // The highest index of ScreenDots drawn in the last frame (-1 before the first).
    int LastDrawnTop() const { return last_drawn_top_; }
    const plat::Bitmap* background() const { return back_.get(); }
    // The angles the last frame was drawn with (they advance at its end).
    Angles LastFrameAngles() const { return last_angles_; }
    // The depth band of each drawn dot of the last frame, in drawing order.
    const std::vector<std::uint8_t>& Bands() const { return bands_; }
    // Where the last frame composed differs from the one before (everything after a start
    // or a background change); the window shows just that anew.
    const ChangedArea& Changes() const { return changed_; }

    // Compose every frame from a whole copy of the background, each step as written, instead
    // of restoring only what the last frame stamped. The pictures are the same; this way is
    // the plain reference the other is held to.
    void ComposeWithFullCopies(bool on);

    // Whether the host shows the engine's own picture (the default). A host that shows each
    // frame another way (at a display scale, engine/scaled_frame.h) turns it off: every frame
    // is then worked out as before (dots, depth order, bands, footprints, changed area) but
    // nothing is drawn into work(), which then holds no meaningful picture. Turning it back on
    // draws the next frame whole.
    void DrawPicture(bool on);
    bool DrawsPicture() const { return draw_picture_; }

    std::vector<ShapeDot> CurrentDots, TargetDots, MorphDots, ScreenDots;
    int TargetTop = 0;
    ShapeOrderList ShapeOrder{};
    std::int16_t OrderPos = 0;
    Tables Table;
    Angles Angle;
    std::int16_t CentreX = 0, CentreY = 0, HalfWidth = 0, HalfHeight = 0;
    DriftState Drift;
    bool SortByDepth = true;
    std::int16_t BackIndex = 0;
    std::int32_t SecondCount = 0;
    int Width = 0, Height = 0;

private:
    void CentrePicture(int index);
    void ReserveFrameBuffers(std::size_t dots);
    // The frame's composition, dots 0..drawn_top of ScreenDots in drawing order.
    // The depth band of each dot; the thresholds run from the first dot's depth to that of
    // dot band_reference (the current shape's top).
    void AssignBands(int drawn_top, int band_reference);
    // Background, then each dot's mask and disc, every copy clipped (a sheet of any size).
    void ComposeClipped(int drawn_top);
    // The same picture with the stamps taken from a whole sheet, the background restored
    // only where the last frame stamped.
    void ComposeChanged(int drawn_top);
    // The changed area of a frame drawn whole.
    void MarkWholeFrame(int drawn_top);

    MemberPaths member_path_;
    EngineSettings settings_;
    EnginePictures pictures_;
    RandomSource& random_;
    EngineHooks hooks_;

    Phase phase_ = Phase::NotStarted;
    bool stopped_ = false;
    bool in_tick_ = false;
    Angles last_angles_;
    int last_drawn_top_ = -1;

    std::unique_ptr<plat::Bitmap> work_, back_;
    std::vector<raster::Stamp8> stamps_;  // one per band
    bool whole_sheet_ = false;  // the sheet covers 40 x 16: the fused stamp path applies
    // Per band: a stamp of any band drawn at the same place right after it hides it wholly
    // (all bands share the mask).
    std::array<bool, kBandCount> hidden_below_{};
    bool full_copies_ = false;
    bool draw_picture_ = true;

    // Per-frame buffers, sized when a shape is read so that a frame allocates nothing.
    std::vector<DepthKey> keys_;
    std::vector<ShapeDot> sorted_;
    std::vector<std::uint8_t> bands_;
    // Where the last frame composed stamped (footprints touching the picture), restored by
    // the next one.
    std::vector<plat::Point> stamped_;
    std::size_t stamped_count_ = 0;
    // The same footprints ordered from the top row down for restoring.
    FootprintOrder restoring_;
    ChangedArea changed_;
};

}  // namespace engine
