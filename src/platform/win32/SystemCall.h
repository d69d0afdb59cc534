#pragma once
// Helpers of the adapters that pass system calls through: the platform's Guid as the
// system's GUID and back, and the thread's last error taken right after a call.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/Guid.h"

namespace tarvelin::platform {

inline GUID ToSystemGuid(const Guid& id) {
    GUID out{id.data1, id.data2, id.data3, {}};
    std::copy(id.data4.begin(), id.data4.end(), out.Data4);
    return out;
}

inline Guid FromSystemGuid(const GUID& id) {
    Guid out{id.Data1, id.Data2, id.Data3, {}};
    std::copy(std::begin(id.Data4), std::end(id.Data4), out.data4.begin());
    return out;
}

// Passes a call's result on and stores the error code that call left, before a destructor
// or a later call can change it: Noted(error, SomeCall(...)).
template <class Result>
Result Noted(uint32_t& error, Result result) {
    error = GetLastError();
    return result;
}

}  // namespace tarvelin::platform
