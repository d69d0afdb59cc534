#pragma once
// A simulated Remote Access Service: the default phone book (entries with their properties
// and dial parameters), the RAS-capable devices and the active connections, answering the
// raw-record calls with the system's result codes. Texts are UTF-8 in this state and ANSI
// at the calls; entry names compare without regard to case.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialup/RasRecords.h"
#include "platform/Clock.h"
#include "platform/RasApi.h"

namespace tarvelin::sim {

// RASENTRY as the system has it since its per-connection options and redial settings.
inline constexpr uint32_t kSimRasEntryFullSize = 2884;
inline constexpr uint32_t kRasErrorInvalidHandle = 6;      // ERROR_INVALID_HANDLE
inline constexpr uint32_t kRasErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER

struct SimRasEntry {
    std::string name;
    RasEntryInfo info;
    RasDialInfo dial;  // user name, password, callback number and domain as stored
    bool passwordStored = false;
    // Written as dwAlternateOffset instead of the real one (a record pointing anywhere).
    std::optional<uint32_t> alternateOffset;
};

// A connection's raw statistics counters, as the system reports them.
struct SimRasCounters {
    uint32_t received = 0, sent = 0, durationMs = 0;
};

struct SimRasConnection {
    platform::RasHandle handle = 0;
    std::string entryName;
    std::string deviceType;
    std::string deviceName;
    uint32_t startTick = 0;  // the clock's tick count when it connected
    // When set, the statistics report these instead of the counters grown with the clock.
    std::optional<SimRasCounters> counters;
};

class SimRas : public platform::IRasApi {
  public:
    // Every call a test can make fail.
    // clang-format off
    enum class Call : uint8_t {
        EnumDevices, EnumEntries, EnumConnections, GetEntryProperties, SetEntryProperties,
        GetEntryDialParams, SetEntryDialParams, DeleteEntry, RenameEntry, ValidateEntryName,
        DialDlg, HangUp, EditPhonebookEntry, GetConnectionStatistics
    };
    // clang-format on

    explicit SimRas(platform::IClock& clock) : clock_(clock) {}

    uint32_t EnumDevices(std::vector<uint8_t>* buffer, uint32_t& bytes, uint32_t& count) override;
    uint32_t EnumEntries(std::vector<uint8_t>& buffer, uint32_t& bytes, uint32_t& count) override;
    uint32_t EnumConnections(std::vector<uint8_t>& buffer, uint32_t& bytes,
                             uint32_t& count) override;
    uint32_t GetEntryProperties(const std::string& entry, std::vector<uint8_t>* buffer,
                                uint32_t& size) override;
    uint32_t SetEntryProperties(const std::string& entry, const std::vector<uint8_t>& buffer,
                                uint32_t size) override;
    uint32_t GetEntryDialParams(std::vector<uint8_t>& params, bool& passwordStored) override;
    uint32_t SetEntryDialParams(const std::vector<uint8_t>& params, bool removePassword) override;
    uint32_t DeleteEntry(const std::string& entry) override;
    uint32_t RenameEntry(const std::string& oldName, const std::string& newName) override;
    uint32_t ValidateEntryName(const std::string& entry) override;
    bool DialDlg(const std::string& entry, std::vector<uint8_t>& dialog) override;
    uint32_t HangUp(platform::RasHandle connection) override;
    uint32_t EditPhonebookEntry(platform::WindowHandle owner, const std::string& entry) override;
    uint32_t GetConnectionStatistics(platform::RasHandle connection,
                                     std::vector<uint8_t>& stats) override;

    // --- Behaviour ---------------------------------------------------------------------
    // From its (skip + 1)-th call on, the call fails with error and changes nothing
    // (DialDlg: ends unconnected with error in the dialog's dwError).
    void FailCall(Call call, uint32_t error, int skip = 0) { faults_[call] = {error, skip}; }
    // The system's own RASENTRY size: what the size query of the default entry reports. The
    // system accepts the record sizes it knows up to this one (1672, 1768, 1796, 2088, full).
    uint32_t entrySize = kSimRasEntryFullSize;
    // The RASDIALPARAMS sizes the system accepts; empty: the three of the current layout.
    std::vector<uint32_t> dialParamsSizes;
    // How DialDlg ends: connected, or not with dialError in dwError (0: the user cancelled).
    bool dialConnects = true;
    uint32_t dialError = 0;
    // Every connection's traffic in bytes per second, and its line speed.
    uint32_t receiveRate = 0, sendRate = 0, bps = 115200;
    // RASEO bits the system adds to an entry it creates.
    uint32_t newEntryOptions = 0;
    // --- Bad answers: while set, the calls report these instead of the truth -------------
    // EnumDevices: the byte count and device count (the result stays as it would be).
    std::optional<std::pair<uint32_t, uint32_t>> devicesReply;
    // EnumConnections succeeds with the connections that fit and reports this count.
    std::optional<uint32_t> connectionsCount;
    // GetEntryProperties answers a buffer too small with this size.
    std::optional<uint32_t> entrySizeReply;

    // --- State, set-up and observation ---------------------------------------------------
    std::vector<SimRasEntry> entries;  // in creation order
    std::vector<RasDeviceInfo> devices;
    std::vector<SimRasConnection> connections;
    std::vector<std::string> calls;  // the system function of every call made, in order
    SimRasEntry* Find(const std::string& name);
    SimRasEntry& AddEntry(const std::string& name, RasEntryInfo info = {});
    // A connection of the entry over its device, as a successful dial makes it.
    SimRasConnection& Connect(const std::string& entryName);

  private:
    uint32_t Begin(Call call);
    bool EntrySizeAccepted(uint32_t size) const;
    SimRasEntry* DialParamsEntry(const std::vector<uint8_t>& params, RasDialInfo& dial,
                                 uint32_t& error);
    uint32_t ReadEntry(const RasEntryInfo& info, const SimRasEntry* entry,
                       std::vector<uint8_t>* buffer, uint32_t& size);
    void Complete(RasEntryInfo& info) const;
    void StoreDialParams(SimRasEntry& entry, const RasDialInfo& dial, bool removePassword);
    SimRasConnection* FindConnection(platform::RasHandle handle);

    platform::IClock& clock_;
    std::map<Call, std::pair<uint32_t, int>> faults_;  // error, calls to let through first
    platform::RasHandle nextHandle_ = 0x10000;
};

}  // namespace tarvelin::sim
