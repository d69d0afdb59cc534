#include "ui/win32/Win32WidgetPeer.h"

#include <commctrl.h>
#include <windowsx.h>

#include <string>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32NotifyArea.h"
#include "platform/win32/WindowStyle.h"
#include "ui/win32/Win32Controls.h"

namespace tarvelin::ui {
namespace {

using platform::GdiObject;
using platform::Widen;

constexpr wchar_t kFormClass[] = L"TarvelinForm";
constexpr wchar_t kPictureClass[] = L"TarvelinPicture";
// Where a system control keeps the procedure ours wraps: a window property stays readable
// after the peer is gone, so the control always reaches its own code.
constexpr wchar_t kSystemProc[] = L"TarvelinSystemProc";
// The open list of a combo box below its edit part.
constexpr int32_t kDropHeight = 160;
constexpr uint16_t kWaitCursor = 32514;  // the system's hourglass, IDC_WAIT by number
// The extended styles a form's model decides; the others stay the system's.
constexpr LONG_PTR kFormExStyles =
    WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;

struct WindowKind {
    const wchar_t* className = nullptr;  // null: windowless
    DWORD style = 0;
    DWORD exStyle = 0;
};

WindowKind KindOf(const Widget& widget) {
    constexpr DWORD kChild = WS_CHILD | WS_CLIPSIBLINGS;
    switch (widget.Kind()) {
        case WidgetKind::Form:
            return {kFormClass, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0};
        case WidgetKind::PictureBox:
            return {kPictureClass, kChild | WS_CLIPCHILDREN, 0};
        case WidgetKind::CommandButton:
            return {L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case WidgetKind::CheckBox:
            return {L"BUTTON", kChild | WS_TABSTOP | BS_CHECKBOX, 0};
        case WidgetKind::OptionButton:
            return {L"BUTTON", kChild | WS_TABSTOP | BS_RADIOBUTTON, 0};
        case WidgetKind::ComboBox:
            return {L"COMBOBOX", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
        case WidgetKind::TextBox:
            return {L"EDIT", kChild | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case WidgetKind::ScrollBar:
            return {L"SCROLLBAR", kChild | SBS_VERT, 0};
        case WidgetKind::IpAddress:
            return {WC_IPADDRESSW, kChild | WS_TABSTOP, 0};
        case WidgetKind::Label:
        case WidgetKind::Image:
            break;
    }
    return {};
}

void RegisterClasses() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES};
        InitCommonControlsEx(&controls);
        for (const wchar_t* name : {kFormClass, kPictureClass}) {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.style = CS_DBLCLKS;
            windowClass.lpfnWndProc = &Win32WidgetPeer::HostProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = name;
            // The program's icon (resource 1) on the task bar and in the task switcher.
            windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
            RegisterClassExW(&windowClass);
        }
        return true;
    }();
    (void)registered;
}

bool OwnClass(const Widget& widget) {
    const wchar_t* name = KindOf(widget).className;
    return name == kFormClass || name == kPictureClass;
}

Win32WidgetPeer* PeerOf(HWND window) {
    return window ? reinterpret_cast<Win32WidgetPeer*>(GetWindowLongPtrW(window, GWLP_USERDATA))
                  : nullptr;
}

WNDPROC SystemProc(HWND window) {
    return reinterpret_cast<WNDPROC>(GetPropW(window, kSystemProc));
}

// A widget and its form, held for one message: nothing is handled for a widget already
// gone or on a form being destroyed.
struct Held {
    std::shared_ptr<Widget> widget;
    std::shared_ptr<Widget> form;
    explicit operator bool() const { return widget && form; }
};

Held Hold(const std::weak_ptr<Widget>& weak) {
    Held held{weak.lock(), nullptr};
    if (Form* form = held.widget ? held.widget->OwnerForm() : nullptr)
        held.form = form->weak_from_this().lock();
    return held;
}

bool Windowless(const Widget& widget) {
    return widget.Kind() == WidgetKind::Label || widget.Kind() == WidgetKind::Image;
}

// The windowless widget on the host at that client point, topmost first, or the host.
std::shared_ptr<Widget> HitTarget(Widget& host, Point at) {
    const auto& children = host.Children();
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        if (Windowless(**child) && (*child)->Shown() && (*child)->Usable() &&
            (*child)->Bounds().Contains(at))
            return *child;
    }
    return host.weak_from_this().lock();
}

// An owned window stays above its owner, and goes to the front with it when the user clicks
// the owner while it is disabled.
void ApplyOwner(HWND window, const Form& form) {
    const Form* owner = form.Owner();
    const auto* peer = owner ? dynamic_cast<const Win32WidgetPeer*>(owner->Peer()) : nullptr;
    const HWND wanted = peer ? peer->Window() : nullptr;
    if (reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT)) != wanted)
        SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(wanted));
}

