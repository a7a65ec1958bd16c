#include "Platform/DialogModel.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <clocale>
#include <map>

// Dialogs as GTK windows: each control a widget placed at its pixel
// rectangle, the modal run a nested main loop that EndDialog quits.

namespace {

// The dialog font is small; the theme's spacing is trimmed to fit controls
// laid out for it.
constexpr const char* kStyle = R"(
.kv-dialog, .kv-dialog * { font-family: Sans; font-size: 7.5pt; }
.kv-dialog button { padding: 0 4px; min-height: 0; min-width: 0; }
.kv-dialog entry { padding: 0 4px; min-height: 0; }
.kv-dialog check { min-height: 12px; min-width: 12px; }
.kv-dialog checkbutton { padding: 0; }
.kv-popup { border: 1px solid #505050; }
.kv-black { background-color: black; }
)";

// The height of a combo box's edit field, in dialog units: the template's
// height includes the drop-down list.
constexpr int kComboFieldHeight = 12;

struct GtkDialogView {
    GtkWidget* window = nullptr;
    std::map<const PlatControl*, GtkWidget*> widgets;
    // Black rectangles: the fixed container inside, where hosted windows go.
    std::map<const PlatControl*, GtkWidget*> hosts;
    GMainLoop* loop = nullptr;
    // Set while the program changes widgets, whose signals then stay quiet.
    bool syncing = false;
};

GtkDialogView& ViewOf(PlatDialog& dialog) {
    return *static_cast<GtkDialogView*>(dialog.view);
}

void AddClass(GtkWidget* widget, const char* name) {
    gtk_style_context_add_class(gtk_widget_get_style_context(widget), name);
}

bool Quiet(const PlatControl& control) {
    return ViewOf(*control.dialog).syncing;
}

void OnClicked(GtkWidget*, gpointer data) {
    auto* control = static_cast<PlatControl*>(data);
    if (!Quiet(*control))
        control->Click();
}

void OnComboChanged(GtkComboBox* combo, gpointer data) {
    auto* control = static_cast<PlatControl*>(data);
    if (Quiet(*control))
        return;
    const int active = gtk_combo_box_get_active(combo);
    if (active >= 0)
        return control->Select(active);
    GtkWidget* entry = gtk_bin_get_child(GTK_BIN(combo));
    control->Type(gtk_entry_get_text(GTK_ENTRY(entry)));
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    static_cast<PlatDialog*>(data)->Send(WM_CLOSE, 0, 0);
    return TRUE;
}

// Escape is the dialog's Cancel, as in every dialog box.
gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (event->keyval != GDK_KEY_Escape)
        return FALSE;
    static_cast<PlatDialog*>(data)->Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

GtkWidget* MakeWidget(PlatControl& control, GtkDialogView& view) {
    const char* caption = control.text.c_str();
    GtkWidget* widget = nullptr;
    switch (control.item.kind) {
    case PlatControlKind::PushButton:
    case PlatControlKind::DefaultPushButton:
        widget = gtk_button_new_with_label(caption);
        g_signal_connect(widget, "clicked", G_CALLBACK(OnClicked), &control);
        break;
    case PlatControlKind::CheckBox:
        widget = gtk_check_button_new_with_label(caption);
        g_signal_connect(widget, "toggled", G_CALLBACK(OnClicked), &control);
        break;
    case PlatControlKind::GroupBox:
        widget = gtk_frame_new(caption);
        break;
    case PlatControlKind::Text:
        widget = gtk_label_new(caption);
        gtk_label_set_xalign(GTK_LABEL(widget), 0.0f);
        break;
    case PlatControlKind::BlackRect: {
        widget = gtk_event_box_new();
        AddClass(widget, "kv-black");
        GtkWidget* host = gtk_fixed_new();
        gtk_container_add(GTK_CONTAINER(widget), host);
        view.hosts[&control] = host;
        break;
    }
    case PlatControlKind::ComboBox:
        widget = gtk_combo_box_text_new_with_entry();
        // The field takes the control's width, not a width in characters.
        gtk_entry_set_width_chars(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(widget))), 1);
        g_signal_connect(widget, "changed", G_CALLBACK(OnComboChanged), &control);
        break;
    }
    return widget;
}

int WidgetHeight(const PlatControl& control) {
    if (control.item.kind == PlatControlKind::ComboBox)
        return PlatDialogUnitsToPixelsY(kComboFieldHeight);
    return control.rect.bottom - control.rect.top;
}

void FillCombo(const PlatControl& control, GtkWidget* widget) {
    auto* combo = GTK_COMBO_BOX_TEXT(widget);
    gtk_combo_box_text_remove_all(combo);
    for (const PlatComboEntry& entry : control.entries)
        gtk_combo_box_text_append_text(combo, entry.text.c_str());
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo), control.selection);
    if (control.selection < 0)
        gtk_entry_set_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(combo))), control.text.c_str());
}

void Mirror(const PlatControl& control, GtkWidget* widget) {
    gtk_widget_set_sensitive(widget, control.enabled);
    switch (control.item.kind) {
    case PlatControlKind::CheckBox:
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), control.check == BST_CHECKED);
        [[fallthrough]];
    case PlatControlKind::PushButton:
    case PlatControlKind::DefaultPushButton:
        gtk_button_set_label(GTK_BUTTON(widget), control.text.c_str());
        break;
    case PlatControlKind::GroupBox:
        gtk_frame_set_label(GTK_FRAME(widget), control.text.c_str());
        break;
    case PlatControlKind::Text:
        gtk_label_set_text(GTK_LABEL(widget), control.text.c_str());
        break;
    case PlatControlKind::ComboBox:
        FillCombo(control, widget);
        break;
    case PlatControlKind::BlackRect:
        break;
    }
}

