#include "GraphSession.h"

#include <charconv>
#include <sstream>

#include "core/AppState.h"
#include "dialup/modAppRAS.h"
#include "platform/Platform.h"
#include "platform/posix/PngWriter.h"
#include "platform/posix/PosixLocale.h"
#include "stats/PCStat.h"

namespace tarvelin::graph {
namespace {

constexpr platform::RasHandle kConnection = 1;
constexpr int32_t kPanelWidth = 190;
constexpr int32_t kMinSide = 40;
constexpr int32_t kMaxSide = 4000;

// The system's dial-up service as far as the sampler asks it: one connection whose
// statistics are the session's counters at the current second.
class ReplayedConnection : public platform::RasApiUnavailable {
  public:
    Counters now;
    uint32_t seconds = 0;

    uint32_t GetConnectionStatistics(platform::RasHandle connection,
                                     std::vector<uint8_t>& stats) override {
        if (connection != kConnection || stats.size() < CurrentRasLayout().statsSize) return 6;
        WriteRasNumber(stats, {4, 4}, now.transmitted);
        WriteRasNumber(stats, {8, 4}, now.received);
        WriteRasNumber(stats, {56, 4}, seconds * 1000);
        return 0;
    }
};

// A dark panel for the figures, as the main page's picture behind them.
platform::RasterPicture Panel(int32_t height) {
    return platform::RasterPicture(kPanelWidth, height, platform::Rgb(40, 40, 48));
}

std::optional<int32_t> Number(std::string_view text) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool ParseSize(const std::string& text, GraphArgs& args) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const auto width = Number(std::string_view(text).substr(0, x));
    const auto height = Number(std::string_view(text).substr(x + 1));
    if (!width || !height || *width < kMinSide || *height < kMinSide || *width > kMaxSide ||
        *height > kMaxSide)
        return false;
    args.width = *width;
    args.height = *height;
    return true;
}

}  // namespace

std::optional<GraphArgs> ParseArgs(const std::vector<std::string>& args) {
    GraphArgs parsed;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--bits" || arg == "--bytes") {
            parsed.inBytes = arg == "--bytes";
        } else if (arg == "--profile" && hasValue) {
            parsed.profile = args[++i];
        } else if (arg == "--size" && hasValue) {
            if (!ParseSize(args[++i], parsed)) return std::nullopt;
        } else if (arg.empty() || arg.rfind("--", 0) == 0 || !parsed.output.empty()) {
            return std::nullopt;
        } else {
            parsed.output = arg;
        }
    }
    if (parsed.output.empty()) return std::nullopt;
    return parsed;
}

std::vector<Counters> DemoSession() {
    std::vector<Counters> session;
    Counters total;
    for (uint32_t second = 0; second < 300; ++second) {
        const bool paused = second >= 150 && second < 185;
        const bool burst = second >= 60 && second < 90;
        const uint32_t received = paused ? 0 : (burst ? 42000 : 6000 + (second * 37) % 5000);
        total.received += received;
        total.transmitted += paused ? 0 : received / 5 + (second * 11) % 900;
        session.push_back(total);
    }
    return session;
}

std::optional<std::vector<Counters>> ParseProfile(const std::string& text, std::string& error) {
    std::vector<Counters> session;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Counters c;
        std::string rest;
        if (!(fields >> c.received >> c.transmitted) || (fields >> rest)) {
            error = "line " + std::to_string(number) + ": expected two byte counters";
            return std::nullopt;
        }
        session.push_back(c);
    }
    if (session.empty()) error = "no counters";
    return session.empty() ? std::nullopt : std::optional(session);
}

bool RenderSession(const std::vector<Counters>& session, const GraphArgs& args,
                   std::string& error) {
    ReplayedConnection connection;
    platform::PosixLocale locale;
    platform::Platform system;
    system.ras = &connection;
    system.locale = &locale;
    AppState().platform = &system;
    PCStat stat;
    stat.Init(kConnection, "QVT (Nokia 6230i, COM5)", "Nokia 6230i");
    for (const Counters& second : session) {
        connection.now = second;
        stat.StatCheck();
        ++connection.seconds;
    }
    platform::RasterPicture picture(args.width, args.height);
    platform::RasterCanvas canvas(picture);
    const platform::RasterPicture panel = Panel(args.height - 10);
    const platform::Rect panelArea{args.width - kPanelWidth - 5, 5, args.width - 5,
                                   args.height - 5};
    stat.DrawGraphic(canvas, &panel, panelArea, platform::Font{"Tahoma", 11}, args.inBytes, false,
                     true);
    AppState().platform = nullptr;
    if (!platform::WritePng(args.output, picture)) {
        error = args.output + ": cannot be written";
        return false;
    }
    return true;
}

}  // namespace tarvelin::graph
