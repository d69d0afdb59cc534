// The container the build made from resources/driverdb: every entry comes back exactly as
// the manifest's source prepared it.
#include <gtest/gtest.h>

#include "DbToolCommands.h"
#include "Manifest.h"
#include "RegularFile.h"
#include "driverdb/DriverBaseFormat.h"

namespace tarvelin {
namespace {

std::vector<uint8_t> ReadOrFail(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(tools::ReadWholeFile(path, bytes, error)) << path << ": " << error;
    return bytes;
}

TEST(RealContainerTest, EveryEntryRoundTrips) {
    const std::vector<uint8_t> container = ReadOrFail(TARVELIN_TEST_CONTAINER);
    const std::vector<uint8_t> manifestBytes = ReadOrFail(TARVELIN_TEST_MANIFEST);
    std::vector<dbtool::ManifestEntry> entries;
    std::string error;
    ASSERT_TRUE(dbtool::ParseManifest(
        std::string_view(reinterpret_cast<const char*>(manifestBytes.data()), manifestBytes.size()),
        entries, error))
        << error;
    DriverBaseHeader header;
    ASSERT_TRUE(ParseDriverBaseHeader(container, header));
    ASSERT_EQ(static_cast<size_t>(header.entryCount), entries.size());
    const std::string folder = TARVELIN_TEST_MANIFEST_DIR;
    for (size_t i = 0; i < entries.size(); ++i) {
        std::vector<uint8_t> expect, data;
        ASSERT_TRUE(dbtool::LoadManifestEntry(folder, entries[i], expect, error)) << error;
        ASSERT_TRUE(ExtractEntry(container, static_cast<int32_t>(i + 1), data)) << entries[i].path;
        EXPECT_EQ(data, expect) << entries[i].path;
    }
    EXPECT_TRUE(dbtool::VerifyContainer(container).empty());
}

}  // namespace
}  // namespace tarvelin
