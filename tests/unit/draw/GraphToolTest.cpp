// tarvelin-graph's arguments, profiles and picture.
#include <gtest/gtest.h>

#include "GraphSession.h"
#include "platform/posix/PosixFileSystem.h"
#include "sim/ScratchFolder.h"

namespace tarvelin::graph {
namespace {

TEST(GraphToolTest, ArgumentsAndProfiles) {
    for (const std::vector<std::string>& bad : {std::vector<std::string>{},
                                                {"--size", "10x10", "a.png"},
                                                {"--size", "640", "a.png"},
                                                {"a.png", "b.png"},
                                                {"--profile"},
                                                {"--verbose", "a.png"}})
        EXPECT_FALSE(ParseArgs(bad)) << bad.size();
    const auto args = ParseArgs({"--bytes", "--size", "400x90", "out.png"});
    ASSERT_TRUE(args);
    EXPECT_TRUE(args->inBytes);
    EXPECT_EQ(args->width * 1000 + args->height, 400090);

    std::string error;
    const auto session = ParseProfile("# rx tx\n0 0\n\n1000 200\n", error);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->back().received, 1000u);
    EXPECT_FALSE(ParseProfile("0 0\n12 x\n", error));
    EXPECT_EQ(error, "line 2: expected two byte counters");
    EXPECT_FALSE(ParseProfile("# nothing\n", error));
}

TEST(GraphToolTest, DemoSessionIsWrittenAsAPng) {
    const std::string path = sim::MakeScratchFolder() + "/graph.png";
    GraphArgs args;
    args.output = path;
    std::string error;
    ASSERT_TRUE(RenderSession(DemoSession(), args, error)) << error;
    std::string png;
    ASSERT_TRUE(platform::PosixFileSystem().ReadAll(path, png));
    EXPECT_EQ(png.substr(1, 3), "PNG");
    args.output = "/nonexistent-folder/graph.png";
    EXPECT_FALSE(RenderSession(DemoSession(), args, error));
}

}  // namespace
}  // namespace tarvelin::graph
