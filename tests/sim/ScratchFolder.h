#pragma once
// A fresh folder of a test's own. It is made atomically (mkdtemp, or CreateDirectory on a
// name nobody has) so that test processes running side by side never share one; the
// program's own temporary names are tested inside such a folder, never in the shared one.
#include <string>

namespace tarvelin::sim {

// The new folder's path, empty when none could be made.
std::string MakeScratchFolder();

}  // namespace tarvelin::sim
