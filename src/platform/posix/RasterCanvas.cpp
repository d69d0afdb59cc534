#include "platform/posix/RasterCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvelin::platform {

namespace {

constexpr uint32_t kOpaque = 0xFF000000;

// The classic colours of the system's standard scheme, by system colour index.
constexpr std::array<Color, 31> kSystemColors = {
    Rgb(212, 208, 200), Rgb(58, 110, 165),  Rgb(10, 36, 106),   Rgb(128, 128, 128),
    Rgb(212, 208, 200), Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(0, 0, 0),
    Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(212, 208, 200), Rgb(212, 208, 200),
    Rgb(128, 128, 128), Rgb(10, 36, 106),   Rgb(255, 255, 255), Rgb(212, 208, 200),
    Rgb(128, 128, 128), Rgb(128, 128, 128), Rgb(0, 0, 0),       Rgb(212, 208, 200),
    Rgb(255, 255, 255), Rgb(64, 64, 64),    Rgb(212, 208, 200), Rgb(0, 0, 0),
    Rgb(255, 255, 225), Rgb(181, 181, 181), Rgb(0, 0, 128),     Rgb(166, 202, 240),
    Rgb(192, 192, 192), Rgb(10, 36, 106),   Rgb(212, 208, 200)};

// The built-in font: 5x7 glyphs of printable ASCII and of the Russian alphabet in cells of 6x8,
// one byte per column with the top row in the low bit. Other characters are drawn as a box of
// the glyph's size: the program's text stays measurable and its layout visible.
constexpr int32_t kGlyphWidth = 5, kGlyphHeight = 7, kCellWidth = 6, kCellHeight = 8;
constexpr char32_t kFirstGlyph = 0x20, kLastGlyph = 0x7E;
constexpr uint8_t kGlyphs[][kGlyphWidth] = {
    {0x00, 0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x5F, 0x00, 0x00}, {0x00, 0x07, 0x00, 0x07, 0x00},
    {0x14, 0x7F, 0x14, 0x7F, 0x14}, {0x24, 0x2A, 0x7F, 0x2A, 0x12}, {0x23, 0x13, 0x08, 0x64, 0x62},
    {0x36, 0x49, 0x55, 0x22, 0x50}, {0x00, 0x05, 0x03, 0x00, 0x00}, {0x00, 0x1C, 0x22, 0x41, 0x00},
    {0x00, 0x41, 0x22, 0x1C, 0x00}, {0x08, 0x2A, 0x1C, 0x2A, 0x08}, {0x08, 0x08, 0x3E, 0x08, 0x08},
    {0x00, 0x50, 0x30, 0x00, 0x00}, {0x08, 0x08, 0x08, 0x08, 0x08}, {0x00, 0x60, 0x60, 0x00, 0x00},
    {0x20, 0x10, 0x08, 0x04, 0x02}, {0x3E, 0x51, 0x49, 0x45, 0x3E}, {0x00, 0x42, 0x7F, 0x40, 0x00},
    {0x42, 0x61, 0x51, 0x49, 0x46}, {0x21, 0x41, 0x45, 0x4B, 0x31}, {0x18, 0x14, 0x12, 0x7F, 0x10},
    {0x27, 0x45, 0x45, 0x45, 0x39}, {0x3C, 0x4A, 0x49, 0x49, 0x30}, {0x01, 0x71, 0x09, 0x05, 0x03},
    {0x36, 0x49, 0x49, 0x49, 0x36}, {0x06, 0x49, 0x49, 0x29, 0x1E}, {0x00, 0x36, 0x36, 0x00, 0x00},
    {0x00, 0x56, 0x36, 0x00, 0x00}, {0x08, 0x14, 0x22, 0x41, 0x00}, {0x14, 0x14, 0x14, 0x14, 0x14},
    {0x00, 0x41, 0x22, 0x14, 0x08}, {0x02, 0x01, 0x51, 0x09, 0x06}, {0x32, 0x49, 0x79, 0x41, 0x3E},
    {0x7E, 0x11, 0x11, 0x11, 0x7E}, {0x7F, 0x49, 0x49, 0x49, 0x36}, {0x3E, 0x41, 0x41, 0x41, 0x22},
    {0x7F, 0x41, 0x41, 0x22, 0x1C}, {0x7F, 0x49, 0x49, 0x49, 0x41}, {0x7F, 0x09, 0x09, 0x01, 0x01},
    {0x3E, 0x41, 0x41, 0x51, 0x32}, {0x7F, 0x08, 0x08, 0x08, 0x7F}, {0x00, 0x41, 0x7F, 0x41, 0x00},
    {0x20, 0x40, 0x41, 0x3F, 0x01}, {0x7F, 0x08, 0x14, 0x22, 0x41}, {0x7F, 0x40, 0x40, 0x40, 0x40},
    {0x7F, 0x02, 0x04, 0x02, 0x7F}, {0x7F, 0x04, 0x08, 0x10, 0x7F}, {0x3E, 0x41, 0x41, 0x41, 0x3E},
    {0x7F, 0x09, 0x09, 0x09, 0x06}, {0x3E, 0x41, 0x51, 0x21, 0x5E}, {0x7F, 0x09, 0x19, 0x29, 0x46},
    {0x46, 0x49, 0x49, 0x49, 0x31}, {0x01, 0x01, 0x7F, 0x01, 0x01}, {0x3F, 0x40, 0x40, 0x40, 0x3F},
    {0x1F, 0x20, 0x40, 0x20, 0x1F}, {0x7F, 0x20, 0x18, 0x20, 0x7F}, {0x63, 0x14, 0x08, 0x14, 0x63},
    {0x03, 0x04, 0x78, 0x04, 0x03}, {0x61, 0x51, 0x49, 0x45, 0x43}, {0x00, 0x7F, 0x41, 0x41, 0x00},
    {0x02, 0x04, 0x08, 0x10, 0x20}, {0x00, 0x41, 0x41, 0x7F, 0x00}, {0x04, 0x02, 0x01, 0x02, 0x04},
    {0x40, 0x40, 0x40, 0x40, 0x40}, {0x00, 0x01, 0x02, 0x04, 0x00}, {0x20, 0x54, 0x54, 0x54, 0x78},
    {0x7F, 0x48, 0x44, 0x44, 0x38}, {0x38, 0x44, 0x44, 0x44, 0x20}, {0x38, 0x44, 0x44, 0x48, 0x7F},
    {0x38, 0x54, 0x54, 0x54, 0x18}, {0x08, 0x7E, 0x09, 0x01, 0x02}, {0x08, 0x14, 0x54, 0x54, 0x3C},
    {0x7F, 0x08, 0x04, 0x04, 0x78}, {0x00, 0x44, 0x7D, 0x40, 0x00}, {0x20, 0x40, 0x44, 0x3D, 0x00},
    {0x00, 0x7F, 0x10, 0x28, 0x44}, {0x00, 0x41, 0x7F, 0x40, 0x00}, {0x7C, 0x04, 0x18, 0x04, 0x78},
    {0x7C, 0x08, 0x04, 0x04, 0x78}, {0x38, 0x44, 0x44, 0x44, 0x38}, {0x7C, 0x14, 0x14, 0x14, 0x08},
    {0x08, 0x14, 0x14, 0x18, 0x7C}, {0x7C, 0x08, 0x04, 0x04, 0x08}, {0x48, 0x54, 0x54, 0x54, 0x20},
    {0x04, 0x3F, 0x44, 0x40, 0x20}, {0x3C, 0x40, 0x40, 0x20, 0x7C}, {0x1C, 0x20, 0x40, 0x20, 0x1C},
    {0x3C, 0x40, 0x30, 0x40, 0x3C}, {0x44, 0x28, 0x10, 0x28, 0x44}, {0x0C, 0x50, 0x50, 0x50, 0x3C},
    {0x44, 0x64, 0x54, 0x4C, 0x44}, {0x00, 0x08, 0x36, 0x41, 0x00}, {0x00, 0x00, 0x7F, 0x00, 0x00},
    {0x00, 0x41, 0x36, 0x08, 0x00}, {0x08, 0x04, 0x08, 0x10, 0x08}};
static_assert(std::size(kGlyphs) == kLastGlyph - kFirstGlyph + 1);
constexpr uint8_t kBoxGlyph[kGlyphWidth] = {0x7F, 0x41, 0x41, 0x41, 0x7F};
// А to Я, then а to я (U+0410 to U+044F); Ё and ё stand apart from them.
constexpr char32_t kFirstCyrillic = 0x410, kLastCyrillic = 0x44F;
constexpr uint8_t kCyrillic[][kGlyphWidth] = {
    {0x7E, 0x11, 0x11, 0x11, 0x7E}, {0x7F, 0x49, 0x49, 0x49, 0x31}, {0x7F, 0x49, 0x49, 0x49, 0x36},
    {0x7F, 0x01, 0x01, 0x01, 0x01}, {0x60, 0x3F, 0x21, 0x3F, 0x60}, {0x7F, 0x49, 0x49, 0x49, 0x41},
    {0x63, 0x14, 0x7F, 0x14, 0x63}, {0x22, 0x41, 0x49, 0x49, 0x36}, {0x7F, 0x10, 0x08, 0x04, 0x7F},
    {0x7E, 0x10, 0x09, 0x04, 0x7E}, {0x7F, 0x08, 0x14, 0x22, 0x41}, {0x40, 0x3E, 0x01, 0x01, 0x7F},
    {0x7F, 0x02, 0x04, 0x02, 0x7F}, {0x7F, 0x08, 0x08, 0x08, 0x7F}, {0x3E, 0x41, 0x41, 0x41, 0x3E},
    {0x7F, 0x01, 0x01, 0x01, 0x7F}, {0x7F, 0x09, 0x09, 0x09, 0x06}, {0x3E, 0x41, 0x41, 0x41, 0x22},
    {0x01, 0x01, 0x7F, 0x01, 0x01}, {0x27, 0x48, 0x48, 0x48, 0x3F}, {0x1C, 0x22, 0x7F, 0x22, 0x1C},
    {0x63, 0x14, 0x08, 0x14, 0x63}, {0x3F, 0x20, 0x20, 0x3F, 0x60}, {0x07, 0x08, 0x08, 0x08, 0x7F},
    {0x7F, 0x40, 0x7F, 0x40, 0x7F}, {0x3F, 0x20, 0x3F, 0x20, 0x7F}, {0x01, 0x7F, 0x48, 0x48, 0x30},
    {0x7F, 0x48, 0x78, 0x00, 0x7F}, {0x7F, 0x48, 0x48, 0x48, 0x30}, {0x22, 0x41, 0x49, 0x49, 0x3E},
    {0x7F, 0x08, 0x3E, 0x41, 0x3E}, {0x46, 0x29, 0x19, 0x09, 0x7F}, {0x20, 0x54, 0x54, 0x54, 0x78},
    {0x3C, 0x4A, 0x49, 0x49, 0x31}, {0x7C, 0x54, 0x54, 0x54, 0x28}, {0x7C, 0x04, 0x04, 0x04, 0x04},
    {0x60, 0x3C, 0x24, 0x3C, 0x60}, {0x38, 0x54, 0x54, 0x54, 0x18}, {0x6C, 0x10, 0x7C, 0x10, 0x6C},
    {0x28, 0x44, 0x54, 0x54, 0x28}, {0x7C, 0x20, 0x10, 0x08, 0x7C}, {0x7C, 0x21, 0x12, 0x09, 0x7C},
    {0x7C, 0x10, 0x28, 0x44, 0x00}, {0x40, 0x38, 0x04, 0x04, 0x7C}, {0x7C, 0x08, 0x10, 0x08, 0x7C},
    {0x7C, 0x10, 0x10, 0x10, 0x7C}, {0x38, 0x44, 0x44, 0x44, 0x38}, {0x7C, 0x04, 0x04, 0x04, 0x7C},
    {0x7C, 0x14, 0x14, 0x14, 0x08}, {0x38, 0x44, 0x44, 0x44, 0x20}, {0x04, 0x04, 0x7C, 0x04, 0x04},
    {0x0C, 0x50, 0x50, 0x50, 0x3C}, {0x18, 0x24, 0x7E, 0x24, 0x18}, {0x44, 0x28, 0x10, 0x28, 0x44},
    {0x3C, 0x20, 0x20, 0x3C, 0x60}, {0x0C, 0x10, 0x10, 0x10, 0x7C}, {0x7C, 0x40, 0x7C, 0x40, 0x7C},
    {0x3C, 0x20, 0x3C, 0x20, 0x7C}, {0x04, 0x7C, 0x50, 0x50, 0x20}, {0x7C, 0x50, 0x70, 0x00, 0x7C},
    {0x7C, 0x50, 0x50, 0x50, 0x20}, {0x28, 0x44, 0x54, 0x54, 0x38}, {0x7C, 0x10, 0x38, 0x44, 0x38},
    {0x48, 0x34, 0x14, 0x14, 0x7C}};
static_assert(std::size(kCyrillic) == kLastCyrillic - kFirstCyrillic + 1);
constexpr uint8_t kCapitalYo[kGlyphWidth] = {0x7E, 0x4B, 0x4A, 0x4B, 0x42},
                  kSmallYo[kGlyphWidth] = {0x38, 0x55, 0x54, 0x55, 0x18};

// The columns of a character's glyph, the box for characters the font lacks.
const uint8_t* ColumnsOf(char32_t c) {
    if (c >= kFirstGlyph && c <= kLastGlyph) return kGlyphs[c - kFirstGlyph];
    if (c >= kFirstCyrillic && c <= kLastCyrillic) return kCyrillic[c - kFirstCyrillic];
    if (c == U'\u0401') return kCapitalYo;
    return c == U'\u0451' ? kSmallYo : kBoxGlyph;
}

// Glyphs grow by whole pixels: once up to 11 pixels, twice up to 22, and so on.
// The factor is bounded so that no glyph coordinate can overflow.
int32_t ScaleOf(const Font& font) {
    return std::clamp(font.pixelHeight / 11 + (font.pixelHeight % 11 > 0), 1, 256);
}

int32_t LineHeight(const Font& font) {
    return kCellHeight * ScaleOf(font);
}

int32_t WidthOf(const std::u32string& line, const Font& font) {
    const auto width = static_cast<int64_t>(line.size()) * kCellWidth * ScaleOf(font);
    return static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX));
}

