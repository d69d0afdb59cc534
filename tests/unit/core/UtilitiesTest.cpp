#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "core/modAppRoutine.h"
#include "core/modSystemFile.h"
#include "core/modTypes.h"
#include "platform/FileSystem.h"
#include "sim/HostFileSystem.h"
#include "sim/ScratchFolder.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using platform::kPathSeparator;

// The machine's files, with the scratch folder as the system's temporary folder.
class ScratchFiles : public sim::HostFileSystem {
  public:
    bool TempFolder(std::string& folder) override {
        folder = root;
        return true;
    }
    std::string root;
};

class UtilitiesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.platform.files = &files;
        root = files.root = sim::MakeScratchFolder();
        ASSERT_FALSE(root.empty());
    }
    void TearDown() override {
        if (!root.empty()) DeleteFolder(root);
    }
    std::string Path(const std::string& name) const { return root + kPathSeparator + name; }
    void Touch(const std::string& path) { ASSERT_TRUE(files.WriteAll(path, "x")); }

    sim::SimPlatform sim;
    ScratchFiles files;
    std::string root;
};

TEST_F(UtilitiesTest, TextAndByteHelpers) {
    EXPECT_EQ(BytesToString({72, 105, 0, 33}, 0, 0), "Hi");
    EXPECT_EQ(BytesToString({65, 66, 67, 68, 69}, 1, 2), "BCD") << "count + 1 positions";
    EXPECT_EQ(BytesToString({65, 66}, 1, 100), "B") << "never past the end";

    std::vector<uint8_t> bytes(6, 0);
    EXPECT_EQ(StringToBytes("0123456789", bytes, 3, 0), 3) << "never past the array's end";
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 0, 0, '0', '1', '2'}));

    // A Cyrillic entry name reaches a system record as one ANSI byte a letter, and comes
    // back as the same UTF-8 text; a field's limit counts those bytes, never cutting a letter.
    const std::string name = "Билайн GPRS";
    const std::vector<uint8_t> ansi = {0xC1, 0xE8, 0xEB, 0xE0, 0xE9, 0xED, ' ', 'G', 'P', 'R', 'S'};
    bytes.assign(12, 0);
    EXPECT_EQ(StringToBytes(name, bytes, 0, 0), 11);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 11), ansi);
    EXPECT_EQ(BytesToString(bytes, 0, 0), name);

    uint8_t record[8] = {};
    StringToPtr(record, name, sizeof record - 1);
    std::string back;
    PtrToString(back, record, sizeof record);
    EXPECT_EQ(back, "Билайн ");
    EXPECT_EQ(StringToBytes(name, bytes, 0, 3), 3);
    EXPECT_EQ(BytesToString(bytes, 0, 2), "Бил");
}