void PaintWindowless(platform::ICanvas& canvas, const Widget& child, Win32BitmapCache& bitmaps) {
    if (!child.Visible()) return;
    if (const auto* label = dynamic_cast<const Label*>(&child)) {
        Rect rect = child.Bounds();
        const Color color =
            child.Usable() ? child.ForeColor() : platform::kSystemColorFlag | COLOR_GRAYTEXT;
        canvas.DrawText(child.Caption(), rect, label->Alignment(), child.GetFont(), color);
    } else if (const auto* image = dynamic_cast<const ImageBox*>(&child)) {
        if (const auto* bitmap = bitmaps.Get(image->PictureId()))
            canvas.DrawImage(*bitmap, {child.Bounds().left, child.Bounds().top});
    }
}

// The widget's window in its host: a combo box's includes its dropped list.
Rect WindowRect(const Widget& widget) {
    Rect r = widget.Bounds();
    if (widget.Kind() == WidgetKind::ComboBox) r.bottom += kDropHeight;
    return r;
}

}  // namespace

Win32WidgetPeer::Win32WidgetPeer(Widget& widget, std::shared_ptr<Win32BitmapCache> bitmaps)
    : widget_(widget.weak_from_this()), bitmaps_(std::move(bitmaps)) {
    RegisterClasses();
    CreateWindowFor(widget);
}

// The window forgets its peer before it goes, so that what it is sent while being
// destroyed reaches no widget; a system control keeps its own procedure to the end.
Win32WidgetPeer::~Win32WidgetPeer() {
    if (tips_) DestroyWindow(tips_);
    if (!window_) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

HWND Win32WidgetPeer::HostWindow(const Widget& widget) const {
    const Widget* parent = widget.Parent();
    const auto* peer = parent ? dynamic_cast<const Win32WidgetPeer*>(parent->Peer()) : nullptr;
    return peer ? peer->window_ : nullptr;
}

void Win32WidgetPeer::CreateWindowFor(Widget& widget) {
    const WindowKind kind = KindOf(widget);
    const bool isForm = widget.Kind() == WidgetKind::Form;
    HWND parent = isForm ? nullptr : HostWindow(widget);
    if (!kind.className || (!isForm && !parent)) return;
    const DWORD visible = !isForm && widget.Visible() ? WS_VISIBLE : 0;
    // A control is made at its place and size: the address control lays out its four fields
    // only when it is made, and would keep them empty-sized after a later move.
    const Rect r = isForm ? Rect{} : WindowRect(widget);
    window_ =
        CreateWindowExW(kind.exStyle, kind.className, L"", kind.style | visible, r.left, r.top,
                        r.Width(), r.Height(), parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window_) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (OwnClass(widget)) return;
    SetPropW(window_, kSystemProc,
             reinterpret_cast<HANDLE>(GetWindowLongPtrW(window_, GWLP_WNDPROC)));
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc));
}

void Win32WidgetPeer::ApplyAll(Widget& widget) {
    ApplyBounds(widget);
    ApplyFont(widget);
    ApplyCaption(widget);
    ApplyValue(widget);
    if (window_) {
        ApplyWindow(widget);
        EnableWindow(window_, widget.Enabled());
    }
    ApplyToolTip(widget);
}

