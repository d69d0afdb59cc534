#pragma once
// Window-style helpers of the forms.
#include <windows.h>

namespace tarvelin::platform {

// Sets or clears bits of the window's style value at index (GWL_STYLE, GWL_EXSTYLE) and
// tells whether the value read back equals the value written.
bool SetWindowStyleBits(HWND window, int styleIndex, LONG_PTR bits, bool on);
// Swaps the sunken client edge for a static edge and redraws the frame in place.
void FlattenBorder(HWND window);

}  // namespace tarvelin::platform
