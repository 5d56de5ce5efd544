#include "platform/emulation/media_commands.h"

#include <string>
#include <vector>

namespace plat::mci {
namespace {

using Words = std::vector<std::string>;

Reply fail(unsigned code) { return {code, {}}; }

// Words that take the next word as their value; a flag word in that place is a value.
bool takes_value(std::string_view word) {
    for (std::string_view keyword : {"from", "to", "type", "alias", "track", "format"}) {
        if (same_word(word, keyword)) return true;
    }
    return false;
}

// Removes the flags "wait" and "notify" that follow the device name; tells whether "wait"
// was among them.
bool take_flags(Words& words) {
    bool wait = false;
    Words kept;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const bool flag = i >= 2 && !takes_value(words[i - 1]) &&
                          (same_word(words[i], "wait") || same_word(words[i], "notify"));
        if (!flag) {
            kept.push_back(words[i]);
        } else if (same_word(words[i], "wait")) {
            wait = true;
        }
    }
    words = std::move(kept);
    return wait;
}

const char* mode_text(Mode mode) {
    switch (mode) {
    case Mode::NotReady: return "not ready";
    case Mode::Stopped: return "stopped";
    case Mode::Playing: return "playing";
    case Mode::Paused: return "paused";
    }
    return "stopped";
}

Reply number_reply(const Answer<long>& a) {
    return a.code == kOk ? Reply{kOk, std::to_string(a.value)} : fail(a.code);
}

Reply tmsf_reply(const Answer<Tmsf>& a) {
    return a.code == kOk ? Reply{kOk, format_tmsf(a.value)} : fail(a.code);
}

// The words after the device name of a play command: "from" and "to" with their values,
// read by `read`, which returns false for a value that is no position.
template <typename Position, typename Read>
unsigned read_play_range(const Words& w, std::optional<Position>& from, std::optional<Position>& to, Read read) {
    for (std::size_t i = 2; i < w.size(); ++i) {
        const bool is_from = same_word(w[i], "from");
        if (!(is_from || same_word(w[i], "to")) || i + 1 == w.size()) return kUnrecognizedKeyword;
        Position value{};
        if (!read(w[i + 1], value)) return kBadInteger;
        (is_from ? from : to) = value;
        ++i;
    }
    return kOk;
}

bool read_ms(std::string_view word, long& value) {
    const auto ms = whole_number(word);
    if (ms) value = *ms;
    return ms.has_value();
}

bool read_tmsf(std::string_view word, Tmsf& value) {
    const auto p = parse_tmsf(word);
    if (p) value = *p;
    return p.has_value();
}

}  // namespace

Reply Interpreter::run(std::string_view command) {
    auto split = split_words(command);
    if (!split) return fail(kNoClosingQuote);
    Words& w = *split;
    if (w.empty()) return fail(kMissingCommandString);
    const bool wait = take_flags(w);
    if (same_word(w[0], "open")) return open(w);
    if (w.size() < 2) return fail(kMissingParameter);
    if (same_word(w[1], "cdaudio")) {
        if (!cd_) return fail(kInvalidDeviceName);
        return cd_command(w, wait);
    }
    const std::string key = lower_ascii(w[1]);
    const auto found = files_.find(key);
    if (found == files_.end()) return fail(kInvalidDeviceName);
    return file_command(key, *found->second, w, wait);
}

Reply Interpreter::open(const Words& w) {
    if (w.size() < 2) return fail(kMissingParameter);
    std::string type, alias;
    for (std::size_t i = 2; i < w.size(); ++i) {
        if ((same_word(w[i], "type") || same_word(w[i], "alias")) && i + 1 < w.size()) {
            (same_word(w[i], "type") ? type : alias) = w[i + 1];
            ++i;
        } else if (!same_word(w[i], "shareable")) {
            return fail(kUnrecognizedKeyword);
        }
    }
    if (same_word(w[1], "cdaudio")) {
        if (!alias.empty() || !type.empty()) return fail(kUnsupportedFunction);
        if (cd_) return fail(kDeviceOpen);
        Opened<CdDevice> opened = drivers_.open_cd();
        cd_ = std::move(opened.device);
        return fail(cd_ ? kOk : opened.code);
    }
    if (!type.empty() && !same_word(type, "mpegvideo") && !same_word(type, "waveaudio")) {
        return fail(kCannotLoadDriver);
    }
    const std::string key = lower_ascii(alias.empty() ? w[1] : alias);
    if (key == "cdaudio" || files_.contains(key)) return fail(kDuplicateAlias);
    Opened<FileDevice> opened = drivers_.open_file(w[1]);
    if (!opened.device) return fail(opened.code);
    files_.emplace(key, std::move(opened.device));
    return {};
}

