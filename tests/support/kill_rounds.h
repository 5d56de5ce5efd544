// Kills a settings save at random moments and sorts what each kill left in the file: for the
// tests of the settings writers (the store's own on Linux, and under Wine the store's and the
// system's). Each round starts the save helper (tests/kill/save_settings_helper.cpp), waits
// for its "w", sleeps a random time up to a little more than a whole save lasts, and sends
// SIGKILL to the helper's process group; then the file is read back with the profile reader.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/profile.h"
#include "tests/support/settings_save.h"
#include "tests/support/temp_folder.h"

namespace testing_support {

// What one round left.
enum class KillOutcome {
    Old,        // every key as before the save
    New,        // every key as the save writes it
    Part,       // the first keys new, the others old, as the save writes them in order
    Broken,     // anything else: a cut or empty file, a key lost, a line that no save touches lost
};

struct KillFigures {
    int rounds = 0, old_values = 0, new_values = 0, partial = 0, broken = 0;
    int killed_while_running = 0;  // the helper had not ended when the signal came
    int leftovers = 0;             // rounds after which a temporary file lay beside the file
    int stayed = 0;                // ... and was still there after the next start's cleanup
    double save_ms = 0;            // how long one whole save lasts, measured first
    std::string first_broken;      // the file after the first broken round
};

// Starts `argv` with stdout on a pipe; returns its pid and the pipe's read end.
inline pid_t start_with_pipe(const std::vector<std::string>& argv, int& out) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        ::dup2(fds[1], 1);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 2);
        ::close(fds[0]);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::setpgid(pid, pid);
    ::close(fds[1]);
    out = fds[0];
    return pid;
}

// Runs one save; `kill_after_us` < 0 lets it end and returns the microseconds from its "w"
// to its "d". Otherwise tells whether the kill came while the helper ran.
inline double run_save(const std::vector<std::string>& argv, long kill_after_us, bool& killed_running) {
    int out = -1;
    const pid_t pid = start_with_pipe(argv, out);
    char c = 0;
    const bool started = ::read(out, &c, 1) == 1;
    const auto t0 = std::chrono::steady_clock::now();
    int status = 0;
    killed_running = false;
    if (started && kill_after_us >= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(kill_after_us));
        killed_running = ::waitpid(pid, &status, WNOHANG) == 0;
        ::kill(-pid, SIGKILL);
        if (killed_running) ::waitpid(pid, &status, 0);
        ::close(out);
        return 0;
    }
    // Timed from "w" to "d": the process's own start and end are not part of the save.
    const bool done = ::read(out, &c, 1) == 1;
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
    ::waitpid(pid, &status, 0);
    ::close(out);
    return done ? us : 0;
}

inline KillOutcome judge(const std::string& path) {
    const auto old_values = setting_values(0), new_values = setting_values(1);
    const auto get = [&](std::string_view section, std::string_view key) {
        return plat::get_private_profile_string(section, key, "\x01missing", 256, path);
    };
    if (get("Other", "key") != "unrelated" || get("Last", "other") != "kept too") return KillOutcome::Broken;
    const std::string text = read_bytes(path);
    if (text.find("; kept by every save") == std::string::npos) return KillOutcome::Broken;
    // Each key holds its old or its new value, and since the save writes them in order, the
    // new ones come first.
    std::size_t fresh = 0;
    bool old_seen = false;
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        const std::string v = get(texts::kSettingsSection, kSettingKeys[i]);
        // A value reads back without the blank of its sign position.
        const auto same = [&](const std::string& written) { return v == written || " " + v == written; };
        if (same(new_values[i]) && !old_seen) ++fresh;
        else if (same(old_values[i])) old_seen = true;
        else return KillOutcome::Broken;
    }
    if (fresh == 0) return KillOutcome::Old;
    return fresh == kSettingKeys.size() ? KillOutcome::New : KillOutcome::Part;
}

// `helper` is the command that runs the save helper, without its arguments; it is given the
// file as `helper_path` (a Windows path under Wine), and `extra` after its arguments
// ("system" for the system's writer). `cleanup` runs after each round as the
// next start would (removing a leftover temporary file); the leftovers are counted before.
template <typename Cleanup>
KillFigures kill_rounds(const std::vector<std::string>& helper, const std::string& path,
                        const std::string& helper_path, int rounds, const std::vector<std::string>& extra,
                        Cleanup cleanup) {
    KillFigures f;
    const auto command = [&](int set) {
        std::vector<std::string> argv = helper;
        argv.push_back(helper_path);
        argv.push_back(std::to_string(set));
        argv.insert(argv.end(), extra.begin(), extra.end());
        return argv;
    };
    const std::filesystem::path file(path);
    const auto leftover = [&] {
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path()))
            if (entry.path().filename().string().starts_with(file.filename().string() + ".tmp")) return true;
        return false;
    };
    // A whole save, four times after one that warms the caches: the shortest sets the range
    // of the kill times, up to a fifth past its end.
    bool running = false;
    std::vector<double> times;
    write_bytes(path, settings_file_with_set0());
    run_save(command(1), -1, running);
    for (int i = 0; i < 4; ++i) {
        write_bytes(path, settings_file_with_set0());
        times.push_back(run_save(command(1), -1, running) / 1000.0);
    }
    f.save_ms = *std::min_element(times.begin(), times.end());
    std::mt19937 rng(1234567);
    std::uniform_int_distribution<long> when(0, static_cast<long>(f.save_ms * 1200));
    for (int round = 0; round < rounds; ++round) {
        write_bytes(path, settings_file_with_set0());
        run_save(command(1), when(rng), running);
        ++f.rounds;
        if (running) ++f.killed_while_running;
        switch (judge(path)) {
        case KillOutcome::Old: ++f.old_values; break;
        case KillOutcome::New: ++f.new_values; break;
        case KillOutcome::Part: ++f.partial; break;
        case KillOutcome::Broken:
            if (f.broken++ == 0) f.first_broken = read_bytes(path);
            break;
        }
        if (leftover()) ++f.leftovers;
        cleanup();
        if (leftover()) ++f.stayed;
    }
    return f;
}

}  // namespace testing_support
