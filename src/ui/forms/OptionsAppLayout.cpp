// The program settings page: three groups of check boxes and options over the 489 x 194
// panel, with the widget's transparency slider under its check box and the defaults button
// at the bottom right.
#include <array>

#include "ui/forms/FormStyle.h"
#include "ui/forms/OptionsApp.h"

namespace tarvelin::ui {
namespace {

using namespace form_style;
using K = WidgetKind;
constexpr const char* kPanel = "picFormOptionsApp";

// clang-format off
#define GROUP(n, t, c) \
    {.name = n, .kind = K::Label, .parent = kPanel, .rect = {12, t, 477, t + 16}, .caption = c, \
     .font = kBold, .foreColor = kGrey, .backColor = kWhite}
#define CHECK(n, t, c, tab) \
    {.name = n, .kind = K::CheckBox, .parent = kPanel, .rect = {24, t, 477, t + 18}, \
     .caption = c, .font = kText, .backColor = kWhite, .tabIndex = tab}

const std::array kRows = std::to_array<WidgetLayout>({
    GROUP("lblOptionsAppGroupStart", 4, "Параметры запуска и работы приложения"),
    CHECK("chkOptionsAppAutoStart", 21, "Запускать при входе в Windows", 60),
    CHECK("chkOptionsAppTray", 39, "Сворачивать программу в системный трей (к часикам)", 61),
    CHECK("chkOptionsAppCheckDeviceConn", 57,
          "Проверять при запуске наличие модемов и сетевых подключений", 62),
    GROUP("lblOptionsAppGroupWidget", 80, "Отдельное окно графика соединения"),
    CHECK("chkOptionsAppWidget", 97, "Отображать дополнительное окно графика соединения ", 63),
    {.name = "lblOptionsAppSlider", .kind = K::Label, .parent = kPanel, .rect = {42, 116, 477, 130},
     .caption = "Степень прозрачности отдельного окна графика соединения", .font = kText,
     .foreColor = kGrey, .backColor = kWhite},
    {.name = "picOptionsAppSlider", .parent = kPanel, .rect = {42, 131, 342, 151},
     .font = kText, .backColor = kWhite, .tabIndex = 64},
    GROUP("lblOptionsAppGroupUnits", 156, "Измерение скорости соединения в единицах"),
    {.name = "optOptionsAppOptions0", .kind = K::OptionButton, .parent = kPanel,
     .rect = {24, 173, 164, 191}, .caption = "Байт в секунду", .font = kText, .backColor = kWhite,
     .tabIndex = 65, .group = 1},
    {.name = "optOptionsAppOptions1", .kind = K::OptionButton, .parent = kPanel,
     .rect = {170, 173, 310, 191}, .caption = "Бит в секунду", .font = kText, .backColor = kWhite,
     .tabIndex = 66, .group = 1},
    {.name = "cmdOptionsAppDefault", .kind = K::CommandButton, .parent = kPanel,
     .rect = {362, 165, 477, 190}, .caption = "По умолчанию ", .font = kText, .tabIndex = 67},
});
// clang-format on

}  // namespace

std::span<const WidgetLayout> OptionsAppLayout() {
    return kRows;
}

}  // namespace tarvelin::ui
