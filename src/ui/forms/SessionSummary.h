#pragma once
// The final figures of an ended connection, drawn over the main page's graph: what the user
// sees after hanging up, until the next connection draws its graph there.
#include "platform/Canvas.h"
#include "stats/PCStat.h"

namespace tarvelin::ui {

void DrawSessionSummary(platform::ICanvas& canvas, const platform::Font& font, const PCStat& stat,
                        bool inBytes);

}  // namespace tarvelin::ui