// A coordinate moved by a distance, held within the coordinate range.
int32_t Offset(int32_t coordinate, int32_t distance) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{coordinate} + distance, INT32_MIN, INT32_MAX));
}

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// UTF-8 to code points; a malformed sequence becomes one replacement character per byte.
std::u32string Decode(const std::string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        const size_t length = lead < 0x80         ? 1
                              : (lead >> 5) == 6  ? 2
                              : (lead >> 4) == 14 ? 3
                              : (lead >> 3) == 30 ? 4
                                                  : 0;
        char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length != 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            cp = (cp << 6) | (next & 0x3F);
        }
        out.push_back(valid ? cp : U'\uFFFD');
        i += valid ? length : 1;
    }
    return out;
}

// The mnemonic prefix: a single ampersand is dropped, a double one stands for itself.
std::u32string DropPrefixes(const std::u32string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'&' && i + 1 < text.size()) ++i;
        out.push_back(text[i]);
    }
    return out;
}

std::vector<std::u32string> SplitLines(const std::u32string& text, bool singleLine) {
    std::vector<std::u32string> lines(1);
    for (const char32_t c : text) {
        if (c == U'\r') continue;
        if (c == U'\n' && !singleLine) {
            lines.emplace_back();
        } else if (c != U'\n') {
            lines.back().push_back(c == U'\t' ? U' ' : c);
        }
    }
    return lines;
}

