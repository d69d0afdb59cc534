// The dbtool's manifest reader, its errors and the verifier.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "ContainerBuilder.h"
#include "DbToolCommands.h"
#include "Manifest.h"
#include "platform/AnsiText.h"

namespace tarvelin::dbtool {
namespace {

TEST(DbToolTest, ManifestEntriesCommentsAndBlankLines) {
    std::vector<ManifestEntry> entries;
    std::string error;
    ASSERT_TRUE(ParseManifest("# head\n\ntext a.tsv\r\n  binary  port/x y.sys \n", entries, error));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].text);
    EXPECT_EQ(entries[0].path, "a.tsv");
    EXPECT_FALSE(entries[1].text);
    EXPECT_EQ(entries[1].path, "port/x y.sys");
    EXPECT_EQ(entries[1].line, 4);
    EXPECT_FALSE(ParseManifest("text a\nbinray b\n", entries, error));
    EXPECT_NE(error.find("manifest line 2:"), std::string::npos) << error;
    EXPECT_FALSE(ParseManifest("text\n", entries, error));
    EXPECT_FALSE(ParseManifest("# nothing\n", entries, error));
}

TEST(DbToolTest, MissingFileAndUnstorableTextNameTheLine) {
    const std::string folder = ::testing::TempDir();
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(LoadManifestEntry(folder, {true, "no/such.inf", 7}, bytes, error));
    EXPECT_EQ(error, "manifest line 7: no/such.inf: no such file");
    const std::string name = "dbtool_test_cjk.txt";
    std::ofstream(folder + "/" + name) << "a\xE4\xB8\xAD\n";
    EXPECT_FALSE(LoadManifestEntry(folder, {true, name, 3}, bytes, error));
    EXPECT_NE(error.find("manifest line 3:"), std::string::npos);
    std::ofstream(folder + "/" + name) << "Модем ?\nline\r\nend";
    ASSERT_TRUE(LoadManifestEntry(folder, {true, name, 3}, bytes, error)) << error;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Utf8ToCp1251("Модем ?\r\nline\r\nend"));
    std::remove((folder + "/" + name).c_str());
}

TEST(DbToolTest, VerifyNamesModelRowsOutsideTheContainer) {
    using test::Bytes;
    const std::vector<uint8_t> good =
        test::ContainerOfPlain({Bytes("4\tA\tB\t$CHICAGO$\tCAB\tHW\r\n"),
                                Bytes("A\tB\t*99#\t35000000\r\n"), Bytes("sys"), Bytes("inf")});
    EXPECT_TRUE(VerifyContainer(good).empty());
    const std::vector<uint8_t> bad =
        test::ContainerOfPlain({Bytes("4\tA\tB\t$CHICAGO$\tCAB\tHW\r\n3\tA\tC\t$CHICAGO$"
                                      "\tCAB\tHW\r\n9\tA\tD\t$CHICAGO$\tCAB\tHW\r\n"),
                                Bytes("A\tB\t*99#\t35000000\r\n"), Bytes("sys"), Bytes("inf")});
    const std::vector<std::string> problems = VerifyContainer(bad);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("row 2"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("row 3"), std::string::npos) << problems[1];
}

}  // namespace
}  // namespace tarvelin::dbtool
