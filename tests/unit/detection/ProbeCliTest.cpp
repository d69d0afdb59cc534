#include "ProbeCli.h"

#include <gtest/gtest.h>

namespace tarvelin::probe {
namespace {

// The line layout itself is checked end to end by probe_wine.sh and probe_identify.sh.
TEST(ProbeCliTest, ReportLinesEscapeEverythingThatCouldBreakALine) {
    EXPECT_EQ(Escape("AT+CGSN\r1\n2\t3\\4"), "AT+CGSN\\r1\\n2\\t3\\\\4");
    EXPECT_EQ(Escape(std::string("\0\x1f\x7f\x80\xff ~", 7)), "\\x00\\x1f\\x7f\\x80\\xff ~");
    EXPECT_EQ(FormatReportLine(4, "\\\\.\\COM5", ""), "4\t\\\\\\\\.\\\\COM5\t");
    EXPECT_EQ(FormatPortLine("COM5", 4, "BTHENUM\\X", "Port\t\xd0\x9f"),
              "PORT\tCOM5\t4\tBTHENUM\\\\X\tPort\\t\\xd0\\x9f");
}

TEST(ProbeCliTest, ArgumentsNeedAtLeastOnePortAndKnownOptions) {
    // --db only goes with --identify, and needs its file.
    const std::vector<std::vector<std::string>> refused = {{},
                                                           {"--stop-after-first"},
                                                           {"--verbose", "COM1"},
                                                           {"COM1", ""},
                                                           {"--db", "/tmp/x.bin", "COM5"},
                                                           {"--identify", "--db"},
                                                           {"--ports", "COM1"}};
    for (const auto& args : refused) EXPECT_FALSE(ParseArgs(args)) << args.size();
    auto args = ParseArgs({"COM1", "--stop-after-first", "/dev/pts/3"});
    ASSERT_TRUE(args);
    EXPECT_TRUE(args->stopAfterFirst);
    EXPECT_EQ(args->ports, (std::vector<std::string>{"COM1", "/dev/pts/3"}));
    args = ParseArgs({"--", "--odd-name"});
    ASSERT_TRUE(args);
    EXPECT_EQ(args->ports, (std::vector<std::string>{"--odd-name"}));
    args = ParseArgs({"--ports", "--stop-after-first"});
    ASSERT_TRUE(args);
    EXPECT_TRUE(args->machinePorts && args->ports.empty());
}

TEST(ProbeCliTest, StopAfterFirstCancelsAtTheFirstPortEndAfterASerialNumber) {
    StopAfterFirst stop;
    std::vector<bool> cancels;
    for (int32_t code : {1, 4, 5, 4, 7, 5}) cancels.push_back(stop.Cancel(code));
    EXPECT_EQ(cancels, (std::vector<bool>{false, false, false, false, false, true}));
}

}  // namespace
}  // namespace tarvelin::probe
