#pragma once
// Text to and from the wide (UTF-16) strings of the Windows API: UTF-8 by default, or the
// single-byte text of another code page (CP_ACP for the ANSI boundary).
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelin::platform {

inline constexpr uint32_t kCodePageUtf8 = 65001;  // CP_UTF8

std::wstring Widen(std::string_view text, uint32_t codePage = kCodePageUtf8);
// A character the code page lacks becomes '?', never a best-fit look-alike.
std::string Narrow(std::wstring_view wide, uint32_t codePage = kCodePageUtf8);

}  // namespace tarvelin::platform
