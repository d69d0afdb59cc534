#include "draw/FooterPanel.h"

#include <algorithm>

#include "draw/modAppDraw.h"

namespace tarvelin {

namespace {

constexpr Color kWhite = platform::Rgb(255, 255, 255);
constexpr Color kRed = platform::Rgb(255, 0, 0);
constexpr Color kDarkRed = platform::Rgb(192, 0, 0);
constexpr Color kLightGrey = platform::Rgb(224, 224, 224);

}  // namespace

void PaintFooterPanel(ICanvas& canvas, const Rect& client, int32_t titleTop, int32_t titleHeight) {
    if (client.Empty()) return;
    canvas.FillRect(client, kWhite);
    const int32_t height = client.Height();
    // The band never reaches past the panel, whatever the labels' positions.
    const auto band = static_cast<int32_t>(
        std::clamp<int64_t>(3 * int64_t{titleTop} + titleHeight, 0, int64_t{height}));
    const int32_t top = client.top, left = client.left, right = client.right;
    if (band > 0) {
        canvas.FillRect({left, top, right, top + band}, kRed);
        GradientFillRect(canvas, kRed, kDarkRed, left, top + band / 2, right, top + band, false);
    }
    const int32_t fade = band + 2 * (height - band) / 3;
    if (fade < height)
        GradientFillRect(canvas, kWhite, kLightGrey, left, top + fade, right, client.bottom, false);
}

}  // namespace tarvelin
