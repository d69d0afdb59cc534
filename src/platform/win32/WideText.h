#pragma once
// UTF-8 text to and from the wide (UTF-16) and ANSI strings of the Windows API.
#include <string>
#include <string_view>

namespace tarvelin::platform {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace tarvelin::platform
