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

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

template <class Values>  // SimRegistry::Values, const or not
auto Position(Values& values, const std::string& name) {
    return std::find_if(values.begin(), values.end(),
                        [&](const auto& p) { return Upper(p.first) == Upper(name); });
}

class SimKey : public platform::IRegKey {
  public:
    SimKey(SimRegistry::Values& values, bool write, const bool& deny)
        : values_(values), write_(write), deny_(deny) {}

    long QueryInfo(const std::string& name, uint32_t& type, uint32_t& size) override {
        auto it = Position(values_, name);
        if (it == values_.end()) return kErrorFileNotFound;
        type = it->second.type;
        size = static_cast<uint32_t>(it->second.data.size());
        return kErrorSuccess;
    }

    long Query(const std::string& name, uint32_t& type, std::vector<uint8_t>& data,
               uint32_t& size) override {
        if (const long error = QueryInfo(name, type, size)) return error;
        if (data.size() < size) return kErrorMoreData;
        const auto& bytes = Position(values_, name)->second.data;
        std::copy(bytes.begin(), bytes.end(), data.begin());
        return kErrorSuccess;
    }

    long Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        if (!write_ || deny_) return kAccessDenied;
        auto it = Position(values_, name);
        if (it == values_.end()) it = values_.insert(it, {name, {}});
        it->second = {type, data};
        return kErrorSuccess;
    }

    long Delete(const std::string& name) override {
        if (!write_ || deny_) return kAccessDenied;
        auto it = Position(values_, name);
        if (it == values_.end()) return kErrorFileNotFound;
        values_.erase(it);
        return kErrorSuccess;
    }

    long Enum(uint32_t index, std::vector<char>& name, uint32_t& nameLen,
              std::vector<uint8_t>& data, uint32_t& dataLen) override {
        if (index >= values_.size()) return platform::kErrorNoMoreItems;
        const auto& [valueName, value] = values_[index];
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
    SimRegistry::Values& values_;
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
    auto it = keys_.find(Canonical(root, path));
    error = it == keys_.end() ? kErrorFileNotFound : kErrorSuccess;
    return error ? nullptr : std::make_unique<SimKey>(it->second, write, denyWrites);
}

std::unique_ptr<platform::IRegKey> SimRegistry::Create(platform::RegRoot root,
                                                       const std::string& path, long& error) {
    error = denyWrites && !keys_.count(Canonical(root, path)) ? kAccessDenied : kErrorSuccess;
    if (error) return nullptr;
    // Parents come into being with the key, as they do in the system registry.
    for (size_t pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1)) {
        keys_[Canonical(root, path.substr(0, pos))];
    }
    return std::make_unique<SimKey>(keys_[Canonical(root, path)], true, denyWrites);
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
