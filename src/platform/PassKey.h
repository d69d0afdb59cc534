#pragma once

namespace tarvelin {

// A constructor argument only T itself can make: the constructor stays public, so
// std::make_shared / make_unique can call it, yet only T's own factory can supply the key.
// Objects that raise events are made this way, so that every one is owned by a shared_ptr.
template <typename T>
class PassKey {
    friend T;
    PassKey() = default;
};

}  // namespace tarvelin
