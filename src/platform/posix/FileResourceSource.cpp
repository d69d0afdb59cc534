#include "platform/posix/FileResourceSource.h"

#include <fstream>
#include <iterator>

namespace tarvelin::platform {

bool FileResourceSource::Load(const std::string& type, uint16_t id, std::vector<uint8_t>& bytes) {
    if (type != type_ || id != id_) return false;
    std::ifstream file(path_, std::ios::binary);
    if (!file) return false;
    std::vector<uint8_t> content((std::istreambuf_iterator<char>(file)),
                                 std::istreambuf_iterator<char>());
    if (file.bad()) return false;
    bytes = std::move(content);
    return true;
}

}  // namespace tarvelin::platform
