#pragma once
// A graph of steady traffic (5,000 bytes per second received, 1,000 sent) drawn at 400 x 90,
// and what any canvas must show of it: a column whose grey transmit bar stands at the bottom
// with the red receive bar rising above it, and the grey speed axis at the left. Text
// metrics differ between canvases, so the check finds the axis instead of computing it.
#include <functional>
#include <string>
#include <vector>

#include "draw/modAppDraw.h"

namespace tarvelin::sim {

inline std::string CheckGraphPicture(platform::ICanvas& canvas,
                                     const std::function<platform::Color(platform::Point)>& at) {
    using platform::Rgb;
    const platform::Color grey = Rgb(173, 175, 175), red = Rgb(255, 0, 0);
    DrawTrafficGraph(canvas, true, true, true, {}, {0, 0, 400, 90}, 5000, 1000,
                     std::vector<TrafficSample>(500, {5000, 1000}), platform::Font{"Tahoma", 11});
    constexpr int32_t x = 300;
    int32_t y = 84;  // one above the plot's bottom
    if (at({x, y}) != grey) return "no transmit bar at the bottom";
    while (y > 3 && at({x, y}) == grey) --y;
    --y;  // the bar's top, in the outline colour
    int32_t redRun = 0;
    for (; y > 3 && at({x, y}) == red; --y) ++redRun;
    if (redRun < 10) return "no receive bar above the transmit bar";
    for (int32_t ax = 5; ax < 120; ++ax) {
        if (at({ax, 40}) == grey && at({ax, 60}) == grey && at({ax + 1, 60}) != grey) return {};
    }
    return "no speed axis";
}

}  // namespace tarvelin::sim