// Greedy word wrapping: words longer than the width stay whole on a line of their own.
void WrapLine(const std::u32string& line, int32_t width, const Font& font,
              std::vector<std::u32string>& out) {
    std::u32string current;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find(U' ', start);
        if (end == std::u32string::npos) end = line.size();
        const std::u32string word = line.substr(start, end - start);
        const std::u32string joined = current.empty() ? word : current + U' ' + word;
        if (!current.empty() && WidthOf(joined, font) > width) {
            out.push_back(current);
            current = word;
        } else {
            current = joined;
        }
        start = end + 1;
    }
    out.push_back(current);
}

// Shortens a line wider than the width to what fits followed by "...": at any character, or
// with whole words only where a word boundary fits.
std::u32string Ellipsize(const std::u32string& line, int32_t width, const Font& font,
                         bool wholeWords) {
    if (WidthOf(line, font) <= width) return line;
    const std::u32string dots = U"...";
    size_t keep = line.size();
    while (keep > 0 && WidthOf(line.substr(0, keep) + dots, font) > width) --keep;
    if (wholeWords) {
        const size_t space = line.substr(0, keep + 1).rfind(U' ');
        if (space != std::u32string::npos) keep = space;
    }
    return line.substr(0, keep) + dots;
}

std::vector<std::u32string> Layout(const std::string& text, const Rect& rect, uint32_t format,
                                   const Font& font) {
    const std::u32string decoded = Decode(text);
    const auto paragraphs = SplitLines(format & kTextNoPrefix ? decoded : DropPrefixes(decoded),
                                       format & kTextSingleLine);
    std::vector<std::u32string> lines;
    for (const auto& paragraph : paragraphs) {
        if (format & kTextWordBreak && !(format & kTextSingleLine)) {
            WrapLine(paragraph, rect.Width(), font, lines);
        } else {
            lines.push_back(paragraph);
        }
    }
    if (format & (kTextEndEllipsis | kTextWordEllipsis)) {
        for (auto& line : lines) {
            line = Ellipsize(line, rect.Width(), font, format & kTextWordEllipsis);
        }
    }
    return lines;
}

