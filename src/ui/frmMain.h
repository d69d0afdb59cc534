#pragma once
// The main window's placement rules, apart from any window system.
#include <cstdint>

namespace tarvelin {

inline constexpr int32_t kMainFormWidth = 500;
inline constexpr int32_t kMainFormHeight = 300;
inline constexpr int32_t kMainFormCorner = 20;  // corner ellipse of the rounded outline

struct FormPosition {
    int32_t left;
    int32_t top;
};

// One axis of the saved place: a negative value centres the window; a window that would
// reach or pass the screen's far edge is moved back inside it.
int32_t PlaceOnAxis(int32_t stored, int32_t windowSize, int32_t screenSize);
// Where the main window opens, from MainFormLeft / MainFormTop.
FormPosition MainFormInitialPosition(int32_t screenWidth, int32_t screenHeight);
// Stores the position on close; a minimised window keeps the previously stored one.
void MainFormSavePosition(FormPosition position, bool minimised);

}  // namespace tarvelin
