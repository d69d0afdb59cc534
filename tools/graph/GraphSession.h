#pragma once
// A dial-up session for tarvelin-graph: the connection's received and transmitted byte
// counters at each second, replayed through the statistics sampler as the system would
// report them, and the options of the picture.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvelin::graph {

struct Counters {
    uint32_t received = 0;
    uint32_t transmitted = 0;
};

struct GraphArgs {
    std::string output;
    std::string profile;  // --profile FILE; empty for the built-in session
    bool inBytes = false;
    int32_t width = 640;
    int32_t height = 200;
};

inline constexpr char kUsage[] =
    "usage: tarvelin-graph [--profile FILE] [--bits|--bytes] [--size WxH] OUT.png";

// Null when the arguments are not usable.
std::optional<GraphArgs> ParseArgs(const std::vector<std::string>& args);
// Five minutes of a session: receiving with a burst, sending less, a pause in between.
std::vector<Counters> DemoSession();
// One line per second, "received transmitted" (the counters, not the rates); blank lines
// and lines starting with '#' are skipped. Null with a message naming the line otherwise.
std::optional<std::vector<Counters>> ParseProfile(const std::string& text, std::string& error);
// The graph and figures panel of the session after its last second, as a PNG file.
bool RenderSession(const std::vector<Counters>& session, const GraphArgs& args, std::string& error);

}  // namespace tarvelin::graph
