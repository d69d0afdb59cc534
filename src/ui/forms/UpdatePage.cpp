#include "ui/forms/UpdatePage.h"
#include "ui/forms/FormStyle.h"

#include <cmath>
#include <random>

#include "core/AppError.h"
#include "core/AppState.h"
#include "core/PCXTimer.h"
#include "core/UpdateInfo.h"
#include "core/modAppRoutine.h"
#include "core/modSystemFile.h"
#include "draw/modAppDraw.h"
#include "platform/Clock.h"
#include "platform/Downloader.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"

#ifndef TARVELIN_UPDATE_INFO_ADDRESS
#error "TARVELIN_UPDATE_INFO_ADDRESS is set by the build"
#endif

namespace tarvelin::ui {

const char kUpdateInfoAddress[] = TARVELIN_UPDATE_INFO_ADDRESS;

namespace {

constexpr char kRunCaption[] = "Обновить приложение";
constexpr char kRestartCaption[] = "Перезагрузить...";
constexpr char kCloseCaption[] = "Закрыть";
constexpr char kStopCaption[] = "Остановить";
constexpr char kTitle[] = "Обновление приложения";
constexpr char kTestFile[] = "~test.txt";
constexpr char kTestText[] = "*** ЭТОТ ФАЙЛ МОЖНО УДАЛИТЬ ***";

constexpr char kRunning[] = "Идет процесс обновления приложения...";
constexpr char kNoWrite[] = "Не удается получить доступ на запись в папке приложения.";
constexpr char kNoDelete[] = "Не удается осуществить удаление файла из папки приложения.";
constexpr char kNoRead[] = "Не удается прочитать информацию об обновлении.";
constexpr char kMalformed[] = "Некорректные сведения об обновлении.";
constexpr char kNoAddress[] = "Отсутствует адрес обновления приложения.";
constexpr char kCannotStore[] = "Приложение не может записать файл обновления.";
constexpr char kRefused[] = "Процесс обновления прерван пользователем.";
constexpr char kAborted[] = "Загрузка обновления прервана пользователем.";
constexpr char kNotFound[] = "Отсутствует файл на сервере.";
constexpr char kFailed[] =
    "Ошибка при загрузке обновления. Проверьте настройки Microsoft Internet Explorer и "
    "доступность сети. Повторите попытку обновления.";
constexpr char kUpToDate[] = "Установлена последняя версия приложения. Обновления не требуется.";
constexpr char kDownloaded[] = "Обновление успешно загружено. Необходимо перезапустить приложение.";
constexpr char kCannotStart[] = "Не удается запустить файл обновления приложения.";

using form_style::kStepGrey;
constexpr Color kBlack = form_style::kBlack;
constexpr Color kRed = platform::Rgb(255, 0, 0);
constexpr Color kRunningGrey = form_style::kGrey;
constexpr Color kDoneGrey = platform::Rgb(30, 30, 30);
constexpr Color kStripColor = platform::Rgb(255, 0, 0);
constexpr Color kStripFrame = form_style::kGrey;
constexpr int32_t kStepCount = 5;
constexpr int kIdYes = 6;
constexpr int kShowDefault = 10;
constexpr const char* kToolbarPanels[] = {"picCommonToolbarAbout", "picCommonToolbarUpdate",
                                          "picCommonToolbarOptions"};

std::string Indexed(const char* name, int32_t index) {
    return name + std::to_string(index);
}

// r x 1 000 000 rounded, r drawn from [0, 1) by a generator seeded from the clock.
uint32_t NoCacheValue() {
    platform::IClock* clock = AppState().platform ? AppState().platform->clock : nullptr;
    std::minstd_rand random(clock ? clock->TickCount() : 1u);
    return static_cast<uint32_t>(
        std::lround(std::uniform_real_distribution<double>()(random) * 1e6));
}

// The folder with its separator; empty when the program's place is unknown.
std::string Folder() {
    const std::string folder = ProgramFolder();
    return folder.empty() ? folder : AddBackslash(folder);
}

// Removes a file of ours left there before; false when a file or folder of that name stays.
bool ClearFile(const std::string& path) {
    platform::IFileSystem* files = AppState().platform ? AppState().platform->files : nullptr;
    const auto attributes = files ? files->Attributes(path) : std::nullopt;
    if (!attributes) return true;
    return !(*attributes & platform::kAttrDirectory) && DeletePath(path);
}

}  // namespace

std::shared_ptr<IPagePresenter> UpdatePage::Make(frmMain& window) {
    auto page = std::make_shared<UpdatePage>(PassKey<UpdatePage>{}, window);
    const std::weak_ptr<UpdatePage> weak = page;
    if (const auto run = page->Get("cmdUpdateRun"))
        page->connections_.push_back(run->Click.Connect([weak] {
            if (const auto self = weak.lock()) self->OnRunClick();
        }));
    return page;
}

UpdatePage::~UpdatePage() {
    StopCountdown();
}

void UpdatePage::PageShown(int32_t page) {
    if (page != kUpdatePage) return;
    if (const auto run = Get("cmdUpdateRun")) run->SetEnabled(true);
    ResetUpdateSteps();
}

void UpdatePage::OnRunClick() {
    const auto self = shared_from_this();
    if (restartCounter_ < 1) {
        if (window_.Busy()) return;
        window_.SetBusy(true);
        RunUpdate();
        return;
    }
    restartCounter_ = kCountdownSeconds + 1;
    OnRebootTick();
}

void UpdatePage::RunUpdate() {
    window_.ClearUpdateCancel();
    step_ = 0;
    if (const auto run = Get("cmdUpdateRun")) run->SetEnabled(false);
    if (const auto close = Get("cmdCommonClose")) close->SetCaption(kStopCaption);
    SetToolbarEnabled(false);
    ResetUpdateSteps();
    ShowUpdateInfo(kRunningGrey, kRunning);

    MarkUpdateStep(1);
    if (std::string failure = CheckWriteAccess(); !failure.empty()) return UpdateFailed(failure);
    MarkUpdateStep(2);
    UpdateInfo info;
    if (std::string failure = FetchInfo(info); !failure.empty()) return UpdateFailed(failure);
    MarkUpdateStep(3);
    switch (info.offer) {
        case UpdateOffer::Current:
            return UpdateFinished(false, {});
        case UpdateOffer::Malformed:
            return UpdateFailed(kMalformed);
        case UpdateOffer::NoAddress:
            return UpdateFailed(kNoAddress);
        case UpdateOffer::Newer:
            break;
    }
    const std::string path = Folder() + info.fileName;
    MarkUpdateStep(4);
    // A file already there is replaced only by a complete download; a folder never.
    const auto files = AppState().platform->files;
    const auto existing = files->Attributes(path);
    if (existing && (*existing & platform::kAttrDirectory)) return UpdateFailed(kCannotStore);
    if (!Confirm(info.sizeText)) return UpdateFailed(kRefused);
    if (std::string failure = FetchInstaller(info, path); !failure.empty())
        return UpdateFailed(failure);
    MarkUpdateStep(5);
    UpdateFinished(false, path);
}

std::string UpdatePage::CheckWriteAccess() {
    const std::string folder = Folder();
    const std::string path = folder + kTestFile;
    if (folder.empty() || !AppState().platform->files || !WriteTextFile(path, kTestText, true))
        return kNoWrite;
    return DeletePath(path) ? std::string{} : kNoDelete;
}

std::string UpdatePage::FetchInfo(UpdateInfo& info) {
    std::string tempFolder;
    const std::string temp = GetTempFileName(tempFolder);
    if (temp.empty()) return kNoRead;
    std::string failure =
        Download(NoCacheAddress(infoAddress, NoCacheValue()), temp, kUpdateInfoLimit);
    std::string text;
    if (failure.empty() && !ReadTextFile(temp, text)) failure = kNoRead;
    if (FileExists(temp)) DeletePath(temp);
    if (failure.empty()) info = ParseUpdateInfo(text);
    return failure;
}

// Into a name of its own first: the installer's name holds only a complete download.
std::string UpdatePage::FetchInstaller(const UpdateInfo& info, const std::string& path) {
    const std::string partial = Folder() + "~" + info.fileName + ".part";
    if (!ClearFile(partial)) return kCannotStore;
    std::string failure = Download(NoCacheAddress(info.address, NoCacheValue()), partial, 0);
    if (failure.empty() && !RenameFile(partial, path)) failure = kCannotStore;
    if (!failure.empty()) ClearFile(partial);
    return failure;
}

// Fetches the address into the file; the failure's text, empty on success. A limit above 0
// stops a body that grows past it, which then counts as malformed information.
std::string UpdatePage::Download(const std::string& address, const std::string& path,
                                 size_t limit) {
    platform::IDownloader* downloader = AppState().platform->downloader;
    if (!downloader) return kFailed;
    platform::DownloadProgress last;
    bool tooLong = false;
    const auto progress = [&](const platform::DownloadProgress& report) {
        if (report.total > 0) {
            last = report;
            ShowProgress(static_cast<int32_t>(std::lround(
                100.0 * static_cast<double>(report.received) / static_cast<double>(report.total))));
        }
        tooLong = limit > 0 && report.received > limit;
        return !tooLong && !window_.UpdateCancel();
    };
    const int32_t result = downloader->Download(address, path, progress);
    if (tooLong) return kMalformed;
    if (result == platform::kDownloadAborted) return kAborted;
    if (result == platform::kDownloadNotFound) return kNotFound;
    // A body shorter than the size the server announced is a broken transfer, not a file.
    if (result < 0 || last.received < last.total) return kFailed;
    return {};
}

bool UpdatePage::Confirm(const std::string& sizeText) {
    const std::string text =
        "В процессе обновления приложения на Ваш компьютер будет загружено " + sizeText +
        ".\r\nОбновление программы бесплатное. При использовании для обновления услуги "
        "GPRS-Internet оплачивается объем переданного/полученного трафика в соответствие с "
        "вашим тарифным планом.\r\nПродолжить обновление приложения сейчас?";
    const platform::WindowHandle owner =
        window_.Window() ? window_.Binding().NativeWindow(*window_.Window()) : 0;
    return AppMsgBox(owner, text, kMbYesNo | kMbIconQuestion, kTitle) == kIdYes;
}

void UpdatePage::ResetUpdateSteps() {
    for (int32_t i = 0; i < kStepCount; ++i) {
        if (const auto label = Get(Indexed("lblUpdateStep", i).c_str()))
            label->SetForeColor(kStepGrey);
        if (const auto tick = Get(Indexed("imgUpdateStep", i).c_str())) tick->SetVisible(false);
    }
    ShowProgress(0);
    ShowUpdateInfo(kBlack, "");
}

void UpdatePage::MarkUpdateStep(int32_t step) {
    step_ = step;
    if (const auto label = Get(Indexed("lblUpdateStep", step - 1).c_str())) {
        label->SetForeColor(kBlack);
        label->Refresh();
    }
    if (const auto tick = Get(Indexed("imgUpdateStep", step - 1).c_str())) tick->SetVisible(true);
}

void UpdatePage::ShowUpdateInfo(uint32_t color, const std::string& text) {
    if (const auto info = Get("lblUpdateInfo")) {
        info->SetForeColor(color);
        info->SetCaption(text);
        info->Refresh();
    }
}

void UpdatePage::ShowProgress(int32_t percent) {
    const auto strip = Get<PictureBox>("picUpdateProgress");
    if (!strip) return;
    platform::ICanvas& canvas = strip->Canvas();
    DrawProgress(canvas, kStripColor, false, percent);
    FrameRectColor(canvas.Bounds(), kStripFrame, canvas);
    strip->Refresh();
}

void UpdatePage::SetToolbarEnabled(bool enabled) {
    for (const char* name : kToolbarPanels)
        if (const auto panel = Get(name)) panel->SetEnabled(enabled);
}

void UpdatePage::UpdateFailed(const std::string& text) {
    ShowUpdateInfo(kRed, text);
    SetToolbarEnabled(true);
    UpdateFinished(true, {});
}

void UpdatePage::UpdateFinished(bool error, const std::string& installerPath) {
    window_.SetBusy(false);
    if (error) return SetButtons(kRunCaption, true, true, true);
    if (step_ != kStepCount) {
        ShowUpdateInfo(kDoneGrey, kUpToDate);
        return SetButtons(kRunCaption, false, true, false);
    }
    ShowUpdateInfo(kDoneGrey, kDownloaded);
    updateFilePath_ = installerPath;
    restartPending_ = true;
    ShowProgress(100);
    restartCounter_ = 1;
    StartCountdown();
    SetButtons(kRestartCaption, true, false, true);
}

void UpdatePage::SetButtons(const char* runCaption, bool runEnabled, bool closeEnabled,
                            bool focusRun) {
    const auto run = Get("cmdUpdateRun");
    const auto close = Get("cmdCommonClose");
    if (close) {
        close->SetCaption(kCloseCaption);
        close->SetEnabled(closeEnabled);
    }
    if (run) {
        run->SetCaption(runCaption);
        run->SetEnabled(runEnabled);
    }
    const auto focus = focusRun ? run : close;
    if (focus && focus->Enabled()) focus->SetFocus();
}

// Without a timer to be had the countdown does not run; the button still starts the
// installer.
void UpdatePage::StartCountdown() {
    if (!rebootTimer_) {
        rebootTimer_ = PCXTimer::Create();
        const std::weak_ptr<UpdatePage> weak = weak_from_this();
        connections_.push_back(rebootTimer_->Tick.Connect([weak] {
            if (const auto self = weak.lock()) self->OnRebootTick();
        }));
    }
    try {
        rebootTimer_->SetInterval(1000);
        rebootTimer_->SetEnabled(true);
    } catch (const AppError&) {
        rebootTimer_->SetEnabled(false);
    }
}

void UpdatePage::StopCountdown() {
    if (rebootTimer_) rebootTimer_->SetEnabled(false);
}

void UpdatePage::OnRebootTick() {
    const auto self = shared_from_this();
    if (restartCounter_ < kCountdownSeconds) {
        if (const auto run = Get("cmdUpdateRun"))
            run->SetCaption("Перезапуск (" + std::to_string(kCountdownSeconds - restartCounter_) +
                            " сек)");
    } else {
        StopCountdown();
        if (!updateFilePath_.empty() && restartPending_) {
            if (ShellOpen(updateFilePath_, kShowDefault)) {
                ++restartCounter_;
                window_.UnloadWindow();
                return;
            }
            AppMsgBox(window_.Window() ? window_.Binding().NativeWindow(*window_.Window()) : 0,
                      kCannotStart, kMbOk | kMbIconStop, "Ошибка");
        }
    }
    ++restartCounter_;
}

}  // namespace tarvelin::ui
