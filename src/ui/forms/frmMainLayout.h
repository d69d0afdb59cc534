#pragma once
// The main window's controls: the header, the common buttons and the twelve page panels,
// with the contents of the pages that live in this window (about, options menu).
#include "ui/widgets/Layout.h"

namespace tarvelin::ui {

inline constexpr int32_t kMainFormWidth = 500;
inline constexpr int32_t kMainFormHeight = 300;
inline constexpr Rect kPageRect{6, 58, 494, 251};  // the page area, right and bottom inclusive
inline constexpr int32_t kPageCount = 12;

// The page panels by page number (1 to 12).
extern const char* const kPagePanels[kPageCount + 1];

// The window's own rows followed by those of every page in PageLayouts().
const FormLayout& MainFormLayout();
// The controls of the pages whose owners live outside frmMain (frmMainPages.cpp).
std::span<const std::span<const WidgetLayout>> PageLayouts();

}  // namespace tarvelin::ui
