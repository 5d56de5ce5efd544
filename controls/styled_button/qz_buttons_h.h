// qzButtons_H: an owner-drawn push button in eight styles and seven outlines, with a picture,
// gradients and hover colours. It is configured through its stored form (a PropertyBag) and
// its properties, paints as a function of its state onto an off-screen surface that is copied
// to its window's image in one block copy, and reports input to its host through callbacks.
//
// The sources are split by concern: button_properties.cpp (properties and the stored form),
// button_colours.cpp, button_paint.cpp and button_surface.cpp (colours, layout, the paint
// pipeline and the off-screen surface), button_outline.cpp and button_input.cpp (outline
// regions, mouse, keys, focus, hover tracking) and button_borders.cpp (border rings and
// focus marks); button_snapshot.cpp gives the look of a state (normal, hovered, pressed,
// focused, disabled, design).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "controls/property_bag.h"
#include "controls/styled_button/button_look.h"
#include "platform/draw.h"
#include "platform/types.h"

namespace controls {

using styled_button::ButtonPicture;

// What the button asks of the dialog that holds it.
class ButtonHost {
public:
    virtual ~ButtonHost() = default;
    // A designer edits the dialog (the program itself always runs in user mode).
    virtual bool design_mode() const { return false; }
    // The container's back colour (system colours allowed) and its font and fore colour, the
    // defaults of a new button.
    virtual plat::ColorRef ambient_back_colour() const { return plat::kButtonFaceColor; }
    virtual plat::ColorRef ambient_fore_colour() const { return plat::kButtonTextColor; }
    virtual StoredFont ambient_font() const { return {}; }
    // The dialog shows this button as its default button (design mode only).
    virtual bool displays_as_default() const { return false; }
    // A property under this stored key changed.
    virtual void property_changed(std::string_view /*key*/) {}
    // The name the host gives this instance ("qzButtons_H1").
    virtual std::string instance_name() const { return {}; }
    // A picture named in the stored form; none when the name is unknown.
    virtual std::optional<ButtonPicture> picture_named(std::string_view /*name*/) { return std::nullopt; }
    // An information box of the designer (design mode only).
    virtual void show_message(std::string_view /*text*/, std::string_view /*title*/) {}
};

// The events, raised with their arguments by reference. Unset ones are not raised.
struct ButtonEvents {
    using Mouse = std::function<void(std::int16_t& button, std::int16_t& shift, float& x, float& y)>;
    using Key = std::function<void(std::int16_t& key_code, std::int16_t& shift)>;
    Mouse MouseDown, MouseUp, MouseMove;
    Key KeyDown;
    std::function<void(std::int16_t& key_ascii)> KeyPress;
    Key KeyUp;
    std::function<void(bool& on_button)> MouseOnButton;
    std::function<void()> Click;
    std::function<void(std::int16_t& button)> DoubleClick;
    // Drag and drop, passed through unchanged from the window (neither platform raises them).
    std::function<void(std::int32_t& effect)> OLECompleteDrag;
    std::function<void(void* data, std::int32_t& effect, std::int16_t& button, std::int16_t& shift, float& x, float& y)> OLEDragDrop;
    std::function<void(void* data, std::int32_t& effect, std::int16_t& button, std::int16_t& shift, float& x, float& y,
                       std::int16_t& state)> OLEDragOver;
    std::function<void(std::int32_t& effect, bool& default_cursors)> OLEGiveFeedback;
    std::function<void(void* data, std::int16_t& data_format)> OLESetData;
    std::function<void(void* data, std::int32_t& allowed_effects)> OLEStartDrag;
};

class qzButtons_H {
public:
    // The hover timer's identifier and period, and the window properties that find the
    // button from its window while hover tracking runs.
    static constexpr int kHoverTimerId = 237;
    static constexpr std::uint32_t kHoverPeriodMs = 50;
    static constexpr std::string_view kClassIdProp = "qz_ClassID";
    static constexpr std::string_view kTimerIdProp = "qz_TimerID";
    // The caption of a newly made button until it is first sized.
    static const std::string& construction_marker();

    explicit qzButtons_H(ButtonHost& host, ButtonEvents events = {});
    ~qzButtons_H();
    qzButtons_H(const qzButtons_H&) = delete;
    qzButtons_H& operator=(const qzButtons_H&) = delete;

    // The button's window inside `parent`, at `rect` in the parent's pixels; the first sizing
    // builds the region and surface and paints.
    bool Create(plat::WindowHandle parent, plat::Rect rect);
    // Moves or resizes the window (the resize handling follows).
    void Move(plat::Rect rect);
    ButtonEvents& events() { return events_; }

