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

// What start-up asks of the windowing side of the program.
struct AppShell {
    std::function<void()> initCommonControls;  // the internet-address control class
    MainWindowOpener openMainWindow;
};

// The process entry: single-instance lock, system check, "/auto", cached settings, main
// window. Returns true once the window is shown, false when start-up ended early.
bool Main(platform::Platform& platform, const AppShell& shell);
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

// Queues the object's Start for the next pass of the deferred-start queue. False when no
// pass is coming and the system has no timer to start one: the object is not queued then,
// and the caller starts it another way or reports.
bool RunLater(std::shared_ptr<Runnable> runnable);

}  // namespace tarvelin
