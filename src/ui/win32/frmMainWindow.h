#pragma once
// frmMain on Windows: the borderless, rounded 500 x 300 main window. Its pages are not
// part of it yet; it shows the program's frame and closes in order.
#include <windows.h>

namespace tarvelin {

// Registers the window class, creates the window at its saved place and shows it.
// Returns the window, or null when it could not be created.
HWND frmMainLoad(HINSTANCE instance);

}  // namespace tarvelin
