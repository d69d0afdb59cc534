// The main page's controls: the list of modems with the connect button above, the graph
// below with the figures panel over its right part, and the two notices the graph shows
// until the first connection (on the graph, as windowless labels show only on their parent).
#include <array>

#include "ui/forms/FormStyle.h"
#include "ui/forms/MainPage.h"

namespace tarvelin::ui {
namespace {

using namespace form_style;
using K = WidgetKind;
constexpr Color kPanel = platform::Rgb(48, 48, 52);  // blended at 210 of 255 behind the figures
const Font kFigures{"Tahoma", 10, false, false};
constexpr Rect kGraph{8, 36, 481, 190};

// clang-format off
const std::array kRows = std::to_array<WidgetLayout>({
    {.name = "cmbMainConn", .kind = K::ComboBox, .parent = "picFormMain", .rect = {8, 8, 340, 29},
     .font = kText, .tabIndex = 10, .toolTip = "Модем, через который устанавливается соединение",
     .flags = kDisabled},
    {.name = "cmdMainConnect", .kind = K::CommandButton, .parent = "picFormMain",
     .rect = {348, 6, 481, 31}, .caption = "Соединить", .font = kText, .tabIndex = 11,
     .flags = kDisabled},
    {.name = "imgMainStat", .kind = K::Image, .parent = "picFormMain",
     .rect = {kGraph.left - 1, kGraph.top - 1, kGraph.right + 1, kGraph.bottom + 1},
     .flags = kHidden},
    {.name = "picMainGraph", .parent = "picFormMain", .rect = kGraph, .font = kText,
     .backColor = kWhite},
    {.name = "picMainStat", .parent = "picFormMain", .rect = {276, 38, 479, 188},
     .font = kFigures, .backColor = kPanel, .flags = kHidden},
    {.name = "lblMainWarning1", .kind = K::Label, .parent = "picMainGraph",
     .rect = {12, 34, 461, 50}, .caption = "Внимание!", .font = kBold,
     .foreColor = platform::Rgb(200, 0, 0), .backColor = kWhite, .flags = kCentred},
    {.name = "lblMainWarning2", .kind = K::Label, .parent = "picMainGraph",
     .rect = {32, 54, 441, 100},
     .caption = "Объем переданного/полученного трафика может отличаться от детализации в счете. "
                "Отличия обусловлены различными методиками подсчета и округления трафика.",
     .font = kText, .foreColor = kGrey, .backColor = kWhite, .flags = kCentred},
});
// clang-format on

}  // namespace

std::span<const WidgetLayout> MainPageLayout() {
    return kRows;
}

}  // namespace tarvelin::ui
