#pragma once
// The stored form of a control: a set of named values, as a dialog's layout description holds
// them. A control is configured only through its bag: it reads each key with the default for an
// absent key (a value that does not parse as the kind asked for also reads as the default), and
// writes its keys in its own order, leaving out a value that equals the key's default.
//
// Values are kept as text, in the form the layout description writes them:
// - integers in decimal ("-100"), also read from "0x..." and "&H...&" (hexadecimal);
// - colours as integers ("&H00C8C800&" is RGB(0,200,200), red in the low byte; the top bit
//   names a system colour), written as "&H........&";
// - truth values "True" / "False" (also "-1" / "0" / "1");
// - text as it stands (CP932 bytes in memory);
// - fonts as "face,points[,charset][,bold][,italic][,underline][,strikeout]";
// - pictures by the name of a picture of the program ("" or absent: none).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace controls {

struct StoredFont {
    std::string face_cp932;
    double points = 9.0;
    int charset = 1;  // DEFAULT_CHARSET
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;

    bool operator==(const StoredFont&) const = default;
};

class PropertyBag {
public:
    struct Entry {
        std::string key;
        std::string value;
        bool operator==(const Entry&) const = default;
    };

    PropertyBag() = default;
    explicit PropertyBag(std::vector<Entry> entries) : entries_(std::move(entries)) {}

    bool has(std::string_view key) const { return find(key) != nullptr; }
    // The raw text of a key, or nullptr when it is absent.
    const std::string* find(std::string_view key) const;

    std::int32_t read_int(std::string_view key, std::int32_t fallback) const;
    std::uint32_t read_colour(std::string_view key, std::uint32_t fallback) const;
    bool read_bool(std::string_view key, bool fallback) const;
    std::string read_text(std::string_view key, std::string_view fallback) const;
    std::optional<StoredFont> read_font(std::string_view key) const;
    // The picture's name, empty for none.
    std::string read_picture(std::string_view key) const { return read_text(key, {}); }

    // Writing: with a default the key is left out when the value equals it (and any earlier
    // value of the key is dropped); without one it is always written. A key written again
    // keeps its first place.
    void write_int(std::string_view key, std::int32_t value, std::optional<std::int32_t> fallback = {});
    void write_colour(std::string_view key, std::uint32_t value, std::optional<std::uint32_t> fallback = {});
    void write_bool(std::string_view key, bool value, std::optional<bool> fallback = {});
    void write_text(std::string_view key, std::string_view value, std::optional<std::string_view> fallback = {});
    void write_font(std::string_view key, const StoredFont& font);
    void write_picture(std::string_view key, std::string_view name) { write_text(key, name, std::string_view{}); }

    // Sets a key's raw text (the layout reader and the command line of the gallery use this).
    void set(std::string_view key, std::string_view value);
    void erase(std::string_view key);

    const std::vector<Entry>& entries() const { return entries_; }
    bool operator==(const PropertyBag&) const = default;

private:
    std::vector<Entry> entries_;
};

// The text forms, shared by the bag and the layout description.
std::optional<std::int32_t> ParseStoredInt(std::string_view text);
std::optional<bool> ParseStoredBool(std::string_view text);
std::optional<StoredFont> ParseStoredFont(std::string_view text);
std::string FormatStoredColour(std::uint32_t colour);
std::string FormatStoredFont(const StoredFont& font);

}  // namespace controls
