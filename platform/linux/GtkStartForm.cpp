// The start form of the desktop backend, on GTK3.
//
// Conventions: one form per program. Its client area is a GtkFixed of the
// described size with every control placed at its rectangle (pixels, origin
// top-left). A small CSS theme (8-point sans, narrow paddings) keeps the
// controls inside their rectangles, which were laid out for an 8-point
// system font. The window is a fixed-size dialog, centred on the screen.
// Closing it ends gtk_main, and with it RunForm.
#include <gtk/gtk.h>

#include <cstdio>
#include <vector>

#include "platform/Platform.h"

namespace {

GtkWidget* gForm = nullptr;
std::vector<GtkWidget*> gItems;
plat::ClickHandler gOnButton = nullptr;
bool gGtkStarted = false;

// Scoped to the form (widget name "start-form") so that the file dialogs
// keep the theme's own sizes.
const char* kFormCss =
    "#start-form, #start-form * { font-family: Sans; font-size: 8pt; }\n"
    "#start-form frame { padding: 0; margin: 0; }\n"
    "#start-form frame > border { border-radius: 0; }\n"
    "#start-form frame > label { padding: 0 2px; margin: 0; }\n"
    "#start-form radiobutton { padding: 0 2px; margin: 0; min-height: 0; }\n"
    "#start-form radiobutton radio { min-width: 10px; min-height: 10px; margin: 0 4px 0 0;"
    " padding: 0; -gtk-icon-transform: scale(0.8); }\n"
    "#start-form radiobutton label { padding: 0; margin: 0; }\n"
    "#start-form button { padding: 0; margin: 0; min-height: 0; min-width: 0; }\n"
    "#start-form button label { padding: 0; margin: 0; }\n";

void ApplyCss() {
    GtkCssProvider* provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, kFormCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                              GTK_STYLE_PROVIDER(provider),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(provider);
}

int gDescribedIndex = -1;
bool gUserChose = false;  // an item was toggled since the form was shown

void OnItemToggled(GtkToggleButton*, gpointer) { gUserChose = true; }

void OnButtonClicked(GtkButton*, gpointer) {
    if (gOnButton != nullptr) gOnButton();
}

void OnFormDestroyed(GtkWidget*, gpointer) {
    gForm = nullptr;
    gItems.clear();
    gtk_main_quit();
}

// Lets GTK carry out what is pending (unmap, redraw) and sends it to the
// display server, so the screen shows the result before a long call.
void FlushDisplay() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
    if (GdkDisplay* display = gdk_display_get_default()) gdk_display_sync(display);
}

GtkWidget* BuildRadioGroup(const plat::FormDescription& form) {
    GtkWidget* frame = gtk_frame_new(form.groupCaption);
    gtk_frame_set_label_align(GTK_FRAME(frame), 0.0f, 0.5f);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_set_homogeneous(GTK_BOX(box), TRUE);
    gtk_widget_set_margin_start(box, 6);
    gtk_widget_set_margin_end(box, 2);
    gtk_widget_set_margin_bottom(box, 2);
    GtkWidget* previous = nullptr;
    for (int i = 0; i < form.itemCount; ++i) {
        GtkWidget* item = gtk_radio_button_new_with_label_from_widget(
            previous != nullptr ? GTK_RADIO_BUTTON(previous) : nullptr, form.items[i]);
        gtk_box_pack_start(GTK_BOX(box), item, TRUE, TRUE, 0);
        gItems.push_back(item);
        previous = item;
    }
    // A GTK radio group always has one active item; with no index the first
    // stays active but FormItemIndex still reads what the form said.
    if (form.itemIndex >= 0 && form.itemIndex < form.itemCount)
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(gItems[size_t(form.itemIndex)]), TRUE);
    for (GtkWidget* item : gItems)
        g_signal_connect(item, "toggled", G_CALLBACK(OnItemToggled), nullptr);
    gtk_container_add(GTK_CONTAINER(frame), box);
    gtk_widget_set_sensitive(frame, form.groupEnabled ? TRUE : FALSE);
    gtk_widget_set_size_request(frame, form.groupWidth, form.groupHeight);
    return frame;
}

}  // namespace

namespace plat {

int RunForm(const FormDescription& form, ClickHandler onButton) {
    if (!gGtkStarted) {
        if (!gtk_init_check(nullptr, nullptr)) {
            std::fprintf(stderr,
                         "terrain-editor: no display available (DISPLAY is not set or cannot be "
                         "opened)\n");
            return 1;
        }
        gGtkStarted = true;
        ApplyCss();
    }
    gOnButton = onButton;
    gItems.clear();
    gDescribedIndex = form.itemIndex;
    gUserChose = false;

    gForm = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(gForm, "start-form");
    gtk_window_set_title(GTK_WINDOW(gForm), form.caption);
    gtk_window_set_resizable(GTK_WINDOW(gForm), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(gForm), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(GTK_WINDOW(gForm), GTK_WIN_POS_CENTER);
    g_signal_connect(gForm, "destroy", G_CALLBACK(OnFormDestroyed), nullptr);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, form.clientWidth, form.clientHeight);
    gtk_container_add(GTK_CONTAINER(gForm), fixed);

    GtkWidget* group = BuildRadioGroup(form);
    gtk_fixed_put(GTK_FIXED(fixed), group, form.groupLeft, form.groupTop);

    GtkWidget* button = gtk_button_new_with_label(form.buttonCaption);
    gtk_widget_set_size_request(button, form.buttonWidth, form.buttonHeight);
    gtk_fixed_put(GTK_FIXED(fixed), button, form.buttonLeft, form.buttonTop);
    g_signal_connect(button, "clicked", G_CALLBACK(OnButtonClicked), nullptr);
    gtk_widget_grab_focus(button);

    gtk_widget_show_all(gForm);
    gtk_main();
    return 0;
}

int FormItemIndex() {
    if (gItems.empty()) return gDescribedIndex;
    if (gDescribedIndex < 0 && !gUserChose) return -1;
    for (size_t i = 0; i < gItems.size(); ++i)
        if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(gItems[i]))) return int(i);
    return -1;
}

void SetFormVisible(bool visible) {
    if (gForm == nullptr) return;
    if (visible)
        gtk_widget_show(gForm);
    else
        gtk_widget_hide(gForm);
    FlushDisplay();
}

void CloseForm() {
    if (gForm != nullptr) gtk_widget_destroy(gForm);  // "destroy" ends gtk_main
}

}  // namespace plat
