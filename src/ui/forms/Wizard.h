#pragma once
// The setup wizard on pages 8 to 12 of the main window: it searches the serial ports for a
// phone with the detection job, recognises it through the driver catalogue, lets the user
// confirm maker, model, connection kind and port, installs the modem driver from the
// catalogue and creates a dial-up connection for the new modem.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hardware/modAppHardware.h"
#include "platform/PassKey.h"
#include "ui/controls/HoverTracker.h"
#include "ui/controls/PCControl.h"
#include "ui/controls/PCListEx.h"
#include "ui/forms/frmMain.h"

namespace tarvelin {
class PCJob;
}

namespace tarvelin::ui {

// The wizard's controls, added to the main window's layout.
std::span<const WidgetLayout> WizardLayout();

// Ports named COM1 to COM255 first, by number; every other port after them, in the order
// given.
void OrderPorts(PortList& ports);
// The connection kind's entry in the kind box and its suffix in modem and connection names;
// an empty text for a kind the wizard does not offer.
struct KindName {
    const char* text;
    const char* suffix;
};
KindName KindNameOf(int32_t kind);
// Whether a catalogue kind suits a port of that kind.
bool KindFitsPort(int32_t catalogueKind, int32_t portKind);

class Wizard final : public IPagePresenter, public std::enable_shared_from_this<Wizard> {
  public:
    static std::shared_ptr<IPagePresenter> Make(frmMain& window);
    Wizard(PassKey<Wizard>, frmMain& window) : window_(window) {}
    ~Wizard() override;
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    void PageShown(int32_t page) override;
    void PageHidden(int32_t page) override;
    void WindowUnloading() override;

    // Runs a search of the ports unless the window is busy.
    void StartSearch();
    // Installs the modem for the choices of page 10 and creates its connection.
    void MasterInstall();

    const PortList& Ports() const { return ports_; }
    PCListEx* List() const { return list_.get(); }
    int32_t SearchProgress() const { return progress_; }
    // The modem the last installation made; empty when none.
    const std::string& InstalledModemName() const { return installedModem_; }
    bool InstallDone() const { return installDone_; }

  private:
    template <typename T = Widget>
    std::shared_ptr<T> Get(const char* name) const {
        return window_.Get<T>(name);
    }
    // The four boxes of page 10; all set or none.
    struct Choices {
        std::shared_ptr<ComboBox> vendors, models, kinds, ports;
        explicit operator bool() const { return vendors && models && kinds && ports; }
    };
    Choices Boxes() const;
    void Connect();
    void CreateLinks(int32_t page);
    void ReleaseLinks();
    void CreateList();
    void ReleaseList();
    void SetCommonButtons(bool back, bool next, bool close);
    void StartProgress();
    void StopProgress();
    void StopMasterTimer();
    void OnTimerTick();

    void LoadPortList();
    void FillPortList();
    void AddListEntry(size_t index);
    void FillVendors();
    void OnTaskInfo(int32_t code, const std::string& portName, const std::string& info,
                    bool& cancel);
    std::string IdentifyDevice(PortInfo& port, const std::string& info);
    void ShowReport(const std::string& portName, const std::string& text);
    void SearchFinished();
    int32_t FindListEntry(const std::string& portName) const;

    void OnListSelection(int32_t position);
    std::string PreselectFor(const PortInfo& port, bool& found);
    void OnVendorChosen();
    void OnModelChosen();
    void OnPortChosen();
    void UpdateMasterNext();

    void PrepareSummary();
    bool InstallDriver(const std::vector<uint8_t>& inf, const std::string& hardwareId,
                       const std::string& port, const std::string& title,
                       const std::string& dialNumber);
    void CreateConnection(const std::string& modem, const std::string& installMessage,
                          const std::string& title, const std::string& port,
                          const std::string& dialNumber);
    void FinishInstall();
    void Message(const std::string& text, uint32_t style, const std::string& title = {});

    frmMain& window_;
    PortList ports_;
    std::shared_ptr<PCJob> job_;
    std::shared_ptr<PCListEx> list_;
    std::vector<std::shared_ptr<PCControl>> links_;
    HoverTracker timer_;
    int32_t progress_ = 0;
    std::string installedModem_;
    bool installDone_ = false;
    std::vector<Connection> connections_, linkConnections_;
    Connection jobConnection_, listConnection_;
};

}  // namespace tarvelin::ui
