#include "app/linux/GtkLauncher.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <string>

#include "app/LaunchSettings.h"

namespace {

const char* const kPicturePath = "assets/launcher/launcher.png";

// Dialog units of an 8-point dialog font: 4 horizontal units are 6 pixels, 8 vertical units 13.
int pixelsX(int units) {
    return units * 3 / 2;
}
int pixelsY(int units) {
    return units * 13 / 8;
}

struct Launcher {
    LaunchSettings* settings = nullptr;
    GtkWidget* combo = nullptr;
    GtkWidget* fullscreen = nullptr;
    GtkWidget* message = nullptr;
    bool done = false;
};

// Places `widget` in the rectangle (x, y, w, h) given in dialog units (it grows if it must).
void place(GtkWidget* fixed, GtkWidget* widget, int x, int y, int w, int h) {
    gtk_widget_set_size_request(widget, pixelsX(w), pixelsY(h));
    gtk_fixed_put(GTK_FIXED(fixed), widget, pixelsX(x), pixelsY(y));
}

void onNoLaunch(GtkButton*, gpointer data) {
    Launcher& launcher = *static_cast<Launcher*>(data);
    launcher.settings->launch = 0;
    launcher.done = true;
}

void onLaunch(GtkButton*, gpointer data) {
    Launcher& launcher = *static_cast<Launcher*>(data);
    LaunchSettings& settings = *launcher.settings;
    GtkWidget* entry = gtk_bin_get_child(GTK_BIN(launcher.combo));
    if (!chooseResolution(gtk_entry_get_text(GTK_ENTRY(entry)), settings.width, settings.height)) {
        std::printf("%s\n", kResolutionNeeded);
        std::fflush(stdout);
        gtk_widget_show(launcher.message);
        return;
    }
    if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(launcher.fullscreen)))
        settings.fullscreen = 1;
    launcher.done = true;
}

// The close box does nothing: only the two buttons end the launcher.
gboolean ignoreClose(GtkWidget*, GdkEvent*, gpointer) {
    return TRUE;
}

GtkWidget* resolutionBox(const std::vector<DisplayMode>& modes) {
    GtkWidget* combo = gtk_combo_box_text_new_with_entry();
    const LauncherList list = buildLauncherList(modes);
    for (std::string item : list.items) {
        // The items end in a line feed; a GTK list would draw it as a second line.
        if (!item.empty() && item.back() == '\n') item.pop_back();
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo), item.c_str());
    }
    if (!list.items.empty()) gtk_combo_box_set_active(GTK_COMBO_BOX(combo), list.preselect);
    gtk_entry_set_width_chars(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(combo))), 8);
    return combo;
}

GtkWidget* buildDialog(Launcher& launcher, const std::vector<DisplayMode>& modes) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "ZORVEK LAUNCHER");
    gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_keep_above(GTK_WINDOW(window), TRUE);
    g_signal_connect(window, "delete-event", G_CALLBACK(ignoreClose), nullptr);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, pixelsX(270), pixelsY(137));
    gtk_container_add(GTK_CONTAINER(window), fixed);

    if (g_file_test(kPicturePath, G_FILE_TEST_IS_REGULAR))
        place(fixed, gtk_image_new_from_file(kPicturePath), 7, 8, 97, 62);

    // "Resolution" and its box side by side, centred on each other.
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    GtkWidget* label = gtk_label_new("Resolution");
    gtk_label_set_xalign(GTK_LABEL(label), 1.0f);
    gtk_widget_set_size_request(label, pixelsX(50) - 6, -1);
    gtk_widget_set_margin_end(label, 6);
    launcher.combo = resolutionBox(modes);
    gtk_widget_set_size_request(launcher.combo, pixelsX(100), -1);
    gtk_box_pack_start(GTK_BOX(row), label, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), launcher.combo, FALSE, FALSE, 0);
    gtk_fixed_put(GTK_FIXED(fixed), row, pixelsX(113), pixelsY(30));

    // The tick box right of its text, the whole ending where the Windows control ends.
    launcher.fullscreen = gtk_check_button_new_with_label("Fullscreen");
    gtk_widget_set_direction(launcher.fullscreen, GTK_TEXT_DIR_RTL);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(launcher.fullscreen),
                                 launcher.settings->fullscreen != 0);
    GtkWidget* fullscreenRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_pack_end(GTK_BOX(fullscreenRow), launcher.fullscreen, FALSE, FALSE, 0);
    place(fixed, fullscreenRow, 113, 60, 59, 10);

    launcher.message = gtk_label_new(kResolutionNeeded);
    gtk_label_set_line_wrap(GTK_LABEL(launcher.message), TRUE);
    gtk_label_set_justify(GTK_LABEL(launcher.message), GTK_JUSTIFY_CENTER);
    gtk_label_set_max_width_chars(GTK_LABEL(launcher.message), 50);
    PangoAttrList* small = pango_attr_list_new();
    pango_attr_list_insert(small, pango_attr_scale_new(PANGO_SCALE_SMALL));
    gtk_label_set_attributes(GTK_LABEL(launcher.message), small);
    pango_attr_list_unref(small);
    place(fixed, launcher.message, 7, 72, 256, 16);

    GtkWidget* noLaunch = gtk_button_new_with_label("No Launch");
    g_signal_connect(noLaunch, "clicked", G_CALLBACK(onNoLaunch), &launcher);
    place(fixed, noLaunch, 7, 89, 106, 41);

    GtkWidget* launch = gtk_button_new_with_label("Launch");
    g_signal_connect(launch, "clicked", G_CALLBACK(onLaunch), &launcher);
    place(fixed, launch, 113, 89, 150, 41);

    gtk_widget_show_all(window);
    gtk_widget_hide(launcher.message);
    return window;
}

}  // namespace

bool startGtk() {
    // The demo reads and prints numbers in the C locale; GTK would switch to the user's.
    gtk_disable_setlocale();
    if (gtk_init_check(nullptr, nullptr)) return true;
    std::printf("GTK cannot open the display for the launcher\n");
    return false;
}

void runGtkLauncher(LaunchSettings& settings, const std::vector<DisplayMode>& modes) {
    Launcher launcher;
    launcher.settings = &settings;
    GtkWidget* window = buildDialog(launcher, modes);
    while (!launcher.done) gtk_main_iteration();

    gtk_widget_destroy(window);
    while (gtk_events_pending()) gtk_main_iteration();
    gdk_display_sync(gdk_display_get_default());
}

void showStartupFailureDialog(const std::string& line) {
    gtk_disable_setlocale();
    if (!gtk_init_check(nullptr, nullptr)) return;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR,
                                               GTK_BUTTONS_OK, "%s", line.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), "Velmora cannot start");
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    while (gtk_events_pending()) gtk_main_iteration();
}
