#pragma once
#include <cstdint>
#include <string>

namespace tarvelin::platform {

// The calling thread's last system error and the system's message texts.
class ISystemText {
  public:
    virtual ~ISystemText() = default;
    virtual uint32_t LastError() = 0;
    // FormatMessage into a buffer of bufferChars characters, with the wide call or the ANSI
    // one. Returns the characters written (0 when the system has no message); text is UTF-8.
    virtual uint32_t SystemMessage(uint32_t flags, uint32_t messageId, uint32_t languageId,
                                   bool wide, uint32_t bufferChars, std::string& text) = 0;
    // A date in the user's short date format.
    virtual std::string ShortDate(int year, int month, int day) = 0;
};

}  // namespace tarvelin::platform
