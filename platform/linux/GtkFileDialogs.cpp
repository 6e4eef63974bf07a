// The open and save file dialogs of the desktop backend (GTK3), the string
// release and the program's own path.
//
// Conventions: dialogs are modal, kept above other windows so that they show
// over the fullscreen editor window, and start in the folder of the path
// given (a folder, or the program's own file). Paths returned are
// heap copies made with strdup, released with FreeString. A name typed into
// the save dialog without an extension gets the default extension. The open
// dialog lists the place the program names among its shortcut folders. The
// name field starts empty.
#include <gtk/gtk.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/FileDialogSupport.h"

namespace {

// The dialogs' memory: the folder the open dialog offers as a place.
struct DialogSettings {
    std::string openPlace;
};
DialogSettings sDialogs;

bool EnsureGtk() {
    static bool started = false;
    if (!started) started = gtk_init_check(nullptr, nullptr) != FALSE;
    return started;
}

void AddFilters(GtkFileChooser* chooser, const char* filter) {
    for (const desktop::FilterEntry& entry : desktop::ParseFilter(filter)) {
        GtkFileFilter* gtkFilter = gtk_file_filter_new();
        gtk_file_filter_set_name(gtkFilter, entry.description.c_str());
        for (const std::string& pattern : entry.patterns)
            gtk_file_filter_add_pattern(gtkFilter, desktop::CaseInsensitiveGlob(pattern).c_str());
        gtk_file_chooser_add_filter(chooser, gtkFilter);  // takes the floating reference
    }
}

// Without a window manager nothing hands a new window the keyboard focus,
// and the fullscreen editor window keeps it; a dialog that cannot be typed
// into is useless, so it takes the focus itself once it is on the screen.
// The request carries the current server time: GTK's own last user time is
// older than the editor window's focus and would be ignored.
gboolean FocusWhenMapped(GtkWidget* widget, GdkEvent*, gpointer) {
    if (GdkWindow* window = gtk_widget_get_window(widget)) gdk_window_focus(window, GDK_CURRENT_TIME);
    return FALSE;
}

// GTK completes an empty name field once the folder has loaded, with the
// common beginning of what the folder lists; with the map filter that is
// the only subfolder's name ("X11/" in /usr/bin), which a Return would then
// enter. An empty field takes no such prefix; Tab still completes, and a
// field with text completes as before.
gboolean KeepNameEmpty(GtkEntryCompletion* completion, gchar*, gpointer) {
    GtkWidget* entry = gtk_entry_completion_get_entry(completion);
    return entry != nullptr && GTK_IS_ENTRY(entry) &&
           gtk_entry_get_text_length(GTK_ENTRY(entry)) == 0;
}

void GuardNameFields(GtkWidget* widget, gpointer) {
    if (GTK_IS_ENTRY(widget)) {
        if (GtkEntryCompletion* completion = gtk_entry_get_completion(GTK_ENTRY(widget)))
            g_signal_connect(completion, "insert-prefix", G_CALLBACK(KeepNameEmpty), nullptr);
    }
    if (GTK_IS_CONTAINER(widget))
        gtk_container_forall(GTK_CONTAINER(widget), &GuardNameFields, nullptr);
}

char* RunFileDialog(bool save, const char* title, const char* defaultExtension,
                    const char* filter, const char* initialPath) {
    if (!EnsureGtk()) return nullptr;
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        title != nullptr ? title : "", nullptr,
        save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Abbrechen",
        GTK_RESPONSE_CANCEL, save ? "_Speichern" : "_Öffnen", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    AddFilters(chooser, filter);
    const std::string folder = desktop::InitialFolder(initialPath);
    if (!folder.empty()) gtk_file_chooser_set_current_folder(chooser, folder.c_str());
    if (save) gtk_file_chooser_set_current_name(chooser, "");
    GuardNameFields(dialog, nullptr);
    if (!save && !sDialogs.openPlace.empty())
        gtk_file_chooser_add_shortcut_folder(chooser, sDialogs.openPlace.c_str(), nullptr);
    gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
    g_signal_connect(dialog, "map-event", G_CALLBACK(FocusWhenMapped), nullptr);

    char* result = nullptr;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        gchar* chosen = gtk_file_chooser_get_filename(chooser);
        std::string path = chosen != nullptr ? chosen : "";
        g_free(chosen);
        if (save) path = desktop::WithDefaultExtension(path, defaultExtension);
        result = strdup(path.c_str());
    }
    gtk_widget_destroy(dialog);
    // Let the dialog vanish from the screen before the editor draws again.
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    if (GdkDisplay* display = gdk_display_get_default()) gdk_display_flush(display);
    return result;
}

}  // namespace

namespace plat {

char* OpenFileDialog(const char* title, const char* defaultExtension, const char* filter,
                     const char* initialPath) {
    return RunFileDialog(false, title, defaultExtension, filter, initialPath);
}

char* SaveFileDialog(const char* title, const char* defaultExtension, const char* filter,
                     const char* initialPath) {
    return RunFileDialog(true, title, defaultExtension, filter, initialPath);
}

void FreeString(char* text) { std::free(text); }

void SetOpenDialogPlace(const char* folder) { sDialogs.openPlace = folder != nullptr ? folder : ""; }

const char* ProgramPath() {
    static std::string path;
    if (path.empty()) {
        char buffer[PATH_MAX + 1];
        const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
        if (length > 0) path.assign(buffer, size_t(length));
    }
    return path.c_str();
}

}  // namespace plat
