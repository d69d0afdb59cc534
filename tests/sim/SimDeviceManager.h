#pragma once
// A simulated setup interface and driver installer. Devices carry their properties here;
// their keys live in the SimRegistry where the system keeps them: the driver key under
// HKLM "SYSTEM\CurrentControlSet\Control\Class\{class}\NNNN", the hardware key under
// HKLM "SYSTEM\CurrentControlSet\Enum\<instance id>\Device Parameters", and the serial-port
// map under HKLM "HARDWARE\DEVICEMAP\SERIALCOMM". Driver installation reads the INF file
// (its [Version], [Manufacturer], models and [Strings] sections) from the host's disk.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/DeviceSetup.h"
#include "sim/SimRegistry.h"

namespace tarvelin::sim {

struct SimDevice {
    std::string instanceId;  // "ROOT\MODEM\0000"
    std::string className;
    platform::Guid classGuid;
    std::map<uint32_t, SimRegistry::Value> properties;  // by SPDRP code
    bool registered = false;
    uintptr_t list = 0;     // the list that created an element not yet registered
    std::string driverKey;  // "{class}\NNNN" once the driver key exists
    uint32_t devInst = 0;   // the device instance number the lists hand out
};

class SimDeviceManager : public platform::IDeviceSetup {
  public:
    // Every call a test can make fail (KeyQuery / KeySet: the device keys handed out).
    // clang-format off
    enum class Call : uint8_t {
        GetClassDevs, CreateList, Enum, GetProperty, SetProperty, Create, Register, OpenKey,
        CreateKey, Remove, GetInfClass, UpdateDriver, KeyQuery, KeySet
    };
    // clang-format on

    explicit SimDeviceManager(SimRegistry& registry) : registry_(registry) {}

    std::unique_ptr<platform::IDeviceList> GetClassDevs(const platform::Guid* classGuid,
                                                        uint32_t flags) override;
    std::unique_ptr<platform::IDeviceList> CreateList(const platform::Guid& classGuid) override;
    bool GetInfClass(const std::string& infPath, platform::Guid& classGuid,
                     std::vector<char>& className, uint32_t& requiredSize) override;
    bool UpdateDriver(platform::WindowHandle parent, const std::string& hardwareId,
                      const std::string& infPath, uint32_t flags, bool& restart) override;
    uint32_t LastError() override { return lastError_; }

    // --- Behaviour ---------------------------------------------------------------------
    // From its (skip + 1)-th call on, the call fails with error and changes nothing (the
    // registry keys answer the error, the other calls leave it for LastError). An
    // UpdateDriver failing with 1223 is the user cancelling the installer.
    void FailCall(Call call, uint32_t error, int skip = 0) { faults_[call] = {error, skip}; }
    uint32_t staleError = 0;         // what LastError() tells after a successful call
    bool restartNeeded = false;      // what a successful UpdateDriver reports
    std::function<void()> onUpdate;  // runs after each successful UpdateDriver

    // --- Set-up and observation ----------------------------------------------------------
    // A registered Ports-class device with "PortName" in its hardware key and, when asked,
    // its entry in the serial-port map. An empty argument leaves that property out.
    SimDevice& AddPort(const std::string& portName, const std::string& deviceObjectName,
                       const std::string& hardwareId, const std::string& friendlyName,
                       const std::string& description, bool inSerialMap = true);
    // A registered device with any properties (type and bytes as given).
    SimDevice& AddDevice(const std::string& className, const platform::Guid& classGuid,
                         std::map<uint32_t, SimRegistry::Value> properties);
    // A serial-port map value of any type and data.
    void AddSerialMapValue(const std::string& name, uint32_t type, std::vector<uint8_t> data);
    const std::map<uint32_t, SimDevice>& Devices() const { return devices_; }
    // A text property up to its first NUL; empty when absent.
    static std::string Text(const SimDevice& device, uint32_t property);
    const SimDevice* FindByFriendlyName(const std::string& name) const;
    const SimRegistry::Value* DriverValue(const SimDevice& device, const std::string& name) const;
    int OpenLists() const { return openLists_; }
    int OpenKeys() const { return openKeys_; }

  private:
    class List;
    class Key;
    uint32_t Injected(Call call);
    bool Fails(Call call);
    // Leaves the error behind for LastError() (staleError after a success); true on success.
    bool Done(uint32_t error) {
        lastError_ = error ? error : staleError;
        return error == 0;
    }
    SimDevice& NewDevice(const std::string& className, const platform::Guid& classGuid);
    std::string KeyPath(SimDevice& device, platform::DeviceKeyKind kind, bool create);
    std::unique_ptr<platform::IRegKey> KeyOf(SimDevice* device, platform::DeviceKeyKind kind,
                                             bool create, bool write);
    void Install(SimDevice& device, const std::string& description, const std::string& infPath);

    SimRegistry& registry_;
    std::map<uint32_t, SimDevice> devices_;            // by device instance number
    std::map<Call, std::pair<uint32_t, int>> faults_;  // error, calls to let through first
    uint32_t nextDevInst_ = 1;
    uintptr_t nextList_ = 1;
    uint32_t lastError_ = 0;
    int openLists_ = 0;
    int openKeys_ = 0;
};

}  // namespace tarvelin::sim
