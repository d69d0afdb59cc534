#pragma once
// What the system's windows and controls hold, read and written in the widget model's terms:
// texts, fonts, colours, shapes, combo items, addresses, and the mouse and keyboard states
// their messages carry.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/Win32Canvas.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Form.h"

namespace tarvelin::ui {

// The colour's value; a system colour's as the system has it now.
COLORREF Resolve(Color color);
std::string WindowText(HWND window);
// The system's shift state: Shift 1, Ctrl 2, Alt 4.
int32_t ShiftState();
// The button a press or release names; for a move, the buttons held.
int32_t ButtonOf(UINT message, WPARAM keys);
// The font by pixel height (the system's negative height), so that geometry stays in pixels.
platform::GdiObject<HFONT> MakeFont(const platform::Font& font);
IpAddressBox::Fields ReadAddress(HWND window);
void WriteAddress(HWND window, const IpAddressBox& box);
// Brings a combo box's list and choice in line with the model's.
void WriteItems(HWND window, const ComboBox& combo);
// The window's shape: the rounded region, or none.
void SetRegion(HWND window, const std::optional<WindowRegion>& region);

}  // namespace tarvelin::ui
