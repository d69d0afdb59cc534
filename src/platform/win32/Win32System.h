#pragma once
// The small system services: named mutex, version query, the process, message boxes, the
// shell, the system message table and the user's regional settings.
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/NamedLock.h"
#include "platform/OsVersion.h"
#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/SystemText.h"

namespace tarvelin::platform {

class Win32NamedLocks : public INamedLocks {
  public:
    NamedLockResult CreateOwned(const std::string& name) override;
};

class Win32OsVersion : public IOsVersion {
  public:
    bool Query(uint32_t structSize, OsVersionInfo& info) override;
    bool ThemesActive() override;
};

class Win32Process : public IProcess {
  public:
    std::string CommandLine() override;
    std::string ExecutablePath() override;
};

class Win32MessageBox : public IMessageBox {
  public:
    int Show(WindowHandle owner, const std::string& text, uint32_t style,
             const std::string& title) override;
};

class Win32Shell : public IShell {
  public:
    intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                     const std::string& parameters, const std::string& folder,
                     int showCommand) override;
};

class Win32SystemText : public ISystemText {
  public:
    uint32_t LastError() override;
    uint32_t SystemMessage(uint32_t flags, uint32_t messageId, uint32_t languageId, bool wide,
                           uint32_t bufferChars, std::string& text) override;
    std::string ShortDate(int year, int month, int day) override;
};

class Win32Locale : public ILocale {
  public:
    std::string DecimalSeparator() override;
};

}  // namespace tarvelin::platform
