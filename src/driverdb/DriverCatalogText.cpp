#include "driverdb/DriverCatalogText.h"

#include "core/modTypes.h"

#include <algorithm>
#include <charconv>

namespace tarvelin {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsDigits(std::string_view token) {
    return !token.empty() &&
           std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Indexes every all-digit token of the space-separated code list under its first digits.
void IndexCodes(std::string_view codes, int32_t row, TacIndex& index) {
    for (std::string_view token : SplitText(codes, " ")) {
        token = Trim(token);
        if (IsDigits(token)) index.Add(token.substr(0, kTacLength), row);
    }
}

std::string JoinTrimmed(const std::vector<std::string_view>& parts) {
    std::string row;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) row += '\t';
        row += Trim(parts[i]);
    }
    return row;
}

}  // namespace

void TacIndex::Add(std::string_view code, int32_t row) {
    const std::string upper = TextUpper(code);
    int32_t& j = nextJ_[upper];
    rows_.emplace(Key(upper, j), row);
    ++j;
}

bool TacIndex::Find(std::string_view key, int32_t& row) const {
    const auto it = rows_.find(TextUpper(key));
    if (it == rows_.end()) return false;
    row = it->second;
    return true;
}

std::string TacIndex::Key(std::string_view code, int32_t j) {
    std::string key = "K";
    key.append(code).append("_").append(std::to_string(j));
    return key;
}

void TacIndex::clear() {
    rows_.clear();
    nextJ_.clear();
}

bool ParseModelTable(std::string_view text, ModelTable& table) {
    ModelTable rows;
    for (std::string_view line : SplitText(text, kLineEnd)) {
        const auto parts = SplitText(line, "\t", 6);
        if (parts.size() != 6 || Trim(parts[kModelEntry]).empty()) continue;
        ModelRow& row = rows.emplace_back();
        std::copy(parts.begin(), parts.end(), row.begin());
    }
    table = std::move(rows);
    return !table.empty();
}

bool ParseTacTable(std::string_view text, TacTable& table, TacIndex& index) {
    TacTable rows;
    index.clear();
    for (std::string_view line : SplitText(text, kLineEnd)) {
        if (Trim(line).empty()) continue;
        const auto parts = SplitText(line, "\t");
        if (parts.size() != 4) continue;
        rows.push_back(JoinTrimmed(parts));
        IndexCodes(parts[3], static_cast<int32_t>(rows.size()), index);
    }
    table = std::move(rows);
    return !table.empty() && index.size() != 0;
}

std::vector<std::string_view> SplitText(std::string_view text, std::string_view separator,
                                        size_t maxParts) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t at; parts.size() + 1 < maxParts &&
                    (at = text.find(separator, start)) != std::string_view::npos;) {
        parts.push_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    parts.push_back(text.substr(start));
    return parts;
}

bool ParseEntryNumber(std::string_view text, int32_t& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    int32_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return false;
    value = parsed;
    return true;
}

ConnectionKind ConnectionKindFromName(std::string_view name) {
    const std::string upper = TextUpper(Trim(name));
    if (upper == "BT" || upper == "MSBT") return ConnectionKindBluetooth;
    if (upper == "IRDA") return ConnectionKindInfrared;
    if (upper == "CAB") return ConnectionKindCable;
    return ConnectionKindNone;
}

}  // namespace tarvelin