void Win32WidgetPeer::Changed(Widget& widget, WidgetChange what) {
    switch (what) {
        case WidgetChange::Bounds:
            ApplyBounds(widget);
            break;
        case WidgetChange::Visible:
            ApplyVisible(widget);
            break;
        case WidgetChange::Enabled:
            if (window_) EnableWindow(window_, widget.Enabled());
            Invalidate(widget, false);
            break;
        case WidgetChange::Caption:
            ApplyCaption(widget);
            break;
        case WidgetChange::Font:
            ApplyFont(widget);
            break;
        case WidgetChange::Colors:
            brush_.reset();
            Invalidate(widget, false);
            break;
        case WidgetChange::ToolTip:
            ApplyToolTip(widget);
            break;
        case WidgetChange::Pointer:
            // Read when the system asks for the pointer; a form's hourglass shows at once
            // under a mouse that does not move.
            if (widget.Kind() == WidgetKind::Form) AskForPointer();
            break;
        case WidgetChange::Value:
            ApplyValue(widget);
            break;
        case WidgetChange::Picture:
            Invalidate(widget, false);
            break;
        case WidgetChange::Focus:
            if (window_ && GetFocus() != window_) ::SetFocus(window_);
            break;
        case WidgetChange::Window:
            ApplyWindow(widget);
            break;
    }
}

void Win32WidgetPeer::Refresh(Widget& widget) {
    Invalidate(widget, true);
}

Point Win32WidgetPeer::ScreenOrigin(const Widget& widget) const {
    POINT origin{};
    if (window_) {
        ClientToScreen(window_, &origin);
    } else if (HWND host = HostWindow(widget)) {
        origin = {widget.Bounds().left, widget.Bounds().top};
        ClientToScreen(host, &origin);
    }
    return {origin.x, origin.y};
}

void Win32WidgetPeer::Invalidate(const Widget& widget, bool now) {
    HWND target = window_;
    if (!target) {
        target = HostWindow(widget);
        if (!target) return;
        for (const Rect& r : {painted_, widget.Bounds()}) {
            const RECT rect{r.left, r.top, r.right, r.bottom};
            InvalidateRect(target, &rect, FALSE);
        }
        painted_ = widget.Bounds();
    } else {
        InvalidateRect(target, nullptr, FALSE);
    }
    if (now) UpdateWindow(target);
}

void Win32WidgetPeer::ApplyBounds(const Widget& widget) {
    if (!window_) {
        Invalidate(widget, false);
        if (tipAdded_) ApplyToolTip(widget);
        return;
    }
    const Rect r = WindowRect(widget);
    MoveWindow(window_, r.left, r.top, r.Width(), r.Height(), TRUE);
}

void Win32WidgetPeer::ApplyVisible(const Widget& widget) {
    if (!window_) {
        Invalidate(widget, false);
        return;
    }
    int show = widget.Visible() ? SW_SHOWNA : SW_HIDE;
    const auto* form = dynamic_cast<const Form*>(&widget);
    if (form && widget.Visible() && !(form->ExtendedStyle() & kStyleNoActivate))
        show = form->State() == WindowState::Minimised ? SW_SHOWMINIMIZED : SW_SHOW;
    ShowWindow(window_, show);
}

void Win32WidgetPeer::ApplyCaption(const Widget& widget) {
    if (!window_) {
        Invalidate(widget, false);
        return;
    }
    const bool changed = WindowText(window_) != widget.Caption();
    applying_ = true;
    if (const auto* text = dynamic_cast<const TextBox*>(&widget)) {
        const char32_t c = text->PasswordChar();
        SendMessageW(window_, EM_SETPASSWORDCHAR, c > 0xFFFF ? L'*' : static_cast<WPARAM>(c), 0);
        SendMessageW(window_, EM_LIMITTEXT, static_cast<WPARAM>(text->MaxLength()), 0);
    }
    if (changed) SetWindowTextW(window_, Widen(widget.Caption()).c_str());
    applying_ = false;
    InvalidateRect(window_, nullptr, TRUE);
}

// The new font is in use before the old one is deleted. Our own windows draw their texts
// through the canvas, which makes the fonts it needs: they hold none, nor do windowless ones.
void Win32WidgetPeer::ApplyFont(const Widget& widget) {
    if (!window_ || OwnClass(widget)) {
        Invalidate(widget, false);
        return;
    }
    GdiObject<HFONT> font = MakeFont(widget.GetFont());
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
}

