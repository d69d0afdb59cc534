#include "ui/forms/SessionSummary.h"

#include <string>

namespace tarvelin::ui {
namespace {

using platform::Color;
using platform::Rect;

constexpr Color kHeading = platform::Rgb(255, 0, 0);
constexpr Color kText = platform::Rgb(0, 0, 0);
constexpr Color kBoxOutline = platform::Rgb(173, 175, 175);
constexpr int32_t kMargin = 10;
constexpr int32_t kBoxHeight = 26;

struct Pair {
    const char* label;
    StatValue value;
    bool perSecond;
};

class SummaryPrinter {
  public:
    SummaryPrinter(platform::ICanvas& canvas, const platform::Font& font, const PCStat& stat,
                   bool inBytes)
        : canvas_(canvas), font_(font), stat_(stat), inBytes_(inBytes), bounds_(canvas.Bounds()) {
        bold_.bold = true;
        valueX_ = kMargin + canvas.MeasureText("Длительность сессии", font).width + 16;
        line_ = canvas.MeasureText("Вq", font).height + 4;
    }

    void Heading(const char* text, Color color) {
        Print(text, {kMargin, y_, bounds_.right - kMargin}, bold_, color, platform::kTextLeft);
        y_ += line_ + 4;
    }
    // A label with its value in a column to its right.
    void Line(const Pair& pair) {
        Print(pair.label, {kMargin, y_, valueX_}, font_, kText, platform::kTextLeft);
        Print(Value(pair), {valueX_, y_, bounds_.right - kMargin}, bold_, kText,
              platform::kTextLeft);
        y_ += line_;
    }
    // Two framed boxes side by side, each with its label and its value.
    void Boxes(const Pair& left, const Pair& right) {
        y_ += 4;
        const int32_t width = (bounds_.right - 3 * kMargin) / 2;
        Box(left, kMargin, kMargin + width);
        Box(right, 2 * kMargin + width, 2 * kMargin + 2 * width);
        y_ += kBoxHeight + 6;
    }

  private:
    void Box(const Pair& pair, int32_t left, int32_t right) {
        canvas_.RoundRect({left, y_, right, y_ + kBoxHeight}, 6, 6, kBoxOutline, std::nullopt);
        const Span text{left + 6, y_ + (kBoxHeight - line_) / 2, right - 6};
        Print(pair.label, text, font_, kText, platform::kTextLeft);
        Print(Value(pair), text, bold_, kText, platform::kTextRight);
    }
    std::string Value(const Pair& pair) const {
        return stat_.pGetStatValue(pair.value, inBytes_, pair.perSecond);
    }
    // Where one line of text goes: from left to right at top.
    struct Span {
        int32_t left, top, right;
    };
    void Print(const std::string& text, const Span& at, const platform::Font& font, Color color,
               uint32_t align) {
        Rect box{at.left, at.top, at.right, at.top + line_};
        canvas_.DrawText(text, box, align | platform::kTextSingleLine | platform::kTextNoPrefix,
                         font, color);
    }

    platform::ICanvas& canvas_;
    const platform::Font& font_;
    platform::Font bold_ = font_;
    const PCStat& stat_;
    bool inBytes_;
    Rect bounds_;
    int32_t valueX_ = 0, line_ = 0, y_ = 6;
};

}  // namespace

void DrawSessionSummary(platform::ICanvas& canvas, const platform::Font& font, const PCStat& stat,
                        bool inBytes) {
    SummaryPrinter print(canvas, font, stat, inBytes);
    print.Heading("Соединение завершено", kHeading);
    print.Line({"Длительность сессии", svDuration, false});
    print.Line({"Весь трафик", svTotalTraffic, false});
    print.Boxes({"Принято:", svTotalReceived, false}, {"Передано:", svTotalTransmitted, false});
    print.Heading("Максимальная скорость", kText);
    print.Boxes({"Приема:", svMaxReceive, true}, {"Передачи:", svMaxTransmit, true});
}

}  // namespace tarvelin::ui
