#pragma once
// The modems installed on this system, as the program's hardware layer finds them.
#include <string>
#include <vector>

namespace tarvelin::standin {

// Friendly names of the Modem-class devices, in the system's order.
std::vector<std::string> InstalledModemNames();

}  // namespace tarvelin::standin
