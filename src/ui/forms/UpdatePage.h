#pragma once
// The update page (page 3 of the main window): asks the operator's server whether a newer
// version exists, downloads its installer into the program's folder once the user agrees,
// and after a 20-second countdown starts it and closes the program.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/PassKey.h"
#include "ui/forms/frmMain.h"

namespace tarvelin {
class PCXTimer;
struct UpdateInfo;
}  // namespace tarvelin

namespace tarvelin::ui {

// The update page's controls, added to the main window's layout.
std::span<const WidgetLayout> UpdatePageLayout();

// The operator's update-information address, fixed when the program is built.
extern const char kUpdateInfoAddress[];

class UpdatePage final : public IPagePresenter, public std::enable_shared_from_this<UpdatePage> {
  public:
    static constexpr int32_t kUpdatePage = 3;
    static constexpr int32_t kCountdownSeconds = 20;

    static std::shared_ptr<IPagePresenter> Make(frmMain& window);
    UpdatePage(PassKey<UpdatePage>, frmMain& window) : window_(window) {}
    ~UpdatePage() override;
    UpdatePage(const UpdatePage&) = delete;
    UpdatePage& operator=(const UpdatePage&) = delete;

    void PageShown(int32_t page) override;
    void PageHidden(int32_t) override {}
    void WindowUnloading() override { StopCountdown(); }

    // The last step reached (0 to 5) and the countdown's position (0: no download yet).
    int32_t Step() const { return step_; }
    int32_t RestartCounter() const { return restartCounter_; }
    std::string infoAddress = kUpdateInfoAddress;

  private:
    template <typename T = Widget>
    std::shared_ptr<T> Get(const char* name) const {
        return window_.Get<T>(name);
    }
    void OnRunClick();
    void RunUpdate();
    // Each stage answers the text of its failure, empty when it went well.
    std::string CheckWriteAccess();
    std::string FetchInfo(UpdateInfo& info);
    std::string FetchInstaller(const UpdateInfo& info, const std::string& path);
    std::string Download(const std::string& address, const std::string& path, size_t limit);
    bool Confirm(const std::string& sizeText);

    void ResetUpdateSteps();
    void MarkUpdateStep(int32_t step);
    void ShowUpdateInfo(uint32_t color, const std::string& text);
    void ShowProgress(int32_t percent);
    void SetToolbarEnabled(bool enabled);
    void UpdateFailed(const std::string& text);
    void UpdateFinished(bool error, const std::string& installerPath);
    void SetButtons(const char* runCaption, bool runEnabled, bool closeEnabled, bool focusRun);
    void StartCountdown();
    void StopCountdown();
    void OnRebootTick();

    frmMain& window_;
    int32_t step_ = 0;
    int32_t restartCounter_ = 0;
    bool restartPending_ = false;
    std::string updateFilePath_;
    std::shared_ptr<PCXTimer> rebootTimer_;
    std::vector<Connection> connections_;
};

}  // namespace tarvelin::ui
