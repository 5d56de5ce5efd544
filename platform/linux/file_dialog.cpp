// The file-open dialog of the Linux back end: the desktop's own chooser through GTK 3's
// GtkFileChooserNative (the desktop portal where one runs, GTK's dialog elsewhere). While it
// is up the program's windows get no events, so it is modal to them all.
#include <gtk/gtk.h>

#include "platform/dialogs.h"
#include "platform/posix/file_dialog.h"
#include "platform/text.h"

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
    for (const posix::FileFilter& f : posix::parse_filter(request.filter)) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, cp932_to_utf8(f.description).c_str());
        for (const std::string& p : f.patterns) gtk_file_filter_add_pattern(filter, posix::case_blind_pattern(p).c_str());
        gtk_file_chooser_add_filter(chooser, filter);  // the chooser takes it
    }
    if (!request.initial_folder.empty())
        gtk_file_chooser_set_current_folder(chooser, cp932_to_utf8(request.initial_folder).c_str());
    std::optional<std::string> path;
    if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(native)) == GTK_RESPONSE_ACCEPT) {
        if (gchar* name = gtk_file_chooser_get_filename(chooser)) {
            // A name with no CP932 form cannot be handed on in the program's code page.
            std::string cp932;
            if (utf8_to_cp932(name, cp932)) path = std::move(cp932);
            g_free(name);
        }
    }
    gtk_native_dialog_destroy(GTK_NATIVE_DIALOG(native));
    g_object_unref(native);
    settle();  // the dialog's window goes before the program's windows draw again
    return posix::open_file_answer(request, path);
}

}  // namespace plat
