// Arbitrary ANSI bytes as the model table, then the per-row work of the catalogue queries.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/modTypes.h"
#include "driverdb/DriverCatalogText.h"
#include "platform/AnsiText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvelin;
    ModelTable table;
    ParseModelTable(AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(data), size)), table);
    for (const ModelRow& row : table) {
        int32_t entry = 0;
        ParseEntryNumber(row[kModelEntry], entry);
        ConnectionKindFromName(row[kModelConnection]);
        EqualsNoCase(row[kModelMaker], row[kModelName]);
        if (TextUpper(row[kModelSystem]).size() != row[kModelSystem].size()) __builtin_trap();
    }
    return 0;
}
