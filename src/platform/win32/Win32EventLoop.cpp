#include "platform/win32/Win32EventLoop.h"

#include <windows.h>

#include <map>
#include <memory>

namespace tarvelin::platform {
namespace {

// SetTimer without a window hands the callback only the id, so the adapter keeps the
// id-to-callback map. Shared pointers let a callback stop its own timer while it runs.
std::map<UINT_PTR, std::shared_ptr<IEventLoop::TimerProc>>& Procs() {
    static std::map<UINT_PTR, std::shared_ptr<IEventLoop::TimerProc>> procs;
    return procs;
}

void CALLBACK Dispatch(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = Procs().find(id);
    if (it == Procs().end()) {
        KillTimer(nullptr, id);
        return;
    }
    auto proc = it->second;
    (*proc)(id);
}

void DispatchMessageOf(MSG& msg) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

Win32EventLoop::Win32EventLoop() = default;

Win32EventLoop::~Win32EventLoop() {
    for (const auto& [id, proc] : Procs()) KillTimer(nullptr, id);
    Procs().clear();
}

TimerId Win32EventLoop::StartTimer(uint32_t periodMs, TimerProc proc) {
    const UINT_PTR id = SetTimer(nullptr, 0, periodMs, Dispatch);
    if (id != 0) Procs()[id] = std::make_shared<TimerProc>(std::move(proc));
    return id;
}

bool Win32EventLoop::StopTimer(TimerId id) {
    Procs().erase(id);
    return KillTimer(nullptr, id) != FALSE;
}

TimerId Win32EventLoop::StartOneShot(uint32_t delayMs, std::function<void()> proc) {
    return StartTimer(delayMs, [this, proc = std::move(proc)](TimerId id) {
        StopTimer(id);
        proc();
    });
}

bool Win32EventLoop::PumpOnce() {
    MSG msg;
    bool any = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the main loop
            return any;
        }
        DispatchMessageOf(msg);
        any = true;
    }
    return any;
}

int Win32EventLoop::Run() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return -1;
        DispatchMessageOf(msg);
    }
    return static_cast<int>(msg.wParam);
}

void Win32EventLoop::Quit(int code) {
    PostQuitMessage(code);
}

uint32_t Win32EventLoop::TickCount() {
    return GetTickCount();
}

}  // namespace tarvelin::platform
