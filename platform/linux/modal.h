// The program's end on the system's request, and the modal loops of other libraries.
//
// SIGTERM, SIGINT, SIGHUP and SIGQUIT (a logout, `kill`, `timeout`, Ctrl+C) end the program as
// closing its windows does: the pump sees the request and closes them, so a full-screen run
// deletes its members on the way out. While another library's modal loop runs (SDL's message
// box, GTK's file chooser), the pump does not run; the request then ends the process at once
// and takes the box with it, since nothing the program holds needs more than that (the dialog
// writes nothing it was not told to save).
#pragma once

#include <sys/types.h>

namespace plat::linux_modal {

// Installs the handlers; once, before SDL starts (SDL leaves handlers that are there alone).
void install_end_handlers();

// True once an end was requested; the pump then closes every window.
bool end_requested();

// While one lives, a request ends the process at once. A box scope also makes every process
// forked meanwhile (SDL shows its box in a child) end with the program, hold none of its
// locks, and draw the box's Japanese text whatever the user's locale.
class Scope {
public:
    enum class Kind { Chooser, Box };
    explicit Scope(Kind kind);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    Kind kind_;
};

}  // namespace plat::linux_modal
