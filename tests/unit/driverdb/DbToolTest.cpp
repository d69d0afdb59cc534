// The dbtool: its manifest reader, its file access on hostile paths, its options and the
// verifier.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "ContainerBuilder.h"
#include "DbToolCommands.h"
#include "FileAccess.h"
#include "Manifest.h"
#include "RegularFile.h"
#include "platform/AnsiText.h"
#include "platform/LittleEndian.h"
#include "sim/ScratchFolder.h"

namespace tarvelin::dbtool {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A fresh folder of the test's own, removed afterwards.
class DbToolFiles : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(dir_.empty()); }
    ~DbToolFiles() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Write(const std::string& name, const std::string& text) const {
        std::ofstream(dir_ / name) << text;
    }

    fs::path dir_ = sim::MakeScratchFolder();
};

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

TEST_F(DbToolFiles, MissingFileAndUnstorableTextNameTheLine) {
    const std::string folder = dir_.string();
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_FALSE(LoadManifestEntry(folder, {true, "no/such.inf", 7}, bytes, error));
    EXPECT_EQ(error, "manifest line 7: no/such.inf: no such file");
    Write("cjk.txt", "a\xE4\xB8\xAD\n");
    EXPECT_FALSE(LoadManifestEntry(folder, {true, "cjk.txt", 3}, bytes, error));
    EXPECT_NE(error.find("manifest line 3:"), std::string::npos);
    Write("ru.txt", "Модем ?\nline\r\nend");
    ASSERT_TRUE(LoadManifestEntry(folder, {true, "ru.txt", 3}, bytes, error)) << error;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), Utf8ToCp1251("Модем ?\r\nline\r\nend"));
}

