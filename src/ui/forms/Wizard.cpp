#include "ui/forms/Wizard.h"

#include <algorithm>
#include <charconv>

#include "core/AppState.h"
#include "core/modAppRoutine.h"
#include "core/modSystemFile.h"
#include "core/modTypes.h"
#include "detection/PCJob.h"
#include "dialup/modAppRAS.h"
#include "draw/modAppDraw.h"
#include "driverdb/modAppDriverBase.h"
#include "hardware/modBluetooth.h"
#include "platform/AnsiText.h"
#include "ui/Artwork.h"
#include "ui/forms/FormStyle.h"
#include "ui/forms/OperatorLinks.h"

namespace tarvelin::ui {
namespace {

constexpr char kSearching[] = "Идет поиск телефона...";
constexpr char kPortBusyText[] = "Порт занят! Обнаружение телефона невозможно.";
constexpr char kUnknownPhone[] =
    "Было найдено GSM-устройство, но программа не смогла опознать его.";
constexpr char kNoModelDriver[] = "Драйвера для данной модели отсутствуют в базе.";
constexpr char kChooseKind[] = "Необходимо выбрать тип подключения вручную";
constexpr char kDriverFound[] = "Драйвер успешно найден.";
constexpr char kNoKindDriver[] = "Драйвер для данного типа подключения не найден!";
constexpr char kErrorTitle[] = "Ошибка";
constexpr char kCrLf[] = "\r\n";

using form_style::kStepGrey;
constexpr Color kStepDone = form_style::kBlack;
constexpr Color kStripColor = platform::Rgb(80, 130, 190);
constexpr Color kStripFrame = form_style::kGrey;
constexpr int32_t kImageCount = 6;

bool SameText(std::string_view a, std::string_view b) {
    return TextUpper(a) == TextUpper(b);
}

bool Blank(const std::string& text) {
    return Trim(text).empty();
}

// The number of a port named COM1 to COM255 (any case), 0 for any other name.
int32_t ComNumber(const std::string& name) {
    if (name.size() < 4 || name.size() > 6 || !SameText(name.substr(0, 3), "COM")) return 0;
    int32_t number = 0;
    const char* end = name.data() + name.size();
    const auto [at, error] = std::from_chars(name.data() + 3, end, number);
    if (error != std::errc{} || at != end || name[3] == '0') return 0;
    return number <= 255 ? number : 0;
}

// Chooses the entry of that text (any case) unless it is chosen already; false when the box
// has no such entry.
bool ChooseText(ComboBox& box, const std::string& text) {
    const auto& items = box.Items();
    for (size_t i = 0; i < items.size(); ++i) {
        if (SameText(items[i].text, text)) {
            box.SetListIndex(static_cast<int32_t>(i));
            return true;
        }
    }
    return false;
}

void ResetBox(ComboBox& box) {
    box.Clear();
    box.AddItem("");
}

std::vector<std::string> SplitKeys(const std::string& keys) {
    std::vector<std::string> parts;
    for (size_t start = 0; start <= keys.size();) {
        const size_t tab = std::min(keys.find('\t', start), keys.size());
        parts.push_back(keys.substr(start, tab - start));
        start = tab + 1;
    }
    return parts;
}

int32_t ImageOf(int32_t kind) {
    return kind >= 1 && kind <= 5 ? kind : kImageCount;
}

}  // namespace

void OrderPorts(PortList& ports) {
    std::stable_partition(ports.begin(), ports.end(),
                          [](const PortInfo& p) { return ComNumber(p.portName) != 0; });
    const auto numbered =
        std::ranges::find_if(ports, [](const PortInfo& p) { return ComNumber(p.portName) == 0; });
    std::stable_sort(ports.begin(), numbered, [](const PortInfo& a, const PortInfo& b) {
        return ComNumber(a.portName) < ComNumber(b.portName);
    });
}

KindName KindNameOf(int32_t kind) {
    switch (kind) {
        case ConnectionKindSerialPort:
        case ConnectionKindCable:
            return {"Кабель", " Cabel"};
        case ConnectionKindInfrared:
            return {"ИК-порт", " IRDA"};
        case ConnectionKindBluetooth:
            return {"Bluetooth", " BT"};
        default:
            return {"", ""};
    }
}

bool KindFitsPort(int32_t catalogueKind, int32_t portKind) {
    const auto group = [](int32_t kind) { return kind == ConnectionKindSerialPort ? 2 : kind; };
    return catalogueKind >= 1 && catalogueKind <= 4 && group(catalogueKind) == group(portKind);
}

std::shared_ptr<IPagePresenter> Wizard::Make(frmMain& window) {
    auto wizard = std::make_shared<Wizard>(PassKey<Wizard>{}, window);
    wizard->Connect();
    window.onMasterInstall = [weak = std::weak_ptr<Wizard>(wizard)] {
        if (const auto self = weak.lock()) self->MasterInstall();
    };
    return wizard;
}

Wizard::~Wizard() {
    ReleaseList();
    ReleaseLinks();
}

Wizard::Choices Wizard::Boxes() const {
    Choices boxes{Get<ComboBox>("cmbMasterVendors"), Get<ComboBox>("cmbMasterModels"),
                  Get<ComboBox>("cmbMasterTypeConnect"), Get<ComboBox>("cmbMasterPorts")};
    return boxes ? boxes : Choices{};
}

void Wizard::Connect() {
    const std::weak_ptr<Wizard> weak = weak_from_this();
    const auto on = [&](const char* name, void (Wizard::*handler)()) {
        if (const auto widget = Get(name))
            connections_.push_back(widget->Click.Connect([weak, handler] {
                if (const auto self = weak.lock()) ((*self).*handler)();
            }));
    };
    on("chkMasterAll", &Wizard::FillPortList);
    on("cmbMasterVendors", &Wizard::OnVendorChosen);
    on("cmbMasterModels", &Wizard::OnModelChosen);
    on("cmbMasterTypeConnect", &Wizard::UpdateMasterNext);
    on("cmbMasterPorts", &Wizard::OnPortChosen);
}

void Wizard::PageShown(int32_t page) {
    if (page <= 3) StopMasterTimer();
    if (page == 8 || page == 12) CreateLinks(page);
    if (page == 9) {
        CreateList();
        CreateLinks(page);
        const auto vendors = Get<ComboBox>("cmbMasterVendors");
        if (vendors && vendors->Items().empty()) FillVendors();
        StartSearch();
    }
    if (page == 10) UpdateMasterNext();
    if (page == 11) {
        if (const auto next = Get("cmdCommonNext")) next->SetCaption("Установить");
        PrepareSummary();
    }
}

void Wizard::PageHidden(int32_t page) {
    if (page == 8 || page == 9 || page == 12) ReleaseLinks();
    if (page == 9) {
        ReleaseList();
        if (const auto strip = Get("picMasterProgress")) strip->SetVisible(false);
    }
    if (page == 11) {
        if (const auto next = Get("cmdCommonNext")) next->SetCaption("Далее >");
    }
}

void Wizard::WindowUnloading() {
    StopMasterTimer();
    jobConnection_.Disconnect();
    job_.reset();
    ReleaseList();
    ReleaseLinks();
}

void Wizard::CreateLinks(int32_t page) {
    struct LinkRow {
        int32_t page;
        const char* box;
        const char* toolTip;
        std::string caption, address;
    };
    const std::string mail = window_.feedbackAddress;
    const LinkRow rows[] = {
        {8, "picMasterLinkHelp", "Сообщить о проблемах разработчику",
         "сообщите о проблемах разработчику.", ""},
        {9, "picMasterLinkRefresh", "Обновить список", "[Обновить]", ""},
        {12, "picMasterLinkMail", "Адрес электронной почты для обратной связи", mail,
         "mailto:" + mail},
        {12, "picMasterLinkInfo", "Дополнительная информация", kOperatorPhoneSetupPage,
         kOperatorPhoneSetupPage},
    };
    const std::weak_ptr<Wizard> weak = weak_from_this();
    for (const LinkRow& row : rows) {
        if (row.page != page) continue;
        auto link = CreateSkinnedControl(window_.Binding(), Get<PictureBox>(row.box), kLinkButton,
                                         row.toolTip);
        link->SetPropertiesButtonLink(row.caption, row.address);
        linkConnections_.push_back(link->Click.Connect([weak, page] {
            const auto self = weak.lock();
            if (!self) return;
            if (page == 8) self->window_.ShowPage(12);
            if (page == 9) self->StartSearch();
        }));
        links_.push_back(std::move(link));
    }
}

void Wizard::ReleaseLinks() {
    linkConnections_.clear();
    for (const auto& link : links_) link->ControlRelease();
    links_.clear();
}

void Wizard::CreateList() {
    list_ = PCListEx::Create(window_.Binding());
    list_->ControlInit(Get<PictureBox>("picMasterList"), Get<ScrollBar>("scrMasterList"));
    for (int32_t kind = 1; kind <= kImageCount; ++kind)
        list_->ImageAdd(window_.Binding().Bitmap(PortKindBitmap(kind)));
    const std::weak_ptr<Wizard> weak = weak_from_this();
    listConnection_ = list_->ChangeSelection.Connect([weak](int32_t position) {
        if (const auto self = weak.lock()) self->OnListSelection(position);
    });
}

void Wizard::ReleaseList() {
    listConnection_.Disconnect();
    if (list_) list_->ControlRelease();
    list_.reset();
}

void Wizard::SetCommonButtons(bool back, bool next, bool close) {
    const std::pair<const char*, bool> buttons[] = {
        {"cmdCommonBack", back}, {"cmdCommonNext", next}, {"cmdCommonClose", close}};
    for (const auto& [name, enabled] : buttons)
        if (const auto button = Get(name)) button->SetEnabled(enabled);
}

// The strip of the page in use: the search's on page 9, the installation's on page 11.
void Wizard::StartProgress() {
    progress_ = 0;
    const auto strip =
        Get<PictureBox>(window_.CurrentPage() == 11 ? "picMasterProgress4" : "picMasterProgress");
    if (strip) {
        strip->Clear();
        strip->SetVisible(true);
    }
    const std::weak_ptr<Wizard> weak = weak_from_this();
    timer_.Start([weak] {
        if (const auto self = weak.lock()) self->OnTimerTick();
    });
}

void Wizard::StopProgress() {
    StopMasterTimer();
    for (const char* name : {"picMasterProgress", "picMasterProgress4"}) {
        if (const auto strip = Get<PictureBox>(name)) {
            strip->Clear();
            strip->SetVisible(false);
        }
    }
}

void Wizard::StopMasterTimer() {
    timer_.Stop();
}

void Wizard::OnTimerTick() {
    const int32_t page = window_.CurrentPage();
    if (!window_.Busy() || (page != 9 && page != 11)) return;
    progress_ = progress_ + 5 > 100 ? 0 : progress_ + 5;
    const auto strip = Get<PictureBox>(page == 11 ? "picMasterProgress4" : "picMasterProgress");
    if (!strip) return;
    platform::ICanvas& canvas = strip->Canvas();
    DrawProgress(canvas, kStripColor, true, progress_);
    FrameRectColor(canvas.Bounds(), kStripFrame, canvas);
    strip->Refresh();
}

void Wizard::StartSearch() {
    if (window_.Busy()) return;
    const auto self = shared_from_this();
    window_.SetBusy(true);
    StartProgress();
    SetCommonButtons(false, false, true);
    if (const auto close = Get("cmdCommonClose")) close->SetCaption("Остановить");
    EnableBluetoothServices();
    LoadPortList();
    FillPortList();
    std::vector<std::string> names;
    for (const PortInfo& port : ports_) names.push_back(port.portName);
    const std::weak_ptr<Wizard> weak = weak_from_this();
    auto job = PCJob::Create();
    job_ = job;
    if (Form* form = window_.Window()) form->SetWaitPointer(true);
    jobConnection_ = job->TaskInfoFound.Connect(
        [weak](int32_t code, const std::string& port, const std::string& info, bool& cancel) {
            if (const auto wizard = weak.lock()) wizard->OnTaskInfo(code, port, info, cancel);
        });
    // A job that cannot wait for the deferred start runs and ends inside this call.
    job->TaskFound(std::move(names));
}

void Wizard::LoadPortList() {
    ports_.clear();
    EnumerateComPorts(ports_);
    OrderPorts(ports_);
}

void Wizard::FillPortList() {
    const auto ports = Get<ComboBox>("cmbMasterPorts");
    if (ports) ports->Clear();
    if (const auto description = Get("lblMasterPortDescription")) description->SetCaption("");
    if (list_) list_->ItemsClear();
    const auto all = Get<CheckBox>("chkMasterAll");
    for (size_t i = 0; i < ports_.size(); ++i) {
        if ((all && all->Value()) || !ports_[i].FoundText.empty()) AddListEntry(i);
        if (ports) ports->AddItem(ports_[i].portName);
    }
    if (list_) list_->ControlRefresh();
}

void Wizard::AddListEntry(size_t index) {
    const PortInfo& port = ports_[index];
    if (list_)
        list_->ItemAdd(port.portName + " - " + port.friendlyName, port.FoundText, port.portName,
                       static_cast<int32_t>(index + 1), ImageOf(port.kind));
}

void Wizard::FillVendors() {
    const auto vendors = Get<ComboBox>("cmbMasterVendors");
    if (!vendors) return;
    ResetBox(*vendors);
    std::vector<std::string> makers;
    if (GetVendorList(makers))
        for (const std::string& maker : makers) vendors->AddItem(maker);
}

int32_t Wizard::FindListEntry(const std::string& portName) const {
    ListItem item;
    for (int32_t i = 1; list_ && i <= list_->ItemsCount(); ++i)
        if (list_->ItemInfoGetByIndex(i, item) && SameText(item.text3, portName)) return i;
    return 0;
}

// The wizard's Cancel follows the Stop button at every report; the job honours it when a
// port's probe ends. The report is not answered by a nested pass of the message loop: the
// job's own tick could run again from inside it while the job is still reporting, and the
// loop runs between the job's ticks anyway, which is when Stop can be pressed.
void Wizard::OnTaskInfo(int32_t code, const std::string& portName, const std::string& info,
                        bool& cancel) {
    const auto self = shared_from_this();
    const size_t index = portName.empty() ? 0 : FindOrAddPort(portName, false, ports_);
    std::string text;
    ListItem item;
    if (const int32_t entry = FindListEntry(portName); entry && !portName.empty())
        if (list_->ItemInfoGetByIndex(entry, item)) text = item.text2;
    switch (code) {
        case kJobCancelled:
        case kJobFinished:
            SearchFinished();
            break;
        case kPortBegins:
            text = kSearching;
            break;
        case kPortEnded:
            if (text == kSearching) text.clear();
            break;
        case kPortBusy:
            text = kPortBusyText;
            break;
        case kSerialNumberFound:
            if (index) text = IdentifyDevice(ports_[index - 1], info);
            break;
        default:
            break;
    }
    if (index && code != kJobCancelled && code != kJobFinished) ShowReport(portName, text);
    cancel = window_.StopRequested();
}

std::string Wizard::IdentifyDevice(PortInfo& port, const std::string& info) {
    std::string names, rows;
    if (!FindModelsByTac(info, names, rows)) return kUnknownPhone;
    port.ModelKeys = rows;
    return names;
}

void Wizard::ShowReport(const std::string& portName, const std::string& text) {
    const size_t index = FindOrAddPort(portName, false, ports_);
    ports_[index - 1].FoundText = text;
    if (!list_) return;
    const auto all = Get<CheckBox>("chkMasterAll");
    const bool listAll = all && all->Value();
    const int32_t entry = FindListEntry(portName);
    if (!entry) {
        if (text.empty() && !listAll) return;
        AddListEntry(index - 1);
        list_->SetItemSelected(list_->ItemsCount());
        return;
    }
    // The list is painted once per change: an entry taken away must leave the screen too,
    // or the last port probed would stay shown as searched after the search has ended.
    if (!listAll && text.empty()) {
        list_->ItemRemove(entry);
        list_->ControlRefresh();
        return;
    }
    ListItem item;
    list_->ItemInfoGetByIndex(entry, item);
    list_->ItemInfoSetByIndex(entry, item.text1, text, item.text3, item.number1, item.number2);
    if (list_->ItemSelected() == entry) {
        list_->ControlRefresh();
        OnListSelection(entry);
    } else {
        list_->SetItemSelected(entry);
    }
}

void Wizard::SearchFinished() {
    StopProgress();
    jobConnection_.Disconnect();
    job_.reset();
    if (const auto close = Get("cmdCommonClose")) close->SetCaption("Отмена");
    SetCommonButtons(true, true, true);
    window_.SetBusy(false);
    window_.ClearStopRequested();
    if (Form* form = window_.Window()) form->SetWaitPointer(false);
}

void Wizard::OnListSelection(int32_t position) {
    if (const auto dial = Get("lblMasterConnDialNumber")) dial->SetCaption("");
    const auto ports = Get<ComboBox>("cmbMasterPorts");
    ListItem item;
    if (position < 1 || !list_ || !list_->ItemInfoGetByIndex(position, item)) {
        if (ports) ports->SetListIndex(-1);
        return;
    }
    if (ports && !ChooseText(*ports, item.text3)) ports->SetListIndex(-1);
    if (item.number1 < 1 || static_cast<size_t>(item.number1) > ports_.size()) return;
    PortInfo& port = ports_[static_cast<size_t>(item.number1 - 1)];
    if (port.ModelKeys.empty()) {
        if (const auto vendors = Get<ComboBox>("cmbMasterVendors")) vendors->SetListIndex(-1);
        return;
    }
    bool found = false;
    const std::string message = PreselectFor(port, found);
    if (port.DriverChecked) return;
    const std::string verdict = !message.empty() ? message : found ? kDriverFound : kNoKindDriver;
    port.DriverChecked = true;
    port.FoundText += kCrLf + verdict;
    list_->ItemInfoSetByIndex(position, item.text1, port.FoundText, item.text3, item.number1,
                              item.number2);
    list_->ControlRefresh();
}

// Tries the phone's catalogue rows in turn until one leads to a maker, a model and a kind
// that suits the port; the message left tells why the last row tried fell short.
std::string Wizard::PreselectFor(const PortInfo& port, bool& found) {
    const auto [vendors, models, kinds, ports] = Boxes();
    const auto dial = Get("lblMasterConnDialNumber");
    if (!vendors) return {};
    std::string message;
    for (const std::string& key : SplitKeys(port.ModelKeys)) {
        int32_t row = 0;
        std::from_chars(key.data(), key.data() + key.size(), row);
        std::string maker, model, number;
        if (!GetTacRow(row, maker, model, number)) continue;
        if (dial) dial->SetCaption(number);
        ComboBox* missing = !ChooseText(*vendors, maker)  ? vendors.get()
                            : !ChooseText(*models, model) ? models.get()
                                                          : nullptr;
        if (missing) {
            message = kNoModelDriver;
            missing->SetListIndex(-1);
            continue;
        }
        // Maker and model are known: what an earlier row lacked no longer explains the verdict.
        message.clear();
        if (port.kind < 1 || port.kind > 4) {
            kinds->SetListIndex(-1);
            found = true;
            return kChooseKind;
        }
        for (int32_t i = 0; i < static_cast<int32_t>(kinds->Items().size()); ++i) {
            if (KindFitsPort(kinds->ItemData(i), port.kind)) {
                kinds->SetListIndex(i);
                found = true;
                return {};
            }
            kinds->SetListIndex(-1);
        }
    }
    return message;
}

void Wizard::OnVendorChosen() {
    const auto [vendors, models, kinds, ports] = Boxes();
    if (!vendors) return;
    ResetBox(*models);
    ResetBox(*kinds);
    std::vector<std::string> names;
    if (!Blank(vendors->Text()) && GetModelList(vendors->Text(), names))
        for (const std::string& name : names) models->AddItem(name);
    UpdateMasterNext();
}

void Wizard::OnModelChosen() {
    const auto [vendors, models, kinds, ports] = Boxes();
    if (!vendors) return;
    ResetBox(*kinds);
    std::vector<ConnectionKind> codes;
    if (!Blank(vendors->Text()) && !Blank(models->Text()) &&
        GetConnectionTypeList(vendors->Text(), models->Text(), codes)) {
        for (const ConnectionKind code : codes)
            if (*KindNameOf(code).text) kinds->AddItem(KindNameOf(code).text, code);
    }
    UpdateMasterNext();
}

void Wizard::OnPortChosen() {
    const auto ports = Get<ComboBox>("cmbMasterPorts");
    const auto description = Get("lblMasterPortDescription");
    if (description) description->SetCaption("");
    if (ports && ports->ListIndex() >= 0) {
        const size_t index = FindOrAddPort(ports->Text(), false, ports_);
        if (description && index) description->SetCaption(ports_[index - 1].friendlyName);
        if (list_) list_->SetItemSelected(FindListEntry(ports->Text()));
    } else if (list_) {
        list_->SetItemSelected(0);
    }
    UpdateMasterNext();
}

void Wizard::UpdateMasterNext() {
    if (window_.CurrentPage() != 10) return;
    bool complete = !window_.Busy();
    for (const char* name :
         {"cmbMasterPorts", "cmbMasterVendors", "cmbMasterModels", "cmbMasterTypeConnect"}) {
        const auto box = Get<ComboBox>(name);
        complete = complete && box && !Blank(box->Text());
    }
    if (const auto next = Get("cmdCommonNext")) next->SetEnabled(complete);
}

void Wizard::PrepareSummary() {
    for (const char* name : {"lblMasterStepModem", "lblMasterStepConnect"})
        if (const auto label = Get(name)) label->SetForeColor(kStepGrey);
    for (const char* name : {"imgMasterStepModem", "imgMasterStepConnect"})
        if (const auto tick = Get(name)) tick->SetVisible(false);
    const auto text = [this](const char* name) {
        const auto box = Get<ComboBox>(name);
        return box ? box->Text() : std::string();
    };
    const std::pair<const char*, std::string> labels[] = {
        {"lblMasterResModel", text("cmbMasterVendors") + " " + text("cmbMasterModels")},
        {"lblMasterResPort", text("cmbMasterPorts")},
        {"lblMasterResTypeConnect", text("cmbMasterTypeConnect")},
    };
    for (const auto& [name, caption] : labels)
        if (const auto label = Get(name)) label->SetCaption(caption);
}

void Wizard::MasterInstall() {
    if (window_.Busy()) return;
    const auto self = shared_from_this();
    window_.SetBusy(true);
    installedModem_.clear();
    installDone_ = false;
    StartProgress();
    SetCommonButtons(false, false, false);
    PrepareSummary();
    const auto [vendors, models, kinds, ports] = Boxes();
    const auto dial = Get("lblMasterConnDialNumber");
    if (vendors && dial) {
        const int32_t kind = kinds->ItemData(kinds->ListIndex());
        const std::string port = ports->Text();
        const size_t index = FindOrAddPort(port, false, ports_);
        const bool preferMsbt = index && ports_[index - 1].preferMsbt;
        std::vector<uint8_t> inf;
        std::string hardwareId;
        if (FindDriver(vendors->Text(), models->Text(), static_cast<ConnectionKind>(kind),
                       preferMsbt, inf, hardwareId)) {
            const std::string title =
                vendors->Text() + " " + models->Text() + KindNameOf(kind).suffix;
            installDone_ = InstallDriver(inf, hardwareId, port, title, dial->Caption());
        } else {
            Message("Не удалось получить файл драйвера из базы.", kMbIconWarning, kErrorTitle);
        }
    }
    FinishInstall();
}

// Writes the driver to the temporary folder (with the infrared driver beside it when the INF
// names it), installs the modem and creates its connection. Every file written is deleted
// again, whatever happened. True once the modem is installed.
bool Wizard::InstallDriver(const std::vector<uint8_t>& inf, const std::string& hardwareId,
                           const std::string& port, const std::string& title,
                           const std::string& dialNumber) {
    std::string folder;
    const std::string infPath = GetTempFileName(folder);
    if (infPath.empty() || !WriteBinaryFile(infPath, inf, true)) {
        if (!infPath.empty()) DeletePath(infPath);  // a partly written file goes too
        Message("Не удалось записать файл драйвера во временную папку.", kMbIconWarning,
                kErrorTitle);
        return false;
    }
    std::string irComm;
    std::vector<uint8_t> irCommData;
    const std::string infText = TextUpper(AnsiToUtf8(std::string(inf.begin(), inf.end())));
    if (infText.find("MSIRCOMM.SYS") != std::string::npos && GetIrCommDriver(irCommData)) {
        irComm = folder + "MSIRCOMM.SYS";
        if (!WriteBinaryFile(irComm, irCommData, true)) DeletePath(irComm);
    }
    const auto pump = [this] {
        if (Form* form = window_.Window()) form->Refresh();
        if (const auto* services = AppState().platform; services && services->loop)
            services->loop->PumpOnce();
    };
    pump();
    if (const auto step = Get("lblMasterStepModem")) step->SetForeColor(kStepDone);
    std::string modem, message;
    bool restart = false;
    const platform::WindowHandle owner =
        window_.Window() ? window_.Binding().NativeWindow(*window_.Window()) : 0;
    const bool installed = InstallModem(owner, infPath, port, hardwareId, modem, restart, message);
    pump();
    if (installed) {
        installedModem_ = modem;
        if (const auto tick = Get("imgMasterStepModem")) tick->SetVisible(true);
        if (const auto step = Get("lblMasterStepConnect")) step->SetForeColor(kStepDone);
        CreateConnection(modem, message.empty() ? "Модем успешно установлен." : message, title,
                         port, dialNumber);
        if (restart)
            Message(
                "Для окончательной установки модема требуется перезагрузка. Выполните ее "
                "самостоятельно, когда вам будет удобно.",
                kMbIconInformation);
    } else {
        if (const auto tick = Get("imgMasterStepModem")) tick->SetVisible(false);
        Message(std::string("Установка модема не удалась. Попробуйте установить модем позднее.") +
                    kCrLf + kCrLf + "Возможная причина:" + kCrLf + message,
                kMbIconWarning);
    }
    if (!irComm.empty()) DeletePath(irComm);
    DeletePath(infPath);
    return installed;
}

void Wizard::CreateConnection(const std::string& modem, const std::string& installMessage,
                              const std::string& title, const std::string& port,
                              const std::string& dialNumber) {
    std::string message;
    bool allSet = false;
    const bool created = CreateModemConnection(modem, title, port, dialNumber, message, allSet);
    if (const auto tick = Get("imgMasterStepConnect")) tick->SetVisible(created);
    Message(installMessage + kCrLf + kCrLf + message,
            created && allSet ? kMbIconInformation : kMbIconWarning);
}

void Wizard::FinishInstall() {
    StopProgress();
    window_.SetBusy(false);
    if (installDone_)
        window_.ShowPage(1);
    else
        SetCommonButtons(true, true, true);
}

void Wizard::Message(const std::string& text, uint32_t style, const std::string& title) {
    const platform::WindowHandle owner =
        window_.Window() ? window_.Binding().NativeWindow(*window_.Window()) : 0;
    AppMsgBox(owner, text, kMbOk | style, title);
}

}  // namespace tarvelin::ui
