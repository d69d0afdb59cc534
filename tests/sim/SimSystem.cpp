#include "sim/SimSystem.h"

namespace tarvelin::sim {
namespace {

class SimLock : public platform::INamedLock {
  public:
    SimLock(std::set<std::string>& machine, std::string name, bool owner)
        : machine_(machine), name_(std::move(name)), owner_(owner) {}
    ~SimLock() override { Release(); }
    bool Release() override {
        if (!owner_) return false;
        owner_ = false;
        machine_.erase(name_);
        return true;
    }

  private:
    std::set<std::string>& machine_;
    std::string name_;
    bool owner_;
};

}  // namespace

platform::NamedLockResult SimNamedLocks::CreateOwned(const std::string& name) {
    if (failCreate) return {nullptr, 5};
    const bool existed = !machine_.insert(name).second;
    return {std::make_unique<SimLock>(machine_, name, !existed), existed ? 183u : 0u};
}

}  // namespace tarvelin::sim
