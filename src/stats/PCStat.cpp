#include "stats/PCStat.h"

#include <algorithm>
#include <initializer_list>
#include <limits>
#include <optional>

#include "core/AppState.h"
#include "dialup/modAppRAS.h"
#include "platform/Locale.h"

namespace tarvelin {

namespace {

constexpr RasField kStatsSize{0, 4}, kStatsBytesXmited{4, 4}, kStatsBytesRcved{8, 4},
    kStatsConnectDuration{56, 4};
constexpr uint32_t kHalfRange = uint32_t{1} << 31;

// How far a 32-bit counter moved forward since its last value: its wrap past 2^32 counts as
// moving on. A counter that fell back by less than half the range (or, what reads the same,
// jumped ahead by more) was restarted by the system: it moved 0, and its new value is the
// base from which it is followed. Totals therefore never shrink and never leap by gigabytes,
// and the rate of the second in which it happens counts only the bytes seen before.
uint32_t Advance(uint32_t from, uint32_t to) {
    const uint32_t step = to - from;
    return step < kHalfRange ? step : 0;
}

int32_t ClampRate(uint64_t rate) {
    return static_cast<int32_t>(std::min<uint64_t>(rate, std::numeric_limits<int32_t>::max()));
}

// The mean of four samples rounded to the nearest integer, halves to the even neighbour.
int32_t RoundedQuarter(int64_t sum) {
    int64_t q = sum / 4, r = sum % 4;
    if (r < 0) r += 4, --q;
    if (r > 2 || (r == 2 && (q & 1))) ++q;
    return static_cast<int32_t>(q);
}

std::string DecimalSeparator() {
    const auto* platform = AppState().platform;
    return platform && platform->locale ? platform->locale->DecimalSeparator() : ".";
}

std::string TwoDigits(uint64_t n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace

void PCStat::WindowMax::Take(int32_t sample) {
    if (sample > value) {
        value = sample;
        count = 1;
    } else if (sample == value) {
        ++count;
    }
}

PCStat::PCStat() : samples_(kDefaultBufferSize) {
    Rescan();
}

void PCStat::BufferSize(int32_t size) {
    if (size < kMinBufferSize || size > kMaxBufferSize || size == BufferSize()) return;
    samples_.resize(static_cast<size_t>(size));
    Rescan();
}

void PCStat::Init(platform::RasHandle lhRASConn, const std::string& sEntryName,
                  const std::string& sDeviceName) {
    handle_ = lhRASConn;
    entryName_ = sEntryName;
    deviceName_ = sDeviceName;
}

void PCStat::StatCheck() {
    const uint32_t size = CurrentRasLayout().statsSize;
    std::vector<uint8_t> stats(size);
    WriteRasNumber(stats, kStatsSize, size);
    if (!GetConnectionStats(handle_, stats)) return;
    Accept({static_cast<uint32_t>(ReadRasNumber(stats, kStatsBytesRcved)),
            static_cast<uint32_t>(ReadRasNumber(stats, kStatsBytesXmited)),
            static_cast<uint32_t>(ReadRasNumber(stats, kStatsConnectDuration))});
}

// The first reading of a session adds one (0, 0) sample: it has no earlier counters. Later
// ones add a sample for each whole second of connection time passed since the last sample,
// each with the average rate of those seconds; no more than a window's worth, which already
// replaces every sample in it.
void PCStat::Accept(const Reading& reading) {
    if (!started_) {
        started_ = true;
        raw_ = reading;
        elapsedMs_ = reading.durationMs;
        lastSecond_ = elapsedMs_ / 1000;
        sampledRx_ = totalRx_ = reading.received;
        sampledTx_ = totalTx_ = reading.sent;
        pAddStatValue(0, 0);
        return;
    }
    Follow(reading);
    const uint64_t seconds = elapsedMs_ / 1000;
    if (seconds == lastSecond_) return;  // this second has been sampled already
    const uint64_t passed = seconds - lastSecond_;
    const int32_t rxRate = ClampRate((totalRx_ - sampledRx_) / passed);
    const int32_t txRate = ClampRate((totalTx_ - sampledTx_) / passed);
    const uint64_t count = std::min<uint64_t>(passed, samples_.size());
    for (uint64_t i = 0; i < count; ++i) pAddStatValue(rxRate, txRate);
    sampledRx_ = totalRx_;
    sampledTx_ = totalTx_;
    lastSecond_ = seconds;
}

// Every reading moves the totals and the connection time on. A duration that fell back
// follows the counters' rule: no time passed, and sampling goes on from its new value.
void PCStat::Follow(const Reading& reading) {
    totalRx_ += Advance(raw_.received, reading.received);
    totalTx_ += Advance(raw_.sent, reading.sent);
    elapsedMs_ += Advance(raw_.durationMs, reading.durationMs);
    raw_ = reading;
}

void PCStat::pAddStatValue(int32_t rx, int32_t tx) {
    const StatSample leaving = samples_.back();
    if (leaving.rx == winRx_.value) --winRx_.count;
    if (leaving.tx == winTx_.value) --winTx_.count;
    std::copy_backward(samples_.begin(), samples_.end() - 1, samples_.end());
    samples_.front() = {rx, tx};
    Smooth();
    curRx_ = samples_[2].rx;
    curTx_ = samples_[2].tx;
    maxRx_ = std::max(maxRx_, curRx_);
    maxTx_ = std::max(maxTx_, curTx_);
    winRx_.Take(curRx_);
    winTx_.Take(curTx_);
    if (winRx_.count < 1 || winTx_.count < 1) Rescan();  // a maximum has left the window
}

// Position 3 becomes the mean of positions 1 to 4; position 4 is already smoothed, so the
// filter is recursive and a spike decays instead of vanishing. A window of three has no
// fourth sample and keeps the raw value.
void PCStat::Smooth() {
    if (samples_.size() < 4) return;
    const auto mean = [this](int32_t StatSample::*field) {
        int64_t sum = 0;
        for (size_t i = 0; i < 4; ++i) sum += samples_[i].*field;
        return RoundedQuarter(sum);
    };
    samples_[2] = {mean(&StatSample::rx), mean(&StatSample::tx)};
}

// The window maxima over the smoothed positions 3..N, from scratch.
void PCStat::Rescan() {
    winRx_ = {};
    winTx_ = {};
    for (size_t i = 2; i < samples_.size(); ++i) {
        winRx_.Take(samples_[i].rx);
        winTx_.Take(samples_[i].tx);
    }
}

std::string PCStat::pGetStatValue(int32_t enStatValue, bool bStatInByte,
                                  bool bMeasWithSeconds) const {
    if (enStatValue == svDuration) {
        return std::to_string(lastSecond_ / 3600) + ":" + TwoDigits(lastSecond_ % 3600 / 60) + ":" +
               TwoDigits(lastSecond_ % 60);
    }
    uint64_t value = 0;
    switch (enStatValue) {
        case svTotalReceived:
            value = totalRx_;
            break;
        case svTotalTransmitted:
            value = totalTx_;
            break;
        case svTotalTraffic:
            value = totalRx_ + totalTx_;
            break;
        case svCurrentReceive:
            value = static_cast<uint64_t>(std::max(curRx_, 0));
            break;
        case svCurrentTransmit:
            value = static_cast<uint64_t>(std::max(curTx_, 0));
            break;
        case svMaxReceive:
            value = static_cast<uint64_t>(std::max(maxRx_, 0));
            break;
        case svMaxTransmit:
            value = static_cast<uint64_t>(std::max(maxTx_, 0));
            break;
        default:
            break;
    }
    if (!bStatInByte) value *= 8;
    std::string text;
    if (value <= 1024) {
        text = std::to_string(value) + (bStatInByte ? " байт" : " бит");
    } else {
        // Kilo-units with one decimal, the half rounded away from zero, in whole numbers so
        // that no amount loses precision in a floating-point conversion.
        uint64_t whole = value / 1024, tenths = (value % 1024 * 10 + 512) / 1024;
        if (tenths == 10) ++whole, tenths = 0;
        text = std::to_string(whole) + DecimalSeparator() + std::to_string(tenths) +
               (bStatInByte ? " КБайт" : " КБит");
    }
    return bMeasWithSeconds ? text + "/сек" : text;
}

void PCStat::DrawGraphicWindow(platform::ICanvas& canvas, const platform::Font& font,
                               bool bStatInByte, bool bBGClear, bool bGridHor, int32_t lLeft,
                               int32_t lTop, int32_t lRight, int32_t lBottom) const {
    DrawTrafficGraph(canvas, bStatInByte, bBGClear, bGridHor, {}, {lLeft, lTop, lRight, lBottom},
                     WindowMaxRx(), WindowMaxTx(), Samples(), font);
}

namespace {

using platform::Rect;

constexpr platform::Color kPanelText = platform::Rgb(255, 255, 255);
constexpr platform::Color kReceiveMark = platform::Rgb(255, 0, 0);
constexpr platform::Color kTransmitMark = platform::Rgb(173, 175, 175);
constexpr uint8_t kPanelOpacity = 210;
constexpr int32_t kBlockGap = 4;  // pixels between blocks (four twips-per-pixel fifteenths)

// One line of the figures: an optional mark, the label and the value.
struct FigureLine {
    const char* label;
    int32_t value;  // a StatValue; 0 for a heading without a value
    bool perSecond = false;
    std::optional<platform::Color> mark = std::nullopt;
};

// The figures panel's text: label and value columns, blocks parted by one-pixel lines.
class FiguresPrinter {
  public:
    FiguresPrinter(platform::ICanvas& canvas, const platform::Font& font, const Rect& panel)
        : canvas_(canvas),
          font_(font),
          panel_(panel),
          labelX_(panel.left + 5),
          valueX_(labelX_ + canvas.MeasureText("Время соединения", font).width + 10),
          lineHeight_(canvas.MeasureText("В", font).height - 1),
          y_(panel.top + kBlockGap) {}

    // A block below the one before it, parted from it by a line across the panel.
    void Block(std::initializer_list<FigureLine> lines, const PCStat& stat, bool inBytes) {
        if (y_ > panel_.top + kBlockGap) {
            canvas_.Line({panel_.left, y_}, {panel_.right, y_}, kPanelText);
            y_ += 1 + kBlockGap;
        }
        bool first = true;
        for (const FigureLine& line : lines) {
            if (!first) y_ += line.mark ? kBlockGap / 2 : 0;
            first = false;
            Print(line, stat, inBytes);
            y_ += lineHeight_;
        }
    }

  private:
    void Print(const FigureLine& line, const PCStat& stat, bool inBytes) {
        int32_t labelX = labelX_;
        if (line.mark) {
            canvas_.RoundRect({labelX_, y_ + 1, labelX_ + lineHeight_, y_ + lineHeight_}, 2, 2,
                              *line.mark, *line.mark);
            labelX += lineHeight_ * 3 / 2;
        }
        Text(line.label, labelX);
        if (line.value) Text(stat.pGetStatValue(line.value, inBytes, line.perSecond), valueX_);
    }
    void Text(const std::string& text, int32_t x) {
        Rect box{x, y_, panel_.right, y_ + lineHeight_ + 1};
        canvas_.DrawText(text, box,
                         platform::kTextLeft | platform::kTextTop | platform::kTextSingleLine |
                             platform::kTextNoPrefix,
                         font_, kPanelText);
    }

    platform::ICanvas& canvas_;
    const platform::Font& font_;
    Rect panel_;
    int32_t labelX_, valueX_, lineHeight_, y_;
};

}  // namespace

void PCStat::DrawGraphic(platform::ICanvas& background, const platform::IImage* panel,
                         const Rect& panelArea, const platform::Font& font, bool bStatInByte,
                         bool bBGClear, bool bGridHor) const {
    DrawTrafficGraph(background, bStatInByte, bBGClear, bGridHor, entryName_, background.Bounds(),
                     WindowMaxRx(), WindowMaxTx(), Samples(), font);
    if (!panel) return;
    background.BlendImage(*panel, panelArea, kPanelOpacity);
    platform::Font regular = font;
    regular.bold = false;
    FiguresPrinter figures(background, regular, panelArea);
    figures.Block({{"Время соединения", svDuration}}, *this, bStatInByte);
    figures.Block({{"Весь трафик", svTotalTraffic}}, *this, bStatInByte);
    figures.Block({{"Принято:", svTotalReceived, false, kReceiveMark},
                   {"Передано:", svTotalTransmitted, false, kTransmitMark}},
                  *this, bStatInByte);
    figures.Block({{"Текущая скорость", 0},
                   {"Приема:", svCurrentReceive, true, kReceiveMark},
                   {"Передачи:", svCurrentTransmit, true, kTransmitMark}},
                  *this, bStatInByte);
    figures.Block({{"Максимальная скорость", 0},
                   {"Приема:", svMaxReceive, true, kReceiveMark},
                   {"Передачи:", svMaxTransmit, true, kTransmitMark}},
                  *this, bStatInByte);
}

}  // namespace tarvelin