uint8_t Mix(uint8_t from, uint8_t to, int32_t step, int32_t steps) {
    const int32_t delta = (to - from) * step;
    const int32_t rounded =
        delta >= 0 ? (2 * delta + steps) / (2 * steps) : -((-2 * delta + steps) / (2 * steps));
    return static_cast<uint8_t>(from + rounded);
}

Color MixColor(Color from, Color to, int32_t step, int32_t steps) {
    return Rgb(Mix(RedOf(from), RedOf(to), step, steps),
               Mix(GreenOf(from), GreenOf(to), step, steps),
               Mix(BlueOf(from), BlueOf(to), step, steps));
}

uint8_t Blend(uint8_t source, uint8_t target, uint8_t opacity) {
    return static_cast<uint8_t>((source * opacity + target * (255 - opacity) + 127) / 255);
}

}  // namespace

RasterPicture::RasterPicture(int32_t width, int32_t height, Color background)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_),
              (background & 0xFFFFFF) | kOpaque) {}

bool RasterPicture::Contains(Point at) const {
    return at.x >= 0 && at.y >= 0 && at.x < width_ && at.y < height_;
}

Color RasterPicture::PixelAt(Point at) const {
    if (!Contains(at)) return 0;
    return pixels_[static_cast<size_t>(at.y) * static_cast<size_t>(width_) + at.x] & 0xFFFFFF;
}

