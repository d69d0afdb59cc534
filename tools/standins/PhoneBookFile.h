#pragma once
// The stand-in dial-up service's phone book on disk, in the system's own rasphone.pbk form:
// one INI section per entry, named after it, with "Encoding=1" (names and texts in UTF-8) and
// one line per property, so that a person can read what the program wrote. Dial parameters
// (user name, domain, callback number and, when stored, the password) are kept in the same
// section: the stand-in has no secret store.
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimRas.h"

namespace tarvelin::standin {

std::string WritePhoneBook(const std::vector<sim::SimRasEntry>& entries);
// Unknown keys and lines that are not "key=value" are skipped; a later section of the same
// name replaces an earlier one, as the system keeps names unique.
std::vector<sim::SimRasEntry> ReadPhoneBook(std::string_view text);

}  // namespace tarvelin::standin