class WebKitBrowser final : public PlatWebBrowser {
public:
    WebKitBrowser(GtkWidget* host, GtkWidget* view) : host(host), view(view) {}
    ~WebKitBrowser() override { Close(); }

    HRESULT SetBounds(LONG left, LONG top, LONG width, LONG height) override {
        if (!view)
            return E_FAIL;
        gtk_fixed_move(GTK_FIXED(host), view, left, top);
        gtk_widget_set_size_request(view, width, height);
        return S_OK;
    }
    HRESULT Navigate(const std::string& url) override {
        if (!view)
            return E_FAIL;
        webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), url.c_str());
        return S_OK;
    }
    // The view may already be gone with its dialog; the reference taken at
    // creation keeps the object valid until here.
    void Close() override {
        if (!view)
            return;
        gtk_widget_destroy(view);
        g_object_unref(view);
        view = nullptr;
    }

private:
    GtkWidget* host;
    GtkWidget* view;
};

class GtkDialogBackend final : public PlatDialogBackend {
public:
    bool Create(PlatDialog& dialog) override {
        auto* view = new GtkDialogView;
        dialog.view = view;
        view->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        GtkWindow* window = GTK_WINDOW(view->window);
        AddClass(view->window, "kv-dialog");
        gtk_window_set_decorated(window, dialog.source->captionBar);
        if (!dialog.source->captionBar)
            AddClass(view->window, "kv-popup");
        gtk_window_set_resizable(window, FALSE);
        gtk_window_set_modal(window, TRUE);
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
        if (PlatDialog* owner = PlatFindDialog(dialog.owner); owner && owner->backend == this)
            gtk_window_set_transient_for(window, GTK_WINDOW(ViewOf(*owner).window));
        g_signal_connect(view->window, "delete-event", G_CALLBACK(OnDelete), &dialog);
        g_signal_connect(view->window, "key-press-event", G_CALLBACK(OnKey), &dialog);

        GtkWidget* fixed = gtk_fixed_new();
        gtk_widget_set_size_request(fixed, dialog.rect.right - dialog.rect.left,
                                    dialog.rect.bottom - dialog.rect.top);
        gtk_container_add(GTK_CONTAINER(view->window), fixed);
        for (const auto& control : dialog.controls) {
            GtkWidget* widget = MakeWidget(*control, *view);
            gtk_widget_set_size_request(widget, control->rect.right - control->rect.left,
                                        WidgetHeight(*control));
            gtk_fixed_put(GTK_FIXED(fixed), widget, control->rect.left, control->rect.top);
            view->widgets[control.get()] = widget;
            if (control->item.kind == PlatControlKind::DefaultPushButton) {
                gtk_widget_set_can_default(widget, TRUE);
                gtk_window_set_default(window, widget);
            }
        }
        DialogChanged(dialog);
        return true;
    }

    void RunModal(PlatDialog& dialog) override {
        GtkDialogView& view = ViewOf(dialog);
        gtk_widget_show_all(view.window);
        view.loop = g_main_loop_new(nullptr, FALSE);
        if (!dialog.ended)
            g_main_loop_run(view.loop);
        g_main_loop_unref(view.loop);
        view.loop = nullptr;
    }

    void Destroy(PlatDialog& dialog) override {
        GtkDialogView* view = &ViewOf(dialog);
        gtk_widget_destroy(view->window);
        delete view;
        dialog.view = nullptr;
        // Let the window system take the window down before anything else
        // (the game's window) appears.
        while (gtk_events_pending())
            gtk_main_iteration();
    }

    void ControlChanged(PlatControl& control) override {
        GtkDialogView& view = ViewOf(*control.dialog);
        view.syncing = true;
        Mirror(control, view.widgets.at(&control));
        view.syncing = false;
    }

    void DialogChanged(PlatDialog& dialog) override {
        GtkWindow* window = GTK_WINDOW(ViewOf(dialog).window);
        gtk_window_set_title(window, dialog.title.c_str());
        gtk_window_move(window, dialog.rect.left, dialog.rect.top);
    }

    void Ended(PlatDialog& dialog) override {
        GMainLoop* loop = ViewOf(dialog).loop;
        if (loop)
            g_main_loop_quit(loop);
    }

    std::unique_ptr<PlatWebBrowser> CreateWebBrowser(PlatControl& host) override {
        GtkDialogView& view = ViewOf(*host.dialog);
        auto found = view.hosts.find(&host);
        if (found == view.hosts.end())
            return nullptr;
        GtkWidget* web = webkit_web_view_new();
        if (!web)
            return nullptr;
        g_object_ref_sink(web);
        gtk_fixed_put(GTK_FIXED(found->second), web, 0, 0);
        gtk_widget_show(web);
        return std::make_unique<WebKitBrowser>(found->second, web);
    }
};

} // namespace

// The module's entry point (kPlatDialogModuleEntry), the one symbol it shows.
extern "C" [[gnu::visibility("default")]] PlatDialogBackend* PlatGtkDialogBackend() {
    static GtkDialogBackend backend;
    static const bool started = [] {
        const bool ready = gtk_init_check(nullptr, nullptr);
        // GTK takes the user's locale for everything; numbers in files,
        // commands and scripts must stay in the C form ("1.5", never "1,5").
        std::setlocale(LC_NUMERIC, "C");
        if (!ready)
            return false;
        GtkCssProvider* style = gtk_css_provider_new();
        gtk_css_provider_load_from_data(style, kStyle, -1, nullptr);
        gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(style),
                                                  GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        g_object_unref(style);
        return true;
    }();
    return started ? &backend : nullptr;
}
