#include "ui/forms/frmMainLayout.h"
#include "ui/forms/FormStyle.h"

#include <array>
#include <vector>

namespace tarvelin::ui {
namespace {

using namespace form_style;
using K = WidgetKind;
// A page panel: the page area's size, hidden until its page is shown.
constexpr Rect kPanel{kPageRect.left, kPageRect.top, kPageRect.right + 1, kPageRect.bottom + 1};

// clang-format off
const std::array kWidgets = std::to_array<WidgetLayout>({
    // The header.
    {.name = "imgCommonLogo", .kind = K::Image, .rect = {8, 5, 56, 53}, .picture = 150},
    {.name = "imgCommonTitle", .kind = K::Image, .rect = {62, 9, 166, 41}, .picture = 151},
    {.name = "imgCommonGPRS", .kind = K::Image, .rect = {64, 36, 116, 56}, .picture = 152},
    {.name = "imgCommonToolbar", .kind = K::Image, .rect = {272, 8, 428, 50}},
    {.name = "picCommonToolbarOptions", .rect = {274, 9, 322, 49}, .backColor = kWhite,
     .tabIndex = 1},
    {.name = "picCommonToolbarUpdate", .rect = {326, 9, 374, 49}, .backColor = kWhite,
     .tabIndex = 2},
    {.name = "picCommonToolbarAbout", .rect = {378, 9, 426, 49}, .backColor = kWhite,
     .tabIndex = 3},
    {.name = "picCommonButtonMinimaze", .rect = {452, 8, 468, 24}, .backColor = kWhite,
     .tabIndex = 4, .picture = 104},
    {.name = "picCommonButtonClose", .rect = {472, 8, 488, 24}, .backColor = kWhite,
     .tabIndex = 5, .picture = 105},
    {.name = "picCommonTray", .rect = {0, 0, 1, 1}, .flags = kHidden},
    // The foot: versions and the common buttons.
    {.name = "lblCommonVersionAppCaption", .kind = K::Label, .rect = {10, 258, 150, 272},
     .caption = "Версия приложения:", .font = kSmall, .foreColor = kGrey},
    {.name = "lblCommonVersionBaseCaption", .kind = K::Label, .rect = {10, 274, 150, 288},
     .caption = "Версия базы драйверов:", .font = kSmall, .foreColor = kGrey},
    {.name = "lblCommonVersionApp", .kind = K::Label, .rect = {152, 258, 240, 272},
     .font = kSmall, .foreColor = kGrey},
    {.name = "lblCommonVersionBase", .kind = K::Label, .rect = {152, 274, 240, 288},
     .font = kSmall, .foreColor = kGrey},
    {.name = "cmdCommonBack", .kind = K::CommandButton, .rect = {246, 262, 326, 286},
     .caption = "< Назад", .font = kText, .tabIndex = 20},
    {.name = "cmdCommonNext", .kind = K::CommandButton, .rect = {330, 262, 410, 286},
     .caption = "Далее >", .font = kText, .tabIndex = 21},
    {.name = "cmdCommonClose", .kind = K::CommandButton, .rect = {414, 262, 494, 286},
     .caption = "Отмена", .font = kText, .tabIndex = 22},
    // The pages.
    {.name = "picFormMain", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormAbout", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormUpdate", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormOptions", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormOptionsApp", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormOptionsModems", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormOptionsConns", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormMaster1", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormMaster2", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormMaster3", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormMaster4", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    {.name = "picFormMaster5", .rect = kPanel, .backColor = kWhite, .flags = kHidden},
    // Page 2: about.
    {.name = "lblAboutTitle", .kind = K::Label, .parent = "picFormAbout", .rect = {12, 8, 477, 38},
     .caption = "Tarvelin позволяет настроить мобильный телефон и персональный компьютер "
                "(ноутбук) для доступа в сеть Интернет.",
     .font = kBold, .foreColor = kGrey, .backColor = kWhite},
    {.name = "lblAboutComponents", .kind = K::Label, .parent = "picFormAbout",
     .rect = {12, 44, 477, 58}, .caption = "Компоненты продукта и их версии:", .font = kText,
     .foreColor = kGrey, .backColor = kWhite},
    {.name = "lblAboutVersion", .kind = K::Label, .parent = "picFormAbout",
     .rect = {24, 60, 477, 74}, .font = kText, .foreColor = kGrey, .backColor = kWhite},
    {.name = "lblAboutVersionDb", .kind = K::Label, .parent = "picFormAbout",
     .rect = {24, 76, 477, 90}, .font = kText, .foreColor = kGrey, .backColor = kWhite},
    {.name = "lblAboutServices", .kind = K::Label, .parent = "picFormAbout",
     .rect = {12, 96, 477, 110},
     .caption = "Об услугах передачи данных оператора читайте на его странице:", .font = kText,
     .foreColor = kGrey, .backColor = kWhite},
    {.name = "picAboutLinkServicesInternet", .parent = "picFormAbout", .rect = {24, 112, 200, 128},
     .font = kText, .backColor = kWhite, .tabIndex = 30},
    {.name = "lblAboutFeedback", .kind = K::Label, .parent = "picFormAbout",
     .rect = {12, 132, 477, 160},
     .caption = "Информацию по работе программы Tarvelin просьба присылать на электронный адрес:",
     .font = kText, .foreColor = kGrey, .backColor = kWhite},
    {.name = "picAboutLinkQVT", .parent = "picFormAbout", .rect = {24, 160, 200, 176},
     .font = kText, .backColor = kWhite, .tabIndex = 31},
    {.name = "lblAboutRights", .kind = K::Label, .parent = "picFormAbout",
     .rect = {12, 178, 477, 192}, .font = kSmall, .foreColor = kGrey, .backColor = kWhite},
    // Page 4: the options menu.
    {.name = "lblOptionsTitle", .kind = K::Label, .parent = "picFormOptions",
     .rect = {12, 10, 477, 26}, .caption = "Выберите, что Вы хотите сделать:", .font = kBold,
     .foreColor = kGrey, .backColor = kWhite},
    {.name = "optOptionsSelect0", .kind = K::OptionButton, .parent = "picFormOptions",
     .rect = {24, 40, 470, 60}, .caption = "Добавить новое устройство (мобильный телефон)",
     .font = kText, .backColor = kWhite, .tabIndex = 40, .group = 1},
    {.name = "optOptionsSelect1", .kind = K::OptionButton, .parent = "picFormOptions",
     .rect = {24, 70, 470, 90}, .caption = "Изменить настройки соединений", .font = kText,
     .backColor = kWhite, .tabIndex = 41, .group = 1},
    {.name = "optOptionsSelect2", .kind = K::OptionButton, .parent = "picFormOptions",
     .rect = {24, 100, 470, 120}, .caption = "Изменить настройки программы", .font = kText,
     .backColor = kWhite, .tabIndex = 42, .group = 1},
    {.name = "optOptionsSelect3", .kind = K::OptionButton, .parent = "picFormOptions",
     .rect = {24, 130, 470, 150}, .caption = "Установленные модемы в системе", .font = kText,
     .backColor = kWhite, .tabIndex = 43, .group = 1},
});
// clang-format on

std::vector<WidgetLayout> AllRows() {
    std::vector<WidgetLayout> rows(kWidgets.begin(), kWidgets.end());
    for (const auto page : PageLayouts()) rows.insert(rows.end(), page.begin(), page.end());
    return rows;
}

}  // namespace

const char* const kPagePanels[kPageCount + 1] = {
    "",
    "picFormMain",
    "picFormAbout",
    "picFormUpdate",
    "picFormOptions",
    "picFormOptionsApp",
    "picFormOptionsModems",
    "picFormOptionsConns",
    "picFormMaster1",
    "picFormMaster2",
    "picFormMaster3",
    "picFormMaster4",
    "picFormMaster5",
};

const FormLayout& MainFormLayout() {
    static const std::vector<WidgetLayout> rows = AllRows();
    static const FormLayout layout{{.name = "frmMain",
                                    .kind = K::Form,
                                    .rect = {0, 0, kMainFormWidth, kMainFormHeight},
                                    .caption = "Tarvelin",
                                    .font = kText,
                                    .backColor = kWhite},
                                   rows};
    return layout;
}

}  // namespace tarvelin::ui