TEST_F(UtilitiesTest, AddBackslashLooksAtTheTrimmedPath) {
    const std::string sep(1, kPathSeparator);
    const std::pair<std::string, std::string> cases[] = {
        {"x", "x" + sep},
        {"x" + sep, "x" + sep},
        {"x" + sep + "  ", "x" + sep + "  "},
        {"   ", "   "},
        {"", ""},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(AddBackslash(path), expected) << path;
}

TEST_F(UtilitiesTest, NumbersAndCaseInsensitiveText) {
    EXPECT_EQ(ParseNumber(" 0012 "), 12.0);
    EXPECT_EQ(ParseNumber("-1.5e1"), -15.0);
    for (const char* bad : {"", " ", "abc", "12a", "1,5", "--1", ".", "1e", "0x10"}) {
        EXPECT_FALSE(ParseNumber(bad)) << bad;
    }
    EXPECT_EQ(ToLong(2.5), 2);  // halves go to the even neighbour
    EXPECT_FALSE(ToLong(2147483648.0));
    EXPECT_TRUE(EqualsNoCase("Модем Ёлка", "мОДЕМ ёЛКА"));
}

// A program with parameters starts hidden; the shell's answer decides success.
TEST_F(UtilitiesTest, ShellRules) {
    ShellOpen("setup.exe", 1, "/s");
    ShellOpen("readme.txt", 3, {}, "C:\\");
    EXPECT_EQ(sim.shell.shows, (std::vector<int>{0, 3}));
    for (intptr_t answer : {0, 2, 32, 33, -1}) {
        sim.shell.answer = answer;
        EXPECT_EQ(ShellOpen("http://example.invalid/"), answer > 32 || answer < 0) << answer;
    }
}

TEST_F(UtilitiesTest, ErrorTextIsOneLine) {
    sim.systemText.messages[5] = "Отказано в доступе.\r\nСтрока два\r\n";
    uint32_t code = 5;
    std::string text;
    ASSERT_TRUE(GetErrorText(code, text));
    EXPECT_EQ(text, "Отказано в доступе. Строка два ");
    sim.systemText.lastError = 5;
    code = 0;
    ASSERT_TRUE(GetErrorText(code, text));
    EXPECT_EQ(code, 5u) << "code 0 is replaced by the last error";
}

TEST_F(UtilitiesTest, TempNamesNeverCollideWithExistingFiles) {
    std::string folder;
    GetTempFileName(folder);
    EXPECT_EQ(folder, AddBackslash(root));
    // With a file for counter 1 and a folder for counter 2, the third name is returned.
    std::string names[4];
    for (uint32_t i = 1; i <= 3; ++i) ASSERT_TRUE(files.TempName(folder, "~tmp", i, names[i]));
    Touch(names[1]);
    ASSERT_TRUE(files.CreateFolder(names[2]));
    EXPECT_EQ(GetTempFileName(folder), names[3]);
}

TEST_F(UtilitiesTest, FilesAreReplacedOnlyWhenAsked) {
    const std::string path = Path("a.bin");
    EXPECT_TRUE(WriteBinaryFile(path, {1, 0, 2}, false));
    EXPECT_FALSE(WriteTextFile(path, "new", false)) << "no overwrite: left alone";
    std::string text;
    ASSERT_TRUE(ReadTextFile(path, text));
    EXPECT_EQ(text, std::string("\x01\x00\x02", 3));
    EXPECT_FALSE(FileExists(root)) << "folders are not files";
}

TEST_F(UtilitiesTest, DeleteFolderRemovesEverythingBelowButNeverARoot) {
    const std::string sub = Path("sub") + kPathSeparator;
    ASSERT_TRUE(files.CreateFolder(sub) && files.CreateFolder(sub + "deeper"));
    Touch(Path("plain.txt"));
    Touch(sub + "ro.txt");
    files.SetAttributes(sub + "ro.txt", platform::kAttrReadOnly);
    Touch(sub + "deeper" + kPathSeparator + "f");
    // Never a root, and a file is not a folder.
    for (const std::string& bad :
         {std::string(), sub.substr(sub.size() - 1), std::string("C:\\"), Path("plain.txt")}) {
        EXPECT_FALSE(DeleteFolder(bad)) << bad;
    }
    EXPECT_TRUE(DeleteFolder(root + kPathSeparator));
    EXPECT_FALSE(files.Attributes(root).has_value());
    ASSERT_TRUE(files.CreateFolder(root));  // for TearDown
}

#ifndef _WIN32
TEST_F(UtilitiesTest, DeleteFolderRemovesLinksWithoutFollowingThem) {
    const std::string outside = sim::MakeScratchFolder();
    ASSERT_FALSE(outside.empty());
    Touch(outside + "/keep");
    ASSERT_EQ(::symlink(outside.c_str(), Path("link").c_str()), 0);
    EXPECT_TRUE(DeleteFolder(root));
    EXPECT_TRUE(FileExists(outside + "/keep"));
    DeleteFolder(outside);
    ASSERT_TRUE(files.CreateFolder(root));
}
#endif

}  // namespace
}  // namespace tarvelin
