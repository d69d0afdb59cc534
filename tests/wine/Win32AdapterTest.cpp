// Relies on Wine's registry, named mutexes, SetTimer message loop, temporary folder and
// system message table behaving as Windows documents them.
#include <gtest/gtest.h>
#include <windows.h>

#include <uxtheme.h>

#include "core/PCXTimer.h"
#include "core/modAppRoutine.h"
#include "core/modSystemFile.h"
#include "core/modSystemRegistry.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SerialDevice.h"
#include "platform/win32/Win32System.h"
#include "platform/win32/WindowStyle.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using platform::RegRoot;

class Win32AdapterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.platform.loop = &loop;
        sim.platform.clock = &loop;
        sim.platform.registry = &registry;
        sim.platform.systemText = &systemText;
        sim.platform.files = &files;
    }
    sim::SimPlatform sim;
    platform::Win32EventLoop loop;
    platform::Win32Registry registry;
    platform::Win32NamedLocks locks;
    platform::Win32SystemText systemText;
    platform::Win32FileSystem files;
};

TEST_F(Win32AdapterTest, RegistryRoundTripOnAScratchKey) {
    const std::string parent = "Software\\QVT\\TarvelinTest";
    const std::string key = parent + "\\Scratch";
    ASSERT_TRUE(RegKeyCreate(RegRoot::CurrentUser, key));
    EXPECT_TRUE(RegValueSet(RegRoot::CurrentUser, key, "Number", std::string("0012")));
    EXPECT_TRUE(RegValueSet(RegRoot::CurrentUser, key, "Text", std::string("  QVT (MTS)  ")));

    RegData value;
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Number", value));
    EXPECT_EQ(std::get<int32_t>(value), 12);
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Text", value));
    EXPECT_EQ(std::get<std::string>(value), "QVT (MTS)");

    std::vector<std::string> names, data;
    ASSERT_TRUE(RegValuesEnum(RegRoot::CurrentUser, key, names, data));
    EXPECT_NE(std::find(data.begin(), data.end(), "QVT (MTS)"), data.end());
    EXPECT_TRUE(RegValueDelete(RegRoot::CurrentUser, key, "Number"));
    EXPECT_FALSE(RegValueDelete(RegRoot::CurrentUser, key, "Number"));
    EXPECT_EQ(registry.DeleteKey(RegRoot::CurrentUser, key), ERROR_SUCCESS);
    EXPECT_EQ(registry.DeleteKey(RegRoot::CurrentUser, parent), ERROR_SUCCESS);
    EXPECT_FALSE(RegKeyExists(RegRoot::CurrentUser, key));
}

TEST_F(Win32AdapterTest, NamedMutexIsMachineWideAndFreedOnRelease) {
    const std::string name = "TarvelinTestMutex" + std::to_string(GetCurrentProcessId());
    auto first = locks.CreateOwned(name);
    ASSERT_NE(first.lock, nullptr);
    EXPECT_NE(first.lastError, 183u);
    auto second = locks.CreateOwned(name);
    ASSERT_NE(second.lock, nullptr);
    EXPECT_EQ(second.lastError, 183u);
    EXPECT_FALSE(second.lock->Release()) << "the second opener does not own it";
    second.lock.reset();
    first.lock.reset();
    EXPECT_EQ(locks.CreateOwned(name).lastError, 0u);
}

TEST_F(Win32AdapterTest, SystemTimersTickInTheMessageLoop) {
    auto timer = PCXTimer::Create();
    int ticks = 0;
    auto c = timer->Tick.Connect([&] {
        if (++ticks == 3) {
            timer->SetEnabled(false);
            loop.Quit(7);
        }
    });
    timer->SetInterval(50);
    timer->SetEnabled(true);

    struct Starter : Runnable {
        explicit Starter(std::string& l, char n) : log(l), name(n) {}
        void Start() override { log.push_back(name); }
        std::string& log;
        char name;
    };
    std::string log;
    RunLater(std::make_shared<Starter>(log, 'A'));
    RunLater(std::make_shared<Starter>(log, 'B'));
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(log, "AB");
    EXPECT_TRUE(TimerTable().empty() || TimerTable()[0].id == 0);
}

// A port name that leads to a disk file or to a device that is not a communications port is
// refused: the detection would otherwise send its commands into it and read its contents back
// as the phone's answers.
TEST_F(Win32AdapterTest, TemporaryFilesAndFoldersAreNoSerialPorts) {
    std::string folder;
    const std::string name = GetTempFileName(folder);
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(folder.back(), '\\');
    ASSERT_TRUE(WriteTextFile(name, "358368001234563\r\nOK\r\n", false));
    EXPECT_NE(GetTempFileName(folder), name);
    platform::Win32SerialDeviceFactory serial;
    for (const std::string& port : {name, std::string("NUL")}) {
        const auto opened = serial.Open(port);
        EXPECT_EQ(opened.device, nullptr) << port;
        EXPECT_EQ(opened.error, static_cast<uint32_t>(ERROR_INVALID_FUNCTION)) << port;
    }
    files.SetAttributes(name, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeletePath(name)) << "read-only files lose the attribute first";
    EXPECT_FALSE(FileExists(name));

    const std::string tree = GetTempFileName(folder);
    ASSERT_TRUE(files.CreateFolder(tree) && files.CreateFolder(tree + "\\sub"));
    ASSERT_TRUE(WriteTextFile(tree + "\\sub\\f.txt", "x", false));
    files.SetAttributes(tree + "\\sub\\f.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    EXPECT_TRUE(DeleteFolder(tree));
    EXPECT_FALSE(files.Attributes(tree).has_value());
    EXPECT_FALSE(DeleteFolder("C:\\"));
}

TEST_F(Win32AdapterTest, SystemMessageForAccessDeniedIsOneLine) {
    uint32_t code = 5;
    std::string text;
    ASSERT_TRUE(GetErrorText(code, text));
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
    EXPECT_TRUE(GetACP() != 1251 || text.find("Доступ") != std::string::npos) << text;
    EXPECT_NE(platform::Win32Process().ExecutablePath().find("core_win32_adapter_test"),
              std::string::npos);
    EXPECT_FALSE(systemText.ShortDate(2008, 6, 30).empty());
}

TEST_F(Win32AdapterTest, FlatBorderAndThemes) {
    HWND window = CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    if (!window) GTEST_SKIP() << "no display for windows (the test scripts provide one)";
    platform::FlattenBorder(window);
    const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_FALSE(ex & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(ex & WS_EX_STATICEDGE);
    DestroyWindow(window);

    // The theme query reaches the theme library at run time and agrees with it.
    EXPECT_EQ(platform::Win32OsVersion().ThemesActive(), IsThemeActive() != FALSE);
}

}  // namespace
}  // namespace tarvelin
