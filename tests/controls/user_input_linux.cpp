// The Linux back end in the virtual X server: xdotool gives the input through the X server's
// test extension (the pointer moves, the buttons and keys are pressed for real), and the event
// pump takes it from SDL as it takes a user's.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/window.h"
#include "tests/controls/user_input.h"

namespace control_test {
namespace {

// The X server hands the events to SDL a moment later: pump for a short while.
void settle() {
    for (int round = 0; round < 12; ++round) {
        plat::pump_events();
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
    }
}

void xdotool(const std::string& args) {
    const std::string command = "xdotool " + args + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
    settle();
}

void move_pointer(plat::WindowHandle window, plat::Point client) {
    plat::client_to_screen(window, client);
    xdotool("mousemove " + std::to_string(client.x) + " " + std::to_string(client.y));
}

const char* keysym(int vk) {
    switch (vk) {
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 32: return "space";
    default: return "Escape";
    }
}

int x_button(int button) { return button == 1 ? 1 : button == 2 ? 3 : 2; }

}  // namespace

// One host for the whole program, as on Windows.
plat::WindowHandle make_host(int width, int height) {
    static plat::WindowHandle host = plat::WindowHandle::None;
    if (host == plat::WindowHandle::None) {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) return host;
        plat::WindowDesc desc;
        desc.title = "controls";
        desc.style = plat::WindowStyle::Popup;
        desc.rect = {100, 100, 100 + width, 100 + height};
        host = plat::create_window(desc, {});
        if (host == plat::WindowHandle::None) return host;
        plat::show_window(host, true);
    }
    plat::move_window(host, 100, 100, width, height);
    settle();
    return host;
}

void close_host(plat::WindowHandle) { settle(); }

void press(plat::WindowHandle window, plat::Point client, int button) {
    move_pointer(window, client);
    xdotool("mousedown " + std::to_string(x_button(button)));
}

void move(plat::WindowHandle window, plat::Point client) { move_pointer(window, client); }

void release(plat::WindowHandle window, plat::Point client, int button) {
    move_pointer(window, client);
    xdotool("mouseup " + std::to_string(x_button(button)));
}

void key(plat::WindowHandle window, int virtual_key) {
    plat::set_focus(window);
    xdotool(std::string("key ") + keysym(virtual_key));
}

}  // namespace control_test
