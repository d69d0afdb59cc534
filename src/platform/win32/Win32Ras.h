#pragma once
#include <memory>

#include "platform/RasApi.h"

namespace tarvelin::platform {

// The Remote Access Service of the system's RAS libraries, loaded on first use and kept
// until release (a bare system may lack them, and the program must still start). Entry names
// pass through as the ANSI bytes the caller gives; the phone book is always the default one.
// A missing library or function answers kRasErrorNotImplemented (a dialog: false). Records
// are the caller's complete bytes; one whose declared size exceeds its buffer is refused
// with kRasErrorInvalidParameter before the system could write past it. Not thread-safe: the
// program calls it from its window thread.
class Win32Ras : public IRasApi {
  public:
    static constexpr uint32_t kRasErrorNotImplemented = 120;   // ERROR_CALL_NOT_IMPLEMENTED
    static constexpr uint32_t kRasErrorInvalidParameter = 87;  // ERROR_INVALID_PARAMETER
    // RasHangUp returns before the connection is down; the system asks callers to wait for
    // its status to vanish before dialling again or ending. Hang-up waits at most this long.
    static constexpr uint32_t kHangUpWaitMs = 3000;

    Win32Ras();
    ~Win32Ras() override;
    Win32Ras(const Win32Ras&) = delete;
    Win32Ras& operator=(const Win32Ras&) = delete;

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
    uint32_t HangUp(RasHandle connection) override;
    uint32_t EditPhonebookEntry(WindowHandle owner, const std::string& entry) override;
    uint32_t GetConnectionStatistics(RasHandle connection, std::vector<uint8_t>& stats) override;

    struct Api;
    struct DialogApi;

  private:
    const Api& Ras();
    const DialogApi& Dialogs();

    std::unique_ptr<Api> api_;
    std::unique_ptr<DialogApi> dialogs_;
};

}  // namespace tarvelin::platform