void RasterPicture::SetPixelAt(Point at, Color color) {
    if (!Contains(at)) return;
    pixels_[static_cast<size_t>(at.y) * static_cast<size_t>(width_) + at.x] =
        (color & 0xFFFFFF) | kOpaque;
}

Rect RasterCanvas::Clip() const {
    return clips_.empty() ? Bounds() : clips_.back().box;
}

Color RasterCanvas::Resolve(Color color) {
    return color & kSystemColorFlag ? SystemColor(color & 0xFF) : color & 0xFFFFFF;
}

void RasterCanvas::Plot(int32_t x, int32_t y, Color color) {
    const Rect clip = Clip();
    if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return;
    Put(x, y, color);
}

// Every write goes through here: a point within the clip's box may still lie outside one of
// the rounded clips in force.
void RasterCanvas::Put(int32_t x, int32_t y, Color color) {
    for (const ClipLevel& level : clips_) {
        if (level.rounded &&
            !InsideRoundRect(level.shape, level.cornerWidth, level.cornerHeight, x, y))
            return;
    }
    picture_.SetPixelAt({x, y}, color);
}

void RasterCanvas::FillRect(const Rect& rect, Color color) {
    const Rect area = Intersect(rect, Clip());
    const Color resolved = Resolve(color);
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) Put(x, y, resolved);
    }
}

