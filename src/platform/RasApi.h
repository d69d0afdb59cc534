#pragma once
// The Remote Access Service (the system phone book, its dialogs and the active
// connections), ANSI flavour, over raw structure bytes: the logic lays out each record with
// its offset tables and reads back what the system wrote. Always the default phone book;
// entry names are bytes in the system's ANSI code page.
// Results are the system's RAS codes (0 success).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace tarvelin::platform {

using RasHandle = uint64_t;  // HRASCONN: 32 or 64 bits wide, as the target's pointers

inline constexpr uint32_t kRasErrorBufferTooSmall = 603;
inline constexpr uint32_t kRasErrorCannotFindEntry = 623;
inline constexpr uint32_t kRasErrorInvalidSize = 632;
inline constexpr uint32_t kRasErrorAlreadyExists = 183;  // ERROR_ALREADY_EXISTS
inline constexpr uint32_t kRasErrorInvalidName = 123;    // ERROR_INVALID_NAME

class IRasApi {
  public:
    virtual ~IRasApi() = default;
    // RasEnumDevicesA: no buffer (null) asks for the sizes; bytes is the buffer's size on
    // entry and what is needed or written on return, count the number of devices.
    virtual uint32_t EnumDevices(std::vector<uint8_t>* buffer, uint32_t& bytes,
                                 uint32_t& count) = 0;
    // RasEnumEntriesA: the first element's size field says the layout.
    virtual uint32_t EnumEntries(std::vector<uint8_t>& buffer, uint32_t& bytes,
                                 uint32_t& count) = 0;
    // RasEnumConnectionsA.
    virtual uint32_t EnumConnections(std::vector<uint8_t>& buffer, uint32_t& bytes,
                                     uint32_t& count) = 0;
    // RasGetEntryPropertiesA without device information: an empty name asks for the default
    // entry, no buffer (null) for the size; size is in/out.
    virtual uint32_t GetEntryProperties(const std::string& entry, std::vector<uint8_t>* buffer,
                                        uint32_t& size) = 0;
    // RasSetEntryPropertiesA: size bytes of buffer, no device information.
    virtual uint32_t SetEntryProperties(const std::string& entry,
                                        const std::vector<uint8_t>& buffer, uint32_t size) = 0;
    // RasGetEntryDialParamsA: params holds the record with its size and entry name set.
    virtual uint32_t GetEntryDialParams(std::vector<uint8_t>& params, bool& passwordStored) = 0;
    // RasSetEntryDialParamsA.
    virtual uint32_t SetEntryDialParams(const std::vector<uint8_t>& params,
                                        bool removePassword) = 0;
    virtual uint32_t DeleteEntry(const std::string& entry) = 0;
    virtual uint32_t RenameEntry(const std::string& oldName, const std::string& newName) = 0;
    // RasValidateEntryNameA: 0 when the name is valid and not taken.
    virtual uint32_t ValidateEntryName(const std::string& entry) = 0;
    // RasDialDlgA without a phone number override: dialog holds the RASDIALDLG record (owner
    // window, flags, sub-entry). True when the dialog ends with the connection made.
    virtual bool DialDlg(const std::string& entry, std::vector<uint8_t>& dialog) = 0;
    virtual uint32_t HangUp(RasHandle connection) = 0;
    // RasEditPhonebookEntryA.
    virtual uint32_t EditPhonebookEntry(WindowHandle owner, const std::string& entry) = 0;
    // RasGetConnectionStatistics: stats holds the RAS_STATS record with its size set.
    virtual uint32_t GetConnectionStatistics(RasHandle connection, std::vector<uint8_t>& stats) = 0;
};

// A dial-up service that has none of the calls: each answers 120 (ERROR_CALL_NOT_IMPLEMENTED)
// and a dial ends unconnected. Services that answer only some calls (a replayed session, a
// benchmark's phone book) derive from it and override those.
class RasApiUnavailable : public IRasApi {
  public:
    static constexpr uint32_t kNotImplemented = 120;
    uint32_t EnumDevices(std::vector<uint8_t>*, uint32_t&, uint32_t&) override {
        return kNotImplemented;
    }
    uint32_t EnumEntries(std::vector<uint8_t>&, uint32_t&, uint32_t&) override {
        return kNotImplemented;
    }
    uint32_t EnumConnections(std::vector<uint8_t>&, uint32_t&, uint32_t&) override {
        return kNotImplemented;
    }
    uint32_t GetEntryProperties(const std::string&, std::vector<uint8_t>*, uint32_t&) override {
        return kNotImplemented;
    }
    uint32_t SetEntryProperties(const std::string&, const std::vector<uint8_t>&,
                                uint32_t) override {
        return kNotImplemented;
    }
    uint32_t GetEntryDialParams(std::vector<uint8_t>&, bool&) override { return kNotImplemented; }
    uint32_t SetEntryDialParams(const std::vector<uint8_t>&, bool) override {
        return kNotImplemented;
    }
    uint32_t DeleteEntry(const std::string&) override { return kNotImplemented; }
    uint32_t RenameEntry(const std::string&, const std::string&) override {
        return kNotImplemented;
    }
    uint32_t ValidateEntryName(const std::string&) override { return kNotImplemented; }
    bool DialDlg(const std::string&, std::vector<uint8_t>&) override { return false; }
    uint32_t HangUp(RasHandle) override { return kNotImplemented; }
    uint32_t EditPhonebookEntry(WindowHandle, const std::string&) override {
        return kNotImplemented;
    }
    uint32_t GetConnectionStatistics(RasHandle, std::vector<uint8_t>&) override {
        return kNotImplemented;
    }
};

}  // namespace tarvelin::platform
