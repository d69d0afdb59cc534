#include "sim/SimRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace tarvelin::sim {
namespace {

using platform::kErrorFileNotFound;
using platform::kErrorMoreData;
using platform::kErrorSuccess;

constexpr long kAccessDenied = 5;
constexpr long kKeyDeleted = 1018;

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

template <class Values>  // SimRegistry::Values, const or not
auto Position(Values& values, const std::string& name) {
    return std::find_if(values.begin(), values.end(),
                        [&](const auto& p) { return Upper(p.first) == Upper(name); });
}

// A key handle names its key and finds it on every call, so a key deleted while the handle
// is open answers ERROR_KEY_DELETED instead of leaving the handle on freed storage.
class SimKey : public platform::IRegKey {
  public:
    SimKey(SimRegistry::Keys& keys, std::string name, bool write, const bool& deny)
        : keys_(keys), name_(std::move(name)), write_(write), deny_(deny) {}

    long QueryInfo(const std::string& name, uint32_t& type, uint32_t& size) override {
        auto* values = Values();
        if (!values) return kKeyDeleted;
        auto it = Position(*values, name);
        if (it == values->end()) return kErrorFileNotFound;
        type = it->second.type;
        size = static_cast<uint32_t>(it->second.data.size());
        return kErrorSuccess;
    }

    long Query(const std::string& name, uint32_t& type, std::vector<uint8_t>& data,
               uint32_t& size) override {
        if (const long error = QueryInfo(name, type, size)) return error;
        if (data.size() < size) return kErrorMoreData;
        const auto& bytes = Position(*Values(), name)->second.data;
        std::copy(bytes.begin(), bytes.end(), data.begin());
        return kErrorSuccess;
    }

    long Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        auto* values = Values();
        if (!values) return kKeyDeleted;
        if (!write_ || deny_) return kAccessDenied;
        auto it = Position(*values, name);
        if (it == values->end()) it = values->insert(it, {name, {}});
        it->second = {type, data};
        return kErrorSuccess;
    }

    long Delete(const std::string& name) override {
        auto* values = Values();
        if (!values) return kKeyDeleted;
        if (!write_ || deny_) return kAccessDenied;
        auto it = Position(*values, name);
        if (it == values->end()) return kErrorFileNotFound;
        values->erase(it);
        return kErrorSuccess;
    }

    long Enum(uint32_t index, std::vector<char>& name, uint32_t& nameLen,
              std::vector<uint8_t>& data, uint32_t& dataLen) override {
        auto* values = Values();
        if (!values) return kKeyDeleted;
        if (index >= values->size()) return platform::kErrorNoMoreItems;
        const auto& [valueName, value] = (*values)[index];
        const bool fits = valueName.size() + 1 <= std::min<size_t>(nameLen, name.size()) &&
                          value.data.size() <= std::min<size_t>(dataLen, data.size());
        dataLen = static_cast<uint32_t>(value.data.size());
        if (!fits) return kErrorMoreData;
        std::memcpy(name.data(), valueName.c_str(), valueName.size() + 1);
        nameLen = static_cast<uint32_t>(valueName.size());
        std::copy(value.data.begin(), value.data.end(), data.begin());
        return kErrorSuccess;
    }

  private:
    SimRegistry::Values* Values() {
        auto it = keys_.find(name_);
        return it == keys_.end() ? nullptr : &it->second;
    }
    SimRegistry::Keys& keys_;
    std::string name_;
    bool write_;
    const bool& deny_;
};

}  // namespace

std::string SimRegistry::Canonical(platform::RegRoot root, const std::string& path) {
    std::string p = Upper(path);
    while (!p.empty() && p.back() == '\\') p.pop_back();
    return (root == platform::RegRoot::CurrentUser ? "HKCU\\" : "HKLM\\") + p;
}

std::unique_ptr<platform::IRegKey> SimRegistry::Open(platform::RegRoot root,
                                                     const std::string& path, bool write,
                                                     long& error) {
    const std::string name = Canonical(root, path);
    error = keys_.count(name) ? kErrorSuccess : kErrorFileNotFound;
    return error ? nullptr : std::make_unique<SimKey>(keys_, name, write, denyWrites);
}

std::unique_ptr<platform::IRegKey> SimRegistry::Create(platform::RegRoot root,
                                                       const std::string& path, long& error) {
    error = denyWrites && !keys_.count(Canonical(root, path)) ? kAccessDenied : kErrorSuccess;
    if (error) return nullptr;
    // Parents come into being with the key, as they do in the system registry.
    for (size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1)) {
        keys_[Canonical(root, path.substr(0, pos))];
    }
    const std::string name = Canonical(root, path);
    keys_[name];
    return std::make_unique<SimKey>(keys_, name, true, denyWrites);
}

void SimRegistry::PutRaw(platform::RegRoot root, const std::string& path, const std::string& name,
                         uint32_t type, std::vector<uint8_t> data) {
    long error = 0;
    const bool deny = std::exchange(denyWrites, false);
    Create(root, path, error)->Set(name, type, data);
    denyWrites = deny;
}

const SimRegistry::Value* SimRegistry::Get(platform::RegRoot root, const std::string& path,
                                           const std::string& name) const {
    auto it = keys_.find(Canonical(root, path));
    if (it == keys_.end()) return nullptr;
    auto value = Position(it->second, name);
    return value == it->second.end() ? nullptr : &value->second;
}

std::vector<uint8_t> SimRegistry::Sz(const std::string& ansi) {
    std::vector<uint8_t> bytes(ansi.begin(), ansi.end());
    bytes.push_back(0);
    return bytes;
}

}  // namespace tarvelin::sim