void RasterCanvas::FrameRect(const Rect& rect, Color color) {
    if (rect.Empty()) return;
    FillRect({rect.left, rect.top, rect.right, rect.top + 1}, color);
    FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    FillRect({rect.left, rect.top + 1, rect.left + 1, rect.bottom - 1}, color);
    FillRect({rect.right - 1, rect.top + 1, rect.right, rect.bottom - 1}, color);
}

// Bresenham's line, stopping before the end point, or once it has passed the clip: both
// coordinates only ever move one way.
void RasterCanvas::Line(Point from, Point to, Color color) {
    const Rect clip = Clip();
    const Color resolved = Resolve(color);
    const int64_t dx = std::abs(int64_t{to.x} - from.x), dy = -std::abs(int64_t{to.y} - from.y);
    const int32_t sx = from.x < to.x ? 1 : -1, sy = from.y < to.y ? 1 : -1;
    int64_t error = dx + dy;
    for (Point at = from; at != to;) {
        if (sx > 0 ? at.x >= clip.right : at.x < clip.left) break;
        if (sy > 0 ? at.y >= clip.bottom : at.y < clip.top) break;
        Plot(at.x, at.y, resolved);
        const int64_t twice = 2 * error;
        if (twice >= dy) error += dy, at.x += sx;
        if (twice <= dx) error += dx, at.y += sy;
    }
}

void RasterCanvas::SetPixel(Point at, Color color) {
    Plot(at.x, at.y, Resolve(color));
}

// A pixel of the shape is on the frame when a neighbour beside, above or below it is not.
void RasterCanvas::RoundRect(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight, Color pen,
                             std::optional<Color> fill) {
    const auto inside = [&](int32_t x, int32_t y) {
        return InsideRoundRect(rect, cornerWidth, cornerHeight, x, y);
    };
    const Color penColor = Resolve(pen);
    // A plain colour and a flag rather than an optional: the optimiser took the optional's
    // value for possibly unset where the flag guards it.
    const bool filled = fill.has_value();
    const Color fillColor = filled ? Resolve(*fill) : 0;
    const Rect area = Intersect(rect, Clip());
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            if (!inside(x, y)) continue;
            const bool edge =
                !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            if (edge || filled) Put(x, y, edge ? penColor : fillColor);
        }
    }
}

// One colour per column (horizontal) or row, the first the from colour and the last the to
// colour, the channels between rounded to the nearest value.
void RasterCanvas::GradientRect(const Rect& rect, Color from, Color to, bool horizontal) {
    if (rect.Empty()) return;
    const Color first = Resolve(from), last = Resolve(to);
    const int32_t length = horizontal ? rect.Width() : rect.Height();
    const int32_t steps = std::max(length - 1, 1);
    for (int32_t step = 0; step < length; ++step) {
        const Color color = MixColor(first, last, step, steps);
        if (horizontal) {
            FillRect({rect.left + step, rect.top, rect.left + step + 1, rect.bottom}, color);
        } else {
            FillRect({rect.left, rect.top + step, rect.right, rect.top + step + 1}, color);
        }
    }
}

void RasterCanvas::DrawGlyph(char32_t glyph, Point at, const Font& font, Color color) {
    const uint8_t* columns = ColumnsOf(glyph);
    const int32_t scale = ScaleOf(font);
    for (int32_t column = 0; column < kGlyphWidth; ++column) {
        for (int32_t row = 0; row < kGlyphHeight; ++row) {
            if (!(columns[column] >> row & 1)) continue;
            const Rect dot{at.x + column * scale, at.y + row * scale, at.x + (column + 1) * scale,
                           at.y + (row + 1) * scale};
            FillRect(dot, color);
            if (font.bold) FillRect({dot.left + 1, dot.top, dot.right + 1, dot.bottom}, color);
        }
    }
}

void RasterCanvas::DrawLine(const std::u32string& line, Point at, const Font& font, Color color) {
    const int32_t advance = kCellWidth * ScaleOf(font);
    for (size_t i = 0; i < line.size(); ++i) {
        DrawGlyph(line[i], {at.x + static_cast<int32_t>(i) * advance, at.y}, font, color);
    }
    if (font.underline && !line.empty()) {
        const int32_t scale = ScaleOf(font), y = at.y + kGlyphHeight * scale;
        FillRect({at.x, y, at.x + WidthOf(line, font), y + scale}, color);
    }
}

