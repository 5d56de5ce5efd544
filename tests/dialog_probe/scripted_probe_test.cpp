// The probe's input sequence on the scripted back end gives the probe's log, as it does under
// X and under Wine (x_probe_test.cpp).
#include <gtest/gtest.h>

#include "platform/scripted/control.h"
#include "platform/window.h"
#include "probe_script.h"

namespace {

namespace sc = plat::scripted;

// xdotool's key names as virtual keys and the modifiers held.
std::pair<int, int> key_of(std::string name) {
    int shift = 0;
    for (auto [prefix, bit] : {std::pair{"shift+", 1}, {"ctrl+", 2}, {"alt+", 4}})
        if (name.rfind(prefix, 0) == 0) name.erase(0, std::string(prefix).size()), shift |= bit;
    if (name == "Tab") return {plat::kVkTab, shift};
    if (name == "Home") return {plat::kVkHome, shift};
    if (name == "End") return {plat::kVkEnd, shift};
    if (name == "Down") return {plat::kVkDown, shift};
    if (name == "Up") return {plat::kVkUp, shift};
    if (name == "Return") return {plat::kVkReturn, shift};
    if (name == "BackSpace") return {plat::kVkBack, shift};
    if (name.size() == 1) return {std::toupper(static_cast<unsigned char>(name[0])), shift};
    ADD_FAILURE() << "no key for " << name;
    return {0, 0};
}

TEST(ScriptedProbe, TheInputSequenceGivesTheProbesLog) {
    sc::reset();
    std::vector<std::string> log;
    const plat::WindowHandle dialog = probe::build([&log](const std::string& line) { log.push_back(line); });
    plat::pump_events();
    for (const probe::Step& s : probe::script()) {
        sc::advance_ms(1000);  // a user's pace: no two clicks make a double click
        switch (s.kind) {
        case probe::Step::Click:
            sc::queue_mouse_down(1, s.at, dialog);
            sc::queue_mouse_up(1, s.at, dialog);
            break;
        case probe::Step::Press: sc::queue_mouse_down(1, s.at, dialog); break;
        case probe::Step::Move: sc::queue_mouse_move(s.at, dialog); break;
        case probe::Step::Release: sc::queue_mouse_up(1, s.at, dialog); break;
        case probe::Step::Key: {
            const auto [vk, shift] = key_of(s.key);
            sc::set_shift_state(shift);
            sc::queue_key(vk, dialog);
            plat::pump_events();
            sc::set_shift_state(0);
            continue;
        }
        case probe::Step::Type:
            for (unsigned char ch : s.text) sc::queue_char(ch, dialog);
            break;
        case probe::Step::ChooseFile:
        case probe::Step::CancelFile:
            sc::queue_file_answer(s.kind == probe::Step::ChooseFile ? std::optional<std::string>("/music/a.mp3")
                                                                      : std::nullopt);
            sc::queue_mouse_down(1, s.at, dialog);
            sc::queue_mouse_up(1, s.at, dialog);
            break;
        }
        plat::pump_events();
    }
    EXPECT_EQ(log, probe::expected_log());
    EXPECT_FALSE(plat::is_window(dialog));
    ASSERT_EQ(sc::shell_calls().size(), 1u);
    EXPECT_EQ(sc::shell_calls()[0].verb, "open");
    EXPECT_EQ(sc::shell_calls()[0].file, probe::kLinkAddress);
    ASSERT_EQ(sc::file_requests().size(), 2u);
    EXPECT_EQ(sc::file_requests()[0].title, probe::kChooserTitle);
    EXPECT_EQ(sc::animated_rects().size(), 1u);
}

}  // namespace