Reply Interpreter::cd_command(const Words& w, bool wait) {
    CdDevice& cd = *cd_;
    const std::string& verb = w[0];
    if (same_word(verb, "close")) {
        cd_.reset();
        return {};
    }
    if (same_word(verb, "set")) {
        if (w.size() == 5 && same_word(w[2], "time") && same_word(w[3], "format")) {
            return fail(same_word(w[4], "tmsf") ? kOk : kBadTimeFormat);
        }
        return fail(kUnrecognizedKeyword);
    }
    if (same_word(verb, "status")) {
        if (w.size() == 3 && same_word(w[2], "mode")) return {kOk, mode_text(cd.mode())};
        if (w.size() == 3 && same_word(w[2], "position")) return tmsf_reply(cd.position());
        if (w.size() == 4 && same_word(w[2], "current") && same_word(w[3], "track")) {
            return number_reply(cd.current_track());
        }
        if (w.size() == 5 && same_word(w[2], "number") && same_word(w[3], "of") && same_word(w[4], "tracks")) {
            return number_reply(cd.number_of_tracks());
        }
        if (w.size() == 5 && same_word(w[2], "position") && same_word(w[3], "track")) {
            const auto n = whole_number(w[4]);
            if (!n) return fail(kBadInteger);
            return tmsf_reply(cd.position_of_track(*n));
        }
        return fail(kUnrecognizedKeyword);
    }
    if (same_word(verb, "play")) {
        if (wait) return fail(kUnsupportedFunction);
        std::optional<Tmsf> from, to;
        if (const unsigned code = read_play_range(w, from, to, read_tmsf)) return fail(code);
        return fail(cd.play(from, to));
    }
    if (same_word(verb, "stop")) return fail(cd.stop());
    if (same_word(verb, "pause")) return fail(cd.pause());
    if (same_word(verb, "resume")) {
        if (wait) return fail(kUnsupportedFunction);
        return fail(cd.play(std::nullopt, std::nullopt));
    }
    return fail(kUnrecognizedCommand);
}

Reply Interpreter::file_command(const std::string& key, FileDevice& f, const Words& w, bool wait) {
    const std::string& verb = w[0];
    if (same_word(verb, "close")) {
        files_.erase(key);
        return {};
    }
    if (same_word(verb, "play")) {
        if (wait) return fail(kUnsupportedFunction);
        std::optional<long> from, to;
        if (const unsigned code = read_play_range(w, from, to, read_ms)) return fail(code);
        return fail(f.play(from));
    }
    if (same_word(verb, "stop")) return fail(f.stop());
    if (same_word(verb, "pause")) return fail(f.pause());
    if (same_word(verb, "resume")) {
        if (wait) return fail(kUnsupportedFunction);
        return fail(f.resume());
    }
    if (same_word(verb, "status")) {
        if (w.size() == 3 && same_word(w[2], "mode")) return {kOk, mode_text(f.mode())};
        if (w.size() == 3 && same_word(w[2], "length")) return {kOk, std::to_string(f.length_ms())};
        if (w.size() == 3 && same_word(w[2], "position")) return {kOk, std::to_string(f.position_ms())};
        return fail(kUnrecognizedKeyword);
    }
    if (same_word(verb, "set")) {
        if (w.size() == 5 && same_word(w[2], "time") && same_word(w[3], "format") &&
            (same_word(w[4], "milliseconds") || same_word(w[4], "ms"))) {
            return {};
        }
        return fail(kBadTimeFormat);
    }
    return fail(kUnrecognizedCommand);
}

void Interpreter::close_all() {
    cd_.reset();
    files_.clear();
}

FileDevice* Interpreter::file(std::string_view alias) const {
    const auto found = files_.find(lower_ascii(alias));
    return found == files_.end() ? nullptr : found->second.get();
}

unsigned deliver(const Reply& answer, char* reply, std::uint32_t reply_length) {
    if (answer.code != kOk) {
        if (reply && reply_length) reply[0] = 0;
        return answer.code;
    }
    return put_reply(answer.text, reply, reply_length);
}

bool error_text(std::uint32_t code, char* text, std::uint32_t text_length) {
    if (!text || text_length == 0) return false;
    text[0] = 0;
    const char* description = describe(code);
    return description && put_reply(description, text, text_length) == kOk;
}

}  // namespace plat::mci
