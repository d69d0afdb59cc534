#include "ui/forms/OptionsLists.h"

#include "ui/forms/frmEditConnection.h"

#include <array>

#include "core/modAppMain.h"
#include "core/modAppRoutine.h"
#include "core/modTypes.h"
#include "dialup/modAppRAS.h"
#include "hardware/modAppHardware.h"
#include "ui/forms/frmEditConnection.h"

namespace tarvelin::ui {

struct OptionsLists::PageControls {
    int32_t page;
    const char *box, *scroll, *icon, *all, *link, *linkTip, *select, *info;
    std::array<const char*, 4> buttons;  // the page's actions (null where it has fewer)
};

namespace {

constexpr char kCrLf[] = "\r\n";
constexpr char kModemType[] = "modem";
constexpr char kMessageTitle[] = "Сообщение";
constexpr int kIdYes = 6;
constexpr int32_t kModemsPage = 6, kConnsPage = 7;

constexpr char kCreate[] = "cmdOptionsModemsCreateConnection";
constexpr char kDeleteModem[] = "cmdOptionsModemsDelete";
constexpr char kDeleteConn[] = "cmdOptionsConnsDelete";
constexpr char kDial[] = "cmdOptionsConnsDial";
constexpr char kEdit[] = "cmdOptionsConnsEdit";
constexpr char kProp[] = "cmdOptionsConnsProp";

using Page = OptionsLists::PageControls;

// Holds the window busy while an action waits for the user or the system, so that a second
// click (or a refill) cannot start another action on the same item meanwhile.
class BusyScope {
  public:
    explicit BusyScope(frmMain& window) : window_(window) { window_.SetBusy(true); }
    ~BusyScope() { window_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    frmMain& window_;
};

// Runs the filling from the message loop, once the page has been shown.
class DeferredFill final : public Runnable {
  public:
    explicit DeferredFill(std::weak_ptr<OptionsLists> owner) : owner_(std::move(owner)) {}
    void Start() override {
        if (const auto owner = owner_.lock()) owner->RunnableStart();
    }

