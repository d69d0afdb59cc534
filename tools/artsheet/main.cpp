// tarvelin-artsheet OUT.png [FOLDER]: every picture the build made from resources/art on one
// sheet, each on white and on grey with its number, under a header laid out as the main
// window's (500 pixels wide, 58 high), so that a person can check them at a glance.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/posix/BmpImageSource.h"
#include "platform/posix/PngWriter.h"
#include "platform/posix/RasterCanvas.h"
#include "ui/Artwork.h"

namespace {

using namespace tarvelin;
using namespace tarvelin::platform;

constexpr int32_t kSheetWidth = 520;
constexpr int32_t kCell = 64;
constexpr Color kGrey = Rgb(0x65, 0x64, 0x66);

void Header(ICanvas& canvas, IImageSource& images) {
    canvas.RoundRect({10, 10, 510, 68}, 20, 20, kGrey, Rgb(255, 255, 255));
    const std::pair<uint16_t, Point> parts[] = {{kBitmapLogo, {16, 15}},
                                                {kBitmapTitle, {70, 23}},
                                                {kBitmapGprs, {180, 29}},
                                                {kBitmapToolbarOptions, {350, 19}},
                                                {kBitmapToolbarUpdate + 1, {400, 19}},
                                                {kBitmapToolbarAbout + 2, {450, 19}}};
    for (const auto& [id, at] : parts)
        if (auto image = images.Bitmap(id)) canvas.DrawImage(*image, at);
}

void Cell(ICanvas& canvas, const IImage* image, const std::string& label, Point at) {
    const Rect cell{at.x, at.y, at.x + kCell - 4, at.y + kCell + 10};
    canvas.FillRect(cell, Rgb(224, 224, 224));
    canvas.PushClip(cell);  // wide pictures are cut at their cell; the header shows them whole
    if (image) {
        canvas.DrawImage(*image, {at.x + (kCell - 4 - image->Width()) / 2,
                                  at.y + (kCell - image->Height()) / 2});
    } else {
        canvas.Line({at.x, at.y}, {at.x + kCell - 4, at.y + kCell}, Rgb(255, 0, 0));
    }
    Rect text{at.x, at.y + kCell - 2, at.x + kCell - 4, at.y + kCell + 10};
    canvas.DrawText(label, text, kTextCenter | kTextSingleLine, Font{}, kGrey);
    canvas.PopClip();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: tarvelin-artsheet OUT.png [FOLDER]\n");
        return 2;
    }
    const std::string folder = argc > 2 ? argv[2] : TARVELIN_ARTWORK_DIR;
    BmpImageSource images(folder);
    const size_t count = kArtworkBitmaps.size() + 2;
    const int32_t perRow = kSheetWidth / kCell;
    const auto rows = static_cast<int32_t>((count + perRow - 1) / perRow);
    RasterPicture sheet(kSheetWidth, 84 + rows * (kCell + 16), Rgb(255, 255, 255));
    RasterCanvas canvas(sheet);
    Header(canvas, images);
    int32_t n = 0;
    auto place = [&](const IImage* image, const std::string& label) {
        Cell(canvas, image, label, {4 + (n % perRow) * kCell, 80 + (n / perRow) * (kCell + 16)});
        ++n;
    };
    for (const ArtworkBitmap& art : kArtworkBitmaps)
        place(images.Bitmap(art.id).get(), std::to_string(art.id));
    place(LoadBmpFile(folder + "/cursor-101.bmp").get(), "cur 101");
    place(LoadBmpFile(folder + "/icon-1.bmp").get(), "ico 1");
    if (!WritePng(argv[1], sheet)) {
        std::fprintf(stderr, "tarvelin-artsheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
