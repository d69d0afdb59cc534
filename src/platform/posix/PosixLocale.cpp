#include "platform/posix/PosixLocale.h"

#include <clocale>

namespace tarvelin::platform {

std::string PosixLocale::DecimalSeparator() {
    const std::lconv* conv = std::localeconv();
    return conv && conv->decimal_point && *conv->decimal_point ? conv->decimal_point : ".";
}

}  // namespace tarvelin::platform
