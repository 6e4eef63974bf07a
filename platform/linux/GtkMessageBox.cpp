// Message boxes of the desktop backend, shown with GTK3.
//
// Conventions: a box is a modal GTK dialog with the given title,
// text (UTF-8), the icon the MB_ICON* flag names and one "OK" button, which
// has the focus, so Return or Escape dismiss it; a question box has two
// buttons of given labels, the first focused (Return), Escape and the close
// box answering with the second. It is kept above other
// windows and takes the keyboard focus itself once mapped, so that it shows
// and can be answered over the fullscreen editor window even without a
// window manager. GTK draws with the system's scalable fonts through
// fontconfig; no X core fonts are needed. Without a display the text goes
// to standard error, so a message is never lost, and a question is answered
// with its second button.
#include <gtk/gtk.h>

#include <cstdio>

#include "platform/Platform.h"

namespace {

bool EnsureGtk() {
    static bool started = false;
    if (!started) started = gtk_init_check(nullptr, nullptr) != FALSE;
    return started;
}

// Theme icon for the MB_ICON* flag; null for none. (GTK's own message
// dialog no longer shows an icon, so the box is built from a plain dialog.)
const char* IconFor(unsigned flags) {
    switch (flags & 0xF0) {
    case plat::MB_ICONHAND: return "dialog-error";
    case plat::MB_ICONEXCLAMATION: return "dialog-warning";
    case plat::MB_ICONINFORMATION: return "dialog-information";
    default: return nullptr;
    }
}

// See GtkFileDialogs.cpp: without a window manager nothing else gives the
// new box the keyboard focus, which the fullscreen window would keep.
gboolean FocusWhenMapped(GtkWidget* widget, GdkEvent*, gpointer) {
    if (GdkWindow* window = gtk_widget_get_window(widget)) gdk_window_focus(window, GDK_CURRENT_TIME);
    return FALSE;
}

// Shows the box with one or two buttons and runs it; the response, 0 for
// the first button, 1 for the second, negative for Escape or the close box.
int RunBox(const char* text, const char* title, unsigned flags, const char* first,
           const char* second) {
    GtkWidget* box =
        gtk_dialog_new_with_buttons(title, nullptr, GTK_DIALOG_MODAL, first, 0, second, 1, nullptr);
    gtk_dialog_set_default_response(GTK_DIALOG(box), 0);
    gtk_window_set_resizable(GTK_WINDOW(box), FALSE);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
    gtk_container_set_border_width(GTK_CONTAINER(row), 12);
    if (const char* icon = IconFor(flags))
        gtk_box_pack_start(GTK_BOX(row), gtk_image_new_from_icon_name(icon, GTK_ICON_SIZE_DIALOG),
                           FALSE, FALSE, 0);
    GtkWidget* label = gtk_label_new(text);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 60);
    gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
    gtk_box_pack_start(GTK_BOX(row), label, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(box))), row, TRUE, TRUE, 0);
    gtk_widget_show_all(row);
    gtk_window_set_keep_above(GTK_WINDOW(box), TRUE);
    gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
    g_signal_connect(box, "map-event", G_CALLBACK(FocusWhenMapped), nullptr);
    if (GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(box), 0))
        gtk_widget_grab_focus(button);
    const int response = gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
    // Let the box vanish from the screen before the program goes on.
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    if (GdkDisplay* display = gdk_display_get_default()) gdk_display_flush(display);
    return response;
}

}  // namespace

namespace plat {

int MessageBox(WindowHandle owner, const char* text, const char* title, unsigned flags) {
    (void)owner;  // an SDL window cannot parent a GTK one; keep-above stands in
    const char* safeText = text != nullptr ? text : "";
    const char* safeTitle = title != nullptr ? title : "";
    if (!EnsureGtk()) {
        std::fprintf(stderr, "%s: %s\n", safeTitle, safeText);
        return 1;  // IDOK
    }
    RunBox(safeText, safeTitle, flags, "OK", nullptr);
    return 1;  // IDOK: callers only ever offer OK
}

bool AskBox(WindowHandle owner, const char* text, const char* title, unsigned flags,
            const char* first, const char* second) {
    (void)owner;
    const char* safeText = text != nullptr ? text : "";
    const char* safeTitle = title != nullptr ? title : "";
    if (!EnsureGtk()) {
        std::fprintf(stderr, "%s: %s (%s)\n", safeTitle, safeText, second);
        return false;
    }
    return RunBox(safeText, safeTitle, flags, first, second) == 0;
}

}  // namespace plat
