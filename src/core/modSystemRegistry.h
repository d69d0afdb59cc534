#pragma once
// The registry layer: every operation opens what it needs and closes it before returning,
// and reports failure as false. Strings are UTF-8 here and ANSI in the registry.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/Registry.h"

namespace tarvelin {

using platform::RegRoot;
// A value read from or written to the registry: a 32-bit number or a text.
using RegData = std::variant<int32_t, std::string>;

bool RegKeyExists(RegRoot root, const std::string& path);
bool RegKeyCreate(RegRoot root, const std::string& path);
// True when the value exists and is a string (cut at its first NUL) or a DWORD.
bool RegValueQuery(RegRoot root, const std::string& path, const std::string& name, RegData& value);
// A number, or a text that reads as one, is written as a DWORD; any other text as a string
// without its leading and trailing blanks. Creates the key when needed.
bool RegValueSet(RegRoot root, const std::string& path, const std::string& name,
                 const RegData& value);
bool RegValueDelete(RegRoot root, const std::string& path, const std::string& name);
// Names and data of every value of the key, in the registry's order. True when any was listed.
bool RegValuesEnum(RegRoot root, const std::string& path, std::vector<std::string>& names,
                   std::vector<std::string>& data);

}  // namespace tarvelin