void Win32WidgetPeer::ApplyValue(Widget& widget) {
    if (!window_) return;
    applying_ = true;
    if (const auto* check = dynamic_cast<const CheckBox*>(&widget)) {
        SendMessageW(window_, BM_SETCHECK, check->Value() ? BST_CHECKED : BST_UNCHECKED, 0);
    } else if (const auto* combo = dynamic_cast<const ComboBox*>(&widget)) {
        WriteItems(window_, *combo);
    } else if (const auto* bar = dynamic_cast<const ScrollBar*>(&widget)) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS, bar->Min(), bar->Max(),
                        0,           bar->Value(),        0};
        SetScrollInfo(window_, SB_CTL, &info, TRUE);
    } else if (const auto* address = dynamic_cast<const IpAddressBox*>(&widget)) {
        WriteAddress(window_, *address);
    }
    applying_ = false;
}

void Win32WidgetPeer::ApplyToolTip(const Widget& widget) {
    Form* form = const_cast<Widget&>(widget).OwnerForm();
    auto* owner = form ? dynamic_cast<Win32WidgetPeer*>(form->Peer()) : nullptr;
    if (!owner || !owner->window_ || (widget.ToolTip().empty() && !tipAdded_)) return;
    if (!owner->tips_) {
        owner->tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner->window_,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!owner->tips_) return;
    }
    std::wstring text = Widen(widget.ToolTip());
    // A windowed widget is its own tool; a windowless one is a rectangle of its host.
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS | (window_ ? TTF_IDISHWND : 0);
    tool.hwnd = window_ ? (form == &widget ? window_ : GetParent(window_)) : HostWindow(widget);
    tool.uId = window_ ? reinterpret_cast<UINT_PTR>(window_) : reinterpret_cast<UINT_PTR>(this);
    const Rect& r = widget.Bounds();
    tool.rect = {r.left, r.top, r.right, r.bottom};
    tool.lpszText = text.data();
    if (text.empty()) {
        SendMessageW(owner->tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        tipAdded_ = false;
    } else if (tipAdded_) {
        SendMessageW(owner->tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!window_)
            SendMessageW(owner->tips_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        tipAdded_ =
            SendMessageW(owner->tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    }
}

Win32WidgetPeer::Look Win32WidgetPeer::LookOf(const Widget& widget) const {
    Look look;
    if (const auto* form = dynamic_cast<const Form*>(&widget)) {
        look.exStyle = form->ExtendedStyle() | (form->ShowInTaskbar() ? 0 : WS_EX_TOOLWINDOW);
        look.state = form->State();
        look.opacity = form->Opacity();
        look.colorKey = form->ColorKey();
    }
    if (const auto* box = dynamic_cast<const PictureBox*>(&widget)) {
        look.border = box->Border();
        look.region = box->Region();
    }
    if (const auto* button = dynamic_cast<const CommandButton*>(&widget))
        look.flat = button->Flat();
    return look;
}

// Every window change but BringToFront changes the look; a form told of a change that
// leaves its look as it was was asked to come to the front.
void Win32WidgetPeer::ApplyWindow(Widget& widget) {
    if (!window_) return;
    if (widget.Kind() == WidgetKind::Form) ApplyOwner(window_, static_cast<Form&>(widget));
    const Look look = LookOf(widget);
    if (look == look_ && applied_) {
        if (widget.Kind() == WidgetKind::Form) SetForegroundWindow(window_);
        return;
    }
    applied_ = true;
    if (widget.Kind() == WidgetKind::Form) ApplyFormLook(static_cast<Form&>(widget), look);
    if (widget.Kind() == WidgetKind::PictureBox) {
        platform::SetWindowStyleBits(window_, GWL_STYLE, WS_BORDER, look.border);
        SetRegion(window_, look.region);
    }
    if (widget.Kind() == WidgetKind::CommandButton)
        platform::SetWindowStyleBits(window_, GWL_STYLE, BS_FLAT, look.flat);
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(window_, nullptr, TRUE);
    look_ = look;
}

void Win32WidgetPeer::ApplyFormLook(const Form& form, const Look& look) {
    const LONG_PTR current = GetWindowLongPtrW(window_, GWL_EXSTYLE);
    const LONG_PTR wanted = (current & ~kFormExStyles & ~WS_EX_TOPMOST) |
                            (static_cast<LONG_PTR>(look.exStyle) & kFormExStyles & ~WS_EX_TOPMOST) |
                            (current & WS_EX_TOPMOST);
    const bool shown = IsWindowVisible(window_) != FALSE;
    if (wanted != current) {
        // The task bar reads the tool-window style only when a window is shown.
        const bool taskbar = ((wanted ^ current) & WS_EX_TOOLWINDOW) != 0 && shown;
        if (taskbar) ShowWindow(window_, SW_HIDE);
        SetWindowLongPtrW(window_, GWL_EXSTYLE, wanted);
        if (taskbar) ShowWindow(window_, SW_SHOWNA);
    }
    SetWindowPos(window_, look.exStyle & WS_EX_TOPMOST ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // A layered window shows nothing until its opacity is set.
    if (look.exStyle & WS_EX_LAYERED) {
        const COLORREF key = look.colorKey ? static_cast<COLORREF>(*look.colorKey) : 0;
        SetLayeredWindowAttributes(window_, key, look.opacity,
                                   LWA_ALPHA | (look.colorKey ? LWA_COLORKEY : 0));
    }
    SetRegion(window_, look.region);
    if (!shown) return;  // shown minimised or not when it is shown
    const bool iconic = IsIconic(window_) != FALSE;
    if (form.State() == WindowState::Minimised && !iconic) ShowWindow(window_, SW_MINIMIZE);
    if (form.State() == WindowState::Normal && iconic) ShowWindow(window_, SW_RESTORE);
}

LRESULT CALLBACK Win32WidgetPeer::HostProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    Win32WidgetPeer* peer = PeerOf(window);
    if (peer && message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        peer->window_ = nullptr;
        peer->tips_ = nullptr;  // owned by the form's window, gone with it
    } else if (peer) {
        // Held to the end: a handler may drop the form, which then goes after the message.
        const Held held = Hold(peer->widget_);
        if (held) return peer->Handle(*held.widget, window, message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32WidgetPeer::ControlProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    const WNDPROC system = SystemProc(window);
    if (!system) return DefWindowProcW(window, message, wParam, lParam);
    Win32WidgetPeer* peer = PeerOf(window);
    if (message == WM_NCDESTROY) {
        if (peer) peer->window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        const LRESULT result = CallWindowProcW(system, window, message, wParam, lParam);
        RemovePropW(window, kSystemProc);
        return result;
    }
    const Held held = peer ? Hold(peer->widget_) : Held{};
    if (held) {
        if (const auto answer = peer->HandleCommon(*held.widget, window, message, wParam, lParam))
            return *answer;
    }
    return CallWindowProcW(system, window, message, wParam, lParam);
}

LRESULT Win32WidgetPeer::Handle(Widget& widget, HWND window, UINT message, WPARAM wParam,
                                LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            Paint(widget, dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(widget, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
            Mouse(widget, message, wParam, lParam);
            return 0;
        case WM_CAPTURECHANGED:
            pressed_.reset();
            return 0;
        case WM_COMMAND:
        case WM_VSCROLL:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (const auto answer = FromControl(message, wParam, lParam)) return *answer;
            break;
        case WM_CLOSE:
            if (auto* form = dynamic_cast<Form*>(&widget)) form->Close();  // may be cancelled
            return 0;
        case WM_MOVE:
            // The system moved the window (a drag by the background): the model follows. A
            // minimised window's place is its icon's, which the model does not keep.
            if (auto* form = dynamic_cast<Form*>(&widget);
                form && IsWindowVisible(window) && !IsIconic(window)) {
                RECT r;
                if (GetWindowRect(window, &r)) form->Move(r.left, r.top);
            }
            return 0;
        case WM_SIZE:
            // Only a shown window's size is the user's doing: moving a hidden one reports
            // a normal size whatever state the model keeps for its showing.
            if (auto* form = dynamic_cast<Form*>(&widget);
                form && wParam != SIZE_MAXIMIZED && IsWindowVisible(window))
                form->SetState(wParam == SIZE_MINIMIZED ? WindowState::Minimised
                                                        : WindowState::Normal);
            return 0;
        default:
            if (const auto answer = HandleCommon(widget, window, message, wParam, lParam))
                return *answer;
            if (auto* form = dynamic_cast<Form*>(&widget);
                form && message == platform::TaskbarCreatedMessage()) {
                form->ShellRestarted.Raise();
                return 0;
            }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A control tells its parent; the control's own peer answers.
std::optional<LRESULT> Win32WidgetPeer::FromControl(UINT message, WPARAM wParam, LPARAM lParam) {
    Win32WidgetPeer* control = PeerOf(reinterpret_cast<HWND>(lParam));
    const Held held = control ? Hold(control->widget_) : Held{};
    if (!held || control == this) return std::nullopt;
    if (message == WM_COMMAND) {
        control->Command(*held.widget, HIWORD(wParam));
    } else if (message == WM_VSCROLL) {
        if (auto* bar = dynamic_cast<ScrollBar*>(held.widget.get()))
            control->Scrolled(*bar, LOWORD(wParam));
    } else {
        return reinterpret_cast<LRESULT>(
            control->ControlColors(*held.widget, reinterpret_cast<HDC>(wParam)));
    }
    return 0;
}

std::optional<LRESULT> Win32WidgetPeer::HandleCommon(Widget& widget, HWND window, UINT message,
                                                     WPARAM wParam, LPARAM lParam) {
    Form* form = widget.OwnerForm();
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP: {
            if (wParam == VK_TAB) {
                // No dialog manager runs the loop: the tab order is the model's.
                Widget* next = message == WM_KEYDOWN
                                   ? form->NextInTabOrder(GetKeyState(VK_SHIFT) < 0)
                                   : nullptr;
                if (next) next->SetFocus();
                return 0;
            }
            const KeyArgs args{static_cast<int32_t>(wParam), ShiftState()};
            widget.Deliver(
                [&](Widget& w) { (message == WM_KEYDOWN ? w.KeyDown : w.KeyUp).Raise(args); });
            return std::nullopt;
        }
        case WM_CHAR:
            if (wParam == VK_TAB) return 0;  // the tab moved the focus
            return std::nullopt;
        case WM_SETFOCUS:
            if (form != &widget) {
                form->MoveFocus(&widget);
            } else if (Widget* focused = form->Focused()) {
                // The form activated: the focus goes back where it was.
                focused->Notify(WidgetChange::Focus);
            }
            return std::nullopt;
        case WM_KILLFOCUS: {
            HWND next = reinterpret_cast<HWND>(wParam);
            const Win32WidgetPeer* formPeer = dynamic_cast<Win32WidgetPeer*>(form->Peer());
            const bool staysOnForm =
                next && formPeer && (next == formPeer->window_ || IsChild(formPeer->window_, next));
            if (!staysOnForm && form != &widget) form->MoveFocus(nullptr);
            return std::nullopt;
        }
        case WM_SETCURSOR:
            // Children ask their parent first: the hourglass covers the system's controls too.
            if (LOWORD(lParam) == HTCLIENT && form && form->WaitPointer()) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(kWaitCursor)));
                return TRUE;
            }
            if (LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == window &&
                SetPointer(widget))
                return TRUE;
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

void Win32WidgetPeer::AskForPointer() const {
    POINT at{};
    if (!window_ || !GetCursorPos(&at)) return;
    HWND under = WindowFromPoint(at);
    if (under && (under == window_ || IsChild(window_, under)))
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

bool Win32WidgetPeer::SetPointer(Widget& widget) {
    std::shared_ptr<Widget> target = widget.weak_from_this().lock();
    if (OwnClass(widget)) {
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(window_, &at);
        target = HitTarget(widget, {at.x, at.y});
    } else if (widget.Pointer().cursorId == 0) {
        return false;  // the control's own pointer
    }
    if (!target) return false;
    const uint16_t id = target->Pointer().cursorId;
    HCURSOR cursor = id ? LoadCursorW(bitmaps_->Module(), MAKEINTRESOURCEW(id)) : nullptr;
    // The arrow (IDC_ARROW) by number: the wide name of the system cursor.
    SetCursor(cursor ? cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    return true;
}

// Background, the picture resource, the memory picture, then the windowless widgets on it.
void Win32WidgetPeer::Paint(Widget& widget, HDC dc) {
    RECT client{};
    GetClientRect(window_, &client);
    platform::Win32Canvas canvas(dc, {0, 0, client.right, client.bottom});
    canvas.FillRect({0, 0, client.right, client.bottom}, widget.BackColor());
    if (const auto* box = dynamic_cast<const PictureBox*>(&widget)) {
        if (const auto* picture = bitmaps_->Get(box->PictureId())) canvas.DrawImage(*picture, {});
        if (const auto* image = box->Image()) canvas.DrawImage(*image, {});
    }
    for (const auto& child : widget.Children()) PaintWindowless(canvas, *child, *bitmaps_);
}

// A press captures the mouse for the widget under it (the host or a windowless widget on
// it) until the last button is released, as the system does for picture boxes.
void Win32WidgetPeer::Mouse(Widget& widget, UINT message, WPARAM wParam, LPARAM lParam) {
    const Point at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    std::shared_ptr<Widget> target = pressed_.lock();
    if (!target) target = HitTarget(widget, at);
    if (!target) return;
    const Point offset =
        target.get() == &widget ? Point{} : Point{target->Bounds().left, target->Bounds().top};
    const MouseArgs args{ButtonOf(message, wParam), ShiftState(), at.x - offset.x, at.y - offset.y};
    switch (message) {
        case WM_MOUSEMOVE:
            target->Deliver([&](Widget& w) { w.MouseMove.Raise(args); });
            return;
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            pressed_ = target;
            afterDoubleClick_ = message == WM_LBUTTONDBLCLK;
            SetCapture(window_);
            if (afterDoubleClick_)
                target->Deliver([](Widget& w) { w.DblClick.Raise(); });
            else
                target->Deliver([&](Widget& w) { w.MouseDown.Raise(args); });
            return;
        default:
            break;
    }
    // A release within the widget that a double click did not start is also a click.
    const bool click = message == WM_LBUTTONUP && !afterDoubleClick_ &&
                       target->ClientRect().Contains({args.x, args.y});
    if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
    target->Deliver([&](Widget& w) {
        w.MouseUp.Raise(args);
        if (click) w.Click.Raise();
    });
}

void Win32WidgetPeer::Command(Widget& widget, UINT code) {
    if (applying_ || !window_) return;
    switch (widget.Kind()) {
        case WidgetKind::CommandButton:
            if (code == BN_CLICKED) widget.Deliver([](Widget& w) { w.Click.Raise(); });
            break;
        case WidgetKind::CheckBox:
        case WidgetKind::OptionButton:
            // The model sets the value, so that an option group stays the model's.
            if (code == BN_CLICKED) {
                auto& check = static_cast<CheckBox&>(widget);
                check.SetValue(widget.Kind() == WidgetKind::OptionButton || !check.Value());
            }
            break;
        case WidgetKind::ComboBox:
            if (code == CBN_SELCHANGE)
                static_cast<ComboBox&>(widget).SetListIndex(
                    static_cast<int32_t>(SendMessageW(window_, CB_GETCURSEL, 0, 0)));
            break;
        case WidgetKind::TextBox:
            if (code == EN_CHANGE) static_cast<TextBox&>(widget).SetText(WindowText(window_));
            break;
        case WidgetKind::IpAddress:
            if (code == EN_CHANGE)
                static_cast<IpAddressBox&>(widget).SetAddress(ReadAddress(window_));
            break;
        default:
            break;
    }
}

void Win32WidgetPeer::Scrolled(ScrollBar& bar, int code) {
    if (applying_ || !window_) return;
    int32_t value = bar.Value();
    switch (code) {
        case SB_LINEUP:
            value -= bar.SmallChange();
            break;
        case SB_LINEDOWN:
            value += bar.SmallChange();
            break;
        case SB_PAGEUP:
            value -= bar.LargeChange();
            break;
        case SB_PAGEDOWN:
            value += bar.LargeChange();
            break;
        case SB_TOP:
            value = bar.Min();
            break;
        case SB_BOTTOM:
            value = bar.Max();
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            if (GetScrollInfo(window_, SB_CTL, &info)) value = info.nTrackPos;
            break;
        }
        default:
            return;
    }
    bar.SetValue(value);
    // The thumb dragged: the value changes as it moves, and Scroll says so.
    if (code == SB_THUMBTRACK) bar.Deliver([](Widget& w) { w.Scroll.Raise(); });
}

HBRUSH Win32WidgetPeer::ControlColors(const Widget& widget, HDC dc) {
    SetTextColor(dc, Resolve(widget.ForeColor()));
    SetBkColor(dc, Resolve(widget.BackColor()));
    if (!brush_) brush_.reset(CreateSolidBrush(Resolve(widget.BackColor())));
    return brush_.get();
}

}  // namespace tarvelin::ui
