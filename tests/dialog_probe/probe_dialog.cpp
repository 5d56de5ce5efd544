#include "probe_dialog.h"

#include <memory>

#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/draw.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "platform/window.h"

namespace probe {
namespace {

using plat::Point;

std::string at(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

plat::WindowHandlers clicks(const Log& log, const std::string& name) {
    plat::WindowHandlers h;
    h.mouse_down = [log, name](int b, Point p) { log(name + " down " + std::to_string(b) + " " + at(p)); };
    h.mouse_up = [log, name](int b, Point p) { log(name + " up " + std::to_string(b) + " " + at(p)); };
    h.click = [log, name] { log(name + " click"); };
    return h;
}

plat::WindowHandle child(plat::WindowHandle parent, const plat::Rect& r, plat::WindowHandlers h, bool tab_stop,
                         plat::ColorRef color) {
    plat::ChildDesc d;
    d.rect = r;
    d.tab_stop = tab_stop;
    const plat::WindowHandle w = plat::create_child(parent, d, std::move(h));
    const plat::Dc dc = plat::window_dc(w);
    const plat::GdiObject brush = plat::create_solid_brush(color);
    const plat::GdiObject old = plat::select_object(dc, brush);
    plat::pat_blt(dc, 0, 0, r.width(), r.height(), plat::Rop::PatCopy);
    plat::select_object(dc, old);
    plat::delete_object(brush);
    plat::update_window(w);
    return w;
}

plat::FontDesc font() {
    plat::FontDesc f;
    f.height = -13;
    f.face = "Arial";
    return f;
}

}  // namespace

plat::WindowHandle build(Log log) {
    plat::WindowDesc desc;
    desc.title = kTitle;
    desc.style = plat::WindowStyle::Dialog;
    desc.rect = kDialog;
    auto state = std::make_shared<plat::WindowHandle>();
    plat::WindowHandlers dh = clicks(log, "dialog");
    dh.timer = [log, state](int id) {
        plat::kill_timer(*state, id);
        log("tick " + std::to_string(id));
    };
    const plat::WindowHandle dialog = plat::create_window(desc, std::move(dh));
    *state = dialog;
    {
        const plat::Dc dc = plat::window_dc(dialog);
        plat::pat_blt(dc, 0, 0, kDialog.width(), kDialog.height(), plat::Rop::Whiteness);
    }

    // A child with a corner cut away: a press there belongs to the dialog.
    const plat::WindowHandle region = child(dialog, kRegionChild, clicks(log, "R"), false, 0x0000C000);
    const plat::GdiObject all = plat::create_rect_rgn(0, 0, kRegionChild.width(), kRegionChild.height());
    const plat::GdiObject corner = plat::create_rect_rgn(0, 0, 20, 20);
    plat::combine_rgn(all, all, corner, plat::RegionOp::Diff);
    plat::delete_object(corner);
    plat::set_window_region(region, all, true);

    // A child that holds the mouse from its press to its release.
    auto capture = std::make_shared<plat::WindowHandle>();
    plat::WindowHandlers ch = clicks(log, "C");
    ch.mouse_down = [log, capture](int b, Point p) {
        plat::set_capture(*capture);
        log("C down " + std::to_string(b) + " " + at(p));
    };
    ch.mouse_up = [log](int b, Point p) {
        plat::release_capture();
        log("C up " + std::to_string(b) + " " + at(p));
    };
    auto last_move = std::make_shared<std::string>();
    ch.mouse_move = [log, capture, last_move](int, Point p) {
        if (plat::get_capture() != *capture) return;
        const bool in = p.x >= 0 && p.y >= 0 && p.x < kCaptureChild.width() && p.y < kCaptureChild.height();
        const std::string line = std::string("C move ") + (in ? "in" : "out");
        if (line != *last_move) log(line);  // one line for a run of moves
        *last_move = line;
    };
    *capture = child(dialog, kCaptureChild, std::move(ch), false, 0x00C00000);

    // Two tab stops, then the combo box.
    plat::WindowHandle first{};
    for (int i = 0; i < 2; ++i) {
        const std::string name = i == 0 ? "A" : "B";
        plat::WindowHandlers h;
        h.focus_gained = [log, name] { log(name + " focus"); };
        h.focus_lost = [log, name] { log(name + " blur"); };
        const plat::WindowHandle w = child(dialog, i == 0 ? kFirstStop : kSecondStop, std::move(h), true, 0x00808080);
        if (i == 0) first = w;
    }
    plat::ComboDesc cd;
    cd.rect = kCombo;
    cd.font = font();
    for (int i = 1; i <= 10; ++i) cd.items.push_back(std::to_string(i));
    cd.list_rows = 4;
    auto combo = std::make_shared<plat::WindowHandle>();
    plat::ComboHandlers comboh;
    comboh.change = [log, combo] { log("combo text " + plat::combo_text(*combo)); };
    comboh.select = [log, combo] { log("combo select " + std::to_string(plat::combo_selection(*combo))); };
    *combo = plat::create_combo_box(dialog, cd, std::move(comboh));

    // The file chooser, answered or cancelled by whoever drives the probe.
    plat::WindowHandlers fh;
    fh.click = [log, dialog] {
        plat::OpenFileRequest r;
        r.owner = dialog;
        r.title = kChooserTitle;
        r.filter = std::string("Music (MP3 WAV)\0*.MP3;*.WAV\0\0", 30);
        const plat::OpenFileResult answer = plat::get_open_file_name(r);
        log("file " + std::to_string(answer.result > 0 ? 1 : 0) + (answer.result > 0 ? " " + answer.file_title : ""));
    };
    child(dialog, kFileButton, std::move(fh), false, 0x00FF8080);

    // The web link: a label with the hand cursor that opens its address.
    plat::LabelDesc ld;
    ld.rect = kLink;
    ld.text = kLinkAddress;
    ld.font = font();
    ld.font.underline = true;
    ld.color = 0x00FF0000;
    plat::WindowHandlers lh;
    lh.click = [log, dialog] {
        plat::set_busy_cursor(true);
        const std::intptr_t r = plat::shell_execute(dialog, "open", kLinkAddress, "", "", plat::kSwShowNormal);
        plat::set_busy_cursor(false);
        log(r > 32 ? "shell ok" : "shell failed");
    };
    const plat::WindowHandle link = plat::create_label(dialog, ld, std::move(lh));
    plat::set_window_cursor(link, plat::CursorKind::Hand);

    plat::WindowHandlers qh;
    qh.click = [log, dialog, combo] {
        log("end " + plat::combo_text(*combo));
        plat::destroy_window(dialog);
    };
    child(dialog, kQuit, std::move(qh), false, 0x000000C0);

    // The zoom to the dialog, then the dialog, the focus on the first stop, and a timer that
    // must not tick while the program sleeps outside the event pump.
    plat::Rect to;
    plat::get_window_rect(dialog, to);
    plat::draw_animated_rects(dialog, 3, {0, 0, 0, 0}, to);
    plat::show_window(dialog, true);
    plat::set_focus(first);
    plat::set_timer(dialog, 7, 10);
    plat::sleep_ms(60);
    log("slept");
    return dialog;
}

}  // namespace probe
