// Helpers of the black-box tests: child processes with a deadline (each in its own process
// group, killed with everything it started when the deadline passes or the test ends), a
// fresh program folder, the X server's windows by exact name, waits on what the screen shows,
// and Wine under the project's environment (scripts/wine-run.sh, the prefix from
// ZEPHLORA_WINEPREFIX).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/wine_path.h"
#include "window_search.h"

namespace black_box {

inline std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

struct RunAs {
    bool unprivileged = false;  // as nobody (uid and gid 65534), through setpriv
    std::vector<std::string> environment;  // extra NAME=value entries
};

class Child {
public:
    Child(std::vector<std::string> argv, RunAs as = {}) {
        out_path_ = (std::filesystem::temp_directory_path() / ("zephlora-out-" + std::to_string(::getpid()) + "-" +
                                                               std::to_string(counter()++))).string();
        if (as.unprivileged) {
            argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setpgid(0, 0);
            const int in = ::open("/dev/null", O_RDONLY);
            const int out = ::open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open((out_path_ + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(in, 0);
            ::dup2(out, 1);
            ::dup2(err, 2);
            for (const std::string& e : as.environment) ::putenv(const_cast<char*>(e.c_str()));
            std::vector<char*> args;
            for (std::string& a : argv) args.push_back(a.data());
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
        if (pid_ > 0) ::setpgid(pid_, pid_);
    }
    ~Child() {
        kill();
        std::error_code ec;
        std::filesystem::remove(out_path_, ec);
        std::filesystem::remove(out_path_ + ".err", ec);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The exit code, or empty when the child is still running after `seconds` (it then
    // keeps running; the destructor kills it).
    std::optional<int> wait(double seconds) {
        if (exit_code_) return exit_code_;
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (pid_ > 0) {
            int status = 0;
            const pid_t r = ::waitpid(pid_, &status, WNOHANG);
            if (r == pid_) {
                exit_code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                return exit_code_;
            }
            if (std::chrono::steady_clock::now() >= end) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::nullopt;
    }

    // Sends a signal to the child alone.
    void signal(int number) {
        if (pid_ > 0 && !exit_code_) ::kill(pid_, number);
    }

    // Kills the child's whole process group and reaps the child.
    void kill() {
        if (pid_ <= 0 || exit_code_) return;
        ::kill(-pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        exit_code_ = -1;
    }

    pid_t pid() const { return pid_; }
    std::string output() const { return testing_support::read_bytes(out_path_); }
    std::string errors() const { return testing_support::read_bytes(out_path_ + ".err"); }

    // Waits until the output holds `text`; false after `seconds`.
    bool wait_for_output(const std::string& text, double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            if (output().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    pid_t pid_ = -1;
    std::optional<int> exit_code_;
    std::string out_path_;
};

// Runs a command to its end (at most `seconds`) and returns its output, empty on failure.
inline std::string run(std::vector<std::string> argv, double seconds = 20) {
    Child c(std::move(argv));
    if (!c.wait(seconds)) return {};
    return c.output();
}

// A top-level X window named exactly `name` (UTF-8), as a decimal id (the tests' own search,
// not the Linux build's).
inline std::optional<std::string> find_window(const std::string& name) {
    const unsigned long id = FindNamedWindow(name);
    if (id == 0) return std::nullopt;
    return std::to_string(id);
}

inline std::optional<std::string> wait_for_window(const std::string& name, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (auto id = find_window(name)) return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return std::nullopt;
}

// Polls `condition` until it holds; false when `seconds` passed first. The tests wait on what
// a user would see (a window, a pixel, a file, a line of output), never by the clock alone; the
// bounds are generous, since a loaded machine is slow rather than wrong.
inline bool wait_until(const std::function<bool()>& condition, double seconds, int poll_ms = 50) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(poll_ms));
    }
}

// Whether two readings of one screen area differ by something drawn: a text caret that blinks
// changes a column or two, whatever an input draws (a glyph, a list, a selection, a typed
// character) spans more.
inline bool drawn_between(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, int width) {
    if (a.size() != b.size() || width <= 0) return true;
    int left = width, right = -1;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            const int x = static_cast<int>(i % static_cast<std::size_t>(width));
            left = std::min(left, x);
            right = std::max(right, x);
        }
    return right - left + 1 > 3;
}

// Waits for `area` to settle after an input: until it shows something drawn since `before`
// (at once when `before` is empty, for an input that need not show), then until
// `still_readings` readings in a row, 100 ms apart, show nothing more drawn. False when
// `seconds` passed first.
inline bool settle(const ScreenArea& area, const std::vector<std::uint32_t>& before, double seconds,
                   int still_readings = 3) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::vector<std::uint32_t> last = ScreenPixels(area);
    bool changed = before.empty() || drawn_between(before, last, area.width);
    int still = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::vector<std::uint32_t> now = ScreenPixels(area);
        if (!changed) {
            changed = drawn_between(before, now, area.width);
        } else if (drawn_between(last, now, area.width)) {
            still = 0;
        } else if (++still >= still_readings) {
            return true;
        }
        last = std::move(now);
    }
    return false;
}

// Waits until the window is mapped and viewable, so that input reaches it.
inline bool wait_viewable(const std::string& id, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (run({"xwininfo", "-id", id}, 10).find("IsViewable") != std::string::npos) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// Clicks into the middle of the screen until the child ends (a click that comes while the
// window is still being made full screen can be lost); its exit code, or empty.
inline std::optional<int> click_until_end(Child& child, int attempts = 10) {
    for (int i = 0; i < attempts; ++i) {
        run({"xdotool", "mousemove", "200", "200", "click", "1"}, 10);
        if (auto code = child.wait(3)) return code;
    }
    return std::nullopt;
}

// The same with a key press (through the X server's test extension, as a keyboard would).
inline std::optional<int> key_until_end(Child& child, const std::string& key, int attempts = 10) {
    for (int i = 0; i < attempts; ++i) {
        run({"xdotool", "key", key}, 10);
        if (auto code = child.wait(3)) return code;
    }
    return std::nullopt;
}

inline std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

using testing_support::wine_path;

// The nine members of `folder`, joined; empty when one is missing.
inline std::string joined_members(const testing_support::TempFolder& folder, int* count = nullptr) {
    std::string joined;
    int n = 0;
    for (int i = 1; i <= 9; ++i) {
        const std::string path = folder.file("Zephlora00" + std::to_string(i) + ".zpk");
        if (!testing_support::exists(path)) continue;
        ++n;
        joined += testing_support::read_bytes(path);
    }
    if (count) *count = n;
    return joined;
}

}  // namespace black_box
