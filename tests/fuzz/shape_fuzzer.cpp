// The shape member reader on any text: it reads a shape whose dots lie within the accepted
// coordinates, or fails and leaves the caller's dots as they were.
#include <cstdint>
#include <vector>

#include "engine/shape_file.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<engine::ShapeDot> before(3, engine::ShapeDot{1, 2, 3, 4});
    std::vector<engine::ShapeDot> dots = before;
    engine::ShapeError error = engine::ShapeError::None;
    int line = -1;
    const std::optional<int> top = engine::ParseShapeText(fuzz::as_text(data, size), dots, &error, &line);
    if (!top) {
        FUZZ_CHECK(error != engine::ShapeError::None);
        FUZZ_CHECK(line >= 1);
        FUZZ_CHECK(dots == before);
        FUZZ_CHECK(engine::ShapeErrorText(error) != nullptr);
        return 0;
    }
    FUZZ_CHECK(error == engine::ShapeError::None);
    FUZZ_CHECK(*top >= 0 && *top <= engine::kMaxShapeTop);
    FUZZ_CHECK(dots.size() == static_cast<std::size_t>(*top) + 1);
    // Dot lines start at line 13: a shape never holds more dots than the text has lines.
    FUZZ_CHECK(dots.size() + 12 <= size);
    for (const engine::ShapeDot& dot : dots)
        for (std::int32_t v : {dot.X, dot.Y, dot.Z})
            FUZZ_CHECK(v >= -engine::kMaxCoordinate && v <= engine::kMaxCoordinate);
    return 0;
}
