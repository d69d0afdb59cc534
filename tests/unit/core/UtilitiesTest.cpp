#include <gtest/gtest.h>

#include <set>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "core/modAppRoutine.h"
#include "core/modSystemFile.h"
#include "core/modTypes.h"
#include "platform/FileSystem.h"
#include "sim/HostFileSystem.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using platform::kPathSeparator;

class UtilitiesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.platform.files = &files;
        std::string unused;
        root = GetTempFileName(unused);  // a fresh scratch folder for this test
        ASSERT_FALSE(root.empty());
        ASSERT_TRUE(files.CreateFolder(root));
    }
    void TearDown() override { DeleteFolder(root); }
    std::string Path(const std::string& name) const { return root + kPathSeparator + name; }
    void Touch(const std::string& path) { ASSERT_TRUE(files.WriteAll(path, "x")); }

    sim::SimPlatform sim;
    sim::HostFileSystem files;
    std::string root;
};

TEST_F(UtilitiesTest, TextAndByteHelpers) {
    EXPECT_EQ(BytesToString({72, 105, 0, 33}, 0, 0), "Hi");
    EXPECT_EQ(BytesToString({65, 66, 67, 68, 69}, 1, 2), "BCD") << "count + 1 positions";
    EXPECT_EQ(BytesToString({65, 66}, 1, 100), "B") << "never past the end";
    EXPECT_EQ(BytesToString({65}, 5, 1), "");

    std::vector<uint8_t> bytes(6, 0);
    EXPECT_EQ(StringToBytes("abc", bytes, 1, 0), 3);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0, 'a', 'b', 'c', 0, 0}));
    EXPECT_EQ(StringToBytes("xyz", bytes, 0, 2), 2);
    EXPECT_EQ(StringToBytes("0123456789", bytes, 3, 0), 3) << "never past the array's end";
    EXPECT_EQ(StringToBytes("", bytes, 0, 0), 0);

    std::string text = std::string("ab\0cd", 5);
    EXPECT_EQ(TrimNull(text), "ab");
    EXPECT_EQ(text.size(), 5u);
    TrimNull(text, true);
    EXPECT_EQ(text, "ab");

    const uint8_t memory[] = {'o', 'k', 0, 'x'};
    PtrToString(text, memory, sizeof memory);
    EXPECT_EQ(text, "ok");
    uint8_t out[4] = {9, 9, 9, 9};
    StringToPtr(out, "hello", 3);
    EXPECT_EQ(out[2], 'l');
    EXPECT_EQ(out[3], 9);

    EXPECT_EQ(UIntToInt(32767), 32767);
    EXPECT_EQ(UIntToInt(32768), -32768);
    EXPECT_EQ(UIntToInt(65535), -1);
    EXPECT_EQ(ArrayCount(std::vector<int>{1, 2, 3, 4, 5}), 5);
    EXPECT_EQ(ArrayCount(7), 0);
    int32_t n = 41;
    EXPECT_EQ(IncLong(n), 42);
    EXPECT_EQ(MinLong(-1, 1), -1);
    EXPECT_EQ(MaxLong(-1, 1), 1);

    EXPECT_FALSE(IsStringFilled("   "));
    EXPECT_TRUE(IsStringFilled("   ", false));
    EXPECT_EQ(Trim("  a b  "), "a b");
}

TEST_F(UtilitiesTest, NumbersAndCaseInsensitiveText) {
    EXPECT_EQ(ParseNumber(" 0012 "), 12.0);
    EXPECT_EQ(ParseNumber("-1.5e1"), -15.0);
    for (const char* bad : {"", " ", "abc", "12a", "1,5", "--1", ".", "1e", "0x10"}) {
        EXPECT_FALSE(ParseNumber(bad)) << bad;
    }
    EXPECT_EQ(ToLong(2.5), 2);
    EXPECT_EQ(ToLong(3.5), 4);
    EXPECT_FALSE(ToLong(2147483648.0));
    EXPECT_EQ(ToLong(-2147483648.0), INT32_MIN);

    EXPECT_TRUE(EqualsNoCase("Модем Ёлка", "мОДЕМ ёЛКА"));
    EXPECT_TRUE(StartsWithNoCase("C:\\PROGRAM\\x", "c:\\program"));
    EXPECT_TRUE(ContainsNoCase("setup.exe", ".EXE"));
    EXPECT_FALSE(EqualsNoCase("a", "ab"));
}

TEST_F(UtilitiesTest, MessageBoxTitleAndShellRules) {
    AppMsgBox(0, "text", kMbIconInformation, "   ");
    AppMsgBox(0, "text", kMbIconInformation, "Own");
    ASSERT_EQ(sim.messageBox.shown.size(), 2u);
    EXPECT_EQ(sim.messageBox.shown[0].title, "Tarvelin");
    EXPECT_EQ(sim.messageBox.shown[1].title, "Own");

    EXPECT_TRUE(ShellOpen("setup.exe", 1, "/s"));
    EXPECT_EQ(sim.shell.calls.back().show, 0) << "a program with parameters starts hidden";
    EXPECT_TRUE(ShellOpen("SETUP.EXE", 0));
    EXPECT_EQ(sim.shell.calls.back().show, 1) << "no parameters, no folder: a normal window";
    EXPECT_TRUE(ShellOpen("readme.txt", 3, {}, "C:\\"));
    EXPECT_EQ(sim.shell.calls.back().show, 3);

    for (intptr_t answer : {0, 2, 32}) {
        sim.shell.answer = answer;
        EXPECT_FALSE(ShellOpen("http://example.invalid/"));
    }
    sim.shell.answer = 33;
    EXPECT_TRUE(ShellOpen("http://example.invalid/"));
    sim.shell.answer = -1;
    EXPECT_TRUE(ShellOpen("http://example.invalid/"));
}

