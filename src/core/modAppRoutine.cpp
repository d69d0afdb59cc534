#include "core/modAppRoutine.h"

#include "core/AppState.h"
#include "core/modAppMain.h"
#include "core/modSystemWinVer.h"
#include "core/modTypes.h"
#include "platform/Shell.h"
#include "platform/SystemText.h"

namespace tarvelin {
namespace {

constexpr uint32_t kFromSystem = 0x1000;
constexpr uint32_t kIgnoreInserts = 0x200;
constexpr uint32_t kMaxWidthMask = 0xFF;  // the system adds no line breaks of its own
constexpr uint32_t kErrorTextChars = 512;

platform::Platform* Services() {
    return AppState().platform;
}

}  // namespace

int AppMsgBox(platform::WindowHandle owner, const std::string& text, uint32_t style,
              const std::string& title) {
    if (!Services() || !Services()->messageBox) return 0;
    return Services()->messageBox->Show(owner, text, style,
                                        IsStringFilled(title) ? title : kAppTitle);
}

bool ShellOpen(const std::string& file, int showCommand, const std::string& parameters,
               const std::string& folder, const std::string& verb, platform::WindowHandle owner) {
    if (!Services() || !Services()->shell) return false;
    intptr_t answer;
    if (parameters.empty() && folder.empty()) {
        answer = Services()->shell->Execute(owner, verb, file, {}, {}, 1);
    } else {
        const int show = ContainsNoCase(file, ".EXE") ? 0 : showCommand;
        answer = Services()->shell->Execute(owner, verb, file, parameters, folder, show);
    }
    return answer > 32 || answer < 0;
}

uint32_t FormatMessageText(uint32_t flags, uint32_t messageId, uint32_t languageId,
                           uint32_t bufferChars, std::string& text) {
    if (!Services() || !Services()->systemText) return 0;
    return Services()->systemText->SystemMessage(flags, messageId, languageId, IsWindowsVersion(5),
                                                 bufferChars, text);
}

bool GetErrorText(uint32_t& code, std::string& text) {
    text.clear();
    if (code == 0 && Services() && Services()->systemText)
        code = Services()->systemText->LastError();
    std::string message;
    if (FormatMessageText(kFromSystem | kIgnoreInserts | kMaxWidthMask, code, 0, kErrorTextChars,
                          message) == 0) {
        return false;
    }
    text = ReplaceEvery(TrimNull(message), "\r\n", " ", false);
    return true;
}

}  // namespace tarvelin