// Only regular files of bounded size are read; devices, FIFOs and folders are refused at
// once rather than read forever, blocked on or thrown at.
TEST_F(DbToolFiles, InputsAreBoundedRegularFiles) {
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    std::ofstream(Path("huge")).close();
    fs::resize_file(Path("huge"), tools::kMaxInputBytes + 1);  // sparse: costs no disk
    const struct {
        std::string path;
        std::string error;
    } cases[] = {
        {dir_.string(), "not a regular file"}, {"/dev/zero", "not a regular file"},
        {Path("fifo"), "not a regular file"},  {Path("huge"), "larger than 67108864 bytes"},
        {Path("missing"), "no such file"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_FALSE(tools::ReadWholeFile(c.path, bytes, error)) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
    }
    std::ostringstream out, err;
    EXPECT_EQ(VerifyCommand(dir_.string(), out, err), kExitInput);
    EXPECT_EQ(ListCommand("/dev/zero", out, err), kExitInput);
    EXPECT_EQ(BuildCommand(dir_.string(), Path("out"), {}, err), kExitInput);
}

// The output goes through a unique temporary file: nothing of the same name is touched, a
// link is never followed, an output that is not a regular file is refused and a failure
// leaves nothing behind.
TEST_F(DbToolFiles, OutputNeverClobbersOrFollowsAndLeavesNothingOnFailure) {
    Write("victim", "secret");
    const std::vector<uint8_t> bytes = Bytes("container");
    const struct {
        const char* name;
        std::function<void()> setup;
        bool written;
    } cases[] = {
        {"tmp file of the old fixed name", [&] { Write("out.tmp", "keep"); }, true},
        {"link at the old temporary name",
         [&] { fs::create_symlink(Path("victim"), Path("out.tmp")); }, true},
        {"existing output", [&] { Write("out", "old"); }, true},
        {"FIFO", [&] { ::mkfifo(Path("out").c_str(), 0600); }, false},
        {"folder", [&] { fs::create_directory(Path("out")); }, false},
        {"link as output", [&] { fs::create_symlink(Path("victim"), Path("out")); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.setup();
        std::set<std::string> expected = Names(dir_);
        if (c.written) expected.insert("out");
        std::string error;
        EXPECT_EQ(WriteWholeFile(Path("out"), bytes, error), c.written) << error;
        EXPECT_EQ(Names(dir_), expected);
        EXPECT_EQ(ReadText(dir_ / "victim"), "secret");
        const bool regular = fs::is_regular_file(fs::symlink_status(dir_ / "out"));
        EXPECT_EQ(regular && ReadText(dir_ / "out") == "container", c.written);
        for (const auto& name : expected) {
            if (name != "victim") fs::remove_all(dir_ / name);
        }
    }
    std::string error;
    EXPECT_FALSE(WriteWholeFile(Path("no/such/folder/out"), bytes, error));
    EXPECT_EQ(Names(dir_), std::set<std::string>{"victim"});
}

TEST_F(DbToolFiles, FailedWriteLeavesNeitherTemporaryNorOutput) {
    // A file size limit makes write() fail part way (EFBIG instead of a signal).
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = WriteWholeFile(Path("out"), std::vector<uint8_t>(64 * 1024), error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(written);
    EXPECT_TRUE(Names(dir_).empty());
}

TEST(DbToolTest, BuildDatesTheReaderRefusesAreUsageErrors) {
    const struct {
        std::vector<std::string> args;
        bool accepted;
    } cases[] = {
        {{"--date", "2147483647", "--seed", "7"}, true},
        {{"--date", "2147483648"}, false},
        {{"--date", "4294967295"}, false},
        {{"--date", "0"}, false},
        {{"--date", "-1"}, false},
        {{"--date"}, false},
        {{"--seed", "x"}, false},
    };
    for (const auto& c : cases) {
        BuildOptions options;
        EXPECT_EQ(ParseBuildOptions(c.args, options), c.accepted) << c.args[0] << c.args.back();
    }
}

std::vector<uint8_t> CatalogueContainer(const std::string& models) {
    return test::ContainerOfPlain(
        {Bytes(models), Bytes("A\tB\t*99#\t35000000\r\n"), Bytes("sys"), Bytes("inf")});
}

// Model rows naming entries outside the container, with their controls escaped, and every
// index field checked; a container too short to parse is faulty, not an input error.
TEST_F(DbToolFiles, VerifyNamesEachProblemAndCallsAMalformedContainerFaulty) {
    const std::string row = "4\tA\tB\t$CHICAGO$\tCAB\tHW\r\n";
    std::vector<uint8_t> container = CatalogueContainer(row);
    EXPECT_TRUE(VerifyContainer(container).empty());
    uint8_t* packedLength = container.data() + kDriverBaseHeaderSize + 20 * 2 + 4;  // entry 3
    StoreLe32(packedLength, LoadLe32(packedLength) + 1);
    std::vector<std::string> problems = VerifyContainer(container);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("entry 3: payload of"), std::string::npos) << problems[0];
    problems = VerifyContainer(CatalogueContainer(
        row + "3\tA\tC\t$CHICAGO$\tCAB\tHW\r\n9\t\x1b]0;x\x07\tD\x7f\t$CHICAGO$\tCAB\tHW\r\n"));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("row 2"), std::string::npos) << problems[0];
    EXPECT_NE(problems[1].find("row 3 (\\x1b]0;x\\x07 D\\x7f)"), std::string::npos) << problems[1];
    Write("short", std::string(kDriverBaseMagic) + "\x01");
    std::ostringstream out, err;
    EXPECT_EQ(VerifyCommand(Path("short"), out, err), kExitProblems);
}

// An entry claiming an unpacked size near 2^31 costs memory in proportion to what it really
// inflates to, not to the claim.
TEST_F(DbToolFiles, ExtractMemoryFollowsTheOutputNotTheClaim) {
    std::vector<uint8_t> plain(60000);  // one stored block
    std::mt19937_64 random(3);
    for (uint8_t& b : plain) b = static_cast<uint8_t>(random());
    std::vector<StoredEntry> entries = {test::StoredEntryOf(plain, random)};
    entries[0].unpackedSize = 0x7FFFFFF0;
    const std::vector<uint8_t> container = test::ContainerOf(entries);
    std::string error;
    ASSERT_TRUE(WriteWholeFile(Path("c"), container, error)) << error;
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    std::ostringstream err;
    ASSERT_EQ(ExtractCommand(Path("c"), "1", Path("out"), err), kExitOk) << err.str();
    ::getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 32 * 1024);  // KiB; the claim would take 60 MiB
    EXPECT_EQ(fs::file_size(Path("out")), plain.size());
}

}  // namespace
}  // namespace tarvelin::dbtool