TEST_F(UtilitiesTest, ErrorTextIsOneLine) {
    sim.systemText.messages[5] = "Отказано в доступе.\r\nСтрока два\r\n";
    uint32_t code = 5;
    std::string text;
    ASSERT_TRUE(GetErrorText(code, text));
    EXPECT_EQ(text, "Отказано в доступе. Строка два ");
    EXPECT_EQ(sim.systemText.lastFlags, 0x1000u | 0x200u | 0xFFu);
    EXPECT_TRUE(sim.systemText.wide) << "the NT family uses the wide call";

    sim.systemText.lastError = 5;
    code = 0;
    ASSERT_TRUE(GetErrorText(code, text));
    EXPECT_EQ(code, 5u) << "code 0 is replaced by the last error";

    code = 123456;
    text = "stale";
    EXPECT_FALSE(GetErrorText(code, text));
    EXPECT_EQ(text, "");
}

TEST_F(UtilitiesTest, TempNamesNeverCollideWithExistingFiles) {
    std::string folder;
    const std::string first = GetTempFileName(folder);
    EXPECT_EQ(folder, AddBackslash(folder));
    EXPECT_EQ(first.rfind(folder, 0), 0u);
    EXPECT_FALSE(FileExists(first));

    // With the names for counters 1 and 2 present, the third candidate is returned.
    std::string name1, name2, name3;
    ASSERT_TRUE(files.TempName(folder, "~tmp", 1, name1));
    ASSERT_TRUE(files.TempName(folder, "~tmp", 2, name2));
    ASSERT_TRUE(files.TempName(folder, "~tmp", 3, name3));
    const bool had1 = files.Attributes(name1).has_value();
    const bool had2 = files.Attributes(name2).has_value();
    if (!had1) Touch(name1);
    if (!had2) Touch(name2);
    const std::string next = GetTempFileName(folder);
    EXPECT_NE(next, name1);
    EXPECT_NE(next, name2);
    EXPECT_FALSE(FileExists(next));
    if (!files.Attributes(name3)) {
        EXPECT_EQ(next, name3);
    }
    if (!had1) DeletePath(name1);
    if (!had2) DeletePath(name2);
}

TEST_F(UtilitiesTest, FilesAreWrittenReadAndReplacedOnlyWhenAsked) {
    const std::string path = Path("a.bin");
    EXPECT_TRUE(WriteBinaryFile(path, {1, 0, 2}, false));
    EXPECT_FALSE(WriteBinaryFile(path, {9}, false)) << "no overwrite: left alone";
    std::string text;
    ASSERT_TRUE(ReadTextFile(path, text));
    EXPECT_EQ(text, std::string("\x01\x00\x02", 3));
    EXPECT_TRUE(WriteTextFile(path, "new", true));
    ASSERT_TRUE(ReadTextFile(path, text));
    EXPECT_EQ(text, "new");
    EXPECT_FALSE(ReadTextFile(Path("missing"), text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(FileExists(root)) << "folders are not files";
}

TEST_F(UtilitiesTest, DeleteFolderRemovesEverythingBelowButNeverARoot) {
    ASSERT_TRUE(files.CreateFolder(Path("sub")));
    ASSERT_TRUE(files.CreateFolder(Path("sub") + kPathSeparator + "deeper"));
    Touch(Path("plain.txt"));
    Touch(Path("sub") + kPathSeparator + "ro.txt");
    files.SetAttributes(Path("sub") + kPathSeparator + "ro.txt", platform::kAttrReadOnly);
    Touch(Path("sub") + kPathSeparator + "deeper" + kPathSeparator + "f");

    EXPECT_FALSE(DeleteFolder(""));
    EXPECT_FALSE(DeleteFolder(std::string(1, kPathSeparator)));
    EXPECT_FALSE(DeleteFolder("C:\\"));
    EXPECT_FALSE(DeleteFolder(Path("plain.txt"))) << "a file is not a folder";
    EXPECT_TRUE(DeleteFolder(root + kPathSeparator));
    EXPECT_FALSE(files.Attributes(root).has_value());
    ASSERT_TRUE(files.CreateFolder(root));  // for TearDown
}

#ifndef _WIN32
TEST_F(UtilitiesTest, DeleteFolderRemovesLinksWithoutFollowingThem) {
    std::string outsideFolder;
    const std::string outside = GetTempFileName(outsideFolder);
    ASSERT_TRUE(files.CreateFolder(outside));
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
