// The update page on the headless main window over a scripted update server: every way a
// run can end, what it leaves in the program's folder, and the restart countdown.
#include <gtest/gtest.h>

#include "core/modSystemFile.h"
#include "sim/HostFileSystem.h"
#include "sim/ScratchFolder.h"
#include "ui/forms/UpdatePage.h"
#include "unit/ui/MainWindowFixture.h"

namespace tarvelin::ui {
namespace {

constexpr char kInstaller[] = "http://srv/live/setup.exe";
constexpr char kOffer[] = "2\r\nhttp://srv/live/setup.exe\r\n5 \xCC\xC1";  // Windows-1251
constexpr char kUpToDate[] = "Установлена последняя версия приложения. Обновления не требуется.";
constexpr char kDownloaded[] = "Обновление успешно загружено. Необходимо перезапустить приложение.";
constexpr char kMalformed[] = "Некорректные сведения об обновлении.";
constexpr char kNotFound[] = "Отсутствует файл на сервере.";
constexpr char kFailed[] =
    "Ошибка при загрузке обновления. Проверьте настройки Microsoft Internet Explorer и "
    "доступность сети. Повторите попытку обновления.";
constexpr char kCannotStore[] = "Приложение не может записать файл обновления.";

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
    std::string folder = sim::MakeScratchFolder();
    std::shared_ptr<frmMain> window;
    bool closed = false;

