// The audio CD of the Linux back end: a drive found through libcdio, its table of contents
// read and its audio sectors played through an SDL audio device by a thread of its own, so
// that no command ever waits for the drive. It is the "cdaudio" device of the command
// interpreter (media_commands.h).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/emulation/media_commands.h"

namespace plat::linux_media {

struct CdShared;

// Read the disc from a CUE sheet and its BIN image instead of the machine's drive (for the
// tests of this back end, which have no drive); an empty path goes back to the drive.
void use_disc_image(std::string cue_path);

class CdPlayer final : public mci::CdDevice {
public:
    // No device, with kCannotLoadDriver when the machine has no CD drive and kHardware when
    // it has no audio output.
    static mci::Opened<mci::CdDevice> open();
    ~CdPlayer() override;  // stops playback; the reading thread ends by itself

    mci::Mode mode() override;
    mci::Answer<long> current_track() override;
    mci::Answer<long> number_of_tracks() override;
    mci::Answer<mci::Tmsf> position() override;
    mci::Answer<mci::Tmsf> position_of_track(long track) override;
    unsigned play(const std::optional<mci::Tmsf>& from, const std::optional<mci::Tmsf>& to) override;
    unsigned stop() override;
    unsigned pause() override;

private:
    explicit CdPlayer(std::shared_ptr<CdShared> shared) : shared_(std::move(shared)) {}
    std::shared_ptr<CdShared> shared_;
};

}  // namespace plat::linux_media
