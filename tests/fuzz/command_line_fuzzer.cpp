// SaverMain's reading of the command line on any bytes: the mode comes from the second
// character alone, and the numbers after the switch never overflow.
#include <cstdint>
#include <string>

#include "common/numeric.h"
#include "shell/routines.h"
#include "shell/saver_main.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line = fuzz::as_text(data, size);
    const std::string mode_char = shell::ModeChar(line);
    FUZZ_CHECK(mode_char.size() <= 2);
    if (line.size() < 2) FUZZ_CHECK(mode_char.empty());
    if (line.size() > 2) FUZZ_CHECK(!mode_char.empty());  // a first character is at most two bytes
    const shell::SaverMode mode = shell::ModeOf(line);
    if (line.empty()) FUZZ_CHECK(mode == shell::SaverMode::Plain);
    if (mode == shell::SaverMode::Plain) FUZZ_CHECK(line.empty());

    // Only the second character counts: whatever follows it leaves the mode alone.
    if (!mode_char.empty()) {
        std::string other(line.substr(0, shell::CharOffset(line, 2)));
        other += " 99";
        FUZZ_CHECK(shell::ModeOf(other) == mode);
    }
    (void)shell::ParentHandle(line);

    // The strict reading used for the password change's handle.
    if (const auto number = common::parse_number(line)) {
        (void)common::to_int32_rounded(*number);
        (void)common::to_int16_floor(*number);
        (void)common::to_int16_rounded(*number);
    }
    (void)common::round_half_even(common::leading_number(line));
    return 0;
}
