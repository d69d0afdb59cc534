#pragma once
// The widget model the forms are made of: portable controls with the properties and events
// the forms use. A binding gives each widget a peer (a real window, or state kept in memory
// by the headless binding); the widget tells its peer about every change, and the binding
// raises the widget's events from the user's input. Presenters only see widgets.
//
// Widgets are held by std::shared_ptr: a handler may release a control, hide a page or
// unload the form from inside an event, so every event is raised through Deliver, which
// keeps the widget alive until the handlers are done.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Event.h"
#include "platform/Canvas.h"

namespace tarvelin::ui {

using platform::Color;
using platform::Font;
using platform::Point;
using platform::Rect;

enum class WidgetKind {
    Form,
    PictureBox,
    Label,
    Image,
    CommandButton,
    CheckBox,
    OptionButton,
    ComboBox,
    TextBox,
    ScrollBar,
    IpAddress,
};

// Mouse buttons and shift states as the forms receive them (the system's values).
enum MouseButton : int32_t {
    kButtonNone = 0,
    kButtonLeft = 1,
    kButtonRight = 2,
    kButtonMiddle = 4
};

struct MouseArgs {
    int32_t button = kButtonNone;
    int32_t shift = 0;
    int32_t x = 0;  // client pixels of the widget
    int32_t y = 0;
};

// Virtual-key codes of the keys the controls handle.
enum KeyCode : int32_t {
    kKeyTab = 9,
    kKeyReturn = 13,
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
};

struct KeyArgs {
    int32_t keyCode = 0;
    int32_t shift = 0;
};

// What changed on a widget, so that a peer updates only that.
enum class WidgetChange {
    Bounds,
    Visible,
    Enabled,
    Caption,  // caption or text
    Font,
    Colors,
    ToolTip,
    Pointer,
    Value,    // check state, scroll position and range, combo items and choice, address
    Picture,  // a picture box's or image's picture
    Focus,
    Window,  // a form's state, region, styles, task-bar button or z-order
};

class Widget;
class Form;

// The binding's side of one widget.
class IWidgetPeer {
  public:
    virtual ~IWidgetPeer() = default;
    virtual void Changed(Widget& widget, WidgetChange what) = 0;
    // Shows what was drawn on a picture box or form since the last refresh.
    virtual void Refresh(Widget& widget) = 0;
    // The widget's client origin on the screen.
    virtual Point ScreenOrigin(const Widget& widget) const = 0;
};

// The pointer shown over a widget: the system's arrow, or a cursor of the program's
// resources.
struct MousePointer {
    uint16_t cursorId = 0;  // 0: the default arrow
    friend bool operator==(const MousePointer&, const MousePointer&) = default;
};

class Widget : public std::enable_shared_from_this<Widget> {
  public:
    Widget(WidgetKind kind, std::string name);
    virtual ~Widget();
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    WidgetKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    Widget* Parent() const { return parent_; }
    // The top-level window the widget is on (itself for a form).
    Form* OwnerForm();
    const std::vector<std::shared_ptr<Widget>>& Children() const { return children_; }
    void AddChild(std::shared_ptr<Widget> child);
    // The child of that name anywhere below this widget, or null.
    Widget* Find(const std::string& name) const;

    // Position in the parent's client area (a form: on the screen), in pixels.
    const Rect& Bounds() const { return bounds_; }
    void SetBounds(const Rect& bounds);
    void Move(int32_t left, int32_t top);
    int32_t Width() const { return bounds_.Width(); }
    int32_t Height() const { return bounds_.Height(); }
    // The client area in the widget's own coordinates.
    Rect ClientRect() const { return {0, 0, bounds_.Width(), bounds_.Height()}; }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // Whether the widget and every parent are visible.
    bool Shown() const;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Whether the widget and every parent are enabled.
    bool Usable() const;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    const Font& GetFont() const { return font_; }
    void SetFont(const Font& font);
    Color ForeColor() const { return foreColor_; }
    Color BackColor() const { return backColor_; }
    void SetForeColor(Color color);
    void SetBackColor(Color color);
    const std::string& ToolTip() const { return toolTip_; }
    void SetToolTip(const std::string& text);
    int32_t TabIndex() const { return tabIndex_; }
    void SetTabIndex(int32_t index) { tabIndex_ = index; }
    MousePointer Pointer() const { return pointer_; }
    void SetPointer(MousePointer pointer);

    bool HasFocus() const;
    // Moves the keyboard focus here; the binding raises LostFocus and GotFocus.
    void SetFocus();

    // Screen position of a client point, and the reverse.
    Point ClientToScreen(Point client) const;
    Point ScreenToClient(Point screen) const;

    // Repaints: shows what a picture box or form has drawn.
    void Refresh();

    IWidgetPeer* Peer() const { return peer_.get(); }
    void SetPeer(std::unique_ptr<IWidgetPeer> peer) { peer_ = std::move(peer); }

    // Raises an event on behalf of the binding: the widget stays alive for the handlers,
    // whatever they release.
    template <typename Fn>
    void Deliver(Fn&& raise) {
        const auto self = weak_from_this().lock();  // null only while being built
        raise(*this);
    }

    Event<const MouseArgs&> MouseDown;
    Event<const MouseArgs&> MouseMove;
    Event<const MouseArgs&> MouseUp;
    Event<const KeyArgs&> KeyDown;
    Event<const KeyArgs&> KeyUp;
    Event<> GotFocus;
    Event<> LostFocus;
    Event<> Click;
    Event<> DblClick;
    Event<> Change;
    Event<> Scroll;

    // Tells the peer what changed; the setters call it.
    void Notify(WidgetChange what);

  private:
    void DropFocusWithin();

    WidgetKind kind_;
    std::string name_;
    Widget* parent_ = nullptr;
    std::vector<std::shared_ptr<Widget>> children_;
    Rect bounds_;
    bool visible_ = true;
    bool enabled_ = true;
    std::string caption_;
    Font font_;
    Color foreColor_ = platform::Rgb(0, 0, 0);
    Color backColor_ = platform::kSystemColorFlag | 15;  // the system's button face
    std::string toolTip_;
    int32_t tabIndex_ = 0;
    MousePointer pointer_;
    std::unique_ptr<IWidgetPeer> peer_;
};

}  // namespace tarvelin::ui
