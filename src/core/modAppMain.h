#pragma once
// Process start-up and clean-up, the shared tick timer and the deferred-start queue.
#include <functional>
#include <memory>
#include <string>

#include "core/Runnable.h"
#include "platform/Platform.h"

namespace tarvelin {

class PCXTimer;

inline constexpr char kAppTitle[] = "Tarvelin";
inline constexpr char kMutexName[] = "VexrGPRSHelperMutex";

// Opens the main window modelessly; the Windows entry point passes frmMain's loader.
using MainWindowOpener = std::function<void()>;

// The process entry: single-instance lock, system check, "/auto", cached settings, main
// window. Returns once the window is shown (or at once when start-up ends early).
void Main(platform::Platform& platform, const MainWindowOpener& openMainWindow);
bool CheckOSCompatibility(bool showMessage);
void AppStart(const MainWindowOpener& openMainWindow);
void AppCleanup();

// True when "/auto" occurs anywhere in the command line, in any letter case.
bool HasAutoSwitch(const std::string& commandLine);

std::string AppVersionText(bool asDate);
std::string DbStructVersionText(bool asDate);

std::shared_ptr<PCXTimer> SharedTimerAcquire();
// Returns the empty reference the caller assigns to its own.
std::shared_ptr<PCXTimer> SharedTimerRelease();

void RunLater(std::shared_ptr<Runnable> runnable);

}  // namespace tarvelin
