#include "engine/shape_file.h"

#include <cmath>
#include <cstdlib>

#include "common/numeric.h"
#include "platform/files.h"

namespace engine {
namespace {

// Line ends: CR LF as written by the pack; a lone CR or LF is taken as a line end too, so
// that a member edited by hand with another tool still reads.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = pos_;
        while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
        line = text_.substr(pos_, end - pos_);
        if (end < text_.size()) {
            const bool cr = text_[end] == '\r';
            ++end;
            if (cr && end < text_.size() && text_[end] == '\n') ++end;
        }
        pos_ = end;
        return true;
    }
    std::size_t position() const { return pos_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Number of lines in the text (a last line without its end counts).
std::size_t count_lines(std::string_view text) {
    LineReader reader(text);
    std::string_view line;
    std::size_t n = 0;
    while (reader.next(line)) ++n;
    return n;
}

// The text after the first "=", or the whole line when it has none.
std::string_view after_equals(std::string_view line) {
    const std::size_t eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(eq + 1);
}

// A decimal field, blanks around it ignored, rounded half to even into 32 bits.
std::optional<std::int32_t> read_field(std::string_view text) {
    const std::optional<double> value = common::parse_number(text);
    if (!value) return std::nullopt;
    return common::to_int32_rounded(*value);
}

bool fail(ShapeError reason, int at, ShapeError* error, int* line) {
    if (error) *error = reason;
    if (line) *line = at;
    return false;
}

// X!Y@Z or X!Y@Z*W. The separators must stand in the order "!", "@", "*".
bool parse_dot(std::string_view line, ShapeDot& dot, ShapeError& why) {
    why = ShapeError::BadDotLine;
    const std::size_t bang = line.find('!');
    const std::size_t at = line.find('@');
    if (bang == std::string_view::npos || at == std::string_view::npos || at < bang) return false;
    const std::size_t star = line.find('*');
    if (star != std::string_view::npos && star < at) return false;
    const std::optional<std::int32_t> x = read_field(line.substr(0, bang));
    const std::optional<std::int32_t> y = read_field(line.substr(bang + 1, at - bang - 1));
    std::optional<std::int32_t> z, w;
    if (star != std::string_view::npos) {
        z = read_field(line.substr(at + 1, star - at - 1));
        w = read_field(line.substr(star + 1));
    } else {
        z = read_field(line.substr(at + 1));
        w = 0;
    }
    if (!x || !y || !z || !w) return false;
    why = ShapeError::CoordinateTooLarge;
    for (std::int32_t v : {*x, *y, *z})
        if (v > kMaxCoordinate || v < -kMaxCoordinate) return false;
    dot = ShapeDot{*x, *y, *z, *w};
    return true;
}

}  // namespace

std::optional<int> ParseShapeText(std::string_view text, std::vector<ShapeDot>& dots,
                                  ShapeError* error, int* line_no) {
    if (error) *error = ShapeError::None;
    if (line_no) *line_no = 0;
    LineReader reader(text);
    std::string_view line;
    int n = 0;  // 1-based number of `line`

    for (; n < 8; ++n)
        if (!reader.next(line)) return fail(ShapeError::MissingLines, n + 1, error, line_no), std::nullopt;

    // Line 9: the highest dot index.
    if (!reader.next(line)) return fail(ShapeError::MissingLines, 9, error, line_no), std::nullopt;
    n = 9;
    const std::optional<double> count_value = common::parse_number(after_equals(line));
    if (!count_value) return fail(ShapeError::BadCount, 9, error, line_no), std::nullopt;
    const double top_value = common::round_half_even(*count_value);
    if (!(top_value >= 0.0 && top_value <= kMaxShapeTop))
        return fail(ShapeError::CountOutOfRange, 9, error, line_no), std::nullopt;
    const int top = static_cast<int>(top_value);

    // Line 10: "Not Available" or a face count that only has to be a number.
    if (!reader.next(line)) return fail(ShapeError::MissingLines, 10, error, line_no), std::nullopt;
    n = 10;
    if (line.find("Not Available") == std::string_view::npos && !read_field(after_equals(line)))
        return fail(ShapeError::BadFaceCount, 10, error, line_no), std::nullopt;

    for (; n < 12; ++n)
        if (!reader.next(line)) return fail(ShapeError::MissingLines, n + 1, error, line_no), std::nullopt;

    // The count must be covered by the lines present before anything is allocated for it.
    const std::size_t remaining = count_lines(text.substr(reader.position()));
    if (remaining < static_cast<std::size_t>(top) + 1)
        return fail(ShapeError::CountOutOfRange, 9, error, line_no), std::nullopt;

    std::vector<ShapeDot> read(static_cast<std::size_t>(top) + 1);
    for (int i = 0; i <= top; ++i) {
        reader.next(line);
        ++n;
        ShapeError why{};
        if (!parse_dot(line, read[static_cast<std::size_t>(i)], why))
            return fail(why, n, error, line_no), std::nullopt;
    }
    dots = std::move(read);
    return top;
}

std::optional<int> ReadShapeFile(std::string_view path, std::vector<ShapeDot>& dots,
                                 ShapeError* error, int* line) {
    std::vector<std::uint8_t> bytes;
    if (!plat::read_whole_file(path, bytes)) {
        if (error) *error = ShapeError::Unreadable;
        if (line) *line = 0;
        return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return ParseShapeText(text, dots, error, line);
}

const char* ShapeErrorText(ShapeError error) {
    switch (error) {
    case ShapeError::None: return "no error";
    case ShapeError::Unreadable: return "the file cannot be read";
    case ShapeError::MissingLines: return "the file has fewer lines than it needs";
    case ShapeError::BadCount: return "the dot count is not a number";
    case ShapeError::CountOutOfRange: return "the dot count is negative, above 32767 or beyond the lines present";
    case ShapeError::BadFaceCount: return "the face count is not a number";
    case ShapeError::BadDotLine: return "a dot line lacks its separators or holds a field that is not a number";
    case ShapeError::CoordinateTooLarge: return "a coordinate is beyond plus or minus 8000000";
    }
    return "unknown error";
}

}  // namespace engine
