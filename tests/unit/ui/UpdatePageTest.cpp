// The update page on the headless main window over a scripted update server: every way a
// run can end, what it leaves in the program's folder, and the restart countdown.
#include <gtest/gtest.h>

#include <set>

#include "core/modSystemFile.h"
#include "sim/HostFileSystem.h"
#include "sim/ScratchFolder.h"
#include "ui/forms/UpdatePage.h"
#include "unit/ui/MainWindowFixture.h"

namespace tarvelin::ui {
namespace {

using platform::kDownloadFailed;
using platform::kDownloadOk;
using sim::SimReply;

constexpr char kInstaller[] = "http://srv/live/setup.exe";
constexpr char kOffer[] = "2\r\nhttp://srv/live/setup.exe\r\n5 \xCC\xC1";  // Windows-1251
constexpr char kUpToDate[] = "Установлена последняя версия приложения. Обновления не требуется.";
constexpr char kDownloaded[] = "Обновление успешно загружено. Необходимо перезапустить приложение.";
constexpr char kMalformed[] = "Некорректные сведения об обновлении.";
constexpr char kFailed[] =
    "Ошибка при загрузке обновления. Проверьте настройки Microsoft Internet Explorer и "
    "доступность сети. Повторите попытку обновления.";
constexpr char kCannotStore[] = "Приложение не может записать файл обновления.";
constexpr int kYes = 6, kNo = 7;

// The host's files in the test's own folders; a file of the refused name cannot be written,
// removed or replaced.
struct UpdateFiles : sim::HostFileSystem {
    std::string temp, refuseWrite, refuseRemove, refuseReplace;
    static bool Named(const std::string& path, const std::string& name) {
        return !name.empty() && path.ends_with("/" + name);
    }
    bool TempFolder(std::string& folder) override {
        folder = temp;
        return true;
    }
    bool WriteAll(const std::string& path, const std::string& bytes) override {
        return !Named(path, refuseWrite) && sim::HostFileSystem::WriteAll(path, bytes);
    }
    bool RemoveFile(const std::string& path) override {
        return !Named(path, refuseRemove) && sim::HostFileSystem::RemoveFile(path);
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return !Named(to, refuseReplace) && sim::HostFileSystem::Rename(from, to);
    }
};

struct UpdatePageTest : MainWindowFixture {
    UpdateFiles files;
    std::string folder;
    std::shared_ptr<frmMain> window;

