#pragma once
// The dial number that suits a phone's maker.
#include <string>

namespace tarvelin {

// The number of the first maker of the operator's table named anywhere in text (any case);
// "*99#" when none is.
std::string GetDefaultPhoneNumber(const std::string& text);

}  // namespace tarvelin
