#pragma once
// The driver catalogue: the container carried as resource "DB" 101 of the program, its two
// catalogue tables and the queries of the setup wizard. The container bytes and the parsed
// tables stay in module state until ResetDriverCatalog. Lists that the wizard numbers from 1
// are vectors here: item k is element k - 1.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "driverdb/ConnectionKind.h"
#include "driverdb/DriverBaseFormat.h"
#include "driverdb/DriverCatalogText.h"

namespace tarvelin {

inline constexpr const char* kDriverBaseResourceType = "DB";
inline constexpr uint16_t kDriverBaseResourceId = 101;
inline constexpr int32_t kModelTableEntry = 1;
inline constexpr int32_t kTacTableEntry = 2;
inline constexpr int32_t kIrCommDriverEntry = 3;

// Container: loaded through AppState().platform->resources on first use.
bool LoadDriverBase();
bool ReadDriverBaseHeader(DriverBaseHeader& header);
bool ReadDriverBaseIndex(const DriverBaseHeader& header,
                         std::vector<DriverBaseIndexRecord>& records);
bool ExtractDriverBaseEntry(int32_t n, std::vector<uint8_t>& data);

// Catalogue: the first query loads it; a failed load stays failed until the reset.
bool EnsureDriverCatalog();
void ResetDriverCatalog();
const ModelTable& DriverModelTable();
const TacTable& DriverTacTable();

// Maker names upper-cased, in order of first appearance.
bool GetVendorList(std::vector<std::string>& vendors);
// Model names of a maker as stored, without case-insensitive duplicates.
bool GetModelList(std::string_view maker, std::vector<std::string>& models);
// One kind per distinct connection name that has a driver for this Windows family.
bool GetConnectionTypeList(std::string_view maker, std::string_view model,
                           std::vector<ConnectionKind>& kinds);
// Rows listing the code (its first kTacLength characters): `rows` as decimal row numbers joined by
// TAB, `names` as "maker model" joined by " / ".
bool FindModelsByTac(std::string_view code, std::string& names, std::string& rows);
// TacTable row (1-based); the maker comes back with every space removed.
bool GetTacRow(int32_t row, std::string& maker, std::string& model, std::string& dialNumber);
bool FindDriver(std::string_view maker, std::string_view model, ConnectionKind kind,
                bool preferMsbt, std::vector<uint8_t>& inf, std::string& hardwareId);
// The INF for a connection name on this Windows family: the first row written for this
// family wins at once, otherwise the last row written for both families.
bool FindDriverFile(std::string_view maker, std::string_view model, std::string_view connectionName,
                    std::vector<uint8_t>& inf, std::string& hardwareId);
bool GetIrCommDriver(std::vector<uint8_t>& data);

}  // namespace tarvelin
