// How painting the owner-drawn list scales with its length: one PaintList of 10 and of 10,000
// items (each with a picture, a title and a wrapped status line) on a 400 x 200 raster
// canvas, scrolled to the top. The table comes from the benchmark library; the line after it,
//   ratio paintlist_10000_vs_10 <x>
// is the time of one paint of 10,000 items over one of 10 (lower is better; 1 means the
// length costs nothing), the median of interleaved repetitions in this thread's processor
// time. `--ratios-only` skips the table.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "draw/PaintList.h"
#include "platform/posix/RasterCanvas.h"

namespace tarvelin {
namespace {

// A list of that many ports as the setup wizard shows them, with its canvas.
struct BenchList {
    explicit BenchList(int count) : picture(400, 200), canvas(picture), icon(16, 16, 0x808080) {
        for (int i = 0; i < count; ++i) {
            ListItem item;
            item.text1 =
                "COM" + std::to_string(i + 1) + " - Стандартный модем по соединению Bluetooth";
            item.text2 = i % 3 == 0 ? "Найден модем: Nokia 6230, ответ на AT-команды получен" : "";
            item.number2 = 1;
            items.push_back(std::move(item));
        }
    }
    void Paint() {
        const platform::IImage* images[] = {&icon};
        int32_t first = 1;
        PaintList(canvas, {0, 0, 400, 200}, platform::Font{"Tahoma", 11}, scroll, first, 2, 0,
                  items, images);
        benchmark::DoNotOptimize(first);
    }
    platform::RasterPicture picture;
    platform::RasterCanvas canvas;
    platform::RasterPicture icon;
    std::vector<ListItem> items;
    ListScrollBar scroll;
};

void BM_PaintList(benchmark::State& state) {
    BenchList list(static_cast<int>(state.range(0)));
    for (auto _ : state) list.Paint();
}
BENCHMARK(BM_PaintList)->Arg(10)->Arg(10000)->Unit(benchmark::kMicrosecond);

using bench::ThreadSeconds;

// Processor seconds of one paint of a list of that length.
double PerPaint(BenchList& list, int passes) {
    const double start = ThreadSeconds();
    for (int i = 0; i < passes; ++i) list.Paint();
    return (ThreadSeconds() - start) / passes;
}

double PaintRatio() {
    BenchList small(10), large(10000);
    return bench::MedianRatio(
        15, [&] { return PerPaint(small, 100); }, [&] { return PerPaint(large, 100); });
}

}  // namespace
}  // namespace tarvelin

int main(int argc, char** argv) {
    tarvelin::bench::RunTableUnlessRatiosOnly(argc, argv);
    std::printf("ratio paintlist_10000_vs_10 %.3f\n", tarvelin::PaintRatio());
    return 0;
}
