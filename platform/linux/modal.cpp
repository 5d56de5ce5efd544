#include "platform/linux/modal.h"

#include <dlfcn.h>
#include <langinfo.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace plat::linux_modal {
namespace {

volatile std::sig_atomic_t end_signal = 0;
volatile std::sig_atomic_t modal_depth = 0;
volatile std::sig_atomic_t box_depth = 0;
volatile pid_t box_child = 0;

constexpr int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// Only async-signal-safe calls here.
void on_end_signal(int number) {
    end_signal = number;
    if (modal_depth > 0) {
        if (box_child > 0) ::kill(box_child, SIGKILL);
        ::_exit(0);
    }
}

bool is_utf8_locale() {
    const char* codeset = ::nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// The box child draws its text in the locale of the environment (SDL sets it from there),
// whose character set must hold Japanese: a user's own UTF-8 locale stays; otherwise (LANG=C,
// no LANG at all, a Latin-1 locale) a Japanese one where the system has it, else C.UTF-8.
void use_a_utf8_locale() {
    if (std::setlocale(LC_ALL, "") && is_utf8_locale()) return;
    for (const char* name : {"ja_JP.UTF-8", "C.UTF-8"}) {
        if (std::setlocale(LC_ALL, name)) {
            ::setenv("LC_ALL", name, 1);
            return;
        }
    }
}

}  // namespace

void install_end_handlers() {
    struct sigaction action {};
    action.sa_handler = on_end_signal;
    sigemptyset(&action.sa_mask);
    for (int number : kEndSignals) ::sigaction(number, &action, nullptr);
}

bool end_requested() { return end_signal != 0; }

Scope::Scope(Kind kind) : kind_(kind) {
    if (end_signal != 0) ::_exit(0);  // asked to end before the loop began
    if (kind_ == Kind::Box) box_depth = box_depth + 1;
    modal_depth = modal_depth + 1;
}

Scope::~Scope() {
    modal_depth = modal_depth - 1;
    if (kind_ == Kind::Box) {
        box_depth = box_depth - 1;
        if (box_depth == 0) box_child = 0;
    }
}

}  // namespace plat::linux_modal

// SDL forks a child for its X11 message box and waits for it. The program's fork, which the
// libraries' calls reach, marks a child made while a box is up: it is killed when the program
// ends (even by SIGKILL), it ends at once should the program be gone already, and it draws
// Japanese whatever the locale. Record locks (the one-copy guard) are never inherited.
extern "C" pid_t fork() noexcept {
    using Fork = pid_t (*)();
    // The fork that this one stands in front of: AddressSanitizer's where the program is built
    // with it (its locks keep the child sound), else the C library's.
    static const Fork system_fork = [] {
        if (void* sanitizer = ::dlsym(RTLD_DEFAULT, "__interceptor_fork")) return reinterpret_cast<Fork>(sanitizer);
        return reinterpret_cast<Fork>(::dlsym(RTLD_NEXT, "fork"));
    }();
    if (!system_fork) return -1;
    const bool for_box = plat::linux_modal::box_depth > 0;
    const pid_t parent = ::getpid();
    const pid_t pid = system_fork();
    if (pid == 0 && for_box) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) ::_exit(1);
        plat::linux_modal::use_a_utf8_locale();
    } else if (pid > 0 && for_box) {
        plat::linux_modal::box_child = pid;
    }
    return pid;
}
