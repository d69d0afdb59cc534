// Without Windows there is no active ANSI code page: the program's own, Windows-1251, serves.
#include "platform/AnsiText.h"

namespace tarvelin {

std::string AnsiToUtf8(std::string_view bytes) {
    return Cp1251ToUtf8(bytes);
}

std::string Utf8ToAnsi(std::string_view text) {
    return Utf8ToCp1251(text);
}

}  // namespace tarvelin
