#pragma once
// The layer over the system phone book, its dialogs and the active dial-up connections. It
// keeps no state; every operation builds its records, asks the system and reports by its
// result (True / a count; 0 and False also mean failure). Lists are numbered from 1 in the
// design; here they are vectors in the system's order. The phone book argument is always
// empty: the system's default phone book.
#include <cstdint>
#include <string>
#include <vector>

#include "dialup/RasRecords.h"
#include "platform/MessageBox.h"

namespace tarvelin {

uint32_t GetRasDevices(std::vector<RasDeviceInfo>& devices);
bool HasModemDevice();
uint32_t GetRasEntries(std::vector<std::string>& entries);
uint32_t CountRasEntries();
bool HasModemEntry();
uint32_t GetEntriesForDevice(const std::string& deviceName, std::vector<std::string>& entries);
uint32_t GetRasConnections(std::vector<RasConnInfo>& connections);
bool IsEntryConnected(const std::string& entryName);
bool ReadEntryProperties(const std::string& phoneBook, const std::string& entryName,
                         RasEntryInfo& info);
bool WriteEntryProperties(const std::string& phoneBook, const std::string& entryName,
                          const RasEntryInfo& info);
bool ReadDialParams(const std::string& phoneBook, const std::string& entryName, RasDialInfo& info);
bool WriteDialParams(const std::string& phoneBook, const RasDialInfo& info);
bool DeleteEntry(const std::string& phoneBook, const std::string& entryName);
bool RenameEntry(const std::string& oldName, const std::string& newName);
bool DialEntry(const std::string& entryName, platform::WindowHandle owner);
bool HangUpConnection(platform::RasHandle connection);
bool EditEntryInSystemDialog(const std::string& phoneBook, const std::string& entryName,
                             platform::WindowHandle owner);
// stats is a RAS_STATS record whose size field the caller has set.
bool GetConnectionStats(platform::RasHandle connection, std::vector<uint8_t>& stats);

// A phone-book entry for the modem with the operator's settings; message is the report to
// show, allSet tells whether the dial parameters and the modem's init string were stored.
bool CreateModemConnection(const std::string& deviceName, const std::string& title,
                           const std::string& detail, std::string phoneNumber, std::string& message,
                           bool& allSet);

}  // namespace tarvelin
