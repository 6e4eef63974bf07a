// Unit tests of the desktop backend's GTK parts: the start form and the
// open and save file dialogs. They run their own modal loops; a GTK timeout
// acts in them the way a user would (no sleeping: it fires from within the
// loop). desktop_platform_e2e.sh runs it on a 640 x 480 x 16 Xvfb.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/StartFormular.h"
#include "platform/Platform.h"

using namespace plat;

namespace {

GtkWidget* FindToplevel(GType type) {
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* item = windows; item != nullptr; item = item->next)
        if (G_TYPE_CHECK_INSTANCE_TYPE(item->data, type) &&
            gtk_widget_get_visible(GTK_WIDGET(item->data)))
            found = GTK_WIDGET(item->data);
    g_list_free(windows);
    return found;
}

void CollectButtons(GtkWidget* widget, gpointer list) {
    if (GTK_IS_BUTTON(widget) && !GTK_IS_RADIO_BUTTON(widget))
        static_cast<std::vector<GtkWidget*>*>(list)->push_back(widget);
    if (GTK_IS_CONTAINER(widget))
        gtk_container_forall(GTK_CONTAINER(widget), CollectButtons, list);
}

struct FormSeen {
    std::string title;
    int width = 0, height = 0;
    bool resizable = true;
    int indexInHandler = -99;
    bool pressed = false;
};
FormSeen gFormSeen;

void OnStart() {
    gFormSeen.indexInHandler = FormItemIndex();
    SetFormVisible(false);
    CloseForm();
}

gboolean PressStart(gpointer) {
    GtkWidget* form = FindToplevel(GTK_TYPE_WINDOW);
    if (form == nullptr || !gtk_widget_get_mapped(form)) return G_SOURCE_CONTINUE;
    gFormSeen.title = gtk_window_get_title(GTK_WINDOW(form));
    gtk_window_get_size(GTK_WINDOW(form), &gFormSeen.width, &gFormSeen.height);
    gFormSeen.resizable = gtk_window_get_resizable(GTK_WINDOW(form));
    std::vector<GtkWidget*> buttons;
    CollectButtons(form, &buttons);
    if (buttons.size() == 1) {
        gFormSeen.pressed = true;
        gtk_button_clicked(GTK_BUTTON(buttons[0]));
    }
    return G_SOURCE_REMOVE;
}

// The editor's own dialog layout, with the choice and the group's state
// varied by the test.
FormDescription TestForm(int index, bool enabled) {
    FormDescription form = MainFormDescription();
    form.itemIndex = index;
    form.groupEnabled = enabled;
    return form;
}

}  // namespace

TEST(DesktopForm, TheButtonRunsTheHandlerWhichSeesTheItemIndexAndClosesTheForm) {
    for (int index : {2, 1, -1}) {
        gFormSeen = FormSeen{};
        g_timeout_add(20, PressStart, nullptr);
        EXPECT_EQ(RunForm(TestForm(index, index != 1), &OnStart), 0);
        EXPECT_TRUE(gFormSeen.pressed);
        EXPECT_EQ(gFormSeen.indexInHandler, index);
        EXPECT_EQ(gFormSeen.title, "OpenGL");
        EXPECT_EQ(gFormSeen.width, 115);
        EXPECT_EQ(gFormSeen.height, 109);
        EXPECT_FALSE(gFormSeen.resizable);
    }
}

namespace {

struct DialogScript {
    bool accept = true;
    std::string typedName;   // save: the name typed in
    std::string selectFile;  // open: the file chosen
    std::string title;
    bool selected = false;   // the choice was made (open waits until it shows)
    int ticks = 0;
    bool gaveUp = false;
};
DialogScript gScript;

// Acts on the open dialog every 20 ms: first looks, types or selects, then
// answers once the dialog shows the choice (GTK loads folders
// asynchronously). Gives up with Cancel after 10 s rather than hang.
gboolean AnswerDialog(gpointer) {
    GtkWidget* dialog = FindToplevel(GTK_TYPE_FILE_CHOOSER_DIALOG);
    if (++gScript.ticks > 500) {
        gScript.gaveUp = true;
        if (dialog != nullptr) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
        return dialog != nullptr ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
    }
    if (dialog == nullptr || !gtk_widget_get_mapped(dialog)) return G_SOURCE_CONTINUE;
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    if (!gScript.selected) {
        gScript.selected = true;
        gScript.title = gtk_window_get_title(GTK_WINDOW(dialog));
        if (!gScript.typedName.empty())
            gtk_file_chooser_set_current_name(chooser, gScript.typedName.c_str());
        if (!gScript.selectFile.empty())
            gtk_file_chooser_set_filename(chooser, gScript.selectFile.c_str());
        return G_SOURCE_CONTINUE;
    }
    if (gScript.accept && !gScript.selectFile.empty()) {
        gchar* chosen = gtk_file_chooser_get_filename(chooser);
        const bool shown = chosen != nullptr && gScript.selectFile == chosen;
        g_free(chosen);
        if (!shown) return G_SOURCE_CONTINUE;
    }
    gtk_dialog_response(GTK_DIALOG(dialog),
                        gScript.accept ? GTK_RESPONSE_ACCEPT : GTK_RESPONSE_CANCEL);
    return G_SOURCE_REMOVE;
}

std::string Answered(char* path) {
    std::string text = path != nullptr ? path : "<null>";
    FreeString(path);
    return text;
}

}  // namespace

TEST(DesktopFileDialogs, SaveAppendsTheExtensionOpenReturnsTheChoiceCancelGivesNull) {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr));
    char folder[] = "/tmp/desktop_dialog_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string program = std::string(folder) + "/terrain-editor";
    const char* kFilter = "Karte (*.map)|*.map";

    gScript = DialogScript{};
    gScript.typedName = "insel";
    g_timeout_add(20, AnswerDialog, nullptr);
    EXPECT_EQ(Answered(SaveFileDialog("Karte speichern", "map", kFilter, program.c_str())),
              std::string(folder) + "/insel.map")
        << "a name typed in the program's folder, with the default extension";
    EXPECT_EQ(gScript.title, "Karte speichern");

    const std::string existing = std::string(folder) + "/alt.MAP";
    FILE* file = fopen(existing.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fclose(file);
    gScript = DialogScript{};
    gScript.selectFile = existing;
    g_timeout_add(20, AnswerDialog, nullptr);
    EXPECT_EQ(Answered(OpenFileDialog("Karte laden", "map", kFilter, program.c_str())), existing);
    EXPECT_EQ(gScript.title, "Karte laden");

    gScript = DialogScript{};
    gScript.accept = false;
    g_timeout_add(20, AnswerDialog, nullptr);
    EXPECT_EQ(Answered(OpenFileDialog("Karte laden", "map", kFilter, program.c_str())), "<null>");
    gScript = DialogScript{};
    gScript.accept = false;
    g_timeout_add(20, AnswerDialog, nullptr);
    EXPECT_EQ(Answered(SaveFileDialog("Karte speichern", "map", kFilter, program.c_str())), "<null>");
    EXPECT_EQ(FindToplevel(GTK_TYPE_FILE_CHOOSER_DIALOG), nullptr) << "the dialog is gone";
    EXPECT_FALSE(gScript.gaveUp);

    unlink(existing.c_str());
    rmdir(folder);
}
