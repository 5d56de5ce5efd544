// The dot record and the shape member format: a CR LF text file with eight ignored lines,
// the dot count on line 9, the face count (or "Not Available") on line 10, two more ignored
// lines, then one "X!Y@Z*W" line per dot from line 13 on.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace engine {

// One dot: X right, Y down, Z towards the viewer, W carried along and never drawn.
struct ShapeDot {
    std::int32_t X = 0, Y = 0, Z = 0, W = 0;
    friend bool operator==(const ShapeDot&, const ShapeDot&) = default;
};

// Highest dot index a shape may have: the dot loops count with 16-bit integers.
inline constexpr int kMaxShapeTop = 32767;

// Largest coordinate magnitude accepted: X x 260 and X x 255 must fit 32 bits.
inline constexpr std::int32_t kMaxCoordinate = 8'000'000;

enum class ShapeError {
    None,
    Unreadable,        // the file is missing or cannot be read
    MissingLines,      // fewer lines than the header or the count promise
    BadCount,          // line 9 is not a number
    CountOutOfRange,   // negative, above 32767, or more dots than lines present
    BadFaceCount,      // line 10 is neither "Not Available" nor a number
    BadDotLine,        // separators missing or out of order, or a field not a number
    CoordinateTooLarge // a value beyond plus or minus 8,000,000
};

// Reads the member text into `dots` (resized to N + 1) and returns the highest index N.
// On failure `dots` is left as it was, nothing is returned and `error` (when given) says why;
// the failing line number (1-based) goes to `line` when given.
std::optional<int> ParseShapeText(std::string_view text, std::vector<ShapeDot>& dots,
                                  ShapeError* error = nullptr, int* line = nullptr);

// The same for a member file; a path that cannot be read gives ShapeError::Unreadable.
std::optional<int> ReadShapeFile(std::string_view path, std::vector<ShapeDot>& dots,
                                 ShapeError* error = nullptr, int* line = nullptr);

// A short English description of the error, for reports.
const char* ShapeErrorText(ShapeError error);

}  // namespace engine
