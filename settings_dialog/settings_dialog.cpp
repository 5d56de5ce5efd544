// The settings dialog's window: the backdrop, the three panels and the controls of the layout
// description, with the dialog's logic acting on them.
#include "settings_dialog/settings_dialog.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "common/numeric.h"
#include "common/texts.h"
#include "platform/controls.h"
#include "platform/pictures.h"
#include "platform/window.h"
#include "settings_dialog/backdrop.h"
#include "settings_dialog/dialog_layout.h"
#include "controls/slider/slider.h"
#include "controls/styled_button/qz_buttons_h.h"

namespace settings_dialog {
namespace {

using controls::LayoutNode;

constexpr int kVkEscape = 27;

std::unique_ptr<plat::Bitmap> PictureNamed(std::string_view name) {
    struct Named {
        std::string_view name;
        plat::Picture picture;
    };
    static constexpr Named kNamed[] = {{"PanelTexture", plat::Picture::PanelTexture},
                                       {"OptionOn", plat::Picture::OptionOn},
                                       {"OptionOff", plat::Picture::OptionOff},
                                       {"Icon32", plat::Picture::Icon32}};
    for (const Named& n : kNamed)
        if (n.name == name) return plat::load_picture(n.picture);
    return nullptr;
}

struct TextStyle {
    plat::FontDesc font;
    plat::ColorRef colour = 0;  // may name a system colour
    int align = 0;              // 0 left, 1 right, 2 centre
};

// The font of a stored font: 9.75 points is 13 pixels at 96 dots per inch.
plat::FontDesc FontOf(const controls::StoredFont& stored) {
    plat::FontDesc font;
    font.height = -static_cast<std::int32_t>(common::round_half_even(stored.points * 96.0 / 72.0));
    font.weight = stored.bold ? 700 : 400;
    font.italic = stored.italic;
    font.underline = stored.underline;
    font.charset = static_cast<std::uint8_t>(stored.charset);
    font.face = stored.face_cp932.substr(0, 31);
    return font;
}

TextStyle StyleOf(const LayoutNode& node) {
    TextStyle style;
    const controls::PropertyBag& p = node.properties;
    const controls::StoredFont font = p.read_font("Font").value_or(controls::StoredFont{});
    style.font = FontOf(font);
    style.colour = p.read_colour("ForeColor", plat::kWindowTextColor);
    style.align = p.read_int("Alignment", 0);
    return style;
}

// A label of the description, its text as designed. Only a label marked WordWrap breaks its
// lines; the others keep to one line and, where the font found is wider than the designed one
// (MS P Gothic is missing on Linux and on a Windows without the Japanese fonts), grow into
// `room` to show the whole text rather than move a word out of sight or cut it.
plat::LabelDesc LabelOf(const LayoutNode& node, plat::Rect rect, plat::Rect room) {
    const TextStyle style = StyleOf(node);
    plat::LabelDesc desc;
    desc.rect = rect;
    desc.text = node.properties.read_text("Caption", "");
    desc.font = style.font;
    desc.color = style.colour;
    desc.align = style.align == 1 ? plat::TextAlign::Right : style.align == 2 ? plat::TextAlign::Center : plat::TextAlign::Left;
    desc.word_wrap = node.properties.read_bool("WordWrap", false);
    if (!desc.word_wrap) desc.room = room;
    return desc;
}

plat::WindowHandlers PressHandlers(std::function<void()> press) {
    plat::WindowHandlers handlers;
    if (!press) return handlers;
    handlers.mouse_down = [press](int, plat::Point) { press(); };
    handlers.double_click = [press](int, plat::Point) { press(); };
    return handlers;
}

class SettingsWindow final : public DialogView {
public:
    explicit SettingsWindow(DialogHost& host) : host_(host), logic_(host, *this) {}
    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;

    bool create();
    void load() { logic_.Load(); }
    // The keyboard starts on the first control of the tab order, as on a Windows form, so
    // that the arrow keys move a slider before any Tab or click.
    void focus_first_stop() {
        if (first_stop_ != plat::WindowHandle::None && plat::is_window_enabled(first_stop_)) plat::set_focus(first_stop_);
    }

