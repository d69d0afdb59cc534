#pragma once
// The main window: the header with its toolbar and window buttons, the foot with the version
// labels and the common Back / Next / Close buttons, and the page area in which one of the
// twelve pages is shown. Pages of other windows' owners (the main page, the wizard, options,
// update) hang their contents on the page hooks; the about page and the options menu live
// here.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/PassKey.h"
#include "ui/controls/PCControl.h"
#include "ui/forms/OperatorLinks.h"
#include "ui/forms/TrayIcon.h"
#include "ui/forms/frmMainLayout.h"
#include "ui/widgets/Binding.h"

namespace tarvelin::ui {

// The frame of one page: the version labels, the window buttons and the three common
// buttons (visible / enabled), and the Close caption (blank: unchanged).
struct PageFrame {
    bool versions, windowButtons, backVisible, backEnabled, nextVisible, nextEnabled, closeVisible,
        closeEnabled;
    const char* closeCaption;
};

// The frame table, by page number (index 0 unused).
extern const std::array<PageFrame, kPageCount + 1> kPageFrames;

// Where the window opens on one axis: a negative stored value centres it; a window that would
// reach or pass the screen's far edge is moved back inside it.
int32_t PlaceOnAxis(int32_t stored, int32_t windowSize, int32_t screenSize);

class frmMain;
class frmEditConnection;

// The owner of some of the pages (the main page, the wizard, the options and update pages):
// it fills its page when the page is shown and releases what it made when it is hidden, and
// it is told of the window's unload.
class IPagePresenter {
  public:
    virtual ~IPagePresenter() = default;
    // Called for every page shown or hidden; a presenter acts on its own pages only.
    virtual void PageShown(int32_t page) = 0;
    virtual void PageHidden(int32_t page) = 0;
    // The window is closing for good.
    virtual void WindowUnloading() {}
};

// Makes the presenters of a window's pages once its widgets exist; each page's owner adds
// its maker to this list (see frmMainPages.cpp).
using PagePresenterMaker = std::shared_ptr<IPagePresenter> (*)(frmMain& window);

class frmMain : public std::enable_shared_from_this<frmMain>, private ITrayOwner {
  public:
    static std::shared_ptr<frmMain> Create(IBinding& binding) {
        return std::make_shared<frmMain>(PassKey<frmMain>{}, binding);
    }
    frmMain(PassKey<frmMain>, IBinding& binding);
    ~frmMain();
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // Builds the window and runs its load sequence; false when the window cannot be made.
    bool Load();
    Form* Window() const { return form_.get(); }

    int32_t CurrentPage() const { return currentPage_; }
    bool Busy() const { return busy_; }
    void SetBusy(bool busy) { busy_ = busy; }
    bool StopRequested() const { return stopRequested_; }
    bool UpdateCancel() const { return updateCancel_; }
    void ClearStopRequested() { stopRequested_ = false; }
    void ClearUpdateCancel() { updateCancel_ = false; }

    void ShowPage(int32_t page);
    void ShowPageFrame(Widget& panel, const PageFrame& frame);
    void ShowApplication(bool show) override;
    // Asks the window to close, as its close button does; false when it stays (busy).
    bool UnloadWindow();

    IBinding& Binding() const { return binding_; }
    // The widget of that name and kind on the window, or null.
    template <typename T = Widget>
    std::shared_ptr<T> Get(const char* name) const;
    // The page presenter of that kind, or null.
    template <typename T>
    T* Presenter() const {
        for (const auto& presenter : presenters_)
            if (auto* found = dynamic_cast<T*>(presenter.get())) return found;
        return nullptr;
    }
    // Next on the wizard's last step: the wizard's owner installs the modem.
    std::function<void()> onMasterInstall;
    // Called when the window closes for good (after the position was stored).
    std::function<void()> onClosed;
    // The operator's addresses used by the about page and the wizard (OperatorLinks.h).
    std::string servicesAddress = kOperatorServicesPage;
    std::string feedbackAddress = kOperatorFeedbackAddress;
    // The connection editor opened over this window (see OpenConnectionEditor), kept after
    // it closes until the next one opens, so that it outlives its own handlers.
    std::shared_ptr<frmEditConnection> editor;

    // The notification-area icon, when the system has a notification area (null otherwise).
    TrayIcon* Tray() const { return tray_.get(); }
    PCControl* HeaderControl(const std::string& name) const;
    PCControl* PageControl(const std::string& name) const;

  private:
    void CreateHeader();
    void Shape();
    void PreparePanels();
    void ConnectCommonButtons();
    void ConnectDragging();
    void PlaceWindow();
    void HidePage(int32_t page);
    void BuildPage(int32_t page);
    void BuildAboutPage();
    void AssertToolbarState();
    void OnBack();
    void OnNext();
    void OnClose();
    void OnResize();
    void OnQueryUnload(bool& cancel);
    void OnUnload();
    void CreateTray();
    // ITrayOwner
    bool IsMinimised() override;
    bool IsVisible() override;
    void Minimise() override;
    void Unload() override { UnloadWindow(); }
    platform::WindowHandle TrayWindow() override;

    IBinding& binding_;
    std::shared_ptr<Form> form_;
    int32_t currentPage_ = 0;
    bool busy_ = false, stopRequested_ = false, updateCancel_ = false;
    std::shared_ptr<PCControl> toolbarOptions_, toolbarUpdate_, toolbarAbout_, minimise_, close_;
    std::shared_ptr<PCControl> aboutServices_, aboutFeedback_;
    std::unique_ptr<TrayIcon> tray_;
    std::vector<std::shared_ptr<IPagePresenter>> presenters_;
    std::vector<Connection> connections_;
};

template <typename T>
std::shared_ptr<T> frmMain::Get(const char* name) const {
    Widget* widget = form_ ? form_->Find(name) : nullptr;
    return widget ? std::dynamic_pointer_cast<T>(widget->shared_from_this()) : nullptr;
}

// The makers of the page presenters, in the order they are made.
std::span<const PagePresenterMaker> PagePresenterMakers();

}  // namespace tarvelin::ui