    UpdatePageTest() {
        files.temp = sim::MakeScratchFolder() + "/";
        sim.platform.files = &files;
        sim.process.executablePath = folder + "/Tarvelin.exe";
        sim.messageBox.answer = 6;  // yes
        window = frmMain::Create(binding);
        EXPECT_TRUE(window->Load());
        window->onClosed = [this] { closed = true; };
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
    void Run(const std::string& info, sim::SimReply installer = {.body = "new"}) {
        sim.downloader.replies[kUpdateInfoAddress] = {.body = info};
        sim.downloader.replies[kInstaller] = installer;
        input.Click(W("cmdUpdateRun"));
    }
    std::string Listing(const std::string& where) {
        std::vector<platform::DirEntry> entries;
        files.List(where, entries);
        std::string names;
        for (const auto& entry : entries)
            if (entry.name != "." && entry.name != "..") names += entry.name + " ";
        return names;
    }
};

enum class Fault {
    None,
    NoInfo,
    InfoError,
    NoInstaller,
    No,
    ReadOnly,
    TestStays,
    Locked,
    Folder,
    Stop
};

struct RunCase {
    const char* name;
    std::string info;
    sim::SimReply installer;
    Fault fault;
    const char* text;
    int32_t step;
    const char* left;  // the program's folder afterwards
};

// clang-format off
const RunCase kRuns[] = {
    {"empty", "", {}, Fault::None, kMalformed, 3, ""},
    {"ten megabytes", std::string(10 << 20, '9'), {}, Fault::None, kMalformed, 2, ""},
    {"abc", "abc\r\nhttp://srv/live/setup.exe", {}, Fault::None, kMalformed, 3, ""},
    {"one", "1\r\nhttp://srv/live/setup.exe", {}, Fault::None, kUpToDate, 3, ""},
    {"empty address", "2\r\n \r\n5", {}, Fault::None, "Отсутствует адрес обновления приложения.", 3, ""},
    {"climbing name", "2\r\nhttp://srv/..\\evil.exe", {}, Fault::None, kMalformed, 3, ""},
    {"big version", "999999999999\r\nhttp://srv/live/setup.exe?x=1", {.body = "new"}, Fault::None, kDownloaded, 5, "setup.exe "},
    {"info missing", kOffer, {}, Fault::NoInfo, kNotFound, 2, ""},
    {"info server error", kOffer, {}, Fault::InfoError, kFailed, 2, ""},
    {"installer missing", kOffer, {}, Fault::NoInstaller, kNotFound, 4, ""},
    {"closed mid-body", kOffer, {.body = std::string(999, 'b'), .result = platform::kDownloadFailed, .sent = 400, .chunk = 100}, Fault::None, kFailed, 4, ""},
    {"short body taken as whole", kOffer, {.body = std::string(999, 'b'), .sent = 400}, Fault::None, kFailed, 4, ""},
    {"stop while trickling", kOffer, {.body = std::string(99999, 'b'), .chunk = 10, .delayMs = 100}, Fault::Stop, "Загрузка обновления прервана пользователем.", 4, ""},
    {"user declines", kOffer, {}, Fault::No, "Процесс обновления прерван пользователем.", 4, ""},
    {"read-only folder", kOffer, {}, Fault::ReadOnly, "Не удается получить доступ на запись в папке приложения.", 1, ""},
    {"test file stays", kOffer, {}, Fault::TestStays, "Не удается осуществить удаление файла из папки приложения.", 1, "~test.txt "},
    {"old installer locked", kOffer, {.body = "new"}, Fault::Locked, kCannotStore, 4, "setup.exe "},
    {"folder of that name", kOffer, {}, Fault::Folder, kCannotStore, 4, "setup.exe "},
};
// clang-format on

void Prepare(UpdatePageTest& t, Fault fault) {
    auto& replies = t.sim.downloader.replies;
    switch (fault) {
        case Fault::NoInfo:
            replies.erase(kUpdateInfoAddress);
            break;
        case Fault::InfoError:
            replies[kUpdateInfoAddress].result = platform::kDownloadFailed;
            break;
        case Fault::NoInstaller:
            replies.erase(kInstaller);
            break;
        case Fault::No:
            t.sim.messageBox.answer = 7;
            break;
        case Fault::ReadOnly:
            t.files.refuseWrite = "~test.txt";
            break;
        case Fault::TestStays:
            t.files.refuseRemove = "~test.txt";
            break;
        case Fault::Locked:
            t.files.WriteAll(t.folder + "/setup.exe", "old");
            t.files.refuseReplace = "setup.exe";
            break;
        case Fault::Folder:
            t.files.CreateFolder(t.folder + "/setup.exe");
            break;
        case Fault::Stop:
            t.sim.loop.StartOneShot(3000, [&t] { t.input.Click(t.W("cmdCommonClose")); });
            break;
        case Fault::None:
            break;
    }
}

TEST(UpdatePageRuns, EveryRunEndsWithItsTextAndLeavesNothingBehind) {
    for (const RunCase& c : kRuns) {
        SCOPED_TRACE(c.name);
        UpdatePageTest t;
        t.sim.downloader.replies[kUpdateInfoAddress] = {.body = c.info};
        t.sim.downloader.replies[kInstaller] = c.installer;
        Prepare(t, c.fault);
        t.input.Click(t.W("cmdUpdateRun"));
        const bool failed = c.text != std::string(kUpToDate) && c.text != std::string(kDownloaded);
        EXPECT_EQ(t.W("lblUpdateInfo").Caption(), c.text);
        EXPECT_EQ(t.W("lblUpdateInfo").ForeColor(),
                  platform::Rgb(failed ? 255 : 30, failed ? 0 : 30, failed ? 0 : 30));
        EXPECT_EQ(t.window->Presenter<UpdatePage>()->Step(), c.step);
        EXPECT_FALSE(t.window->Busy());
        EXPECT_EQ(t.Listing(t.folder), c.left);
        EXPECT_EQ(t.Listing(t.files.temp), "");
        EXPECT_EQ(t.W("cmdUpdateRun").Enabled(), c.text != std::string(kUpToDate));
        EXPECT_EQ(t.W("cmdCommonClose").Enabled(), c.text != std::string(kDownloaded));
        EXPECT_EQ(t.W("picCommonToolbarAbout").Enabled(), failed);
    }
}

TEST_F(UpdatePageTest, DownloadAsksFreshAddressesAndReplacesTheOldInstaller) {
    files.WriteAll(folder + "/setup.exe", "old");
    Run("2\r\nhttp://srv/live/setup.exe?x=1#part\r\n5 \xCC\xC1", {.body = "new", .chunk = 1});
    ASSERT_EQ(sim.downloader.asked.size(), 2u);
    EXPECT_TRUE(sim.downloader.asked[0].starts_with(std::string(kUpdateInfoAddress) + "?nocache="));
    EXPECT_TRUE(sim.downloader.asked[1].starts_with("http://srv/live/setup.exe?x=1&nocache="));
    std::string stored;
    files.ReadAll(folder + "/setup.exe", stored);
    EXPECT_EQ(stored, "new");
    EXPECT_NE(sim.messageBox.shown.back().find("будет загружено 5 МБ.\r\n"), std::string::npos);
}

TEST_F(UpdatePageTest, CountdownStartsTheInstallerOnTheTwentiethTick) {
    Run(kOffer);
    EXPECT_EQ(W("cmdUpdateRun").Caption(), "Перезагрузить...");
    for (int seconds = 19; seconds >= 1; --seconds) {
        sim.loop.Advance(1000);
        EXPECT_EQ(W("cmdUpdateRun").Caption(), "Перезапуск (" + std::to_string(seconds) + " сек)");
        if (seconds == 15)
            binding.SavePng(*window->Window(), TARVELIN_TEST_OUTPUT "/update-countdown.png");
    }
    EXPECT_TRUE(sim.shell.opened.empty());
    sim.loop.Advance(1000);
    EXPECT_EQ(sim.shell.opened, std::vector<std::string>{"open " + folder + "/setup.exe"});
    EXPECT_TRUE(closed);
}

TEST_F(UpdatePageTest, ButtonStartsTheInstallerAtOnceAndReportsAFailedStart) {
    Run(kOffer);
    sim.loop.Advance(3000);
    sim.shell.answer = 2;  // the system cannot find the file
    input.Click(W("cmdUpdateRun"));
    EXPECT_EQ(sim.messageBox.shown.back(), "Не удается запустить файл обновления приложения.");
    EXPECT_FALSE(closed);
    sim.shell.answer = 42;
    input.Click(W("cmdUpdateRun"));
    EXPECT_EQ(sim.shell.opened.size(), 2u);
    EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace tarvelin::ui
