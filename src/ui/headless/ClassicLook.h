#pragma once
// A plain, legible look of the standard controls in the system's classic colours, for the
// headless binding's pictures: raised buttons, sunken fields, check marks and option dots,
// a vertical scroll bar with its thumb where the value is, and disabled controls greyed.
#include "platform/Canvas.h"
#include "ui/widgets/Widget.h"

namespace tarvelin::ui {

// Draws a command button, check box, option button, combo box, text box, scroll bar or
// address box over the rectangle (the widget's bounds on the canvas); other kinds draw
// nothing.
void DrawStandardControl(platform::ICanvas& canvas, const Widget& widget, const Rect& rect);

// The two-pixel sunken edge of fields and bordered picture boxes.
void DrawSunkenEdge(platform::ICanvas& canvas, const Rect& rect);

}  // namespace tarvelin::ui
