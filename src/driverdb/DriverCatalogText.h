#pragma once
// The two catalogue texts of the driver database (entries 1 and 2) and their parsers. Texts
// are UTF-8 here; lines end with CR LF and columns are separated by TAB.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driverdb/ConnectionKind.h"
#include "driverdb/TypeAllocationCode.h"

namespace tarvelin {

// ModelTable columns: INF entry number, maker, model, system signature, connection name,
// hardware id. Kept as they stand in the text (not trimmed).
enum ModelColumn : size_t {
    kModelEntry = 0,
    kModelMaker,
    kModelName,
    kModelSystem,
    kModelConnection,
    kModelHardwareId,
};
using ModelRow = std::array<std::string, 6>;
// Row r of the catalogue is element r - 1.
using ModelTable = std::vector<ModelRow>;
// Each row is maker, model, dial number and code list, trimmed and joined by single TABs.
// Row r of the catalogue is element r - 1.
using TacTable = std::vector<std::string>;

// From the key "K" + code + "_" + j (case-insensitive) to a TacTable row number (1-based),
// j counting 0, 1, 2, ... over the rows that list the same code.
class TacIndex {
  public:
    // Adds `row` under the code's next free j.
    void Add(std::string_view code, int32_t row);
    bool Find(std::string_view key, int32_t& row) const;
    static std::string Key(std::string_view code, int32_t j);
    size_t size() const { return rows_.size(); }
    void clear();

  private:
    std::unordered_map<std::string, int32_t> rows_;
    std::unordered_map<std::string, int32_t> nextJ_;
};

// Keeps every line that splits (at its first five TABs) into six parts with a non-blank
// first part; true when at least one row was kept.
bool ParseModelTable(std::string_view text, ModelTable& table);
// Keeps every non-blank line of exactly four TAB-separated parts and indexes its codes;
// true when a row was kept and at least one code indexed.
bool ParseTacTable(std::string_view text, TacTable& table, TacIndex& index);

// Splits at every occurrence of `separator`, or at the first `maxParts - 1` of them.
std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator,
                                        size_t maxParts = SIZE_MAX);
// A whole decimal number (surrounding spaces and a sign allowed) that fits 32 bits.
bool ParseEntryNumber(std::string_view text, int32_t& value);
ConnectionKind ConnectionKindFromName(std::string_view name);

}  // namespace tarvelin
