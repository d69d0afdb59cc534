#pragma once
// The program settings page (page 5): start-up and tray behaviour, the desktop widget and
// its transparency, and the unit of the speed figures. Every change is stored at once and
// takes effect at once.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/AppSetting.h"
#include "platform/PassKey.h"
#include "ui/controls/PCControl.h"
#include "ui/forms/frmMain.h"

namespace tarvelin::ui {

// The rows of the page's controls on picFormOptionsApp.
std::span<const WidgetLayout> OptionsAppLayout();

inline constexpr uint8_t kDefaultWidgetTrans = 64;

class OptionsApp final : public IPagePresenter, public std::enable_shared_from_this<OptionsApp> {
  public:
    static std::shared_ptr<IPagePresenter> Make(frmMain& window);
    OptionsApp(PassKey<OptionsApp>, frmMain& window) : window_(window) {}
    ~OptionsApp() override;
    OptionsApp(const OptionsApp&) = delete;
    OptionsApp& operator=(const OptionsApp&) = delete;

    void PageShown(int32_t page) override;
    void PageHidden(int32_t page) override;
    void WindowUnloading() override { ReleaseSlider(); }

    // The transparency slider while the page is shown, or null.
    PCControl* Slider() const { return slider_.get(); }

  private:
    void Connect();
    void LoadOptionsApp();
    void SetUpSlider(int32_t value);
    void ReleaseSlider();
    void OnCheck(AppSetting setting, CheckBox& box);
    void OnWidgetCheck(const CheckBox& box);
    void OnUnitChosen();
    void OnSliderValue(int32_t value);
    void RestoreDefaults();

    frmMain& window_;
    std::shared_ptr<PCControl> slider_;
    bool loading_ = false;  // the controls are being filled: their handlers store nothing
    std::vector<Connection> connections_;
    Connection sliderConnection_;
};

}  // namespace tarvelin::ui
