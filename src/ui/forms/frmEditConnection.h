#pragma once
// The connection editor: a window over the main window that changes the settings of one
// phone-book entry users change most: its name, the dial parameters, the access point held
// in the modem's init string, the IP, DNS and WINS addresses and the connection's proxy. Each
// of the four groups is loaded on its own one moment after the window shows (so that it
// paints first); a group that cannot be read stays disabled and is not saved.
//
// The window is modal without a loop of its own: its owner is disabled while it is open, and
// its end is reported through a callback.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Event.h"
#include "dialup/RasRecords.h"
#include "platform/PassKey.h"
#include "ui/controls/PCControl.h"
#include "ui/widgets/Binding.h"
#include "ui/widgets/Layout.h"

namespace tarvelin::ui {

class frmMain;

inline constexpr int32_t kEditorWidth = 480;
inline constexpr int32_t kEditorHeight = 588;
inline constexpr int32_t kIpControlCount = 5;

// The phone-book entry's option bits the address group sets.
inline constexpr uint32_t kRasSpecificIpAddress = 0x2;
inline constexpr uint32_t kRasSpecificNameServers = 0x4;

const FormLayout& EditConnectionFormLayout();
// The holder of address control i (0 the computer's, 1-2 DNS, 3-4 WINS) and the control.
std::string IpHolderName(int32_t index);
std::string IpControlName(int32_t index);

// The access point in a modem init string: the piece after the first piece that is "IP" in
// double quotes (any case), with its quotes removed; empty when there is none.
std::string ExtractApn(const std::string& init);

// An address control's content as the entry record holds it.
struct IpControlValue {
    RasIpAddress octets{};
    bool isBlank = true;
    bool valid = true;  // false for a partly typed address
};
// 0.0.0.0 shows as a blank control.
void SetIpControl(IpAddressBox& box, const RasIpAddress& octets);
// A blank control and one with 0.0.0.0 typed in full both read as blank 0.0.0.0.
IpControlValue GetIpControl(const IpAddressBox& box);

class frmEditConnection : public std::enable_shared_from_this<frmEditConnection> {
  public:
    using ClosedHandler = std::function<void(const std::string& finalName)>;

    // Builds the window for the entry, centred over its owner (none: the work area), shows
    // it and schedules the load; null when the window cannot be made. closed is called once
    // after the window has closed.
    static std::shared_ptr<frmEditConnection> Show(IBinding& binding, const std::string& entryName,
                                                   ClosedHandler closed, Form* owner = nullptr);
    frmEditConnection(PassKey<frmEditConnection>, IBinding& binding, std::shared_ptr<Form> form,
                      std::string entryName);
    ~frmEditConnection();
    frmEditConnection(const frmEditConnection&) = delete;
    frmEditConnection& operator=(const frmEditConnection&) = delete;

    Form& Window() const { return *form_; }
    // The entry's name: the new one after a successful rename.
    const std::string& EntryName() const { return entryName_; }
    bool Busy() const { return busy_; }

    // The deferred load; run once from the message loop after the window showed.
    void RunnableStart();
    // The Save button: renames, then saves each loaded group; closes when all were saved.
    void Save();
    // The recommended-settings link: fills the loaded groups' fields, saves nothing.
    void ApplyRecommended();
    // The Close button: closes without saving; refused while the load is pending.
    bool CloseWindow();

  private:
    template <typename T = Widget>
    std::shared_ptr<T> Get(const std::string& name) const;
    void Init();
    void PaintFooter();
    void BeginLoad();
    void LoadDialParams();
    void LoadEntryProperties();
    void LoadProxy();
    void EnableAll(const std::vector<const char*>& names, bool enabled);
    void SetText(const char* name, const std::string& text);
    std::string Text(const char* name) const;
    bool Rename();
    bool SaveDialParams();
    // False with the focus moved when an address is partly typed.
    bool ReadAddresses(std::array<IpControlValue, kIpControlCount>& values);
    bool SaveEntry(const std::array<IpControlValue, kIpControlCount>& values);
    bool SaveApn();
    bool SaveProxy();
    void Message(const std::string& text);
    void Finish();

    IBinding& binding_;
    std::shared_ptr<Form> form_;
    std::string entryName_;
    RasDialInfo dial_;
    RasEntryInfo entry_;
    std::string phoneStored_;  // the phone number as the entry holds it
    bool dialLoaded_ = false, entryLoaded_ = false, ipControlsReady_ = false;
    bool apnLoaded_ = false, proxyLoaded_ = false, busy_ = false, saving_ = false;
    std::shared_ptr<PCControl> link_;
    ClosedHandler closed_;
    std::vector<Connection> connections_;

    friend void OpenConnectionEditor(frmMain&, const std::string&, ClosedHandler);
    // An editor closed before this one opened, kept until this one goes: it may still be
    // on the stack of the handler that opened this one.
    std::shared_ptr<frmEditConnection> previous_;
};

// Opens the editor for the entry over the main window, which stays disabled until the
// editor closes; then closed gets the entry's name (the new one after a rename). While an
// editor is open another request only brings it to the front.
void OpenConnectionEditor(frmMain& owner, const std::string& entryName,
                          std::function<void(const std::string& finalName)> closed);

}  // namespace tarvelin::ui
