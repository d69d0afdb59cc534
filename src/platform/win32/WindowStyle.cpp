#include "platform/win32/WindowStyle.h"

namespace tarvelin::platform {

bool SetWindowStyleBits(HWND window, int styleIndex, LONG_PTR bits, bool on) {
    LONG_PTR style = GetWindowLongPtrW(window, styleIndex);
    style = on ? (style | bits) : (style & ~bits);
    SetWindowLongPtrW(window, styleIndex, style);
    return GetWindowLongPtrW(window, styleIndex) == style;
}

void FlattenBorder(HWND window) {
    SetWindowStyleBits(window, GWL_EXSTYLE, WS_EX_CLIENTEDGE, false);
    SetWindowStyleBits(window, GWL_EXSTYLE, WS_EX_STATICEDGE, true);
    constexpr UINT kInPlace =
        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    static_assert(kInPlace == 0x37);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, kInPlace);
}

}  // namespace tarvelin::platform
