#pragma once
// Messages, the shell and system error texts, as every page uses them.
#include <cstdint>
#include <string>

#include "platform/MessageBox.h"

namespace tarvelin {

// Message box styles and answers used by the pages.
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconStop = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconWarning = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;

// A message box titled "Tarvelin" unless a title with something other than blanks is given.
int AppMsgBox(platform::WindowHandle owner, const std::string& text, uint32_t style,
              const std::string& title = {});
// Opens a file or address through the shell. With neither parameters nor folder the verb
// runs with a normal window; otherwise a program (".EXE" in the name) starts hidden.
bool ShellOpen(const std::string& file, int showCommand = 1, const std::string& parameters = {},
               const std::string& folder = {}, const std::string& verb = "open",
               platform::WindowHandle owner = 0);
// The system message for a code: the wide call on the NT family, the ANSI one otherwise.
uint32_t FormatMessageText(uint32_t flags, uint32_t messageId, uint32_t languageId,
                           uint32_t bufferChars, std::string& text);
// The system's one-line text for an error code; code 0 means the last error (and is
// replaced by it). False with an empty text when the system has no message.
bool GetErrorText(uint32_t& code, std::string& text);

}  // namespace tarvelin
