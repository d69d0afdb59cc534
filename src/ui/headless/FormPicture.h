#pragma once
// A form as the screen would show it, painted from the widget model: the form's memory
// picture, then its widgets in order (later ones over earlier ones), each clipped to its
// parent's client area; hidden widgets are left out. Pixels outside the form's rounded region
// keep the desktop's colour, so that the shape shows.
#include <cstdint>
#include <functional>

#include "platform/posix/RasterCanvas.h"
#include "ui/widgets/Form.h"

namespace tarvelin::ui {

inline constexpr Color kDesktopColor = platform::Rgb(0, 128, 128);

using BitmapLookup = std::function<const platform::IImage*(uint16_t)>;

platform::RasterPicture RenderForm(const Form& form, const BitmapLookup& bitmaps);

}  // namespace tarvelin::ui
