#pragma once
// The footer panel behind the connection editor's title and description: a red band as tall
// as three times the title's top plus its height, darkening over its lower half, on white
// that fades to light grey over the bottom third below the band.
#include <cstdint>

#include "platform/Canvas.h"

namespace tarvelin {

// Clears the client area to white and paints the bands, measured from its top.
void PaintFooterPanel(platform::ICanvas& canvas, const platform::Rect& client, int32_t titleTop,
                      int32_t titleHeight);

}  // namespace tarvelin
