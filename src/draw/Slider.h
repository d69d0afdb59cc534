#pragma once
// The slider: a track with a shaded groove and a thumb that slides along it.
//
// Geometry, along the slider (x for a horizontal one, y for a vertical one): a value v of
// minimum..maximum sits at the pixel start + 8 + (v - minimum) * span / (maximum - minimum + 1),
// with span = length - thumbSize - 9 horizontally and length - thumbSize - 7 vertically, so
// that SliderValueFromPoint of that pixel gives v back wherever a pixel of its own exists.
// The thumb is thumbSize pixels long, centred on the value's pixel, and as thick as the
// slider less a 2-pixel margin and the tick band.
//
// Look, over the background colour: the groove is 4 pixels thick across the middle of the
// thumb's band, its upper (left) edge in shadow grey, its lower (right) edge white, its part
// from the start to the thumb filled with the red accent (grey when disabled). Tick marks,
// 3 pixels long (5 at both ends), every paramB values from the minimum and at the maximum,
// lie in a 4-pixel band beside the thumb: below (right) when paramA is 0, above (left) when
// it is 1, on both sides when it is 2; paramB below 1 or any other paramA draws none. Ticks
// closer than 3 pixels are thinned to a multiple of paramB. The thumb is a gradient framed by
// one-pixel lines with its corners blended into the background:
//   0 normal:   white to light grey, grey frame;
//   1 hover:    white to light red, red frame;
//   2 focus:    white to light grey, dark frame;
//   3 pressed:  light red to red, dark red frame;
//   4 disabled: flat light grey, light grey frame, grey groove and ticks.
#include <cstdint>

#include "platform/Canvas.h"

namespace tarvelin {

enum SliderState : int32_t {
    kSliderNormal = 0,
    kSliderHover = 1,
    kSliderFocus = 2,
    kSliderPressed = 3,
    kSliderDisabled = 4
};

// Paints the slider over the client rectangle and writes where its thumb went. A value
// outside minimum..maximum is drawn at the nearer end; unknown states draw as normal.
void DrawSlider(platform::ICanvas& canvas, const platform::Rect& client, platform::Color background,
                bool horizontal, int32_t paramA, int32_t state, int32_t thumbSize, int32_t minimum,
                int32_t value, int32_t maximum, int32_t paramB, platform::Rect& thumb);

// The value under the point (x for a horizontal slider, y for a vertical one), rounded to
// the nearest with halves to even and clamped to minimum..maximum; the minimum when the
// slider is too short to hold its thumb or maximum is below minimum.
int32_t SliderValueFromPoint(const platform::Rect& client, bool horizontal, int32_t x, int32_t y,
                             int32_t thumbSize, int32_t minimum, int32_t maximum);

}  // namespace tarvelin
