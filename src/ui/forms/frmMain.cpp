#include "ui/forms/frmMain.h"

#include <algorithm>

#include "core/AppSetting.h"
#include "core/AppState.h"
#include "core/modAppMain.h"
#include "core/modSystemWinVer.h"
#include "driverdb/modAppDriverBase.h"
#include "platform/Canvas.h"

namespace tarvelin::ui {
namespace {

constexpr Color kOutline = platform::Rgb(102, 100, 101);
constexpr Color kFadeTo = platform::Rgb(173, 175, 175);
constexpr Color kWhite = platform::Rgb(255, 255, 255);
constexpr int32_t kWindowCorner = 20;
constexpr int32_t kPageCorner = 10;

struct ToolbarButton {
    const char* panel;
    const char* toolTip;
    uint16_t images[3];
};
constexpr ToolbarButton kToolbar[] = {
    {"picCommonToolbarOptions",
     "Поиск и установка модема и создание соединения. Настройки соединений, модемов, "
     "приложения",
     {110, 111, 112}},
    {"picCommonToolbarUpdate",
     "Обновление приложения и базы драйверов до последней версии",
     {120, 121, 122}},
    {"picCommonToolbarAbout", "Информация о приложении", {130, 131, 132}},
};

// The widgets whose left press drags the window, besides the form and the page panels.
constexpr const char* kDragHandles[] = {"lblMainWarning1",  "lblMainWarning2", "imgMainStat",
                                        "picMainGraph",     "imgCommonLogo",   "imgCommonTitle",
                                        "imgCommonToolbar", "imgCommonGPRS"};

constexpr const char* kCommonButtons[] = {"cmdCommonBack", "cmdCommonNext", "cmdCommonClose"};

}  // namespace

// clang-format off
const std::array<PageFrame, kPageCount + 1> kPageFrames = {{
    {},
    {true, true, false, false, false, false, false, false, ""},            // 1 main
    {true, true, false, false, false, false, true, true, "Закрыть"},       // 2 about
    {true, true, false, false, false, false, true, true, "Закрыть"},       // 3 update
    {false, true, true, false, true, true, true, true, "Отмена"},          // 4 options
    {true, true, false, false, false, false, true, true, "Закрыть"},       // 5 application
    {true, true, false, false, false, false, true, true, "Закрыть"},       // 6 modems
    {true, true, false, false, false, false, true, true, "Закрыть"},       // 7 connections
    {false, true, true, true, true, true, true, true, "Отмена"},           // 8 wizard 1
    {false, true, true, true, true, false, true, false, "Остановить"},     // 9 wizard 2
    {false, true, true, true, true, true, true, true, "Отмена"},           // 10 wizard 3
    {false, true, true, true, true, true, true, true, "Отмена"},           // 11 wizard 4
    {false, true, true, true, true, false, true, true, "Отмена"},          // 12 wizard 5
}};
// clang-format on

int32_t PlaceOnAxis(int32_t stored, int32_t windowSize, int32_t screenSize) {
    if (stored < 0) return (screenSize - windowSize) / 2;
    if (int64_t{stored} + windowSize >= screenSize) return screenSize - windowSize;
    return stored;
}

frmMain::frmMain(PassKey<frmMain>, IBinding& binding) : binding_(binding) {}

frmMain::~frmMain() = default;

bool frmMain::Load() {
    form_ = BuildForm(MainFormLayout(), binding_);
    if (!form_) return false;
    PlaceWindow();
    if (const auto app = Get<Label>("lblCommonVersionApp")) app->SetCaption(AppVersionText(true));
    if (const auto db = Get<Label>("lblCommonVersionBase"))
        db->SetCaption(DbStructVersionText(true));
    CreateHeader();
    Shape();
    PreparePanels();
    ConnectCommonButtons();
    ConnectDragging();
    for (const PagePresenterMaker make : PagePresenterMakers())
        if (auto presenter = make(*this)) presenters_.push_back(std::move(presenter));
    ShowPage(1);
    form_->SetVisible(true);
    form_->Refresh();
    CreateTray();
    if (AppState().AutoStart) form_->SetState(WindowState::Minimised);
    return true;
}

// The icon's messages arrive at the hidden picture box as mouse moves whose x is the mouse
// message on the icon; a re-created task bar asks for the icon again.
void frmMain::CreateTray() {
    const platform::Platform* services = AppState().platform;
    if (!services || !services->menus || !services->notifyArea) return;
    ITrayOwner& owner = *this;
    tray_ = std::make_unique<TrayIcon>(owner, *services->menus, *services->notifyArea);
    const std::weak_ptr<frmMain> weak = weak_from_this();
    if (const auto tray = Get<Widget>("picCommonTray")) {
        connections_.push_back(tray->MouseMove.Connect([weak](const MouseArgs& args) {
            const auto self = weak.lock();
            if (self && self->tray_) self->tray_->OnTrayMouseMessage(args.x);
        }));
    }
    connections_.push_back(form_->ShellRestarted.Connect([weak] {
        const auto self = weak.lock();
        if (self && self->tray_) self->tray_->Recover();
    }));
    tray_->ApplyTrayMode();
}

bool frmMain::IsMinimised() {
    return form_->State() == WindowState::Minimised;
}

bool frmMain::IsVisible() {
    return form_->Visible();
}

void frmMain::Minimise() {
    form_->SetState(WindowState::Minimised);
}

platform::WindowHandle frmMain::TrayWindow() {
    const Widget* tray = form_->Find("picCommonTray");
    return tray ? binding_.NativeWindow(*tray) : 0;
}

void frmMain::PlaceWindow() {
    const Rect screen = binding_.ScreenRect();
    const int32_t left =
        PlaceOnAxis(SettingLoadLong(AppSetting::MainFormLeft), kMainFormWidth, screen.Width());
    const int32_t top =
        PlaceOnAxis(SettingLoadLong(AppSetting::MainFormTop), kMainFormHeight, screen.Height());
    form_->SetBounds({left, top, left + kMainFormWidth, top + kMainFormHeight});
}

void frmMain::CreateHeader() {
    std::shared_ptr<PCControl>* toolbar[] = {&toolbarOptions_, &toolbarUpdate_, &toolbarAbout_};
    for (size_t i = 0; i < std::size(kToolbar); ++i) {
        *toolbar[i] = CreateSkinnedControl(binding_, Get<PictureBox>(kToolbar[i].panel),
                                           kToolbarButton, kToolbar[i].toolTip);
        (*toolbar[i])
            ->SetPropertiesButtonToolbar(kToolbar[i].images[0], kToolbar[i].images[1],
                                         kToolbar[i].images[2]);
    }
    minimise_ = CreateSkinnedControl(binding_, Get<PictureBox>("picCommonButtonMinimaze"),
                                     kWindowButton, "Свернуть");
    close_ = CreateSkinnedControl(binding_, Get<PictureBox>("picCommonButtonClose"), kWindowButton,
                                  "Закрыть");
    const std::weak_ptr<frmMain> weak = weak_from_this();
    const auto canClick = [weak](bool optionsRule) {
        return [weak, optionsRule](bool& allow) {
            const auto self = weak.lock();
            if (!self) return;
            allow = !self->busy_ &&
                    !(optionsRule && self->currentPage_ >= 4 && self->currentPage_ <= kPageCount);
        };
    };
    const auto show = [weak](int32_t page) {
        return [weak, page] {
            if (const auto self = weak.lock()) self->ShowPage(page);
        };
    };
    connections_.push_back(toolbarOptions_->CanClick.Connect(canClick(true)));
    connections_.push_back(toolbarUpdate_->CanClick.Connect(canClick(false)));
    connections_.push_back(toolbarAbout_->CanClick.Connect(canClick(false)));
    connections_.push_back(close_->CanClick.Connect(canClick(false)));
    connections_.push_back(toolbarOptions_->Click.Connect(show(4)));
    connections_.push_back(toolbarUpdate_->Click.Connect(show(3)));
    connections_.push_back(toolbarAbout_->Click.Connect(show(2)));
    connections_.push_back(minimise_->Click.Connect([weak] {
        if (const auto self = weak.lock()) self->form_->SetState(WindowState::Minimised);
    }));
    connections_.push_back(close_->Click.Connect([weak] {
        if (const auto self = weak.lock()) self->UnloadWindow();
    }));
}

// The outline colour shows where the rounded region one pixel inside the window's outline
// leaves the client area; inside it the white background fades to grey over the lowest 40
// pixels.
void frmMain::Shape() {
    const Rect client = form_->ClientRect();
    form_->SetRegion(WindowRegion{client, kWindowCorner, kWindowCorner});
    platform::ICanvas& canvas = form_->Canvas();
    canvas.FillRect(client, kOutline);
    canvas.PushRoundClip({1, 1, client.right - 1, client.bottom - 1}, kWindowCorner, kWindowCorner);
    canvas.FillRect(client, kWhite);
    canvas.GradientRect({0, client.bottom - 40, client.right, client.bottom + 20}, kWhite, kFadeTo,
                        false);
    canvas.PopClip();
    canvas.RoundRect(
        {kPageRect.left - 1, kPageRect.top - 1, kPageRect.right + 2, kPageRect.bottom + 2},
        kPageCorner, kPageCorner, kOutline, std::nullopt);
}

void frmMain::PreparePanels() {
    for (int32_t page = 1; page <= kPageCount; ++page) {
        const auto panel = Get<PictureBox>(kPagePanels[page]);
        if (!panel) continue;
        panel->SetBounds(
            {kPageRect.left, kPageRect.top, kPageRect.right + 1, kPageRect.bottom + 1});
        panel->SetRegion(WindowRegion{panel->ClientRect(), kPageCorner, kPageCorner});
        panel->Clear();
    }
}

void frmMain::ConnectCommonButtons() {
    const std::weak_ptr<frmMain> weak = weak_from_this();
    const auto on = [&](const char* name, void (frmMain::*handler)()) {
        if (const auto button = Get<Widget>(name))
            connections_.push_back(button->Click.Connect([weak, handler] {
                if (const auto self = weak.lock()) ((*self).*handler)();
            }));
    };
    on("cmdCommonBack", &frmMain::OnBack);
    on("cmdCommonNext", &frmMain::OnNext);
    on("cmdCommonClose", &frmMain::OnClose);
    connections_.push_back(form_->Resize.Connect([weak] {
        if (const auto self = weak.lock()) self->OnResize();
    }));
    connections_.push_back(form_->QueryUnload.Connect([weak](bool& cancel) {
        if (const auto self = weak.lock()) self->OnQueryUnload(cancel);
    }));
    connections_.push_back(form_->Unload.Connect([weak] {
        if (const auto self = weak.lock()) self->OnUnload();
    }));
}

void frmMain::ConnectDragging() {
    std::vector<Widget*> handles{form_.get()};
    for (int32_t page = 1; page <= kPageCount; ++page)
        handles.push_back(form_->Find(kPagePanels[page]));
    for (const char* name : kDragHandles) handles.push_back(form_->Find(name));
    const std::weak_ptr<frmMain> weak = weak_from_this();
    for (Widget* handle : handles) {
        if (!handle) continue;
        connections_.push_back(handle->MouseDown.Connect([weak](const MouseArgs& args) {
            const auto self = weak.lock();
            if (self && args.button == kButtonLeft) self->binding_.DragWindow(*self->form_);
        }));
    }
}

void frmMain::AssertToolbarState() {
    toolbarOptions_->SetPropertiesButtonToolbarState(currentPage_ >= 4);
    toolbarUpdate_->SetPropertiesButtonToolbarState(currentPage_ == 3);
    toolbarAbout_->SetPropertiesButtonToolbarState(currentPage_ == 2);
}

void frmMain::ShowPage(int32_t page) {
    const auto self = shared_from_this();
    if (!form_ || page < 1 || page > kPageCount || page == currentPage_) return;
    if (busy_) {
        AssertToolbarState();
        return;
    }
    const int32_t old = currentPage_;
    if (old != 0) HidePage(old);
    if (old >= 4 && page <= 3) ResetDriverCatalog();
    currentPage_ = page;
    // The frame first: a page's owner may change the common buttons when it builds the page.
    ShowPageFrame(*form_->Find(kPagePanels[page]), kPageFrames[static_cast<size_t>(page)]);
    BuildPage(page);
    if (IsClassicLook()) {
        for (const char* name : kCommonButtons) {
            const auto button = Get<CommandButton>(name);
            if (button && button->Visible()) button->SetFlat(true);
        }
    }
}

void frmMain::HidePage(int32_t page) {
    if (Widget* panel = form_->Find(kPagePanels[page])) panel->SetVisible(false);
    if (page == 2) {
        for (auto* link : {&aboutServices_, &aboutFeedback_}) {
            if (*link) (*link)->ControlRelease();
            link->reset();
        }
    }
    if (page == 3) {
        for (const auto& button : kToolbar)
            if (const auto panel = Get<Widget>(button.panel)) panel->SetEnabled(true);
    }
    for (const auto& presenter : std::vector(presenters_)) presenter->PageHidden(page);
    if (page == 2) toolbarAbout_->SetPropertiesButtonToolbarState(false);
    if (page == 3) toolbarUpdate_->SetPropertiesButtonToolbarState(false);
    if (page >= 4) toolbarOptions_->SetPropertiesButtonToolbarState(false);
}

void frmMain::BuildPage(int32_t page) {
    if (page >= 4) toolbarOptions_->SetPropertiesButtonToolbarState(true);
    if (page == 2) BuildAboutPage();
    for (const auto& presenter : std::vector(presenters_)) presenter->PageShown(page);
}

void frmMain::BuildAboutPage() {
    if (const auto version = Get<Label>("lblAboutVersion"))
        version->SetCaption("Версия приложения " + AppVersionText(false));
    if (const auto db = Get<Label>("lblAboutVersionDb"))
        db->SetCaption("Версия структуры базы драйверов " + DbStructVersionText(false));
    if (const auto rights = Get<Label>("lblAboutRights"))
        rights->SetCaption("Все права на программу принадлежат оператору QVT.");
    aboutServices_ = CreateSkinnedControl(binding_, Get<PictureBox>("picAboutLinkServicesInternet"),
                                          kLinkButton, "Дополнительная информация");
    aboutServices_->SetPropertiesButtonLink(servicesAddress, servicesAddress);
    aboutFeedback_ = CreateSkinnedControl(binding_, Get<PictureBox>("picAboutLinkQVT"), kLinkButton,
                                          "Адрес электронной почты для обратной связи");
    aboutFeedback_->SetPropertiesButtonLink(feedbackAddress, "mailto:" + feedbackAddress);
}

void frmMain::ShowPageFrame(Widget& panel, const PageFrame& frame) {
    for (const char* name : {"lblCommonVersionAppCaption", "lblCommonVersionBaseCaption",
                             "lblCommonVersionApp", "lblCommonVersionBase"})
        if (Widget* label = form_->Find(name)) label->SetVisible(frame.versions);
    for (const char* name : {"picCommonButtonMinimaze", "picCommonButtonClose"})
        if (Widget* button = form_->Find(name)) button->SetVisible(frame.windowButtons);
    const bool flags[3][2] = {{frame.backVisible, frame.backEnabled},
                              {frame.nextVisible, frame.nextEnabled},
                              {frame.closeVisible, frame.closeEnabled}};
    for (size_t i = 0; i < 3; ++i) {
        if (Widget* button = form_->Find(kCommonButtons[i])) {
            button->SetVisible(flags[i][0]);
            button->SetEnabled(flags[i][1]);
        }
    }
    std::string caption = frame.closeCaption ? frame.closeCaption : "";
    caption.erase(0, caption.find_first_not_of(' '));
    if (!caption.empty()) {
        if (Widget* close = form_->Find("cmdCommonClose")) close->SetCaption(frame.closeCaption);
    }
    panel.Move(kPageRect.left, kPageRect.top);
    panel.SetVisible(true);
}

void frmMain::OnBack() {
    switch (currentPage_) {
        case 8:
            ShowPage(4);
            break;
        case 9:
        case 12:
            ShowPage(8);
            break;
        case 10:
            ShowPage(9);
            break;
        case 11:
            ShowPage(10);
            break;
        default:
            break;
    }
}

void frmMain::OnNext() {
    if (currentPage_ == 4) {
        constexpr int32_t kChoice[] = {8, 7, 5, 6};
        for (int32_t i = 0; i < 4; ++i) {
            const auto option = Get<CheckBox>(("optOptionsSelect" + std::to_string(i)).c_str());
            if (option && option->Value()) {
                ShowPage(kChoice[i]);
                return;
            }
        }
    } else if (currentPage_ >= 8 && currentPage_ <= 10) {
        ShowPage(currentPage_ + 1);
    } else if (currentPage_ == 11 && onMasterInstall) {
        onMasterInstall();
    }
}

void frmMain::OnClose() {
    switch (currentPage_) {
        case 1:
            return;
        case 3:
            if (busy_)
                updateCancel_ = true;
            else
                ShowPage(1);
            return;
        case 6:
        case 7:
            if (!busy_) ShowPage(1);
            return;
        case 9:
        case 11:
            if (busy_)
                stopRequested_ = true;
            else
                ShowPage(1);
            return;
        default:
            ShowPage(1);
            return;
    }
}

// Minimised with an icon in the notification area, the window lives on there only. Without
// an icon actually present nothing would bring it back, so it stays on the task bar.
void frmMain::OnResize() {
    if (form_->State() == WindowState::Minimised && tray_ && tray_->IconPresent())
        ShowApplication(false);
}

void frmMain::ShowApplication(bool show) {
    if (show) {
        form_->SetVisible(true);
        form_->SetState(WindowState::Normal);
        form_->BringToFront();
        form_->SetShowInTaskbar(true);
    } else {
        form_->SetShowInTaskbar(false);
        form_->SetVisible(false);
    }
}

bool frmMain::UnloadWindow() {
    const auto self = shared_from_this();
    return form_ && form_->Close();
}

void frmMain::OnQueryUnload(bool& cancel) {
    if (busy_) cancel = true;
}

void frmMain::OnUnload() {
    if (tray_) tray_->SetTrayIcon(false);
    for (const auto& presenter : std::vector(presenters_)) presenter->WindowUnloading();
    for (auto* control : {&toolbarOptions_, &toolbarUpdate_, &toolbarAbout_, &minimise_, &close_}) {
        if (*control) (*control)->ControlRelease();
    }
    if (form_->State() != WindowState::Minimised) {
        SettingSave(AppSetting::MainFormLeft, form_->Bounds().left);
        SettingSave(AppSetting::MainFormTop, form_->Bounds().top);
    }
    if (onClosed) onClosed();
}

PCControl* frmMain::HeaderControl(const std::string& name) const {
    for (const auto* control :
         {&toolbarOptions_, &toolbarUpdate_, &toolbarAbout_, &minimise_, &close_})
        if (*control && (*control)->Box() && (*control)->Box()->Name() == name)
            return control->get();
    return nullptr;
}

PCControl* frmMain::PageControl(const std::string& name) const {
    for (const auto* control : {&aboutServices_, &aboutFeedback_})
        if (*control && (*control)->Box() && (*control)->Box()->Name() == name)
            return control->get();
    return nullptr;
}

}  // namespace tarvelin::ui