  private:
    std::weak_ptr<OptionsLists> owner_;
};

std::string JoinLines(const std::string& first, const std::string& second) {
    return first.empty() ? second : first + kCrLf + second;
}

// clang-format off
const Page kPages[] = {
    {kModemsPage, "picOptionsModemsList", "scrOptionsModemsList", "imgOptionsModemsIcon1",
     "chkOptionsModemsAll", "picOptionsModemsLinkRefresh", "Обновить список устройств",
     "lblOptionsModemsSelect", "lblOptionsModemsInfo", {kCreate, kDeleteModem, nullptr, nullptr}},
    {kConnsPage, "picOptionsConnsList", "scrOptionsConnsList", "imgOptionsConnsIcon1",
     "chkOptionsConnsAll", "picOptionsConnsLinkRefresh", "Обновить список удаленных соединений",
     "lblOptionsConnsSelect", "lblOptionsConnsInfo", {kDeleteConn, kDial, kEdit, kProp}},
};
// clang-format on

}  // namespace

std::string DeviceEntriesText(const std::vector<std::string>& entries) {
    if (entries.empty()) return "Данное устройство не используется ни в одном подключении.";
    std::string text = "Подключения:";
    for (size_t i = 0; i < entries.size() && i < 2; ++i) text += kCrLf + entries[i];
    if (entries.size() > 2)
        text +=
            kCrLf + std::string("... всего подключений: ") + std::to_string(entries.size()) + ".";
    return text;
}

std::shared_ptr<IPagePresenter> OptionsLists::Make(frmMain& window) {
    auto page = std::make_shared<OptionsLists>(PassKey<OptionsLists>{}, window);
    page->opener_ = [&window](const std::string& entry,
                              std::function<void(const std::string&)> closed) {
        OpenConnectionEditor(window, entry, std::move(closed));
    };
    page->Connect();
    return page;
}

OptionsLists::~OptionsLists() {
    ReleaseControls();
}

void OptionsLists::Connect() {
    const std::weak_ptr<OptionsLists> weak = weak_from_this();
    const auto bind = [&](const char* name, void (OptionsLists::*handler)()) {
        if (const auto widget = Get(name))
            connections_.push_back(widget->Click.Connect([weak, handler] {
                if (const auto self = weak.lock()) (self.get()->*handler)();
            }));
    };
    for (const Page& page : kPages) bind(page.all, &OptionsLists::FillList);
    bind(kCreate, &OptionsLists::CreateConnection);
    bind(kDeleteModem, &OptionsLists::DeleteModem);
    bind(kDeleteConn, &OptionsLists::DeleteConnection);
    bind(kDial, &OptionsLists::Dial);
    bind(kEdit, &OptionsLists::Edit);
    bind(kProp, &OptionsLists::ShowProperties);
}

void OptionsLists::PageShown(int32_t page) {
    if (page != kModemsPage && page != kConnsPage) return;
    shown_ = &kPages[page - kModemsPage];
    CreateControls();
    FillList();
}

// Leaving the page releases its list and link; the main page refreshes its own list then.
void OptionsLists::PageHidden(int32_t page) {
    if (shown_ && shown_->page == page) ReleaseControls();
}

void OptionsLists::CreateControls() {
    IBinding& binding = window_.Binding();
    list_ = PCListEx::Create(binding);
    list_->ControlInit(Get<PictureBox>(shown_->box), Get<ScrollBar>(shown_->scroll));
    if (const auto icon = Get<ImageBox>(shown_->icon))
        list_->ImageAdd(binding.Bitmap(icon->PictureId()));
    link_ =
        CreateSkinnedControl(binding, Get<PictureBox>(shown_->link), kLinkButton, shown_->linkTip);
    link_->SetPropertiesButtonLink("[Обновить]", "");
    const std::weak_ptr<OptionsLists> weak = weak_from_this();
    pageConnections_.push_back(list_->ChangeSelection.Connect([weak](int32_t) {
        if (const auto self = weak.lock()) self->OnSelection();
    }));
    pageConnections_.push_back(link_->Click.Connect([weak] {
        if (const auto self = weak.lock()) self->FillList();
    }));
}

void OptionsLists::ReleaseControls() {
    pageConnections_.clear();
    if (list_) list_->ControlRelease();
    if (link_) link_->ControlRelease();
    list_.reset();
    link_.reset();
    shown_ = nullptr;
}

void OptionsLists::SetControlsEnabled(bool enabled) {
    for (const char* name : {"cmdCommonClose", shown_->link, shown_->all})
        if (const auto widget = Get(name)) widget->SetEnabled(enabled);
}

void OptionsLists::FillList() {
    if (window_.Busy() || !shown_ || !list_) return;
    window_.SetBusy(true);
    SetControlsEnabled(false);
    for (const char* name : shown_->buttons)
        if (const auto button = name ? Get(name) : nullptr) button->SetEnabled(false);
    if (const auto select = Get(shown_->select)) select->SetCaption("");
    if (const auto info = Get(shown_->info)) info->SetVisible(false);
    if (!RunLater(std::make_shared<DeferredFill>(weak_from_this()))) RunnableStart();
}

void OptionsLists::RunnableStart() {
    if (shown_ && list_) {
        list_->ItemsClear();
        const auto all = Get<CheckBox>(shown_->all);
        if (shown_->page == kModemsPage)
            AddModems(all && all->Value());
        else
            AddConnections(all && all->Value());
        list_->ControlRefresh();
        SetControlsEnabled(true);
    }
    window_.SetBusy(false);
    if (list_) ShowSelection();
}

// Modems always; other devices with their type when all are asked for.
void OptionsLists::AddModems(bool all) {
    std::vector<RasDeviceInfo> devices;
    GetRasDevices(devices);
    for (const RasDeviceInfo& device : devices) {
        const bool modem = EqualsNoCase(device.DeviceType, kModemType);
        if (!modem && !all) continue;
        std::string text = all ? "Тип устройства: " + device.DeviceType : std::string();
        std::string port;
        if (modem && GetModemAttachedTo(device.DeviceName, port) && !port.empty())
            text = JoinLines(text, "Устройство подключено к порту " + port);
        list_->ItemAdd(device.DeviceName, text, device.DeviceName, modem ? 1 : 0, 1);
    }
}

// Entries on a modem always; the others too when all are asked for. Entries whose
// properties cannot be read are left out.
void OptionsLists::AddConnections(bool all) {
    std::vector<std::string> entries;
    GetRasEntries(entries);
    for (const std::string& entry : entries) {
        RasEntryInfo info;
        if (!ReadEntryProperties({}, entry, info)) continue;
        const bool modem = EqualsNoCase(info.szDeviceType, kModemType);
        if (!modem && !all) continue;
        std::string text = all ? "Тип устройства: " + info.szDeviceType : std::string();
        text = JoinLines(text, "Подключение через устройство " + info.szDeviceName);
        list_->ItemAdd(entry, text, entry, modem ? 1 : 0, 1);
    }
}

void OptionsLists::OnSelection() {
    if (!window_.Busy()) ShowSelection();
}

void OptionsLists::ShowSelection() {
    if (!shown_ || !list_) return;
    ListItem item;
    const ListItem* selected = Selected(item) ? &item : nullptr;
    if (const auto select = Get(shown_->select))
        select->SetCaption(selected ? selected->text1 : std::string());
    if (shown_->page == kModemsPage)
        ShowModem(selected);
    else
        ShowConnection(selected);
}

void OptionsLists::ShowModem(const ListItem* item) {
    const bool modem = item && item->number1 != 0;
    for (const char* name : {kCreate, kDeleteModem})
        if (const auto button = Get(name)) button->SetEnabled(modem);
    if (!item) return SetInfo({});
    std::vector<std::string> entries;
    GetEntriesForDevice(item->text3, entries);
    SetInfo(DeviceEntriesText(entries));
}

void OptionsLists::ShowConnection(const ListItem* item) {
    for (const char* name : {kDeleteConn, kDial, kProp})
        if (const auto button = Get(name)) button->SetEnabled(item != nullptr);
    if (const auto edit = Get(kEdit)) edit->SetEnabled(item && item->number1 != 0);
    if (!item) return SetInfo({});
    RasEntryInfo info;
    if (!ReadEntryProperties({}, item->text3, info)) return FillList();  // removed meanwhile
    SetInfo("Устройство " + info.szDeviceName + kCrLf +
            "Состояние: " + (IsEntryConnected(item->text3) ? "подключено" : "отключено"));
}

// An empty text hides the information.
void OptionsLists::SetInfo(const std::string& text) {
    if (const auto info = Get(shown_->info)) {
        info->SetCaption(text);
        info->SetVisible(!text.empty());
    }
}

bool OptionsLists::Selected(ListItem& item, bool flagged) const {
    return list_ && list_->ItemInfoGetByIndex(list_->ItemSelected(), item) &&
           (!flagged || item.number1 != 0);
}

int32_t OptionsLists::FindItem(const std::string& key) const {
    ListItem item;
    for (int32_t position = 1; list_ && list_->ItemInfoGetByIndex(position, item); ++position)
        if (EqualsNoCase(item.text3, key)) return position;
    return 0;
}

void OptionsLists::RemoveItem(const std::string& key) {
    if (const int32_t position = FindItem(key)) list_->ItemRemove(position);
    list_->ControlRefresh();
    ShowSelection();
}

bool OptionsLists::EntryStillListed(const std::string& entry) {
    RasEntryInfo info;
    if (ReadEntryProperties({}, entry, info)) return true;
    FillList();
    return false;
}

void OptionsLists::CreateConnection() {
    ListItem item;
    if (window_.Busy() || !Selected(item, true)) return;
    const auto self = shared_from_this();  // message boxes run the message loop
    const BusyScope busy(window_);
    std::string port, message;
    bool allSet = false;
    GetModemAttachedTo(item.text3, port);
    if (CreateModemConnection(item.text3, item.text3, port, {}, message, allSet)) ShowSelection();
    if (allSet)
        Message(message, kMbIconInformation, "Подключение создано");
    else
        Message(message, kMbIconWarning, "Предупреждение");
}

// The modem's connections go first, each failure told; a connection in use is not deleted
// from under its session. The device is tried even when some remain.
void OptionsLists::DeleteModem() {
    ListItem item;
    if (window_.Busy() || !Selected(item, true)) return;
    const auto self = shared_from_this();
    bool deleted = false;
    {
        const BusyScope busy(window_);
        if (!Ask("Вы действительно хотите удалить устройство '" + item.text3 +
                     "' и все подключения с ним связанные ?",
                 "Подтвержение"))
            return;
        std::vector<std::string> entries;
        GetEntriesForDevice(item.text3, entries);
        for (const std::string& entry : entries)
            if (IsEntryConnected(entry) || !tarvelin::DeleteEntry({}, entry))
                Message(
                    "Не удалось удалить соединение '" + entry + "'. Возможно, оно используется.",
                    kMbIconWarning, kMessageTitle);
        deleted = tarvelin::DeleteModem(item.text3);
        if (deleted)
            RemoveItem(item.text3);
        else
            Message(
                "Не удалось удалить устройство. Возможно, оно используется или уже было "
                "удалено.",
                kMbIconWarning, kMessageTitle);
    }
    if (!deleted) FillList();  // show what the system has now
}

// A connected entry is refused: deleting it would leave its session without an entry.
void OptionsLists::DeleteConnection() {
    ListItem item;
    if (window_.Busy() || !Selected(item)) return;
    const auto self = shared_from_this();
    bool deleted = false;
    {
        const BusyScope busy(window_);
        if (!Ask("Вы действительно хотите удалить соединение '" + item.text3 + "' ?",
                 "Подтверждение"))
            return;
        deleted = !IsEntryConnected(item.text3) && tarvelin::DeleteEntry({}, item.text3);
        if (deleted)
            RemoveItem(item.text3);
        else
            Message(
                "Не удалось произвести удаление. Возможно, соединение используется или уже "
                "было удалено.",
                kMbIconWarning, kMessageTitle);
    }
    if (!deleted) EntryStillListed(item.text3);
}

void OptionsLists::Dial() {
    ListItem item;
    if (window_.Busy() || !Selected(item) || !EntryStillListed(item.text3)) return;
    const auto self = shared_from_this();  // the dial dialog runs the message loop
    {
        const BusyScope busy(window_);
        Form& form = *window_.Window();
        DialEntry(item.text3, window_.Binding().NativeWindow(form));
        form.BringToFront();
    }
    ShowSelection();
}

// An editor that runs the message loop until it is closed keeps the window busy meanwhile.
void OptionsLists::Edit() {
    ListItem item;
    if (window_.Busy() || !opener_ || !Selected(item, true) || !EntryStillListed(item.text3))
        return;
    const auto self = shared_from_this();
    {
        const BusyScope busy(window_);
        const std::weak_ptr<OptionsLists> weak = weak_from_this();
        opener_(item.text3, [weak, old = item.text3](const std::string& finalName) {
            if (const auto owner = weak.lock()) owner->EntryEdited(old, finalName);
        });
    }
    ShowSelection();
}

// A renamed entry is renamed in the list in place; the list is not filled again.
void OptionsLists::EntryEdited(const std::string& oldName, const std::string& finalName) {
    if (!shown_ || shown_->page != kConnsPage || !list_) return;
    ListItem item;
    const int32_t position = FindItem(oldName);
    if (!finalName.empty() && !EqualsNoCase(oldName, finalName) && position &&
        list_->ItemInfoGetByIndex(position, item)) {
        list_->ItemInfoSetByIndex(position, finalName, item.text2, finalName, item.number1,
                                  item.number2);
        list_->ControlRefresh();
    }
    if (!window_.Busy()) ShowSelection();
}

void OptionsLists::ShowProperties() {
    ListItem item;
    if (window_.Busy() || !Selected(item) || !EntryStillListed(item.text3)) return;
    const auto self = shared_from_this();
    {
        const BusyScope busy(window_);
        EditEntryInSystemDialog({}, item.text3, window_.Binding().NativeWindow(*window_.Window()));
    }
    ShowSelection();
}

bool OptionsLists::Ask(const std::string& text, const std::string& title) {
    return AppMsgBox(window_.Binding().NativeWindow(*window_.Window()), text,
                     kMbYesNo | kMbIconQuestion, title) == kIdYes;
}

void OptionsLists::Message(const std::string& text, uint32_t style, const std::string& title) {
    AppMsgBox(window_.Binding().NativeWindow(*window_.Window()), text, kMbOk | style, title);
}

}  // namespace tarvelin::ui
