#include "platform/win32/Win32NotifyArea.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "platform/win32/WideText.h"

namespace tarvelin::platform {
namespace {

constexpr UINT kMessageIconTip = NIF_MESSAGE | NIF_ICON | NIF_TIP;

// Owns an icon loaded from the program's resources for as long as the shell call needs it
// (the shell keeps its own copy).
class LoadedIcon {
  public:
    explicit LoadedIcon(uint32_t resource)
        : icon_(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0))) {}
    ~LoadedIcon() {
        if (icon_) DestroyIcon(icon_);
    }
    LoadedIcon(const LoadedIcon&) = delete;
    LoadedIcon& operator=(const LoadedIcon&) = delete;
    HICON Get() const { return icon_; }

  private:
    HICON icon_;
};

NOTIFYICONDATAW Data(WindowHandle window, uint32_t iconId) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = reinterpret_cast<HWND>(window);
    data.uID = iconId;
    return data;
}

void SetTip(NOTIFYICONDATAW& data, const std::string& tip) {
    const std::wstring wide = Widen(FitNotifyTip(tip));
    const size_t units = std::min(wide.size(), kNotifyTipUnits - 1);
    std::copy_n(wide.begin(), units, data.szTip);
    data.szTip[units] = L'\0';
}

}  // namespace

bool Win32NotifyArea::Add(WindowHandle window, uint32_t iconId, uint32_t callbackMessage,
                          uint32_t iconResource, const std::string& tip) {
    const LoadedIcon icon(iconResource);
    NOTIFYICONDATAW data = Data(window, iconId);
    data.uFlags = kMessageIconTip;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon.Get();
    SetTip(data, tip);
    return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

bool Win32NotifyArea::ModifyTip(WindowHandle window, uint32_t iconId, const std::string& tip) {
    NOTIFYICONDATAW data = Data(window, iconId);
    data.uFlags = NIF_TIP;
    SetTip(data, tip);
    return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

bool Win32NotifyArea::Remove(WindowHandle window, uint32_t iconId) {
    NOTIFYICONDATAW data = Data(window, iconId);
    return Shell_NotifyIconW(NIM_DELETE, &data) != FALSE;
}

uint32_t TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

}  // namespace tarvelin::platform
