// The audio CD of the Linux back end: a drive found through libcdio, its table of contents
// read and its audio sectors played through an SDL audio device by a thread of its own, so
// that no command ever waits for the drive. Positions are tmsf texts ("TT:MM:SS:FF").
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace plat::linux_media {

struct CdShared;

struct CdAnswer {
    unsigned code = 0;
    std::string reply;
};

// Read the disc from a CUE sheet and its BIN image instead of the machine's drive (for the
// tests of this back end, which have no drive); an empty path goes back to the drive.
void use_disc_image(std::string cue_path);

class CdPlayer {
public:
    // Null with `code` set when the machine has no CD drive or no audio output.
    static std::unique_ptr<CdPlayer> open(unsigned& code);
    ~CdPlayer();  // stops playback; the reading thread ends by itself

    CdAnswer current_track();
    CdAnswer number_of_tracks();
    CdAnswer mode();
    CdAnswer position();
    CdAnswer position_of_track(long track);
    // Empty `from`: go on from where the disc stands (from the first track after the end).
    CdAnswer play(std::string_view from, std::string_view to);
    CdAnswer stop();
    CdAnswer pause();

private:
    explicit CdPlayer(std::shared_ptr<CdShared> shared) : shared_(std::move(shared)) {}
    std::shared_ptr<CdShared> shared_;
};

}  // namespace plat::linux_media
