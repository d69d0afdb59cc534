#include "sim/SimRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tarvelin::sim {
namespace {

using platform::kErrorFileNotFound;
using platform::kErrorMoreData;
using platform::kErrorNoMoreItems;
using platform::kErrorSuccess;

constexpr long kAccessDenied = 5;

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

class SimKey : public platform::IRegKey {
  public:
    SimKey(SimRegistry::Key& key, bool write, const bool& deny)
        : key_(key), write_(write), deny_(deny) {}

    long QueryInfo(const std::string& name, uint32_t& type, uint32_t& size) override {
        const auto* v = Find(name);
        if (!v) return kErrorFileNotFound;
        type = v->type;
        size = static_cast<uint32_t>(v->data.size());
        return kErrorSuccess;
    }

    long Query(const std::string& name, uint32_t& type, std::vector<uint8_t>& data,
               uint32_t& size) override {
        const auto* v = Find(name);
        if (!v) return kErrorFileNotFound;
        type = v->type;
        size = static_cast<uint32_t>(v->data.size());
        if (data.size() < v->data.size()) return kErrorMoreData;
        std::copy(v->data.begin(), v->data.end(), data.begin());
        return kErrorSuccess;
    }

    long Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        if (!write_ || deny_) return kAccessDenied;
        if (auto* v = Find(name)) {
            *v = {type, data};
        } else {
            key_.values.emplace_back(name, SimRegistry::Value{type, data});
        }
        return kErrorSuccess;
    }

    long Delete(const std::string& name) override {
        if (!write_ || deny_) return kAccessDenied;
        auto it = Position(name);
        if (it == key_.values.end()) return kErrorFileNotFound;
        key_.values.erase(it);
        return kErrorSuccess;
    }

    long Enum(uint32_t index, std::vector<char>& name, uint32_t& nameLen,
              std::vector<uint8_t>& data, uint32_t& dataLen) override {
        if (index >= key_.values.size()) return kErrorNoMoreItems;
        const auto& [valueName, value] = key_.values[index];
        if (valueName.size() + 1 > std::min<size_t>(nameLen, name.size()) ||
            value.data.size() > std::min<size_t>(dataLen, data.size())) {
            dataLen = static_cast<uint32_t>(value.data.size());
            return kErrorMoreData;
        }
        std::memcpy(name.data(), valueName.c_str(), valueName.size() + 1);
        nameLen = static_cast<uint32_t>(valueName.size());
        std::copy(value.data.begin(), value.data.end(), data.begin());
        dataLen = static_cast<uint32_t>(value.data.size());
        return kErrorSuccess;
    }

  private:
    std::vector<std::pair<std::string, SimRegistry::Value>>::iterator Position(
        const std::string& n) {
        return std::find_if(key_.values.begin(), key_.values.end(),
                            [&](const auto& p) { return Upper(p.first) == Upper(n); });
    }
    SimRegistry::Value* Find(const std::string& n) {
        auto it = Position(n);
        return it == key_.values.end() ? nullptr : &it->second;
    }

    SimRegistry::Key& key_;
    bool write_;
    const bool& deny_;
};

}  // namespace

std::string SimRegistry::Canonical(platform::RegRoot root, const std::string& path) {
    std::string p = Upper(path);
    while (!p.empty() && p.back() == '\\') p.pop_back();
    return (root == platform::RegRoot::CurrentUser ? "HKCU\\" : "HKLM\\") + p;
}

SimRegistry::Key& SimRegistry::Ensure(platform::RegRoot root, const std::string& path) {
    return keys_[Canonical(root, path)];
}

std::unique_ptr<platform::IRegKey> SimRegistry::Open(platform::RegRoot root,
                                                     const std::string& path, bool write,
                                                     long& error) {
    auto it = keys_.find(Canonical(root, path));
    if (it == keys_.end()) {
        error = kErrorFileNotFound;
        return nullptr;
    }
    error = kErrorSuccess;
    return std::make_unique<SimKey>(it->second, write, denyWrites);
}

std::unique_ptr<platform::IRegKey> SimRegistry::Create(platform::RegRoot root,
                                                       const std::string& path, long& error) {
    if (denyWrites && !KeyExists(root, path)) {
        error = kAccessDenied;
        return nullptr;
    }
    // Parents come into being with the key, as they do in the system registry.
    for (size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1)) {
        Ensure(root, path.substr(0, pos));
    }
    error = kErrorSuccess;
    return std::make_unique<SimKey>(Ensure(root, path), true, denyWrites);
}

long SimRegistry::DeleteKey(platform::RegRoot root, const std::string& path) {
    return keys_.erase(Canonical(root, path)) ? kErrorSuccess : kErrorFileNotFound;
}

bool SimRegistry::KeyExists(platform::RegRoot root, const std::string& path) const {
    return keys_.count(Canonical(root, path)) > 0;
}

void SimRegistry::PutRaw(platform::RegRoot root, const std::string& path, const std::string& name,
                         uint32_t type, std::vector<uint8_t> data) {
    long error = 0;
    bool deny = denyWrites;
    denyWrites = false;
    Create(root, path, error)->Set(name, type, data);
    denyWrites = deny;
}

void SimRegistry::PutString(platform::RegRoot root, const std::string& path,
                            const std::string& name, const std::string& ansi) {
    PutRaw(root, path, name, platform::kRegSz, Sz(ansi));
}

std::vector<uint8_t> SimRegistry::Sz(const std::string& ansi) {
    std::vector<uint8_t> bytes(ansi.begin(), ansi.end());
    bytes.push_back(0);
    return bytes;
}

const SimRegistry::Value* SimRegistry::Get(platform::RegRoot root, const std::string& path,
                                           const std::string& name) const {
    auto it = keys_.find(Canonical(root, path));
    if (it == keys_.end()) return nullptr;
    for (const auto& [n, v] : it->second.values) {
        if (Upper(n) == Upper(name)) return &v;
    }
    return nullptr;
}

}  // namespace tarvelin::sim
