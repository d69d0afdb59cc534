#include "core/modSystemRegistry.h"

#include "core/AppState.h"
#include "core/modTypes.h"
#include "platform/AnsiText.h"
#include "platform/LittleEndian.h"

namespace tarvelin {
namespace {

using namespace platform;

constexpr size_t kEnumBufferChars = 255;
constexpr uint32_t kMaxValueBytes = 1u << 20;  // far above any value this program writes

IRegistry* Registry() {
    return AppState().platform ? AppState().platform->registry : nullptr;
}

std::unique_ptr<IRegKey> Open(RegRoot root, const std::string& path, bool write) {
    IRegistry* registry = Registry();
    long error = 0;
    return registry ? registry->Open(root, Utf8ToAnsi(path), write, error) : nullptr;
}

std::string BytesUpToNul(const std::vector<uint8_t>& bytes, size_t length) {
    std::string text(bytes.begin(),
                     bytes.begin() + static_cast<std::ptrdiff_t>(std::min(length, bytes.size())));
    return TrimNull(text);
}

std::vector<uint8_t> DwordBytes(int32_t value) {
    std::vector<uint8_t> bytes(4);
    StoreLe32(bytes.data(), static_cast<uint32_t>(value));
    return bytes;
}

// The type and bytes a value is stored as; false when a numeric text is out of range.
bool Encode(const RegData& value, uint32_t& type, std::vector<uint8_t>& bytes) {
    std::optional<int32_t> number;
    if (const auto* n = std::get_if<int32_t>(&value)) {
        number = *n;
    } else if (auto parsed = ParseNumber(std::get<std::string>(value))) {
        number = ToLong(*parsed);
        if (!number) return false;
    }
    if (number) {
        type = kRegDword;
        bytes = DwordBytes(*number);
        return true;
    }
    const std::string ansi = Utf8ToAnsi(Trim(std::get<std::string>(value)));
    type = kRegSz;
    bytes.assign(ansi.begin(), ansi.end());
    bytes.push_back(0);
    return true;
}

}  // namespace

bool RegKeyExists(RegRoot root, const std::string& path) {
    return Open(root, path, false) != nullptr;
}

bool RegKeyCreate(RegRoot root, const std::string& path) {
    IRegistry* registry = Registry();
    long error = 0;
    return registry && registry->Create(root, Utf8ToAnsi(path), error) != nullptr;
}

bool RegValueQuery(RegRoot root, const std::string& path, const std::string& name, RegData& value) {
    auto key = Open(root, path, false);
    if (!key) return false;
    const std::string ansiName = Utf8ToAnsi(name);
    uint32_t type = 0, size = 0;
    if (key->QueryInfo(ansiName, type, size) != kErrorSuccess) return false;
    if (type == kRegSz) {
        if (size > kMaxValueBytes) return false;
        std::vector<uint8_t> data(size);
        if (key->Query(ansiName, type, data, size) != kErrorSuccess || type != kRegSz) return false;
        value = AnsiToUtf8(BytesUpToNul(data, size));
        return true;
    }
    if (type == kRegDword) {
        std::vector<uint8_t> data(4);
        if (key->Query(ansiName, type, data, size) != kErrorSuccess || type != kRegDword ||
            size != 4) {
            return false;
        }
        value = static_cast<int32_t>(LoadLe32(data.data()));
        return true;
    }
    return false;  // other types count as missing
}

bool RegValueSet(RegRoot root, const std::string& path, const std::string& name,
                 const RegData& value) {
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
    if (!Encode(value, type, bytes)) return false;
    IRegistry* registry = Registry();
    long error = 0;
    auto key = registry ? registry->Create(root, Utf8ToAnsi(path), error) : nullptr;
    return key && key->Set(Utf8ToAnsi(name), type, bytes) == kErrorSuccess;
}

bool RegValueDelete(RegRoot root, const std::string& path, const std::string& name) {
    auto key = Open(root, path, true);
    return key && key->Delete(Utf8ToAnsi(name)) == kErrorSuccess;
}

bool RegValuesEnum(RegRoot root, const std::string& path, std::vector<std::string>& names,
                   std::vector<std::string>& data) {
    names.clear();  // the lists are the key's values, never added to what the caller had
    data.clear();
    auto key = Open(root, path, false);
    if (!key) return false;
    for (uint32_t index = 0;; ++index) {
        std::vector<char> nameBuf(kEnumBufferChars, '\0');
        std::vector<uint8_t> dataBuf(kEnumBufferChars, 0);
        uint32_t nameLen = kEnumBufferChars, dataLen = kEnumBufferChars;
        const long result = key->Enum(index, nameBuf, nameLen, dataBuf, dataLen);
        if (result == kErrorNoMoreItems) break;
        if (result == kErrorMoreData) continue;  // too long for the buffers: passed over
        if (result != kErrorSuccess) break;      // a key that fails otherwise would never end
        std::string name(nameBuf.data(), std::min<size_t>(nameLen, nameBuf.size()));
        names.push_back(AnsiToUtf8(TrimNull(name)));
        data.push_back(AnsiToUtf8(BytesUpToNul(dataBuf, dataLen)));
    }
    return !names.empty();
}

}  // namespace tarvelin
