#include "ui/forms/frmEditConnection.h"

#include <algorithm>
#include <array>

#include "core/AppState.h"
#include "core/modAppMain.h"
#include "core/modAppRoutine.h"
#include "core/modTypes.h"
#include "dialup/OperatorSettings.h"
#include "dialup/modAppNew.h"
#include "dialup/modAppRAS.h"
#include "dialup/modAppWinInet.h"
#include "draw/FooterPanel.h"
#include "hardware/modAppHardware.h"
#include "platform/AnsiText.h"
#include "ui/forms/frmMain.h"

namespace tarvelin::ui {
namespace {

constexpr char kCrLf[] = "\r\n";
constexpr Color kDescriptionColor = 0x656466;
constexpr Color kOutline = platform::Rgb(102, 100, 101);

// The widgets of each group, enabled together once the group is loaded.
const std::vector<const char*> kNameGroup = {"lblNameConnection", "txtNameConnection"};
const std::vector<const char*> kDialGroup = {
    "lblSubTitleDialParams", "lblPhoneNumber", "txtPhoneNumber", "lblUserName", "txtUserName",
    "lblPassword",           "txtPassword",    "lblDomain",      "txtDomain"};
const std::vector<const char*> kAddressTitles = {"lblSubTitleEntryProperties", "lblIpAddrDNS",
                                                 "lblIpAddrWINS"};
// The label beside each address holder, by control index.
constexpr std::array<const char*, kIpControlCount> kAddressLabels = {
    "lblIpAddr", "lblIpAddrDNS1", "lblIpAddrDNS2", "lblIpAddrWINS1", "lblIpAddrWINS2"};
const std::vector<const char*> kApnGroup = {"lblUserInit", "txtUserInit"};
const std::vector<const char*> kProxyGroup = {"lblSubTitleProxy", "lblProxyServer",
                                              "txtProxyServer", "lblProxyBypass", "txtProxyBypass"};
const std::vector<const char*> kCommands = {"picLinkSettingsQVT", "cmdSave", "cmdClose"};

// The entry record's addresses, in control order.
std::array<RasIpAddress*, kIpControlCount> Addresses(RasEntryInfo& info) {
    return {&info.ipaddr, &info.ipaddrDns, &info.ipaddrDnsAlt, &info.ipaddrWins,
            &info.ipaddrWinsAlt};
}

// The editor's rectangle centred over the owner's, moved back into the work area.
Rect CentredOver(const Rect& owner, const Rect& workArea) {
    const auto place = [](int32_t centre, int32_t size, int32_t low, int32_t high) {
        return std::max(std::min(centre - size / 2, high - size), low);
    };
    const int32_t left =
        place((owner.left + owner.right) / 2, kEditorWidth, workArea.left, workArea.right);
    const int32_t top =
        place((owner.top + owner.bottom) / 2, kEditorHeight, workArea.top, workArea.bottom);
    return {left, top, left + kEditorWidth, top + kEditorHeight};
}

std::string Unquoted(std::string_view text) {
    std::string result;
    std::copy_if(text.begin(), text.end(), std::back_inserter(result),
                 [](char c) { return c != '"'; });
    return result;
}

}  // namespace

std::string IpHolderName(int32_t index) {
    return "picHolderIpAddress" + std::to_string(index);
}

std::string IpControlName(int32_t index) {
    return "IP Control " + std::to_string(index);
}

std::string ExtractApn(const std::string& init) {
    std::vector<std::string_view> pieces;
    for (size_t start = 0;;) {
        const size_t comma = init.find(',', start);
        pieces.emplace_back(std::string_view(init).substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    for (size_t i = 0; i + 1 < pieces.size(); ++i)
        if (EqualsNoCase(pieces[i], "\"IP\"")) return Unquoted(pieces[i + 1]);
    return {};
}

void SetIpControl(IpAddressBox& box, const RasIpAddress& octets) {
    if (std::all_of(octets.begin(), octets.end(), [](uint8_t o) { return o == 0; })) {
        box.Clear();
        return;
    }
    box.SetAddress({octets[0], octets[1], octets[2], octets[3]});
}

IpControlValue GetIpControl(const IpAddressBox& box) {
    IpControlValue value;
    if (box.Blank()) return value;
    const auto& fields = box.Address();
    if (std::any_of(fields.begin(), fields.end(), [](int32_t f) { return f < 0; })) {
        value.valid = false;
        return value;
    }
    for (size_t i = 0; i < fields.size(); ++i) value.octets[i] = static_cast<uint8_t>(fields[i]);
    value.isBlank = value.octets == RasIpAddress{};
    return value;
}

std::shared_ptr<frmEditConnection> frmEditConnection::Show(IBinding& binding,
                                                           const std::string& entryName,
                                                           ClosedHandler closed, Form* owner) {
    std::shared_ptr<Form> form = BuildForm(EditConnectionFormLayout(), binding);
    if (!form) return nullptr;
    form->SetOwner(owner);
    form->SetBounds(CentredOver(owner ? owner->Bounds() : binding.WorkArea(), binding.WorkArea()));
    auto editor = std::make_shared<frmEditConnection>(PassKey<frmEditConnection>{}, binding,
                                                      std::move(form), entryName);
    editor->closed_ = std::move(closed);
    editor->Init();
    editor->form_->SetVisible(true);
    editor->PaintFooter();
    editor->BeginLoad();
    return editor;
}

frmEditConnection::frmEditConnection(PassKey<frmEditConnection>, IBinding& binding,
                                     std::shared_ptr<Form> form, std::string entryName)
    : binding_(binding), form_(std::move(form)), entryName_(std::move(entryName)) {}

// Going with its owner is no close the caller asked for: nothing is reported then.
frmEditConnection::~frmEditConnection() {
    closed_ = nullptr;
    busy_ = false;
    if (link_) link_->ControlRelease();
    form_->Close();
}

template <typename T>
std::shared_ptr<T> frmEditConnection::Get(const std::string& name) const {
    Widget* widget = form_->Find(name);
    return widget ? std::dynamic_pointer_cast<T>(widget->shared_from_this()) : nullptr;
}

void frmEditConnection::Init() {
    link_ = CreateSkinnedControl(binding_, Get<PictureBox>("picLinkSettingsQVT"), kLinkButton,
                                 "Заполнить поля рекомендуемыми настройками QVT");
    link_->SetPropertiesButtonLink("Рекомендуемые настройки QVT", {});
    ipControlsReady_ = true;
    for (int32_t i = 0; i < kIpControlCount; ++i) {
        const auto holder = Get<PictureBox>(IpHolderName(i));
        const auto box = Get<IpAddressBox>(IpControlName(i));
        ipControlsReady_ = ipControlsReady_ && holder && box && box->Peer();
        if (!holder || !box) continue;
        // A press on the holder's frame goes on to the address inside it.
        const std::weak_ptr<IpAddressBox> weakBox = box;
        connections_.push_back(holder->MouseDown.Connect([weakBox](const MouseArgs&) {
            if (const auto target = weakBox.lock()) target->SetFocus();
        }));
    }
    const std::weak_ptr<frmEditConnection> weak = weak_from_this();
    const auto on = [weak](void (frmEditConnection::*action)()) {
        return [weak, action] {
            if (const auto self = weak.lock()) (self.get()->*action)();
        };
    };
    connections_.push_back(link_->Click.Connect(on(&frmEditConnection::ApplyRecommended)));
    connections_.push_back(Get("cmdSave")->Click.Connect(on(&frmEditConnection::Save)));
    connections_.push_back(Get("cmdClose")->Click.Connect([weak] {
        if (const auto self = weak.lock()) self->CloseWindow();
    }));
    connections_.push_back(form_->QueryUnload.Connect([weak](bool& cancel) {
        const auto self = weak.lock();
        if (self && self->busy_) cancel = true;
    }));
    connections_.push_back(form_->ClosedEvent.Connect(on(&frmEditConnection::Finish)));
    // The window has no caption bar: the footer panel moves it.
    connections_.push_back(Get("picFooterPanel")->MouseDown.Connect([weak](const MouseArgs& args) {
        const auto self = weak.lock();
        if (self && args.button == kButtonLeft) self->binding_.DragWindow(*self->form_);
    }));
}

// The window has no frame of the system's: it draws its own outline around the panels.
void frmEditConnection::PaintFooter() {
    form_->Clear();
    form_->Canvas().FrameRect(form_->ClientRect(), kOutline);
    form_->Refresh();
    const auto panel = Get<PictureBox>("picFooterPanel");
    const auto title = Get("lblFooterTitle");
    if (const auto description = Get("lblFooterDesc")) description->SetForeColor(kDescriptionColor);
    panel->Clear();
    PaintFooterPanel(panel->Canvas(), panel->ClientRect(), title->Bounds().top, title->Height());
    panel->Refresh();
}

void frmEditConnection::EnableAll(const std::vector<const char*>& names, bool enabled) {
    for (const char* name : names)
        if (const auto widget = Get(name)) widget->SetEnabled(enabled);
}

void frmEditConnection::SetText(const char* name, const std::string& text) {
    if (const auto box = Get<TextBox>(name)) box->SetText(text);
}

std::string frmEditConnection::Text(const char* name) const {
    const auto box = Get<TextBox>(name);
    return box ? box->Caption() : std::string();
}

// Everything is disabled until the load has run; without a deferred start the load runs now
// rather than leaving a window that can neither be used nor closed.
void frmEditConnection::BeginLoad() {
    if (busy_) return;
    busy_ = true;
    for (const auto* group :
         {&kNameGroup, &kDialGroup, &kAddressTitles, &kApnGroup, &kProxyGroup, &kCommands})
        EnableAll(*group, false);
    for (int32_t i = 0; i < kIpControlCount; ++i) EnableAll({kAddressLabels[i]}, false);
    for (int32_t i = 0; i < kIpControlCount; ++i)
        if (const auto holder = Get(IpHolderName(i))) holder->SetEnabled(false);
    if (!RunLater(std::make_shared<WeakRunnable<frmEditConnection>>(
            weak_from_this(), &frmEditConnection::RunnableStart)))
        RunnableStart();
}

void frmEditConnection::RunnableStart() {
    if (!busy_) return;
    const auto self = shared_from_this();
    if (!entryName_.empty()) {
        SetText("txtNameConnection", entryName_);
        EnableAll(kNameGroup, true);
        LoadDialParams();
        LoadEntryProperties();
        if (dialLoaded_ && entryLoaded_ && dial_.PhoneNumber.empty())
            SetText("txtPhoneNumber", entry_.szLocalPhoneNumber);
        phoneStored_ = Text("txtPhoneNumber");
        LoadProxy();
    }
    EnableAll({"cmdClose"}, true);
    busy_ = false;
    if (!dialLoaded_ && !entryLoaded_) {
        Message(
            "Не удалось получить настройки соединения. Возможно, оно было удалено или "
            "переименовано.");
        form_->Close();
        return;
    }
    EnableAll({"cmdSave", "picLinkSettingsQVT"}, true);
    link_->ControlRefresh();
}

void frmEditConnection::LoadDialParams() {
    if (!ReadDialParams({}, entryName_, dial_)) return;
    dialLoaded_ = true;
    SetText("txtPhoneNumber", dial_.PhoneNumber);
    SetText("txtUserName", dial_.UserName);
    SetText("txtPassword", dial_.Password);
    SetText("txtDomain", dial_.Domain);
    EnableAll(kDialGroup, true);
}

void frmEditConnection::LoadEntryProperties() {
    if (!ReadEntryProperties({}, entryName_, entry_)) return;
    entryLoaded_ = true;
    if (ipControlsReady_) {
        EnableAll(kAddressTitles, true);
        const auto addresses = Addresses(entry_);
        for (int32_t i = 0; i < kIpControlCount; ++i) {
            SetIpControl(*Get<IpAddressBox>(IpControlName(i)), *addresses[i]);
            EnableAll({kAddressLabels[i]}, true);
            Get(IpHolderName(i))->SetEnabled(true);
        }
    }
    std::string init;
    if (entry_.szDeviceName.empty() || !GetModemUserInit(entry_.szDeviceName, init)) return;
    apnLoaded_ = true;
    SetText("txtUserInit", ExtractApn(init));
    EnableAll(kApnGroup, true);
}

void frmEditConnection::LoadProxy() {
    bool direct = false, useProxy = false, autoConfig = false, autoDetect = false;
    std::string server, bypass, configUrl;
    if (!GetConnectionProxy(entryName_, direct, useProxy, autoConfig, autoDetect, server, bypass,
                            configUrl))
        return;
    proxyLoaded_ = true;
    SetText("txtProxyServer", server);
    SetText("txtProxyBypass", bypass);
    EnableAll(kProxyGroup, true);
}

// A stop (refused rename, partly typed address) keeps what was saved before it and saves
// nothing after it. A second press while a save is under way (its message box up) is ignored.
void frmEditConnection::Save() {
    if (busy_ || saving_ || form_->Closed()) return;
    const auto self = shared_from_this();
    saving_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{saving_};
    if (!Rename()) return;
    bool dialOk = !dialLoaded_ || SaveDialParams();
    bool ipOk = true, apnOk = true;
    if (entryLoaded_) {
        std::array<IpControlValue, kIpControlCount> values;
        if (ipControlsReady_ && !ReadAddresses(values)) return;
        ipOk = SaveEntry(values);
        apnOk = !apnLoaded_ || SaveApn();
    }
    // Without the entry's properties a changed phone number has nowhere to go.
    if (dialLoaded_ && Text("txtPhoneNumber") != phoneStored_) dialOk = false;
    const bool proxyOk = !proxyLoaded_ || SaveProxy();
    if (dialOk && ipOk && apnOk && proxyOk) {
        form_->Close();
        return;
    }
    std::string report = "Не удалось сохранить следующую информацию:";
    if (!dialOk) report += std::string(kCrLf) + "- параметры дозвона";
    if (!ipOk) report += std::string(kCrLf) + "- настройки IP адресов";
    if (!apnOk) report += std::string(kCrLf) + "- параметры APN";
    if (!proxyOk) report += std::string(kCrLf) + "- настройки прокси-сервера";
    Message(report);
}

// A change of case only is no rename. A name the system's code page cannot hold would be
// stored with question marks: it is refused like one the system refuses.
bool frmEditConnection::Rename() {
    const std::string name = Text("txtNameConnection");
    if (EqualsNoCase(name, entryName_)) return true;
    if (AnsiToUtf8(Utf8ToAnsi(name)) != name || !RenameEntry(entryName_, name)) {
        Message(
            "Не удалось переименовать название подключения. Задайте другое название и "
            "повторите попытку сохранения.");
        if (const auto box = Get("txtNameConnection")) box->SetFocus();
        return false;
    }
    entryName_ = name;
    return true;
}

bool frmEditConnection::SaveDialParams() {
    dial_.EntryName = entryName_;
    dial_.PhoneNumber = Text("txtPhoneNumber");
    dial_.UserName = Text("txtUserName");
    dial_.Password = Text("txtPassword");
    dial_.Domain = Text("txtDomain");
    return WriteDialParams({}, dial_);
}

bool frmEditConnection::ReadAddresses(std::array<IpControlValue, kIpControlCount>& values) {
    for (int32_t i = 0; i < kIpControlCount; ++i) {
        values[i] = GetIpControl(*Get<IpAddressBox>(IpControlName(i)));
        if (values[i].valid) continue;
        Message("Введен некорректный IP адрес. Исправьте это и повторите сохранение.");
        Get(IpControlName(i))->SetFocus();
        return false;
    }
    return true;
}

// The entry is read again just before writing, and only the addresses with their two option
// bits and the phone number change: settings changed elsewhere meanwhile are kept, and an
// entry deleted or renamed elsewhere is not created anew under the old name. The system keeps
// the phone number in the entry, not with the dial parameters.
bool frmEditConnection::SaveEntry(const std::array<IpControlValue, kIpControlCount>& values) {
    RasEntryInfo current;
    if (!ReadEntryProperties({}, entryName_, current)) return false;
    if (dialLoaded_ && Text("txtPhoneNumber") != phoneStored_)
        current.szLocalPhoneNumber = Text("txtPhoneNumber");
    if (ipControlsReady_) {
        const auto addresses = Addresses(current);
        for (int32_t i = 0; i < kIpControlCount; ++i) *addresses[i] = values[i].octets;
        const auto set = [&current](uint32_t bit, bool on) {
            current.dwfOptions = on ? current.dwfOptions | bit : current.dwfOptions & ~bit;
        };
        set(kRasSpecificIpAddress, !values[0].isBlank);
        set(kRasSpecificNameServers, std::any_of(values.begin() + 1, values.end(),
                                                 [](const auto& v) { return !v.isBlank; }));
    }
    if (!WriteEntryProperties({}, entryName_, current)) return false;
    entry_ = current;
    if (dialLoaded_) phoneStored_ = Text("txtPhoneNumber");
    return true;
}

// Quotes would end the access point's field in the init string early: they are dropped.
bool frmEditConnection::SaveApn() {
    const std::string apn = Unquoted(Trim(Text("txtUserInit")));
    const std::string init = apn.empty() ? std::string() : ModemInitTemplate + apn + "\"";
    return SetModemUserInit(entry_.szDeviceName, init);
}

// The proxy of an entry that is gone would be left behind for a later entry of that name.
bool frmEditConnection::SaveProxy() {
    RasEntryInfo current;
    RasDialInfo dial;
    if (!ReadEntryProperties({}, entryName_, current) && !ReadDialParams({}, entryName_, dial))
        return false;
    const std::string server(Trim(Text("txtProxyServer")));
    return SetConnectionProxy(entryName_, true, !server.empty(), false, false, server,
                              std::string(Trim(Text("txtProxyBypass"))), {});
}

void frmEditConnection::ApplyRecommended() {
    if (busy_) return;
    if (dialLoaded_) {
        SetText("txtPhoneNumber", GetDefaultPhoneNumber(Text("txtNameConnection")));
        SetText("txtUserName", kOperatorUserName);
        SetText("txtPassword", kOperatorPassword);
        SetText("txtDomain", {});
    }
    if (entryLoaded_ && ipControlsReady_)
        for (int32_t i = 0; i < kIpControlCount; ++i) Get<IpAddressBox>(IpControlName(i))->Clear();
    if (apnLoaded_) SetText("txtUserInit", OperatorApn);
    if (proxyLoaded_) {
        SetText("txtProxyServer", {});
        SetText("txtProxyBypass", {});
    }
}

bool frmEditConnection::CloseWindow() {
    return !busy_ && form_->Close();
}

void frmEditConnection::Message(const std::string& text) {
    AppMsgBox(binding_.NativeWindow(*form_), text, kMbOk | kMbIconWarning);
}

void frmEditConnection::Finish() {
    if (link_) link_->ControlRelease();
    if (const ClosedHandler closed = std::exchange(closed_, nullptr)) closed(entryName_);
}

void OpenConnectionEditor(frmMain& owner, const std::string& entryName,
                          std::function<void(const std::string& finalName)> closed) {
    Form* ownerForm = owner.Window();
    if (owner.editor && !owner.editor->Window().Closed()) {
        owner.editor->Window().BringToFront();
        return;
    }
    if (ownerForm) ownerForm->SetEnabled(false);
    const std::weak_ptr<frmMain> weakOwner = owner.weak_from_this();
    // The owner is enabled before the editor hides, so that the system hands it the keyboard
    // rather than another program's window.
    const auto enableOwner = [weakOwner] {
        const auto window = weakOwner.lock();
        if (window && window->Window()) window->Window()->SetEnabled(true);
    };
    auto editor = frmEditConnection::Show(
        owner.Binding(), entryName,
        [enableOwner, closed](const std::string& finalName) {
            enableOwner();
            if (closed) closed(finalName);
        },
        ownerForm);
    if (editor) editor->connections_.push_back(editor->Window().Unload.Connect(enableOwner));
    if (!editor) {
        if (ownerForm) ownerForm->SetEnabled(true);
        if (closed) closed(entryName);
        return;
    }
    if (owner.editor) owner.editor->previous_.reset();
    editor->previous_ = std::move(owner.editor);
    owner.editor = std::move(editor);
}

}  // namespace tarvelin::ui