// Text is clipped to its rectangle, as the system clips it.
int32_t RasterCanvas::DrawText(const std::string& text, Rect& rect, uint32_t format,
                               const Font& font, Color color) {
    const auto lines = Layout(text, rect, format, font);
    const int32_t lineHeight = LineHeight(font);
    const int32_t height = static_cast<int32_t>(lines.size()) * lineHeight;
    if (format & kTextCalcRect) {
        int32_t width = 0;
        for (const auto& line : lines) width = std::max(width, WidthOf(line, font));
        rect.right = rect.left + width;
        rect.bottom = rect.top + height;
        return height;
    }
    int32_t top = rect.top;
    if (format & kTextSingleLine && format & kTextVCenter) {
        top += (rect.Height() - height) / 2;
    } else if (format & kTextSingleLine && format & kTextBottom) {
        top = rect.bottom - height;
    }
    const Color resolved = Resolve(color);
    PushClip(rect);
    for (const auto& line : lines) {
        const int32_t spare = rect.Width() - WidthOf(line, font);
        const int32_t left = rect.left + (format & kTextRight    ? spare
                                          : format & kTextCenter ? spare / 2
                                                                 : 0);
        DrawLine(line, {left, top}, font, resolved);
        top += lineHeight;
    }
    PopClip();
    return height;
}

TextSize RasterCanvas::MeasureText(const std::string& text, const Font& font) {
    return {WidthOf(Decode(text), font), LineHeight(font)};
}

void RasterCanvas::PushClip(const Rect& rect) {
    clips_.push_back({Intersect(Clip(), rect), false, {}, 0, 0});
}

void RasterCanvas::PushRoundClip(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight) {
    clips_.push_back({Intersect(Clip(), rect), true, rect, cornerWidth, cornerHeight});
}

void RasterCanvas::PopClip() {
    if (!clips_.empty()) clips_.pop_back();
}

// A picture drawn onto itself is read from a copy, so that overlapping areas take the pixels
// as they were before the call.
const RasterPicture* RasterCanvas::SourceOf(const IImage& image,
                                            std::optional<RasterPicture>& copy) const {
    const auto* source = dynamic_cast<const RasterPicture*>(&image);
    if (source != &picture_) return source;
    copy.emplace(*source);
    return &*copy;
}

void RasterCanvas::DrawImage(const IImage& image, Point at) {
    std::optional<RasterPicture> copy;
    const RasterPicture* source = SourceOf(image, copy);
    if (!source) return;
    const Rect area = Intersect(
        {at.x, at.y, Offset(at.x, source->Width()), Offset(at.y, source->Height())}, Clip());
    for (int32_t y = area.top; y < area.bottom; ++y) {
        for (int32_t x = area.left; x < area.right; ++x) {
            Put(x, y, source->PixelAt({x - at.x, y - at.y}));
        }
    }
}

// Each target pixel takes the nearest source pixel of the stretched image.
void RasterCanvas::BlendImage(const IImage& image, const Rect& to, uint8_t opacity) {
    std::optional<RasterPicture> copy;
    const RasterPicture* source = SourceOf(image, copy);
    if (!source || to.Empty() || opacity == 0) return;
    const Rect area = Intersect(to, Clip());
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const auto sy = static_cast<int32_t>(int64_t{y - to.top} * source->Height() / to.Height());
        for (int32_t x = area.left; x < area.right; ++x) {
            const auto sx =
                static_cast<int32_t>(int64_t{x - to.left} * source->Width() / to.Width());
            const Color s = source->PixelAt({sx, sy}), d = picture_.PixelAt({x, y});
            Put(x, y,
                Rgb(Blend(RedOf(s), RedOf(d), opacity), Blend(GreenOf(s), GreenOf(d), opacity),
                    Blend(BlueOf(s), BlueOf(d), opacity)));
        }
    }
}

Color RasterCanvas::SystemColor(uint32_t index) {
    return index < kSystemColors.size() ? kSystemColors[index] : 0;
}

}  // namespace tarvelin::platform
