#pragma once
// Small simulated system services: the process, the version query, named locks, a
// recording message box, the shell, the system message table and the regional settings.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/NamedLock.h"
#include "platform/OsVersion.h"
#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/SystemText.h"

namespace tarvelin::sim {

class SimLocale : public platform::ILocale {
  public:
    std::string DecimalSeparator() override { return decimalSeparator; }
    std::string decimalSeparator = ",";
};

class SimProcess : public platform::IProcess {
  public:
    std::string CommandLine() override { return commandLine; }
    std::string ExecutablePath() override { return executablePath; }
    std::string commandLine = "\"C:\\Program Files\\Tarvelin\\Tarvelin.exe\"";
    std::string executablePath = "C:\\Program Files\\Tarvelin\\Tarvelin.exe";
};

class SimOsVersion : public platform::IOsVersion {
  public:
    bool Query(uint32_t structSize, platform::OsVersionInfo& out) override {
        sizesAsked.push_back(structSize);
        if (structSize == 156 && !extendedWorks) return false;
        out = info;
        return answers;
    }
    bool ThemesActive() override { return themes; }
    platform::OsVersionInfo info{5, 1, 2600, 2, "Service Pack 3"};
    bool themes = true;
    bool extendedWorks = true;
    bool answers = true;
    std::vector<uint32_t> sizesAsked;
};

// Machine-wide names shared by every SimNamedLocks that uses the same set, so two
// simulated processes can contend for one name.
class SimNamedLocks : public platform::INamedLocks {
  public:
    explicit SimNamedLocks(std::set<std::string>& machine) : machine_(machine) {}
    platform::NamedLockResult CreateOwned(const std::string& name) override;
    bool failCreate = false;

  private:
    std::set<std::string>& machine_;
};

class RecordingMessageBox : public platform::IMessageBox {
  public:
    int Show(platform::WindowHandle, const std::string& text, uint32_t,
             const std::string& title) override {
        shown.push_back(text);
        titles.push_back(title);
        return answer;
    }
    std::vector<std::string> shown;   // the text of every box
    std::vector<std::string> titles;  // and its title
    int answer = 1;                   // the button every box returns: IDOK
};

class SimShell : public platform::IShell {
  public:
    intptr_t Execute(platform::WindowHandle, const std::string& verb, const std::string& file,
                     const std::string&, const std::string&, int show) override {
        shows.push_back(show);
        opened.push_back(verb + " " + file);
        return answer;
    }
    std::vector<int> shows;           // the window state each call asked for
    std::vector<std::string> opened;  // "<verb> <file>" of every call
    intptr_t answer = 42;
};

class SimSystemText : public platform::ISystemText {
  public:
    uint32_t LastError() override { return lastError; }
    uint32_t SystemMessage(uint32_t, uint32_t id, uint32_t, bool, uint32_t chars,
                           std::string& text) override {
        auto it = messages.find(id);
        if (it == messages.end()) return 0;
        text = it->second.substr(0, chars - 1);
        return static_cast<uint32_t>(text.size());
    }
    std::string ShortDate(int, int, int) override { return {}; }  // no test reads dates
    uint32_t lastError = 0;
    std::map<uint32_t, std::string> messages;
};

}  // namespace tarvelin::sim
