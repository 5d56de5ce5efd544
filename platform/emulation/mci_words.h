// The words of a multimedia command string, for the command interpreter of the Linux and
// scripted back ends (media_commands.h). Words are separated by blanks; a word in double
// quotes may hold blanks (the quotes are not part of it). Keywords compare without regard
// to case.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp932.h"

namespace plat::mci {

// Error codes of our interpreter. The numbers follow the Windows multimedia codes of the
// same meaning, so that a text "Error:263" means the same thing on every build.
enum Code : unsigned {
    kOk = 0,
    kUnrecognizedKeyword = 259,
    kUnrecognizedCommand = 261,
    kHardware = 262,
    kInvalidDeviceName = 263,
    kDeviceOpen = 265,
    kCannotLoadDriver = 266,
    kMissingCommandString = 267,
    kParamOverflow = 268,
    kBadInteger = 270,
    kMissingParameter = 273,
    kUnsupportedFunction = 274,
    kFileNotFound = 275,
    kDeviceNotReady = 276,
    kOutOfRange = 282,
    kDuplicateAlias = 289,
    kBadTimeFormat = 293,
    kNoClosingQuote = 294,
    kInvalidFile = 296,
};

inline const char* describe(unsigned code) {
    switch (code) {
    case kUnrecognizedKeyword: return "The command holds a word that the device does not know.";
    case kUnrecognizedCommand: return "The command is not known.";
    case kHardware: return "The drive holds no readable audio disc.";
    case kInvalidDeviceName: return "The device is not open or not known.";
    case kDeviceOpen: return "The device is already open.";
    case kCannotLoadDriver: return "There is no such device on this machine.";
    case kMissingCommandString: return "No command was given.";
    case kParamOverflow: return "The reply does not fit the buffer.";
    case kBadInteger: return "A number was expected.";
    case kMissingParameter: return "A word is missing from the command.";
    case kUnsupportedFunction: return "The device cannot do this.";
    case kFileNotFound: return "The file cannot be found.";
    case kDeviceNotReady: return "The device is not ready.";
    case kOutOfRange: return "The position or track is out of range.";
    case kDuplicateAlias: return "The alias is already in use.";
    case kBadTimeFormat: return "The time format is not known.";
    case kNoClosingQuote: return "A quoted text has no closing quote.";
    case kInvalidFile: return "The file cannot be played.";
    default: return nullptr;
    }
}

// ASCII letters folded to lower case; every other byte (CP932 trail bytes included) is
// left alone, so keywords and aliases match without regard to case.
constexpr char fold_ascii(char c) { return common::ToLowerAscii(c); }

inline std::string lower_ascii(std::string_view text) { return common::LowerAscii(text); }

inline bool same_word(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold_ascii(a[i]) != fold_ascii(b[i])) return false;
    }
    return true;
}

// Empty when a quote is left open.
inline std::optional<std::vector<std::string>> split_words(std::string_view command) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < command.size()) {
        const char c = command[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '"') {
            const std::size_t close = command.find('"', i + 1);
            if (close == std::string_view::npos) return std::nullopt;
            words.emplace_back(command.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        std::size_t end = i;
        while (end < command.size() && command[end] != ' ' && command[end] != '\t' &&
               command[end] != '\r' && command[end] != '\n') {
            ++end;
        }
        words.emplace_back(command.substr(i, end - i));
        i = end;
    }
    return words;
}

// A whole decimal number without sign that fits 31 bits.
inline std::optional<long> whole_number(std::string_view word) {
    if (word.empty() || word.size() > 9) return std::nullopt;
    long value = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Positions on an audio CD in the time format tmsf are written "TT:MM:SS:FF" (track,
// minutes, seconds, frames of 1/75 s); the reading also takes the shorter forms "T",
// "T:M" and "T:M:S".
struct Tmsf {
    int track = 0, minutes = 0, seconds = 0, frames = 0;
};

inline std::string format_tmsf(const Tmsf& p) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", p.track, p.minutes, p.seconds, p.frames);
    return text;
}

inline std::optional<Tmsf> parse_tmsf(std::string_view word) {
    int parts[4] = {0, 0, 0, 0};
    int count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = word.find(':', start);
        const std::string_view part = word.substr(start, colon == std::string_view::npos ? word.npos : colon - start);
        const auto value = whole_number(part);
        if (!value || count == 4 || *value > 255) return std::nullopt;
        parts[count++] = static_cast<int>(*value);
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    if (parts[2] > 59 || parts[3] > 74) return std::nullopt;
    return Tmsf{parts[0], parts[1], parts[2], parts[3]};
}

// Copies a reply into the caller's buffer. A reply that does not fit is an error, as with
// the Windows interpreter, and leaves the buffer alone.
inline unsigned put_reply(std::string_view text, char* reply, unsigned reply_length) {
    if (!reply || reply_length == 0) return kOk;
    if (text.size() + 1 > reply_length) return kParamOverflow;
    text.copy(reply, text.size());
    reply[text.size()] = 0;
    return kOk;
}

}  // namespace plat::mci