    // ---- The stored form ----
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // ---- Properties ----
    int ButtonStyle() const { return style_; }
    void SetButtonStyle(int value);
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view value);
    int CaptionAlign() const { return caption_align_; }
    void SetCaptionAlign(int value);
    int CaptionStyle() const { return caption_style_; }
    void SetCaptionStyle(int value);
    int ButtonShape() const { return shape_; }
    void SetButtonShape(int value);
    const std::optional<ButtonPicture>& Picture() const { return picture_; }
    void SetPicture(std::optional<ButtonPicture> value);
    int PictureAlign() const { return picture_align_; }
    void SetPictureAlign(int value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    bool ShowFocusRect() const { return show_focus_rect_; }
    void SetShowFocusRect(bool value);
    int PictureSize() const { return picture_size_; }  // 0..4: 16, 24, 32, 40, 48 pixels
    void SetPictureSize(int value);
    int MousePointer() const { return mouse_pointer_; }
    void SetMousePointer(int value);
    plat::Icon MouseIcon() const { return mouse_icon_; }
    // `name` is how the stored form names the icon.
    void SetMouseIcon(plat::Icon value, std::string_view name = {});
    const StoredFont& Font() const { return font_; }
    void SetFont(const StoredFont& value);
    int FontStyle() const;
    void SetFontStyle(int value);
    plat::ColorRef ForeColor() const { return fore_; }
    void SetForeColor(plat::ColorRef value);
    plat::ColorRef BackColor() const { return back_; }
    void SetBackColor(plat::ColorRef value);
    plat::ColorRef GradientColor() const { return gradient_; }
    void SetGradientColor(plat::ColorRef value);
    int GradientMode() const { return gradient_mode_; }
    void SetGradientMode(int value);
    bool ResetDefaultColors() const { return false; }
    void SetResetDefaultColors(bool value);
    int HoverColorLocks() const { return hover_locks_; }
    void SetHoverColorLocks(int value);
    plat::ColorRef HoverForeColor() const { return hover_fore_; }
    void SetHoverForeColor(plat::ColorRef value);
    plat::ColorRef HoverBackColor() const { return hover_back_; }
    void SetHoverBackColor(plat::ColorRef value);
    plat::Dc hDC() const;
    plat::WindowHandle hWnd() const { return window_; }

    // ---- Methods ----
    void Refresh();
    void DelayDrawing(bool delay);

    // ---- Host notices ----
    // One of the host's own properties changed ("DisplayAsDefault", "BackColor").
    void AmbientChanged(std::string_view name);
    // The host shows the control.
    void Show();

    // ---- State, for the host and the tests ----
    int state_flags() const { return flags_; }
    bool hover_tracking() const { return hover_tracking_; }
    int last_button() const { return last_button_; }
    // True while the Click being raised comes from the keyboard (Space or the access key),
    // so that a host acting on the mouse's press can act on the keys' Click alone.
    bool clicking_by_keyboard() const { return keyboard_click_; }
    int access_key() const { return access_key_; }
    int left_inset() const { return xl_; }
    int right_extent() const { return xr_; }
    plat::Point size() const { return {width_, height_}; }
    const styled_button::ButtonLayout& layout() const { return layout_; }
    // Everything the painting reads, as it stands now.
    styled_button::ButtonLook look() const;

private:
    friend struct ButtonWindowGlue;
    // Properties and their dependants.
    void changed(std::string_view key);
    void derive_colours();
    void read_picture_facts();
    void build_font();
    void repaint();
    void find_access_key();
    void follow_locks_back();
    // Surface and painting.
    void make_surface();
    void renew_surface_bitmap();
    void drop_surface();
    void full_paint();
    void on_paint();
    void show_surface();
    // Region and input.
    void rebuild_region();
    void on_resize();
    void on_mouse_down(int button, plat::Point p);
    void on_mouse_up(int button, plat::Point p);
    void on_mouse_move(int buttons, plat::Point p);
    void on_click();
    void click_by_keyboard();
    void on_double_click(int button, plat::Point p);
    void on_key_down(int key);
    void on_key_up(int key);
    void on_char(int character);
    void on_access_key();
    void on_focus(bool gained);
    void on_timer(int id);
    void on_unload();
    void start_hover_tracking();
    void stop_hover_tracking();
    void apply_cursor();
    std::int16_t shift() const;

    ButtonHost& host_;
    ButtonEvents events_;
    plat::WindowHandle window_ = plat::WindowHandle::None;
    int width_ = 0, height_ = 0;

    int style_ = 0, caption_align_ = 2, caption_style_ = 0, shape_ = 0, picture_align_ = 0;
    int picture_size_ = 0, mouse_pointer_ = 0, gradient_mode_ = 0, hover_locks_ = 0;
    std::string caption_;
    std::optional<ButtonPicture> picture_;
    bool picture_size_set_ = false;
    bool enabled_ = true, show_focus_rect_ = true;
    plat::Icon mouse_icon_ = plat::Icon::None;
    std::string mouse_icon_name_;
    StoredFont font_;
    plat::ColorRef fore_ = plat::kButtonTextColor, back_ = plat::kButtonFaceColor, gradient_ = 0, hover_fore_ = 0,
                   hover_back_ = plat::kButtonFaceColor;

    int flags_ = 0;
    bool hover_tracking_ = false;
    int last_button_ = 0;
    bool keyboard_click_ = false;
    bool delay_ = false;
    int access_key_ = 0;
    styled_button::FaceColours faces_;
    plat::ColorRef container_ = 0;
    int picture_kind_ = 0, picture_width_ = 0, picture_height_ = 0;
    styled_button::ButtonLayout layout_;
    plat::ColorRef caption_base_ = 0;
    int xl_ = 0, xr_ = 0;

    // The off-screen surface and what it holds.
    plat::Dc surface_ = plat::Dc::None;
    plat::GdiObject surface_bitmap_ = plat::GdiObject::None;
    plat::GdiObject initial_bitmap_ = plat::GdiObject::None, initial_pen_ = plat::GdiObject::None;
    plat::GdiObject initial_brush_ = plat::GdiObject::None, initial_font_ = plat::GdiObject::None;
    plat::GdiObject pen_ = plat::GdiObject::None, brush_ = plat::GdiObject::None, font_object_ = plat::GdiObject::None;
    styled_button::PaintCache cache_;
};

}  // namespace controls