    UpdatePageTest() {
        folder = sim::MakeScratchFolder();
        files.temp = sim::MakeScratchFolder() + "/";
        sim.platform.files = &files;
        sim.process.executablePath = folder + "/Tarvelin.exe";
        sim.messageBox.answer = kYes;
        window = frmMain::Create(binding);
        EXPECT_TRUE(window->Load());
        sim.loop.Advance(10);
        window->ShowPage(3);
    }
    ~UpdatePageTest() override {
        window.reset();
        DeletePath(folder);
        DeletePath(files.temp);
    }
    void TestBody() override {}  // also made on its own, one for each run of the table
    Widget& W(const char* name) { return *window->Window()->Find(name); }
    void Serve(const std::string& info, SimReply installer = {.body = "MZ installer"}) {
        sim.downloader.replies[kUpdateInfoAddress] = {.body = info};
        sim.downloader.replies[kInstaller] = installer;
    }
    std::set<std::string> Names(const std::string& where) {
        std::vector<platform::DirEntry> entries;
        files.List(where, entries);
        std::set<std::string> names;
        for (const auto& entry : entries)
            if (entry.name != "." && entry.name != "..") names.insert(entry.name);
        return names;
    }
    std::string Read(const std::string& name) {
        std::string bytes;
        files.ReadAll(folder + "/" + name, bytes);
        return bytes;
    }
};

struct RunCase {
    const char* name;
    std::string info;
    SimReply installer;
    const char* text;
    int32_t step;
    std::set<std::string> left;  // what the program's folder holds afterwards
    void (*prepare)(UpdatePageTest&) = nullptr;
};

const RunCase kRuns[] = {
    {"empty", "", {}, kMalformed, 3, {}},
    {"binary", std::string("\x89PNG\0\r\n", 7), {}, kMalformed, 3, {}},
    {"ten megabytes", std::string(10 << 20, '9'), {}, kMalformed, 2, {}},
    {"abc", "abc\r\nhttp://srv/live/setup.exe", {}, kMalformed, 3, {}},
    {"one", "1\r\nhttp://srv/live/setup.exe", {}, kUpToDate, 3, {}},
    {"negative", "-5", {}, kUpToDate, 3, {}},
    {"empty address", "2\r\n \r\n5", {}, "Отсутствует адрес обновления приложения.", 3, {}},
    {"folder address", "2\r\nhttp://srv/live/\r\n5", {}, kMalformed, 3, {}},
    {"climbing name", "2\r\nhttp://srv/..\\evil.exe", {}, kMalformed, 3, {}},
    {"device name", "2\r\nhttp://srv/CON.exe", {}, kMalformed, 3, {}},
    {"long name", "2\r\nhttp://srv/" + std::string(5000, 'x') + ".exe", {}, kMalformed, 3, {}},
    {"big version",
     "999999999999\r\nhttp://srv/live/setup.exe?x=1\r\n5",
     {},
     kDownloaded,
     5,
     {"setup.exe"}},
    {"installer missing",
     kOffer,
     {},
     "Отсутствует файл на сервере.",
     4,
     {},
     [](auto& t) { t.sim.downloader.replies.erase(kInstaller); }},
    {"info missing",
     kOffer,
     {},
     "Отсутствует файл на сервере.",
     2,
     {},
     [](auto& t) { t.sim.downloader.replies.erase(kUpdateInfoAddress); }},
    {"info server error",
     kOffer,
     {},
     kFailed,
     2,
     {},
     [](auto& t) { t.sim.downloader.replies[kUpdateInfoAddress].result = kDownloadFailed; }},
    {"closed mid-body",
     kOffer,
     {.body = std::string(1000, 'b'), .result = kDownloadFailed, .sent = 400, .chunk = 100},
     kFailed,
     4,
     {}},
    {"short body reported whole",
     kOffer,
     {.body = std::string(1000, 'b'), .sent = 400},
     kFailed,
     4,
     {}},
    {"user declines",
     kOffer,
     {},
     "Процесс обновления прерван пользователем.",
     4,
     {},
     [](auto& t) { t.sim.messageBox.answer = kNo; }},
    {"read-only folder",
     kOffer,
     {},
     "Не удается получить доступ на запись в папке приложения.",
     1,
     {},
     [](auto& t) { t.files.refuseWrite = "~test.txt"; }},
    {"test file stays",
     kOffer,
     {},
     "Не удается осуществить удаление файла из папки приложения.",
     1,
     {"~test.txt"},
     [](auto& t) { t.files.refuseRemove = "~test.txt"; }},
    {"old installer locked",
     kOffer,
     {},
     kCannotStore,
     4,
     {"setup.exe"},
     [](auto& t) {
         t.files.WriteAll(t.folder + "/setup.exe", "old");
         t.files.refuseReplace = "setup.exe";
     }},
    {"folder of that name",
     kOffer,
     {},
     kCannotStore,
     4,
     {"setup.exe"},
     [](auto& t) { t.files.CreateFolder(t.folder + "/setup.exe"); }},
    {"stop while trickling",
     kOffer,
     {.body = std::string(100000, 'b'), .chunk = 10, .delayMs = 100},
     "Загрузка обновления прервана пользователем.",
     4,
     {},
     [](auto& t) {
         t.sim.loop.StartOneShot(3000, [&t] { t.input.Click(t.W("cmdCommonClose")); });
     }},
};

// A window of its own for each run.
TEST(UpdatePageRuns, EveryRunEndsWithItsTextAndLeavesNothingBehind) {
    for (const RunCase& c : kRuns) {
        SCOPED_TRACE(c.name);
        UpdatePageTest t;
        t.Serve(c.info, c.installer);
        if (c.prepare) c.prepare(t);
        t.input.Click(t.W("cmdUpdateRun"));
        auto* page = t.window->Presenter<UpdatePage>();
        EXPECT_EQ(t.W("lblUpdateInfo").Caption(), c.text);
        EXPECT_EQ(page->Step(), c.step);
        EXPECT_FALSE(t.window->Busy());
        EXPECT_EQ(t.Names(t.folder), c.left);
        EXPECT_TRUE(t.Names(t.files.temp).empty());
        const bool failed = c.text != std::string(kUpToDate) && c.text != std::string(kDownloaded);
        EXPECT_EQ(t.W("cmdUpdateRun").Enabled(), c.text != std::string(kUpToDate));
        EXPECT_EQ(t.W("cmdCommonClose").Enabled(), c.text != std::string(kDownloaded));
        EXPECT_EQ(t.W("picCommonToolbarAbout").Enabled(), failed);
        EXPECT_EQ(t.W("lblUpdateInfo").ForeColor(),
                  failed ? platform::Rgb(255, 0, 0) : platform::Rgb(30, 30, 30));
    }
}

TEST_F(UpdatePageTest, DownloadAsksFreshAddressesAndReplacesTheOldInstaller) {
    files.WriteAll(folder + "/setup.exe", "old");
    Serve("2\r\nhttp://srv/live/setup.exe?x=1#part\r\n5 \xCC\xC1", {.body = "new", .chunk = 1});
    input.Click(W("cmdUpdateRun"));
    ASSERT_EQ(sim.downloader.asked.size(), 2u);
    EXPECT_TRUE(sim.downloader.asked[0].starts_with(std::string(kUpdateInfoAddress) + "?nocache="));
    EXPECT_TRUE(sim.downloader.asked[1].starts_with("http://srv/live/setup.exe?x=1&nocache="));
    EXPECT_EQ(Read("setup.exe"), "new");
    ASSERT_FALSE(sim.messageBox.shown.empty());
    EXPECT_NE(sim.messageBox.shown.back().find("будет загружено 5 МБ.\r\n"), std::string::npos);
}

TEST_F(UpdatePageTest, CountdownStartsTheInstallerOnTheTwentiethTick) {
    bool closed = false;
    window->onClosed = [&closed] { closed = true; };
    Serve(kOffer);
    input.Click(W("cmdUpdateRun"));
    EXPECT_EQ(W("cmdUpdateRun").Caption(), "Перезагрузить...");
    for (int seconds = 19; seconds >= 1; --seconds) {
        sim.loop.Advance(1000);
        EXPECT_EQ(W("cmdUpdateRun").Caption(), "Перезапуск (" + std::to_string(seconds) + " сек)");
        if (seconds == 15) {
            EXPECT_TRUE(binding.SavePng(
                *window->Window(), std::string(TARVELIN_TEST_OUTPUT) + "/update-countdown.png"));
        }
    }
    EXPECT_TRUE(sim.shell.opened.empty());
    sim.loop.Advance(1000);
    EXPECT_EQ(sim.shell.opened, std::vector<std::string>{"open " + folder + "/setup.exe"});
    EXPECT_TRUE(closed);
}

TEST_F(UpdatePageTest, ButtonStartsTheInstallerAtOnceAndReportsAFailedStart) {
    bool closed = false;
    window->onClosed = [&closed] { closed = true; };
    Serve(kOffer);
    input.Click(W("cmdUpdateRun"));
    sim.loop.Advance(3000);
    sim.shell.answer = 2;  // the system cannot find the file
    input.Click(W("cmdUpdateRun"));
    EXPECT_EQ(sim.shell.opened.size(), 1u);
    EXPECT_EQ(sim.messageBox.shown.back(), "Не удается запустить файл обновления приложения.");
    EXPECT_FALSE(closed);
    sim.shell.answer = 42;
    input.Click(W("cmdUpdateRun"));
    EXPECT_EQ(sim.shell.opened.size(), 2u);
    EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace tarvelin::ui