    // DialogView
    plat::WindowHandle window() const override { return window_; }
    void set_slider_value(SliderId slider, std::int32_t value) override {
        if (auto& s = sliders_[Index(slider)]) s->SetValue(value);
    }
    std::int32_t slider_value(SliderId slider) const override {
        const auto& s = sliders_[Index(slider)];
        return s ? s->Value() : 0;
    }
    void set_label_text(LabelId label, std::string_view text) override;
    void show_glyph(GlyphGroup group, int index, bool selected) override;
    void enable(Switchable control, bool enabled) override {
        if (control == Switchable::FileButton) {
            if (file_button_) file_button_->SetEnabled(enabled);
        } else {
            plat::enable_window(repeat_, enabled);
            plat::invalidate_window(repeat_);
        }
    }
    std::string repeat_text() const override { return plat::combo_text(repeat_); }
    void set_repeat_text(std::string_view text) override { plat::set_combo_text(repeat_, text); }
    void add_repeat_entry(std::string_view text) override { plat::add_combo_item(repeat_, text); }
    void tile_panel(int index) override;
    void close() override { plat::destroy_window(window_); }

private:
    static std::size_t Index(SliderId slider) { return static_cast<std::size_t>(slider); }

    // A label or glyph and the panel it lies on (-1: the backdrop).
    struct Overlay {
        plat::WindowHandle handle{};
        int panel = -1;
    };

    plat::Rect rect_of(const LayoutNode& node) const { return PixelRect(node, twips_); }
    // A control's place in the dialog's client area (its panel's place added).
    plat::Rect dialog_rect_of(std::string_view name, std::optional<int> index = {}) const;
    bool create_tab_stops();
    bool create_panels();
    void create_overlays(const LayoutNode& container, int panel);
    void key(int virtual_key) {
        if (virtual_key == kVkEscape) logic_.Cancel();
    }

