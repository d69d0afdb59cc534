// Under Windows (Wine): the program carries the container as resource "DB" 101 and every
// entry of it extracts.
#include <gtest/gtest.h>

#include <algorithm>

#include "driverdb/DriverBaseFormat.h"
#include "platform/win32/Win32ResourceSource.h"

namespace tarvelin {
namespace {

// The build passes a host path; Wine shows the host's root as drive Z:.
std::string WindowsPath(std::string path) {
    if (!path.empty() && path.front() == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

TEST(ResourceContainerTest, ProgramResourceHoldsAWholeContainer) {
    auto source = platform::Win32ResourceSource::OpenFile(WindowsPath(TARVELIN_TEST_PROGRAM));
    ASSERT_TRUE(source) << TARVELIN_TEST_PROGRAM;
    std::vector<uint8_t> container;
    ASSERT_TRUE(source->Load("DB", 101, container));
    EXPECT_FALSE(source->Load("DB", 102, container));
    ASSERT_TRUE(source->Load("DB", 101, container));
    DriverBaseHeader header;
    ASSERT_TRUE(ParseDriverBaseHeader(container, header));
    EXPECT_EQ(header.date, kDriverBaseDate);
    EXPECT_GE(header.entryCount, 4);
    for (int32_t n = 1; n <= header.entryCount; ++n) {
        std::vector<uint8_t> data;
        EXPECT_TRUE(ExtractEntry(container, n, data)) << "entry " << n;
    }
}

}  // namespace
}  // namespace tarvelin
