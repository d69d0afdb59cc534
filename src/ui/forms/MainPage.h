#pragma once
// The main page (page 1): the list of the modems the dial-up entries use, the button that
// connects or hangs up the chosen one, and the traffic graph of its connection. Behind it the
// once-a-second poll of the active connections feeds their statistics, the graph, the
// desktop widget and the tray icon's tool tip, whatever page is shown. At start-up the page
// offers the setup wizard to a user without a modem, and the modems page to one without a
// connection.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/Event.h"
#include "stats/StatMonitor.h"
#include "ui/forms/frmMain.h"
#include "ui/forms/frmStat.h"

namespace tarvelin {
class PCXTimer;
}

namespace tarvelin::ui {

// The rows of the page's controls on picFormMain.
std::span<const WidgetLayout> MainPageLayout();

inline constexpr char kConnectedSuffix[] = " (подключено)";

class MainPage final : public IPagePresenter, public std::enable_shared_from_this<MainPage> {
  public:
    // The page's presenter; it starts the poll and schedules the start-up check.
    static std::shared_ptr<IPagePresenter> Make(frmMain& window);
    MainPage(PassKey<MainPage>, frmMain& window);
    ~MainPage() override;

    void PageShown(int32_t page) override;
    void PageHidden(int32_t page) override;
    void WindowUnloading() override;

    // The start-up check, run from the message loop once the window is up; the options
    // pages run it again after their changes.
    void RunnableStart();
    void RefreshConnectionList();
    void ConnectOrHangUp();
    // One tick of the common timer.
    void OnTimer();

    const StatMonitor& Monitor() const { return monitor_; }
    // The desktop widget while it is shown, or null.
    frmStat* StatWindow() const { return widget_.get(); }

  private:
    // One item of the list: the device, and the connection on it (0 when idle). The list
    // keeps the full handle here; the box only shows the text.
    struct Item {
        std::string device;
        platform::RasHandle connection = 0;
    };

    void Start();
    void PollConnections();
    void UpdateStatisticsView();
    void UpdateWidget();
    void UpdateConnectButton();
    void DrawSessionSummary(const PCStat& stat);
    void UpdateTrayTip();
    int32_t AddItem(const std::string& device, platform::RasHandle connection);
    void SetItemConnection(int32_t index, platform::RasHandle connection);
    void RemoveItem(int32_t index);
    int32_t FindItem(platform::RasHandle connection) const;
    int32_t FindIdleItem(const std::string& device) const;
    void Select(int32_t index);
    platform::RasHandle SelectedConnection() const;
    std::string DialChoice(const std::vector<std::string>& entries);

    frmMain& window_;
    std::shared_ptr<ComboBox> list_;
    std::shared_ptr<CommandButton> button_;
    std::shared_ptr<PictureBox> graph_, panel_;
    std::vector<Item> items_;
    uint32_t entryCount_ = 0;
    uint64_t ticks_ = 0;
    bool checkPending_ = false;
    StatMonitor monitor_;
    std::unique_ptr<frmStat> widget_;
    std::shared_ptr<PCXTimer> timer_;
    std::vector<Connection> connections_;
};

}  // namespace tarvelin::ui
