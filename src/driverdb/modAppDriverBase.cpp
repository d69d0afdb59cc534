#include "driverdb/modAppDriverBase.h"
#include "core/modTypes.h"

#include <optional>
#include <unordered_set>

#include "core/AppState.h"
#include "core/modSystemWinVer.h"
#include "platform/AnsiText.h"
#include "platform/ResourceSource.h"

namespace tarvelin {
namespace {

constexpr int32_t kPlatformNt = 2;
constexpr int32_t kPlatform9x = 1;
const std::string kBothFamilies = "$CHICAGO$";
const std::string kNtFamily = "$WINDOWS NT$";
const std::string k9xFamily = "$WINDOWS 95$";

struct CatalogState {
    std::optional<std::vector<uint8_t>> container;  // present once loaded
    bool loadAttempted = false;
    bool loaded = false;
    ModelTable models;
    TacTable tacs;
    TacIndex tacIndex;
};

CatalogState& State() {
    static CatalogState state;
    return state;
}

bool LoadDriverCatalog(CatalogState& s) {
    s.tacs.clear();
    std::vector<uint8_t> modelBytes, tacBytes;
    if (!ExtractDriverBaseEntry(kModelTableEntry, modelBytes) ||
        !ExtractDriverBaseEntry(kTacTableEntry, tacBytes)) {
        return false;
    }
    const auto text = [](const std::vector<uint8_t>& b) {
        return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
    };
    return ParseModelTable(text(modelBytes), s.models) &&
           ParseTacTable(text(tacBytes), s.tacs, s.tacIndex);
}

bool SameMakerModel(const ModelRow& row, std::string_view maker, std::string_view model) {
    return EqualsNoCase(row[kModelName], model) && EqualsNoCase(row[kModelMaker], maker);
}

// Whether a row's INF serves the running Windows family, for the connection-kind list.
bool UsableHere(const ModelRow& row) {
    const std::string sig = TextUpper(row[kModelSystem]);
    if (sig == kBothFamilies) return true;
    return sig == (GetPlatformId() == kPlatformNt ? kNtFamily : k9xFamily);
}

bool IsFamilySpecificHere(const std::string& sig) {
    const int32_t platform = GetPlatformId();
    return (platform == kPlatformNt && sig == kNtFamily) ||
           (platform == kPlatform9x && sig == k9xFamily);
}

// Appends `name` unless a case-insensitive equal was seen before.
void AddDistinct(std::unordered_set<std::string>& seen, std::vector<std::string>& list,
                 const std::string& name, const std::string& shown) {
    if (seen.insert(TextUpper(name)).second) list.push_back(shown);
}

}  // namespace

bool LoadDriverBase() {
    CatalogState& s = State();
    if (s.container) return true;
    platform::IResourceSource* resources =
        AppState().platform ? AppState().platform->resources : nullptr;
    std::vector<uint8_t> bytes;
    if (!resources || !resources->Load(kDriverBaseResourceType, kDriverBaseResourceId, bytes)) {
        return false;
    }
    s.container = std::move(bytes);
    return true;
}

bool ReadDriverBaseHeader(DriverBaseHeader& header) {
    return State().container && ParseDriverBaseHeader(*State().container, header);
}

bool ReadDriverBaseIndex(const DriverBaseHeader& header,
                         std::vector<DriverBaseIndexRecord>& records) {
    return State().container && ParseDriverBaseIndex(*State().container, header, records);
}

bool ExtractDriverBaseEntry(int32_t n, std::vector<uint8_t>& data) {
    return LoadDriverBase() && ExtractEntry(*State().container, n, data);
}

bool EnsureDriverCatalog() {
    CatalogState& s = State();
    if (s.loadAttempted) return s.loaded;
    s.loadAttempted = true;
    s.tacIndex.clear();
    s.loaded = LoadDriverCatalog(s);
    return s.loaded;
}

void ResetDriverCatalog() {
    State() = CatalogState{};
}

const ModelTable& DriverModelTable() {
    return State().models;
}
const TacTable& DriverTacTable() {
    return State().tacs;
}

bool GetVendorList(std::vector<std::string>& vendors) {
    if (!EnsureDriverCatalog()) return false;
    std::unordered_set<std::string> seen;
    vendors.clear();
    for (const ModelRow& row : State().models) {
        AddDistinct(seen, vendors, row[kModelMaker], TextUpper(row[kModelMaker]));
    }
    return !vendors.empty();
}

bool GetModelList(std::string_view maker, std::vector<std::string>& models) {
    if (!EnsureDriverCatalog()) return false;
    std::unordered_set<std::string> seen;
    models.clear();
    for (const ModelRow& row : State().models) {
        if (EqualsNoCase(row[kModelMaker], maker)) {
            AddDistinct(seen, models, row[kModelName], row[kModelName]);
        }
    }
    return !models.empty();
}

bool GetConnectionTypeList(std::string_view maker, std::string_view model,
                           std::vector<ConnectionKind>& kinds) {
    if (!EnsureDriverCatalog()) return false;
    std::unordered_set<std::string> seen;
    std::vector<std::string> names;
    for (const ModelRow& row : State().models) {
        if (SameMakerModel(row, maker, model) && UsableHere(row)) {
            const std::string name(Trim(row[kModelConnection]));
            AddDistinct(seen, names, name, name);
        }
    }
    kinds.clear();
    for (const std::string& name : names) kinds.push_back(ConnectionKindFromName(name));
    return !kinds.empty();
}

bool FindModelsByTac(std::string_view code, std::string& names, std::string& rows) {
    if (!EnsureDriverCatalog()) return false;
    code = code.substr(0, kTacLength);
    names.clear();
    rows.clear();
    bool found = false;
    int32_t row = 0;
    for (int32_t j = 0; State().tacIndex.Find(TacIndex::Key(code, j), row); ++j) {
        std::string maker, model, dial;
        if (!GetTacRow(row, maker, model, dial)) continue;
        rows.append(found ? "\t" : "").append(std::to_string(row));
        names.append(found ? " / " : "").append(maker).append(" ").append(model);
        found = true;
    }
    return found;
}

bool GetTacRow(int32_t row, std::string& maker, std::string& model, std::string& dialNumber) {
    const TacTable& tacs = State().tacs;
    if (row < 1 || static_cast<size_t>(row) > tacs.size()) return false;
    const auto columns = SplitText(tacs[static_cast<size_t>(row - 1)], "\t");
    if (columns.size() < 3) return false;
    maker.clear();
    for (char c : columns[0]) {
        if (c != ' ') maker += c;
    }
    model = columns[1];
    dialNumber = columns[2];
    return true;
}

bool FindDriver(std::string_view maker, std::string_view model, ConnectionKind kind,
                bool preferMsbt, std::vector<uint8_t>& inf, std::string& hardwareId) {
    if (!EnsureDriverCatalog()) return false;
    switch (kind) {
        case ConnectionKindInfrared:
            return FindDriverFile(maker, model, "IRDA", inf, hardwareId);
        case ConnectionKindBluetooth:
            if (preferMsbt && FindDriverFile(maker, model, "MSBT", inf, hardwareId)) return true;
            return FindDriverFile(maker, model, "BT", inf, hardwareId);
        default:
            return FindDriverFile(maker, model, "CAB", inf, hardwareId);
    }
}

bool FindDriverFile(std::string_view maker, std::string_view model, std::string_view connectionName,
                    std::vector<uint8_t>& inf, std::string& hardwareId) {
    int32_t entry = 0;
    int32_t rowEntry = 0;
    for (const ModelRow& row : State().models) {
        if (!SameMakerModel(row, maker, model) ||
            !EqualsNoCase(Trim(row[kModelConnection]), connectionName)) {
            continue;
        }
        const std::string sig = TextUpper(row[kModelSystem]);
        const bool familySpecific = IsFamilySpecificHere(sig);
        // A row without a readable entry number names no driver: it changes nothing.
        if ((sig != kBothFamilies && !familySpecific) ||
            !ParseEntryNumber(row[kModelEntry], rowEntry)) {
            continue;
        }
        entry = rowEntry;
        hardwareId = row[kModelHardwareId];
        if (familySpecific) break;
    }
    if (entry < kIrCommDriverEntry) return false;
    return ExtractDriverBaseEntry(entry, inf);
}

bool GetIrCommDriver(std::vector<uint8_t>& data) {
    return ExtractDriverBaseEntry(kIrCommDriverEntry, data);
}

}  // namespace tarvelin
