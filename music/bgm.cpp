#include "music/bgm.h"

#include <array>
#include <cstring>

#include "common/cp932.h"
#include "common/numeric.h"
#include "common/texts.h"
#include "platform/media.h"

namespace music {
namespace {

constexpr std::uint32_t kReplyCapacity = 512;
constexpr std::uint32_t kErrorTextCapacity = 256;
constexpr std::uint32_t kCdModeCapacity = 256;
constexpr std::uint32_t kCdModeLength = 255;  // the length sent with "status cdaudio mode"
constexpr std::uint32_t kMp3ModeCapacity = 30;

struct ModuleState {
    std::array<char, kReplyCapacity> reply{};
    std::array<char, kErrorTextCapacity> error_text{};
    std::string last_reply;
    // Kept between calls: a query that fails leaves the previous text in place.
    std::array<char, kCdModeCapacity> cd_mode{};
    std::array<char, kMp3ModeCapacity> mp3_mode{};
    bool cd_monitor_ok = false;
};

ModuleState& state() {
    static ModuleState s;
    return s;
}

// Text of a buffer up to its first NUL, never past its end.
template <std::size_t N>
std::string text_of(const std::array<char, N>& buffer) {
    const char* end = static_cast<const char*>(std::memchr(buffer.data(), 0, N));
    return std::string(buffer.data(), end ? static_cast<std::size_t>(end - buffer.data()) : N);
}

template <std::size_t N>
bool starts_with(const std::array<char, N>& buffer, std::string_view word) {
    return text_of(buffer).starts_with(word);
}

// Commands whose reply nobody reads go straight to the interpreter.
std::uint32_t send(std::string_view command) {
    return plat::mci_send_string(command, nullptr, 0, plat::WindowHandle::None);
}


bool is_error_text(std::string_view text) { return common::UpperAscii(text).find("ERR") != std::string::npos; }

// A reply read as a number by its leading numeric part, rounded to 16 bits; a value that
// does not fit reads as 0, like a conversion that failed and left the variable alone.
std::int16_t track_number(std::string_view text) {
    return common::to_int16_rounded(common::leading_number(text)).value_or(0);
}


void skip_track(int step) {
    const std::int32_t current = track_number(MciQuery("status cdaudio current track"));
    const std::string position =
        MciQuery("status cdaudio position track " + std::to_string(current + step));
    CdPlay(kCdDevice, position, "");
}

}  // namespace

std::int32_t MciCommand(std::string_view command, std::string& reply) {
    ModuleState& s = state();
    if (command.empty()) {
        reply = texts::kMciEmptyCommand;
        return -1;
    }
    s.reply.fill(0);
    const auto code = static_cast<std::int32_t>(
        plat::mci_send_string(command, s.reply.data(), kReplyCapacity, plat::WindowHandle::None));
    if (code != 0) {
        s.error_text.fill(0);
        if (plat::mci_get_error_string(static_cast<std::uint32_t>(code), s.error_text.data(),
                                       kErrorTextCapacity)) {
            reply = text_of(s.error_text);
        } else {
            reply = texts::kMciNoDescription;
        }
        return code;
    }
    reply = text_of(s.reply);
    return 0;
}

std::string MciQuery(std::string_view command) {
    ModuleState& s = state();
    const std::int32_t code = MciCommand(command, s.last_reply);
    if (code != 0) return "Error:" + std::to_string(code);
    return s.last_reply;
}

std::int32_t CdPlay(std::string_view device, std::string_view from, std::string_view to) {
    std::string command = "play ";
    command += device;
    if (!from.empty()) {
        command += " from ";
        command += from;
    }
    if (!to.empty()) {
        command += " to ";
        command += to;
    }
    return MciCommand(command, state().last_reply);
}

const std::string& LastReply() { return state().last_reply; }

void CdOpen() {
    send("open cdaudio");
    send("set cdaudio time format tmsf");
}

void CdClose() {
    send("stop cdaudio");
    send("close cdaudio");
}

// No wrap-around: before the first or after the last track the position query fails, the
// play command built from its error text fails too, and playback goes on unchanged.
void CdPreviousTrack() { skip_track(-1); }
void CdNextTrack() { skip_track(+1); }

void Mp3Start(std::string_view bgm_file) {
    // The path is enclosed in double quotes so that it may hold spaces; one that holds a
    // quote itself would end the quoted text early and could add words to the command.
    if (bgm_file.find('"') != std::string_view::npos || bgm_file.find('\0') != std::string_view::npos) {
        return;
    }
    std::string open = "open \"";
    open += bgm_file;
    open += "\" type MPEGVideo Alias MP3Play";
    if (send(open) == 0) send("play MP3Play");
}

void Mp3Stop() {
    send("stop MP3Play");
    send("close MP3Play");
}

bool Mp3IsPlaying() {
    ModuleState& s = state();
    plat::mci_send_string("status MP3Play mode", s.mp3_mode.data(), kMp3ModeCapacity,
                          plat::WindowHandle::None);
    return starts_with(s.mp3_mode, "playing");
}

void WavStart(std::string_view bgm_file) {
    if (plat::wave_out_device_count() <= 0) return;
    const std::string name(bgm_file);
    // Without SND_NODEFAULT the platform would loop its default sound for ever when the file
    // cannot be played.
    plat::play_sound(name.c_str(), plat::kSndAsync | plat::kSndLoop | plat::kSndNoDefault);
}

void WavStop() { plat::play_sound(nullptr, 0); }

void Mp3Replay() {
    if (Mp3IsPlaying()) return;
    send("stop MP3Play");
    send("play MP3Play from 0");
}

void CdMonitor(std::int16_t bgm_repeat) {
    ModuleState& s = state();
    s.cd_monitor_ok = true;
    const std::string current = MciQuery("status cdaudio current track");
    if (is_error_text(current)) {
        s.cd_monitor_ok = false;
        return;
    }
    // Only a failure of this query matters; the count itself is not used.
    if (is_error_text(MciQuery("status cdaudio number of tracks"))) {
        s.cd_monitor_ok = false;
        return;
    }
    plat::mci_send_string("status cdaudio mode", s.cd_mode.data(), kCdModeLength,
                          plat::WindowHandle::None);
    const bool stopped = starts_with(s.cd_mode, "stopped");
    if (bgm_repeat != 0) {
        if (stopped || common::leading_number(current) != bgm_repeat) {
            const std::string position =
                MciQuery("status cdaudio position track " + std::to_string(bgm_repeat));
            CdPlay(kCdDevice, position, "");
        }
    } else if (stopped) {
        CdPlay(kCdDevice, "", "");
    }
}

bool CdMonitorOk() { return state().cd_monitor_ok; }

FileKind KindOfFile(std::string_view bgm_file) {
    // Walk the CP932 characters and keep the last three.
    std::array<std::string_view, 3> last{};
    std::size_t count = 0;
    for (std::size_t i = 0; i < bgm_file.size();) {
        const std::size_t width =
            common::IsCp932LeadByte(static_cast<unsigned char>(bgm_file[i])) && i + 1 < bgm_file.size() ? 2 : 1;
        last[0] = last[1];
        last[1] = last[2];
        last[2] = bgm_file.substr(i, width);
        ++count;
        i += width;
    }
    if (count < 3) return FileKind::None;
    std::string ending;
    for (std::string_view c : last) {
        if (c.size() != 1) return FileKind::None;
        ending += c;
    }
    ending = common::UpperAscii(ending);
    if (ending == "MP3") return FileKind::Mp3;
    if (ending == "WAV") return FileKind::Wav;
    return FileKind::None;
}

void ResetModuleState() { state() = ModuleState{}; }

}  // namespace music
