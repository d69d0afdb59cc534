// tarvelin-graph OUT.png: the traffic graph and figures panel of a dial-up session, drawn
// the way the main page draws them, as a PNG picture. Without --profile it draws a built-in
// five-minute session. Exits 0 when the picture was written, 2 on a usage error, 1 when the
// profile cannot be read or the picture cannot be written.
#include <cstdio>

#include "GraphSession.h"
#include "RegularFile.h"

int main(int argc, char** argv) {
    using namespace tarvelin::graph;
    const auto args = ParseArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!args) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    std::string error;
    std::vector<Counters> session = DemoSession();
    if (!args->profile.empty()) {
        std::vector<uint8_t> bytes;
        std::optional<std::vector<Counters>> parsed;
        if (tarvelin::tools::ReadWholeFile(args->profile, bytes, error))
            parsed = ParseProfile(std::string(bytes.begin(), bytes.end()), error);
        if (!parsed) {
            std::fprintf(stderr, "tarvelin-graph: %s: %s\n", args->profile.c_str(), error.c_str());
            return 1;
        }
        session = std::move(*parsed);
    }
    if (!RenderSession(session, *args, error)) {
        std::fprintf(stderr, "tarvelin-graph: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
