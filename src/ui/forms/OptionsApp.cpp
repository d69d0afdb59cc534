#include "ui/forms/OptionsApp.h"

#include "core/AppState.h"
#include "ui/forms/MainPage.h"

namespace tarvelin::ui {
namespace {

constexpr int32_t kPage = 5;
constexpr char kSliderBox[] = "picOptionsAppSlider";
constexpr char kSliderTip[] = "Изменения степени прозрачности графика соединения в отдельном окне";

// The three check boxes that store one flag each when clicked (the widget's box does more).
struct FlagBox {
    const char* name;
    AppSetting setting;
};
constexpr FlagBox kFlagBoxes[] = {
    {"chkOptionsAppAutoStart", AppSetting::AutoRun},
    {"chkOptionsAppTray", AppSetting::Tray},
    {"chkOptionsAppCheckDeviceConn", AppSetting::CheckDeviceConn},
};
constexpr char kWidgetBox[] = "chkOptionsAppWidget";
constexpr char kBytes[] = "optOptionsAppOptions0";
constexpr char kBits[] = "optOptionsAppOptions1";

// Sets a flag while the controls are filled, whatever way the filling ends.
class LoadingScope {
  public:
    explicit LoadingScope(bool& flag) : flag_(flag), old_(std::exchange(flag, true)) {}
    ~LoadingScope() { flag_ = old_; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

  private:
    bool& flag_;
    bool old_;
};

}  // namespace

std::shared_ptr<IPagePresenter> OptionsApp::Make(frmMain& window) {
    auto page = std::make_shared<OptionsApp>(PassKey<OptionsApp>{}, window);
    page->Connect();
    return page;
}

OptionsApp::~OptionsApp() {
    ReleaseSlider();
}

void OptionsApp::Connect() {
    const std::weak_ptr<OptionsApp> weak = weak_from_this();
    for (const FlagBox& flag : kFlagBoxes) {
        const auto box = window_.Get<CheckBox>(flag.name);
        if (!box) continue;
        CheckBox* raw = box.get();
        connections_.push_back(box->Click.Connect([weak, setting = flag.setting, raw] {
            if (const auto self = weak.lock()) self->OnCheck(setting, *raw);
        }));
    }
    if (const auto widget = window_.Get<CheckBox>(kWidgetBox)) {
        CheckBox* raw = widget.get();
        connections_.push_back(widget->Click.Connect([weak, raw] {
            if (const auto self = weak.lock()) self->OnWidgetCheck(*raw);
        }));
    }
    // An option button raises Click only when it becomes set: either one tells the unit.
    for (const char* name : {kBytes, kBits}) {
        if (const auto option = window_.Get<CheckBox>(name))
            connections_.push_back(option->Click.Connect([weak] {
                if (const auto self = weak.lock()) self->OnUnitChosen();
            }));
    }
    if (const auto button = window_.Get<CommandButton>("cmdOptionsAppDefault"))
        connections_.push_back(button->Click.Connect([weak] {
            if (const auto self = weak.lock()) self->RestoreDefaults();
        }));
}

void OptionsApp::PageShown(int32_t page) {
    if (page == kPage) LoadOptionsApp();
}

void OptionsApp::PageHidden(int32_t page) {
    if (page == kPage) ReleaseSlider();
}

void OptionsApp::LoadOptionsApp() {
    {
        const LoadingScope loading(loading_);
        for (const FlagBox& flag : kFlagBoxes)
            if (const auto box = window_.Get<CheckBox>(flag.name))
                box->SetValue(SettingLoadBool(flag.setting));
        const bool inBytes = SettingLoadBool(AppSetting::StatInByte);
        if (const auto option = window_.Get<CheckBox>(inBytes ? kBytes : kBits))
            option->SetValue(true);
        const auto widget = window_.Get<CheckBox>(kWidgetBox);
        if (widget) widget->SetValue(SettingLoadBool(AppSetting::WidgetShow));
        if (!slider_) {
            slider_ = CreateSkinnedControl(window_.Binding(), window_.Get<PictureBox>(kSliderBox),
                                           kSlider, kSliderTip);
            const std::weak_ptr<OptionsApp> weak = weak_from_this();
            sliderConnection_ = slider_->ChangeValue.Connect([weak](int32_t value) {
                if (const auto self = weak.lock()) self->OnSliderValue(value);
            });
        }
        SetUpSlider(SettingLoadLong(AppSetting::WidgetTrans));
        if (widget) OnWidgetCheck(*widget);
    }
    if (const auto close = window_.Get("cmdCommonClose")) close->SetFocus();
}

void OptionsApp::SetUpSlider(int32_t value) {
    if (slider_) slider_->SetPropertiesSlider(0, true, 10, 10, 5, 0, value, 255);
}

void OptionsApp::ReleaseSlider() {
    sliderConnection_.Disconnect();
    if (slider_) slider_->ControlRelease();
    slider_.reset();
}

// The autostart entry is the Run value itself: when it cannot be written the box is put back
// to show what is there. The other flags take effect for this session whatever the write's
// outcome (the settings keep them), so their boxes stay as clicked.
void OptionsApp::OnCheck(AppSetting setting, CheckBox& box) {
    if (loading_) return;
    const bool value = box.Value();
    if (!SettingSave(setting, value) && setting == AppSetting::AutoRun) {
        const LoadingScope loading(loading_);
        box.SetValue(!value);
        return;
    }
    if (setting == AppSetting::Tray)
        if (TrayIcon* tray = window_.Tray()) tray->ApplyTrayMode();
}

// The slider (and its caption) is usable only while the widget is to be shown.
void OptionsApp::OnWidgetCheck(const CheckBox& box) {
    const bool shown = box.Value();
    for (const char* name : {kSliderBox, "lblOptionsAppSlider"})
        if (const auto widget = window_.Get(name)) widget->SetEnabled(shown);
    if (loading_) return;
    if (slider_) slider_->ControlRefresh();
    SettingSave(AppSetting::WidgetShow, shown);
}

void OptionsApp::OnUnitChosen() {
    if (loading_) return;
    const auto bytes = window_.Get<CheckBox>(kBytes);
    SettingSave(AppSetting::StatInByte, bytes && bytes->Value());
}

// The widget on the desktop follows the slider at once, not at the next poll.
void OptionsApp::OnSliderValue(int32_t value) {
    if (loading_) return;
    const auto trans = static_cast<uint8_t>(value);
    SettingSave(AppSetting::WidgetTrans, trans);
    if (const MainPage* main = window_.Presenter<MainPage>())
        if (frmStat* widget = main->StatWindow()) widget->Transparent(trans);
}

void OptionsApp::RestoreDefaults() {
    for (const char* name :
         {kFlagBoxes[0].name, kFlagBoxes[1].name, kFlagBoxes[2].name, kWidgetBox})
        if (const auto box = window_.Get<CheckBox>(name)) box->SetValue(true);
    if (const auto bytes = window_.Get<CheckBox>(kBytes)) bytes->SetValue(true);
    SetUpSlider(kDefaultWidgetTrans);
    OnSliderValue(kDefaultWidgetTrans);
}

}  // namespace tarvelin::ui
