// Arbitrary ANSI bytes as the TAC table; every indexed key must lead back to a kept row.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "driverdb/DriverCatalogText.h"
#include "platform/AnsiText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvelin;
    TacTable table;
    TacIndex index;
    ParseTacTable(AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(data), size)), table,
                  index);
    for (const std::string& row : table) {
        const auto columns = SplitText(row, "\t");
        if (columns.size() != 4) __builtin_trap();
        for (std::string_view token : SplitText(columns[3], " ")) {
            int32_t found = 0;
            if (index.Find(TacIndex::Key(token.substr(0, kTacLength), 0), found) &&
                (found < 1 || static_cast<size_t>(found) > table.size())) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
