// The whole Linux saver, started as a user starts it (`zephlora /s` from a portable copy) in a
// virtual X server of its own of the case's size: the time from the start to the first
// frame on screen, the resident memory after a few seconds of running and the share of a
// core that the running saver takes.
//
//   saver_bench [--benchmark_filter=...]
//   ZEPHLORA_BENCH_DISPLAY=63   the X display number to use (else the X server picks a free one)
//   ZEPHLORA_BENCH_SECONDS=5    how long the saver runs before memory and CPU are read
//   ZEPHLORA_BENCH_CHECK=1      a case fails when an OpenGL library is mapped or the resident
//                               memory passes its bound (CTest's short run sets it)
//
// Counters: first_frame_ms (from the fork to the first non-black pixel in the middle of the
// screen, read through XGetImage), rss_MB and hwm_MB (VmRSS and VmHWM), cpu_percent (utime +
// stime over the seconds after the first frame, of one core), wakeups_per_s (the times a
// second the saver waited and was woken, as voluntary context switches: at 60 frames a second
// each wait more than one a frame costs as much as the frame's drawing), gl (1 when an OpenGL
// library is mapped into the saver).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kLinuxExe = ZEPHLORA_LINUX_EXE;

double env_number(const char* name, double fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atof(text) : fallback;
}

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int out_fd = -1,
            int keep_fd = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // NAME=value sets a variable, a bare NAME takes it away.
    for (const std::string& e : env)
        if (e.find('=') == e.npos) unsetenv(e.c_str());
        else putenv(const_cast<char*>(e.c_str()));
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(out_fd >= 0 ? out_fd : null, 1);
    dup2(null, 2);
    if (keep_fd >= 0) fcntl(keep_fd, F_SETFD, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A virtual X server of the given size with a black root window (the default weave would
// count as a picture); ends with the object.
class XServer {
public:
    XServer(int width, int height) {
        const std::string size = std::to_string(width) + "x" + std::to_string(height) + "x24";
        std::vector<std::string> args{"Xvfb"};
        int fds[2] = {-1, -1};
        if (const char* fixed = std::getenv("ZEPHLORA_BENCH_DISPLAY"); fixed && *fixed) {
            display_ = std::string(":") + fixed;
            args.push_back(display_);
        } else if (pipe(fds) == 0) {
            args.insert(args.end(), {"-displayfd", std::to_string(fds[1])});
        }
        args.insert(args.end(), {"-screen", "0", size, "-nolisten", "tcp", "-br"});
        pid_ = spawn(args, {}, -1, fds[1]);
        if (fds[1] >= 0) {
            close(fds[1]);
            char number[32] = {};
            const ssize_t n = read(fds[0], number, sizeof number - 1);
            close(fds[0]);
            if (n > 0) display_ = ":" + std::string(number, static_cast<std::size_t>(n)).substr(0, std::strcspn(number, "\n"));
        }
        // The server takes connections once it has started.
        for (int i = 0; i < 500 && !x_; ++i) {
            x_ = XOpenDisplay(display_.c_str());
            if (!x_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~XServer() {
        if (x_) XCloseDisplay(x_);
        stop(pid_);
    }
    Display* x() const { return x_; }
    const std::string& name() const { return display_; }

    // Whether any pixel of the square of side 2 * half around (x, y) of the screen is not black.
    bool lit(int x, int y, int half) const {
        XImage* image = XGetImage(x_, DefaultRootWindow(x_), x - half, y - half, 2 * half, 2 * half, AllPlanes, ZPixmap);
        if (!image) return false;
        bool any = false;
        for (int j = 0; j < image->height && !any; ++j)
            for (int i = 0; i < image->width && !any; ++i) any = (XGetPixel(image, i, j) & 0xFFFFFF) != 0;
        XDestroyImage(image);
        return any;
    }

private:
    pid_t pid_ = -1;
    std::string display_;
    Display* x_ = nullptr;
};

// The process's processor time (utime + stime) in seconds.
double cpu_seconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t paren = text.rfind(')');
    if (paren == std::string::npos) return 0;
    std::istringstream fields(text.substr(paren + 2));
    std::string field;
    double utime = 0, stime = 0;
    // Fields 3 onwards; utime and stime are 14 and 15.
    for (int n = 3; n <= 15 && fields >> field; ++n) {
        if (n == 14) utime = std::atof(field.c_str());
        if (n == 15) stime = std::atof(field.c_str());
    }
    return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A field of /proc/PID/status, the number as it stands there.
double status_field(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + field.size());
    return 0;
}

// A field of /proc/PID/status in kilobytes, in megabytes (2^20 bytes).
double status_mb(pid_t pid, const std::string& field) { return status_field(pid, field) / 1024.0; }

bool maps_opengl(pid_t pid) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find("libGL") != line.npos || line.find("libEGL") != line.npos || line.find("_dri.so") != line.npos)
            return true;
    return false;
}

// args: width, height, display scale (0: none given), bound of the resident memory in MB.
void BM_WholeSaver(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    const int scale = static_cast<int>(state.range(2));
    const double bound_mb = static_cast<double>(state.range(3));
    const bool check = env_number("ZEPHLORA_BENCH_CHECK", 0) != 0;
    const double seconds = env_number("ZEPHLORA_BENCH_SECONDS", 5);
    const std::filesystem::path exe(kLinuxExe);
    for (auto _ : state) {
        XServer server(width, height);
        if (!server.x()) {
            state.SkipWithError("the virtual X server did not start");
            return;
        }
        // A portable copy: the settings and members stay in its own folder.
        testing_support::TempFolder folder("saver-bench");
        std::filesystem::copy_file(exe, folder.file("zephlora"));
        std::filesystem::copy_file(exe.parent_path() / "Zephlora.zpk", folder.file("Zephlora.zpk"));
        std::filesystem::permissions(folder.file("zephlora"), std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
        const std::vector<std::string> env{"DISPLAY=" + server.name(),
                                           scale > 0 ? "GDK_SCALE=" + std::to_string(scale) : "GDK_SCALE"};

        const Clock::time_point start = Clock::now();
        const pid_t saver = spawn({folder.file("zephlora"), "/s"}, env);
        bool shown = false;
        // Polled with a short pause, so that the poll takes little of the processor that the
        // saver and the X server start on.
        while (!shown && Clock::now() - start < std::chrono::seconds(20)) {
            shown = server.lit(width / 2, height / 2, 8);
            if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const double first_frame = std::chrono::duration<double>(Clock::now() - start).count();
        if (!shown) {
            stop(saver);
            state.SkipWithError("no frame on screen within 20 s");
            return;
        }
        state.SetIterationTime(first_frame);
        // A second for the start-up's remains, then the running saver alone.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double cpu0 = cpu_seconds(saver), waits0 = status_field(saver, "voluntary_ctxt_switches:");
        const Clock::time_point t0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        const double cpu1 = cpu_seconds(saver), waits1 = status_field(saver, "voluntary_ctxt_switches:");
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        state.counters["first_frame_ms"] = 1000.0 * first_frame;
        state.counters["rss_MB"] = status_mb(saver, "VmRSS:");
        state.counters["hwm_MB"] = status_mb(saver, "VmHWM:");
        state.counters["cpu_percent"] = 100.0 * (cpu1 - cpu0) / wall;
        state.counters["wakeups_per_s"] = (waits1 - waits0) / wall;
        const bool gl = maps_opengl(saver);
        state.counters["gl"] = gl ? 1 : 0;
        int status = 0;
        const bool ended = waitpid(saver, &status, WNOHANG) != 0;
        stop(saver);
        if (ended) state.SkipWithError("the saver ended by itself");
        else if (check && gl) state.SkipWithError("an OpenGL library is mapped into the saver");
        else if (check && state.counters["hwm_MB"] > bound_mb) state.SkipWithError("resident memory above its bound");
    }
}

BENCHMARK(BM_WholeSaver)
    ->ArgNames({"width", "height", "scale", "bound_MB"})
    ->Args({1920, 1080, 0, 64})
    ->Args({3840, 2160, 2, 96})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
