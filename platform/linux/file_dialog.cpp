// The file-open dialog of the Linux back end: the desktop's own chooser through GTK 3's
// GtkFileChooserNative (the desktop portal where one runs, GTK's dialog elsewhere). While it
// is up the program's windows take no input (what they are sent is dropped, as a disabled
// owner drops it) but still repaint when uncovered, so the chooser is modal to them all.
// GTK's own dialog is marked as the owner's passing window, as a common dialog is owned by
// its hwndOwner: the window manager keeps it above the owner and centres it there.
#include <gtk/gtk.h>

#include "common/texts.h"
#include "platform/dialogs.h"
#include "platform/linux/dispatch.h"
#include "platform/linux/modal.h"
#include "platform/linux/window_registry.h"
#include "platform/linux/x11.h"
#include "platform/emulation/file_dialog.h"
#include "platform/text.h"
#include "platform/user32/window_tree.h"
#include "platform/window.h"

namespace plat {
namespace {

bool gtk_ready() {
    static const bool ready = [] {
        // The program keeps the C locale: number formats in the settings file depend on it.
        gtk_disable_setlocale();
        return gtk_init_check(nullptr, nullptr) != FALSE;
    }();
    return ready;
}

// The program's windows while the chooser is up: repaints only.
gboolean keep_painted(gpointer) {
    SDL_Event e;
    while (SDL_PollEvent(&e))
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) linux_window::dispatch(e);
    return G_SOURCE_CONTINUE;
}

// Every top-level GTK window realized while the chooser runs (its dialog; not menus or
// pop-ups, which GTK places itself) becomes a passing window of the owner before it maps.
gboolean mark_passing(GSignalInvocationHint*, guint count, const GValue* params, gpointer owner) {
    if (count < 1) return TRUE;
    GtkWidget* widget = GTK_WIDGET(g_value_get_object(&params[0]));
    if (!GTK_IS_WINDOW(widget) || gtk_window_get_window_type(GTK_WINDOW(widget)) != GTK_WINDOW_TOPLEVEL ||
        gtk_window_get_transient_for(GTK_WINDOW(widget)))
        return TRUE;
    if (const unsigned long xid = x11::gdk_window_xid(gtk_widget_get_window(widget)))
        x11::set_transient_for(xid, static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(owner)));
    return TRUE;
}

// The owner's X11 window: that of the top-level window that holds it.
unsigned long owner_window(WindowHandle owner) {
    const linux_window::Window* w = linux_window::find(user32::window_tree().root_of(owner));
    return w ? w->xid : 0;
}

void settle() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

}  // namespace

OpenFileResult get_open_file_name(const OpenFileRequest& request) {
    if (!gtk_ready()) return {};
    const std::string title = cp932_to_utf8(request.title);
    GtkFileChooserNative* native = gtk_file_chooser_native_new(
        title.c_str(), nullptr, GTK_FILE_CHOOSER_ACTION_OPEN, "_Open", "_Cancel");
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(native);
    gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(native), TRUE);
    for (const emulation::FileFilter& f : emulation::parse_filter(request.filter)) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, cp932_to_utf8(f.description).c_str());
        for (const std::string& p : f.patterns) gtk_file_filter_add_pattern(filter, emulation::case_blind_pattern(p).c_str());
        gtk_file_chooser_add_filter(chooser, filter);  // the chooser takes it
    }
    if (!request.initial_folder.empty())
        gtk_file_chooser_set_current_folder(chooser, cp932_to_utf8(request.initial_folder).c_str());
    std::optional<std::string> path;
    bool unusable = false;
    const guint painter = g_timeout_add(50, keep_painted, nullptr);
    const guint realize = g_signal_lookup("realize", GTK_TYPE_WIDGET);
    const unsigned long owner = owner_window(request.owner);
    const gulong hook = owner ? g_signal_add_emission_hook(realize, 0, mark_passing,
                                                           reinterpret_cast<gpointer>(static_cast<std::uintptr_t>(owner)), nullptr)
                              : 0;
    // The owner loses the mouse as a window does when another takes over: the press that
    // opened the chooser is released over the chooser, and its release is never seen here.
    release_capture();
    gint response;
    {
        const linux_modal::Scope chooser(linux_modal::Scope::Kind::Chooser);
        response = gtk_native_dialog_run(GTK_NATIVE_DIALOG(native));
    }
    if (hook) g_signal_remove_emission_hook(realize, hook);
    g_source_remove(painter);
    if (response == GTK_RESPONSE_ACCEPT) {
        if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
            // A name with no CP932 form cannot be handed on in the program's code page: the user
            // is told, and the answer is no file (the previous choice stays).
            std::string cp932;
            if (utf8_to_cp932(name, cp932)) path = std::move(cp932);
            else unusable = true;
            g_free(name);
        }
    }
    gtk_native_dialog_destroy(GTK_NATIVE_DIALOG(native));
    g_object_unref(native);
    settle();  // the dialog's window goes before the program's windows draw again
    if (unusable)
        message_box(request.owner, texts::kFileNameUnusable, texts::kMessageTitle, kMbIconExclamation);
    return emulation::open_file_answer(request, path);
}

}  // namespace plat