    DialogHost& host_;
    DialogLogic logic_;
    plat::Point twips_{15, 15};
    plat::WindowHandle window_{};
    std::array<plat::WindowHandle, 3> panels_{};
    std::array<plat::Rect, 3> panel_rects_{};
    std::unique_ptr<plat::Bitmap> strip_, option_on_, option_off_;
    // The buttons' container: the backdrop, of the system's button-face colour as designed.
    controls::ButtonHost button_host_;
    std::array<std::unique_ptr<controls::Slider>, 5> sliders_;
    plat::WindowHandle repeat_{};
    std::unique_ptr<controls::qzButtons_H> file_button_, cancel_, save_;
    plat::WindowHandle first_stop_{};
    // Labels and glyphs in the order of the description; the value labels and glyphs by name.
    std::vector<Overlay> overlays_;
    std::array<plat::WindowHandle, 7> value_labels_{};
    std::array<plat::WindowHandle, 2> neon_{};
    std::array<plat::WindowHandle, 3> music_{};
};

plat::Rect SettingsWindow::dialog_rect_of(std::string_view name, std::optional<int> index) const {
    const LayoutNode* node = FindControl(name, index);
    if (!node) return {};
    plat::Rect r = rect_of(*node);
    for (int p = 0; p < 3; ++p) {
        const LayoutNode* panel = FindControl("Pic_D", p);
        if (panel && panel->find(name, index)) plat::offset_rect(r, panel_rects_[p].left, panel_rects_[p].top);
    }
    return r;
}

bool SettingsWindow::create() {
    const LayoutNode* form = DialogLayout();
    const LayoutNode* backdrop = FindControl("Pic_C");
    if (!form || !backdrop) return false;
    twips_ = plat::twips_per_pixel();
    for (int p = 0; p < 3; ++p)
        if (const LayoutNode* panel = FindControl("Pic_D", p)) panel_rects_[p] = rect_of(*panel);
    if (const LayoutNode* n = FindControl("Pic_Mbl")) strip_ = PictureNamed(n->properties.read_picture("Picture"));
    if (const LayoutNode* n = FindControl("Img_Opt_on")) option_on_ = PictureNamed(n->properties.read_picture("Picture"));
    if (const LayoutNode* n = FindControl("Img_Opt_off")) option_off_ = PictureNamed(n->properties.read_picture("Picture"));

    const plat::Rect client = rect_of(*backdrop);
    plat::use_gdi_scaled_dpi_for_thread();
    plat::WindowHandlers handlers;
    handlers.key_down = [this](int k) { key(k); };
    // Windows gives the focus to a window it activates (on showing it, on coming back to it):
    // the dialog passes it on to a control, so that the keys always have one.
    handlers.focus_gained = [this] { focus_first_stop(); };
    handlers.unload = [this] { logic_.Unload(); };
    const std::string title = form->properties.read_text("Caption", texts::kTitleDialog);
    window_ = plat::create_window({title, plat::WindowStyle::Dialog,
                                   DialogWindowRect(plat::screen_size_px(), client.width(), client.height())},
                                  std::move(handlers));
    if (window_ == plat::WindowHandle::None) return false;
    if (auto icon = PictureNamed(form->properties.read_picture("Icon"))) plat::set_window_icon(window_, *icon);
    // The resize handler's painting: the window has taken its size.
    PaintBackdrop(plat::window_dc(window_), client.width(), client.height());
    if (!create_tab_stops() || !create_panels()) return false;
    create_overlays(*backdrop, -1);
    for (int p = 0; p < 3; ++p)
        if (const LayoutNode* panel = FindControl("Pic_D", p)) create_overlays(*panel, p);
    plat::update_window(window_);
    return true;
}

// The controls that take the focus are children of the dialog itself, made in their tab order
// (the stacking order is the tab order) and above the panels.
bool SettingsWindow::create_tab_stops() {
    struct Stop {
        const LayoutNode* node;
        int tab_index;
    };
    std::vector<Stop> stops;
    for (std::string_view name : {"HSInterval", "HSSleep", "HSx", "HSy", "HSz", "BGM_Repeat", "Cmd_File",
                                  "qzButtons_H1", "qzButtons_H2"})
        if (const LayoutNode* n = FindControl(name)) stops.push_back({n, n->properties.read_int("TabIndex", 0)});
    std::stable_sort(stops.begin(), stops.end(), [](const Stop& a, const Stop& b) { return a.tab_index < b.tab_index; });
    for (const Stop& stop : stops) {
        const LayoutNode& n = *stop.node;
        const controls::PropertyBag& p = n.properties;
        const plat::Rect r = dialog_rect_of(n.name);
        bool made = true;
        plat::WindowHandle handle{};
        if (n.kind == "Slider") {
            static constexpr std::pair<std::string_view, SliderId> kSliders[] = {
                {"HSInterval", SliderId::Interval}, {"HSSleep", SliderId::Sleep},
                {"HSx", SliderId::XAxis}, {"HSy", SliderId::YAxis}, {"HSz", SliderId::ZAxis}};
            for (const auto& [name, id] : kSliders) {
                if (name != n.name) continue;
                controls::SliderEvents events;
                events.on_change = [this, id = id] { logic_.SliderChanged(id); };
                events.on_scroll = [this, id = id] { logic_.SliderChanged(id); };
                events.on_key_down = [this](int k) { key(k); };
                auto& slider = sliders_[Index(id)];
                slider = std::make_unique<controls::Slider>(window_, r, std::move(events));
                slider->ReadProperties(p);
                handle = slider->window();
                made = handle != plat::WindowHandle::None;
            }
        } else if (n.kind == "ComboBox") {
            plat::ComboDesc desc;
            desc.rect = r;
            desc.font = StyleOf(n).font;
            plat::ComboHandlers handlers;
            handlers.cancel = [this] { logic_.Cancel(); };
            repeat_ = plat::create_combo_box(window_, desc, std::move(handlers));
            handle = repeat_;
            made = repeat_ != plat::WindowHandle::None;
        } else if (n.kind == "StyledButton") {
            // Each acts the moment a mouse button goes down on it, whichever button, and on a
            // Click from the keyboard (Space, the access key); the mouse's own Click, which
            // follows its press, does nothing more.
            std::function<void()> press = n.name == "Cmd_File"       ? std::function<void()>([this] { logic_.ChooseFile(); })
                                          : n.name == "qzButtons_H1" ? std::function<void()>([this] { logic_.Cancel(); })
                                                                     : std::function<void()>([this] { logic_.Save(); });
            controls::ButtonEvents events;
            events.MouseDown = [press](std::int16_t&, std::int16_t&, float&, float&) { press(); };
            events.KeyDown = [this](std::int16_t& key_code, std::int16_t&) { key(key_code); };
            auto button = std::make_unique<controls::qzButtons_H>(button_host_, std::move(events));
            button->events().Click = [press, b = button.get()] {
                if (b->clicking_by_keyboard()) press();
            };
            made = button->Create(window_, r);
            handle = button->hWnd();
            button->ReadProperties(p);
            if (n.name == "Cmd_File") file_button_ = std::move(button);
            else if (n.name == "qzButtons_H1") cancel_ = std::move(button);
            else save_ = std::move(button);
        }
        if (!made) return false;
        if (first_stop_ == plat::WindowHandle::None) first_stop_ = handle;
    }
    return true;
}

bool SettingsWindow::create_panels() {
    for (int p = 0; p < 3; ++p) {
        plat::ChildDesc desc;
        desc.rect = panel_rects_[p];
        desc.tab_stop = false;
        panels_[p] = plat::create_child(window_, desc, {});
        if (panels_[p] == plat::WindowHandle::None) return false;
    }
    return true;
}

void SettingsWindow::create_overlays(const LayoutNode& container, int panel) {
    const plat::WindowHandle parent = panel < 0 ? window_ : panels_[panel];
    for (const LayoutNode& n : container.children) {
        const plat::Rect r = rect_of(n);
        if (n.kind == "Image" && n.index && (n.name == "Img_Neon" || n.name == "Img_BGM")) {
            const int i = *n.index;
            const bool neon = n.name == "Img_Neon";
            const plat::WindowHandle glyph = plat::create_image_control(
                parent, r, PressHandlers([this, neon, i] { neon ? logic_.SelectNeon(i) : logic_.SelectMusic(i); }));
            // As designed, before the load chooses: the unselected picture.
            if (option_off_) plat::set_image_picture(glyph, *option_off_);
            if (neon && i < 2) neon_[i] = glyph;
            else if (!neon && i < 3) music_[i] = glyph;
            overlays_.push_back({glyph, panel});
        } else if (n.kind == "Label") {
            std::function<void()> press;
            if (n.name == "lbl_Neon" && n.index) press = [this, i = *n.index] { logic_.SelectNeon(i); };
            if (n.name == "lbl_BGM" && n.index) press = [this, i = *n.index] { logic_.SelectMusic(i); };
            plat::WindowHandlers handlers = PressHandlers(std::move(press));
            if (n.name == "lbl_URL") handlers.click = [this] { logic_.OpenLink(); };
            const plat::Rect room = LabelRoom(container, n, twips_);
            const plat::WindowHandle label = plat::create_label(parent, LabelOf(n, r, room), std::move(handlers));
            if (n.properties.read_text("MousePointer", "") == "Hand") plat::set_window_cursor(label, plat::CursorKind::Hand);
            static constexpr std::pair<std::string_view, LabelId> kValueLabels[] = {
                {"lbl_Interval", LabelId::Interval}, {"lbl_Sleep", LabelId::Sleep}, {"lblXaxis", LabelId::XAxis},
                {"lblYaxis", LabelId::YAxis},        {"lblZaxis", LabelId::ZAxis},  {"lbl_Fname", LabelId::FileName},
                {"lbl_URL", LabelId::Link}};
            for (const auto& [name, id] : kValueLabels)
                if (name == n.name) value_labels_[static_cast<std::size_t>(id)] = label;
            overlays_.push_back({label, panel});
        }
    }
}

void SettingsWindow::set_label_text(LabelId label, std::string_view text) {
    if (const plat::WindowHandle l = value_labels_[static_cast<std::size_t>(label)]; l != plat::WindowHandle::None)
        plat::set_label_text(l, text);
}

void SettingsWindow::show_glyph(GlyphGroup group, int index, bool selected) {
    plat::WindowHandle glyph{};
    if (group == GlyphGroup::Neon && index >= 0 && index < 2) glyph = neon_[index];
    if (group == GlyphGroup::Music && index >= 0 && index < 3) glyph = music_[index];
    const plat::Bitmap* picture = selected ? option_on_.get() : option_off_.get();
    if (glyph != plat::WindowHandle::None && picture) plat::set_image_picture(glyph, *picture);
}

void SettingsWindow::tile_panel(int index) {
    if (index < 0 || index > 2 || !strip_) return;
    const plat::Rect& r = panel_rects_[index];
    TilePanel(plat::window_dc(panels_[index]), r.width(), r.height(), plat::bitmap_dc(*strip_), strip_->width(),
              strip_->height());
    plat::update_window(panels_[index]);
    // What lies on the panel shows its new pixels.
    for (const Overlay& o : overlays_)
        if (o.panel == index) plat::refresh_control(o.handle);
}

}  // namespace

plat::Rect DialogWindowRect(plat::Point screen, int client_width, int client_height) {
    const plat::Rect outer = plat::window_rect_for_client(plat::WindowStyle::Dialog, {0, 0, client_width, client_height});
    const int width = outer.width(), height = outer.height();
    const int left = (screen.x - width) / 2, top = (screen.y - height) / 3;
    return {left, top, left + width, top + height};
}

void ShowSettingsDialog(DialogHost& host) {
    SettingsWindow dialog(host);
    if (!dialog.create()) return;
    dialog.load();
    plat::show_window(dialog.window(), true);
    dialog.focus_first_stop();
    // Modal: the process has no other window, so the loop ends when this one closes.
    plat::run_event_loop();
}

}  // namespace settings_dialog
