// Start-up on the scripted machine: a fresh world, the program folder in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include "platform/scripted/control.h"
#include "platform/system.h"
#include "shell/process_state.h"
#include "shell/resource_pack.h"
#include "shell/saver_main.h"
#include "shell/saver_window.h"
#include "tests/support/temp_folder.h"

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::scripted::reset();
        shell::ResetProcessState();
        shell::SetSaverWindowHooks({});
        plat::scripted::set_program_folder(folder.path());
    }

    void put_pack(std::size_t length = 36191) {
        testing_support::write_bytes(folder.file("Zephlora.zpk"), testing_support::make_pack(length));
    }

    // Runs SaverMain with the command line; true when it ended the process, false when it
    // returned with a window open.
    bool start(const std::string& line) {
        plat::set_command_line(line);
        try {
            shell::SaverMain();
        } catch (const plat::ProcessExit&) {
            return true;
        }
        return false;
    }

    // Pumps until the process ends; true when it did within `pumps` pumps.
    bool pump_until_end(int pumps = 50) {
        try {
            for (int i = 0; i < pumps; ++i) plat::pump_events();
        } catch (const plat::ProcessExit&) {
            return true;
        }
        return false;
    }

    int member_count() const {
        int n = 0;
        for (int i = 1; i <= 9; ++i) n += testing_support::exists(shell::MemberPath(i));
        return n;
    }

    testing_support::TempFolder folder;
};
