#include "ui/forms/MainPage.h"

#include "ui/forms/Wizard.h"

#include <algorithm>

#include "core/AppState.h"
#include "core/PCXTimer.h"
#include "core/modAppMain.h"
#include "core/modAppRoutine.h"
#include "core/modTypes.h"
#include "dialup/modAppRAS.h"
#include "ui/controls/PCMenu.h"
#include "ui/forms/SessionSummary.h"
#include "ui/forms/Wizard.h"

namespace tarvelin::ui {
namespace {

constexpr uint32_t kPollInterval = 1000;
constexpr uint64_t kTipEvery = 5;      // ticks between tool-tip updates
constexpr uint64_t kEntriesEvery = 7;  // ticks between looks at the phone book's size
constexpr int kIdYes = 6;
constexpr char kCrLf[] = "\r\n";

// The device names of the entries whose properties can be read, each once, in the phone
// book's order.
std::vector<std::string> EntryDevices(uint32_t& entryCount) {
    std::vector<std::string> entries, devices;
    entryCount = GetRasEntries(entries);
    for (const std::string& entry : entries) {
        RasEntryInfo info;
        if (!ReadEntryProperties({}, entry, info)) continue;
        if (std::none_of(devices.begin(), devices.end(),
                         [&](const std::string& d) { return EqualsNoCase(d, info.szDeviceName); }))
            devices.push_back(info.szDeviceName);
    }
    return devices;
}

}  // namespace

std::shared_ptr<IPagePresenter> MainPage::Make(frmMain& window) {
    auto page = std::make_shared<MainPage>(PassKey<MainPage>{}, window);
    page->Start();
    return page;
}

MainPage::MainPage(PassKey<MainPage>, frmMain& window)
    : window_(window),
      list_(window.Get<ComboBox>("cmbMainConn")),
      button_(window.Get<CommandButton>("cmdMainConnect")),
      graph_(window.Get<PictureBox>("picMainGraph")),
      panel_(window.Get<PictureBox>("picMainStat")) {}

MainPage::~MainPage() {
    if (timer_) timer_->SetEnabled(false);
}

// The poll runs from the window's load to its unload; the check waits for the message loop.
void MainPage::Start() {
    if (!list_ || !button_ || !graph_ || !panel_) return;
    const std::weak_ptr<MainPage> weak = weak_from_this();
    connections_.push_back(list_->Click.Connect([weak] {
        if (const auto self = weak.lock()) {
            self->UpdateConnectButton();
            self->UpdateStatisticsView();
        }
    }));
    connections_.push_back(button_->Click.Connect([weak] {
        if (const auto self = weak.lock()) self->ConnectOrHangUp();
    }));
    timer_ = PCXTimer::Create();
    connections_.push_back(timer_->Tick.Connect([weak] {
        if (const auto self = weak.lock()) self->OnTimer();
    }));
    try {
        timer_->SetInterval(kPollInterval);
        timer_->SetEnabled(true);
    } catch (...) {
        // Without a timer the page still lists the modems and connects; it shows no traffic.
    }
    // The check starts from the message loop, once the window has been shown.
    checkPending_ =
        RunLater(std::make_shared<WeakRunnable<MainPage>>(weak, &MainPage::RunnableStart));
    if (!checkPending_) {
        RefreshConnectionList();
        list_->SetEnabled(true);
    }
}

// The window's first page is shown after its presenters are made; from then until the
// check has run the window is busy.
void MainPage::PageShown(int32_t page) {
    if (checkPending_) window_.SetBusy(true);
    if (page != 1 || !monitor_.Stats().empty()) return;
    graph_->Clear();
    graph_->Refresh();
}

// Leaving the modems or connections pages, or the wizard's installation after it installed a
// modem, may have changed the devices and entries the list shows.
void MainPage::PageHidden(int32_t page) {
    const Wizard* wizard = window_.Presenter<Wizard>();
    if (page == 6 || page == 7 || (page == 11 && wizard && wizard->InstallDone()))
        RefreshConnectionList();
}

void MainPage::WindowUnloading() {
    if (timer_) timer_->SetEnabled(false);
    widget_.reset();
}

void MainPage::RunnableStart() {
    checkPending_ = false;
    const int32_t page = window_.CurrentPage();
    if (page != 6 && page != 7) {
        RefreshConnectionList();
        const Form& form = *window_.Window();
        const AppStateRecord& app = AppState();
        if (!app.AutoStart && app.CheckDeviceConn && form.Visible() &&
            form.State() != WindowState::Minimised) {
            window_.SetBusy(false);
            const platform::WindowHandle owner = window_.Binding().NativeWindow(form);
            const uint32_t style = kMbYesNo | kMbIconQuestion;
            if (!HasModemDevice()) {
                if (AppMsgBox(owner,
                              std::string("В системе отсутствуют установленные модемы.") + kCrLf +
                                  "Открыть окно поиска телефона и установки драйверов?",
                              style) == kIdYes)
                    window_.ShowPage(8);
            } else if (!HasModemEntry()) {
                if (AppMsgBox(owner,
                              std::string("В системе отсутствуют удаленные соединения.") + kCrLf +
                                  "Открыть окно создания нового соединения?",
                              style) == kIdYes)
                    window_.ShowPage(6);
            }
        }
        list_->SetEnabled(true);
        button_->SetFocus();
    }
    window_.SetBusy(false);
}

void MainPage::OnTimer() {
    PollConnections();
    UpdateStatisticsView();
    ++ticks_;
    if (ticks_ % kTipEvery == 0) UpdateTrayTip();
    if (ticks_ % kEntriesEvery == 0 && CountRasEntries() != entryCount_) RefreshConnectionList();
}

void MainPage::UpdateTrayTip() {
    TrayIcon* tray = window_.Tray();
    if (!tray || !tray->TrayIconShown()) return;
    const size_t count = monitor_.Stats().size();
    tray->SetTip(std::string(kAppTitle) + "\n" +
                 (count == 0 ? std::string("Нет активных подключений.")
                             : "Активно подключений: " + std::to_string(count)));
}

// Ended connections give their items back first, so that a handle the system hands out again
// at once finds its device's item idle.
void MainPage::PollConnections() {
    const std::vector<PCStat> ended = monitor_.Poll();
    bool selectedEnded = false, added = false;
    for (auto stat = ended.rbegin(); stat != ended.rend(); ++stat) {
        DrawSessionSummary(*stat);
        const int32_t index = FindItem(stat->hRasConn());
        if (index < 0) continue;
        SetItemConnection(index, 0);
        if (index == list_->ListIndex()) {
            UpdateConnectButton();
            selectedEnded = true;
        }
    }
    int32_t newest = -1;
    for (const PCStat& stat : monitor_.Stats()) {
        if (FindItem(stat.hRasConn()) >= 0) continue;
        newest = FindIdleItem(stat.DeviceName());
        if (newest >= 0) {
            SetItemConnection(newest, stat.hRasConn());
        } else {
            newest = AddItem(stat.DeviceName(), stat.hRasConn());
            added = true;
        }
    }
    if (!monitor_.Stats().empty()) {
        if (newest >= 0) {
            Select(newest);
        } else if (selectedEnded) {
            const auto connected = std::find_if(items_.begin(), items_.end(),
                                                [](const Item& i) { return i.connection != 0; });
            if (connected != items_.end()) Select(static_cast<int32_t>(connected - items_.begin()));
        }
    }
    if (added) RefreshConnectionList();
}

void MainPage::UpdateStatisticsView() {
    const std::vector<PCStat>& stats = monitor_.Stats();
    const AppStateRecord& app = AppState();
    if (stats.empty() || !app.WidgetShow) {
        widget_.reset();
    } else if (!widget_) {
        widget_ = frmStat::Load(window_.Binding(), app.WidgetTrans);
    }
    if (stats.empty()) return;
    if (const auto image = window_.Get<Widget>("imgMainStat")) image->SetVisible(true);
    for (const char* name : {"lblMainWarning1", "lblMainWarning2"})
        if (const auto label = window_.Get<Widget>(name)) label->SetVisible(false);
    if (const PCStat* shown = monitor_.Find(SelectedConnection())) {
        graph_->Clear();
        if (!panel_->Image()) panel_->Clear();
        const Rect& p = panel_->Bounds();
        const Rect& g = graph_->Bounds();
        shown->DrawGraphic(graph_->Canvas(), panel_->Image(),
                           {p.left - g.left, p.top - g.top, p.right - g.left, p.bottom - g.top},
                           panel_->GetFont(), app.StatInByte, false, true);
        graph_->Refresh();
    }
    if (widget_) UpdateWidget();
}

// One band per connection, as many as the work area holds: a widget taller than the screen
// would put the first graphs out of sight above its top.
void MainPage::UpdateWidget() {
    const Rect area = window_.Binding().WorkArea();
    const size_t fit = static_cast<size_t>(std::max(area.Height() / kWidgetBand, 1));
    const size_t bands = std::min(monitor_.Stats().size(), fit);
    const int32_t height = static_cast<int32_t>(bands) * kWidgetBand;
    platform::ICanvas& canvas = widget_->Prepare(area, height);
    int32_t y = 0;
    for (size_t i = 0; i < bands; ++i) {
        y += 2;
        monitor_.Stats()[i].DrawGraphicWindow(canvas, widget_->GraphFont(), AppState().StatInByte,
                                              true, true, 2, y, kWidgetWidth - 2, y + 90);
        y += kWidgetBand - 2;
    }
    if (widget_->Transparent() != AppState().WidgetTrans)
        widget_->Transparent(AppState().WidgetTrans);
    widget_->Present();
}

void MainPage::RefreshConnectionList() {
    std::vector<std::string> devices = EntryDevices(entryCount_);
    for (int32_t i = static_cast<int32_t>(items_.size()) - 1; i >= 0; --i) {
        const Item& item = items_[static_cast<size_t>(i)];
        const auto used = std::find_if(devices.begin(), devices.end(), [&](const std::string& d) {
            return EqualsNoCase(d, item.device);
        });
        if (used != devices.end())
            devices.erase(used);
        else if (item.connection == 0)
            RemoveItem(i);
    }
    int32_t chosen = -1;
    for (const std::string& device : devices) {
        const int32_t index = AddItem(device, 0);
        if (SelectedConnection() == 0) chosen = index;
    }
    if (items_.empty()) {
        UpdateConnectButton();
        return;
    }
    if (chosen < 0 && list_->ListIndex() < 0) chosen = 0;
    if (chosen >= 0) Select(chosen);
    UpdateConnectButton();
}

void MainPage::UpdateConnectButton() {
    button_->SetEnabled(list_->ListIndex() >= 0);
    button_->SetCaption(SelectedConnection() != 0 ? "Завершить" : "Соединить");
}

void MainPage::ConnectOrHangUp() {
    const int32_t index = list_->ListIndex();
    if (index < 0 || items_.empty()) return;
    const Item item = items_[static_cast<size_t>(index)];
    if (item.connection != 0) {
        HangUpConnection(item.connection);
        return;
    }
    std::vector<std::string> entries;
    GetEntriesForDevice(item.device, entries);
    const std::string entry = DialChoice(entries);
    if (entry.empty()) return;
    const auto self = shared_from_this();  // the dial dialog runs the message loop
    Form& form = *window_.Window();
    DialEntry(entry, window_.Binding().NativeWindow(form));
    form.BringToFront();
}

// The only entry, or the one the user picks from a menu under the button; empty for none.
std::string MainPage::DialChoice(const std::vector<std::string>& entries) {
    if (entries.size() <= 1) return entries.empty() ? std::string() : entries.front();
    const platform::Platform* services = AppState().platform;
    if (!services || !services->menus) return {};
    PCMenu menu(*services->menus);
    for (size_t i = 0; i < entries.size(); ++i)
        menu.AddItem(static_cast<uint32_t>(i + 1), entries[i]);
    const IBinding& binding = window_.Binding();
    const uint32_t id = menu.TrackPopup(binding.NativeWindow(*window_.Window()), kMenuAtCursor,
                                        kMenuAtCursor, binding.NativeWindow(*button_));
    return id >= 1 && id <= entries.size() ? entries[id - 1] : std::string();
}

void MainPage::DrawSessionSummary(const PCStat& stat) {
    graph_->Clear();
    ui::DrawSessionSummary(graph_->Canvas(), graph_->GetFont(), stat, AppState().StatInByte);
    graph_->Refresh();
}

int32_t MainPage::AddItem(const std::string& device, platform::RasHandle connection) {
    items_.push_back({device, connection});
    return list_->AddItem(connection ? device + kConnectedSuffix : device, connection != 0);
}

void MainPage::SetItemConnection(int32_t index, platform::RasHandle connection) {
    Item& item = items_[static_cast<size_t>(index)];
    item.connection = connection;
    list_->SetItem(index, connection ? item.device + kConnectedSuffix : item.device,
                   connection != 0);
}

void MainPage::RemoveItem(int32_t index) {
    items_.erase(items_.begin() + index);
    list_->RemoveItem(index);
}

int32_t MainPage::FindItem(platform::RasHandle connection) const {
    if (connection == 0) return -1;
    const auto it = std::find_if(items_.begin(), items_.end(),
                                 [&](const Item& i) { return i.connection == connection; });
    return it == items_.end() ? -1 : static_cast<int32_t>(it - items_.begin());
}

int32_t MainPage::FindIdleItem(const std::string& device) const {
    const auto it = std::find_if(items_.begin(), items_.end(), [&](const Item& i) {
        return i.connection == 0 && EqualsNoCase(i.device, device);
    });
    return it == items_.end() ? -1 : static_cast<int32_t>(it - items_.begin());
}

void MainPage::Select(int32_t index) {
    if (list_->ListIndex() == index)
        UpdateConnectButton();
    else
        list_->SetListIndex(index);  // its Click updates the button and the view
}

platform::RasHandle MainPage::SelectedConnection() const {
    const int32_t index = list_->ListIndex();
    return index >= 0 && index < static_cast<int32_t>(items_.size())
               ? items_[static_cast<size_t>(index)].connection
               : 0;
}

}  // namespace tarvelin::ui
