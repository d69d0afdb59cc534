#include "ui/win32/Win32Controls.h"

#include <commctrl.h>

#include "platform/win32/WideText.h"

namespace tarvelin::ui {

using platform::GdiObject;
using platform::Narrow;
using platform::Widen;

COLORREF Resolve(Color color) {
    if (color & platform::kSystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0xFFFFFF;
}

std::string WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

int32_t ShiftState() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int32_t ButtonOf(UINT message, WPARAM keys) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
            return kButtonLeft;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return kButtonRight;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return kButtonMiddle;
        default:
            return (keys & MK_LBUTTON ? kButtonLeft : 0) | (keys & MK_RBUTTON ? kButtonRight : 0) |
                   (keys & MK_MBUTTON ? kButtonMiddle : 0);
    }
}

GdiObject<HFONT> MakeFont(const platform::Font& font) {
    return GdiObject<HFONT>(CreateFontW(-font.pixelHeight, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                                        FALSE, font.underline, FALSE, DEFAULT_CHARSET,
                                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                        DEFAULT_PITCH | FF_DONTCARE, Widen(font.face).c_str()));
}

IpAddressBox::Fields ReadAddress(HWND window) {
    DWORD address = 0;
    const auto filled = static_cast<int32_t>(
        SendMessageW(window, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
    return AddressFields(address, filled);
}

// The control's own input comes back here through the model: writing what it already shows
// would fill the fields the user has not typed yet with zeros.
void WriteAddress(HWND window, const IpAddressBox& box) {
    if (ReadAddress(window) == box.Address()) return;
    if (box.Blank()) {
        SendMessageW(window, IPM_CLEARADDRESS, 0, 0);
        return;
    }
    const auto& f = box.Address();
    const auto field = [&](size_t i) { return static_cast<BYTE>(f[i] < 0 ? 0 : f[i]); };
    SendMessageW(window, IPM_SETADDRESS, 0,
                 static_cast<LPARAM>(MAKEIPADDRESS(field(0), field(1), field(2), field(3))));
}

namespace {

// The text of the list's item at index.
std::wstring ItemText(HWND window, size_t index) {
    const LRESULT length = SendMessageW(window, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(window, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

// The list catches up with the model: items are appended, changed in place or taken away
// (then the list is written anew), as the main page marks its connected modem's item.
void WriteItems(HWND window, const ComboBox& combo) {
    const auto& items = combo.Items();
    auto count = static_cast<size_t>(SendMessageW(window, CB_GETCOUNT, 0, 0));
    if (count > items.size()) {
        SendMessageW(window, CB_RESETCONTENT, 0, 0);
        count = 0;
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const std::wstring text = Widen(items[i].text);
        const auto item = reinterpret_cast<LPARAM>(text.c_str());
        if (i >= count) {
            SendMessageW(window, CB_ADDSTRING, 0, item);
        } else if (ItemText(window, i) != text) {
            SendMessageW(window, CB_DELETESTRING, i, 0);
            SendMessageW(window, CB_INSERTSTRING, i, item);
        }
    }
    SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(combo.ListIndex()), 0);
}

void SetRegion(HWND window, const std::optional<WindowRegion>& region) {
    GdiObject<HRGN> shape;
    if (region) {
        // One pixel larger at right and bottom: the system's rounded region leaves out its
        // last column and row.
        const Rect& r = region->rect;
        shape.reset(CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1,
                                       region->cornerWidth, region->cornerHeight));
        if (!shape) return;
    }
    // The system owns a region it accepted.
    if (SetWindowRgn(window, shape.get(), TRUE)) (void)shape.release();
}

}  // namespace tarvelin::ui
