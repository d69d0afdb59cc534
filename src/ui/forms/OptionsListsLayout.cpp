// The modems and connections pages: the list with its refresh link above and its "all" box
// below on the left, the chosen item's name, its information and the action buttons on the right.
#include <array>

#include "ui/Artwork.h"
#include "ui/forms/FormStyle.h"
#include "ui/forms/OptionsLists.h"

namespace tarvelin::ui {
namespace {

using namespace form_style;
using K = WidgetKind;
constexpr const char* kModems = "picFormOptionsModems";
constexpr const char* kConns = "picFormOptionsConns";
constexpr int32_t kListRight = 290, kSide = 318, kRight = 477;

// clang-format off
#define LIST(prefix, p, tab) \
    {.name = "pic" prefix "LinkRefresh", .parent = p, \
     .rect = {kListRight - 59, 4, kListRight + 17, 20}, .font = kText, .backColor = kWhite, \
     .tabIndex = tab + 2}, \
    {.name = "pic" prefix "List", .parent = p, .rect = {12, 22, kListRight, 166}, \
     .font = kText, .backColor = kWhite, .tabIndex = tab}, \
    {.name = "scr" prefix "List", .kind = K::ScrollBar, .parent = p, \
     .rect = {kListRight, 22, kListRight + 17, 166}, .flags = kHidden}
#define ALL(n, p, c, tab) \
    {.name = n, .kind = K::CheckBox, .parent = p, .rect = {12, 170, kListRight + 17, 190}, \
     .caption = c, .font = kText, .backColor = kWhite, .tabIndex = tab}
#define SELECT(n, p, b, c) \
    {.name = n, .kind = K::Label, .parent = p, .rect = {kSide, 4, kRight, b}, .caption = c, \
     .font = kBold, .foreColor = kGrey, .backColor = kWhite}
#define INFO(n, p, t, b, c) \
    {.name = n, .kind = K::Label, .parent = p, .rect = {kSide, t, kRight, b}, .caption = c, \
     .font = kText, .foreColor = kGrey, .backColor = kWhite}
#define BUTTON(n, p, t, c, tab) \
    {.name = n, .kind = K::CommandButton, .parent = p, .rect = {kSide, t, kRight, t + 23}, \
     .caption = c, .font = kText, .tabIndex = tab, .flags = kDisabled}
#define NOTE(n, p, t, b, c) \
    {.name = n, .kind = K::Label, .parent = p, .rect = {kSide, t, kRight, b}, .caption = c, \
     .font = kSmall, .foreColor = kGrey, .backColor = kWhite}

const std::array kRows = std::to_array<WidgetLayout>({
    // Page 6: the modems.
    LIST("OptionsModems", kModems, 70),
    {.name = "imgOptionsModemsIcon1", .kind = K::Image, .parent = kModems, .rect = {0, 0, 32, 32},
     .flags = kHidden, .picture = PortKindBitmap(1)},
    ALL("chkOptionsModemsAll", kModems, "Отобразить устройства всех типов", 71),
    SELECT("lblOptionsModemsSelect", kModems, 34, "Модем"),
    INFO("lblOptionsModemsInfo", kModems, 36, 90, "Описание"),
    BUTTON("cmdOptionsModemsCreateConnection", kModems, 92, "Создать подключение", 73),
    NOTE("lblOptionsModemsCreateNote", kModems, 116, 166,
         "Будет создано новое подключение с рекомендуемыми настройками"),
    BUTTON("cmdOptionsModemsDelete", kModems, 167, "Удалить устройство", 74),
    // Page 7: the connections.
    LIST("OptionsConns", kConns, 80),
    {.name = "imgOptionsConnsIcon1", .kind = K::Image, .parent = kConns, .rect = {0, 0, 52, 20},
     .flags = kHidden, .picture = kBitmapGprs},
    ALL("chkOptionsConnsAll", kConns, "Отобразить соединения всех типов", 81),
    SELECT("lblOptionsConnsSelect", kConns, 20, "Соединение"),
    INFO("lblOptionsConnsInfo", kConns, 22, 50, "Описание"),
    BUTTON("cmdOptionsConnsDial", kConns, 52, "Установить соединение", 83),
    BUTTON("cmdOptionsConnsEdit", kConns, 77, "Изменить настройки", 84),
    NOTE("lblOptionsConnsEditNote", kConns, 101, 141,
         "Изменить настройки можно только для подключений с помощью модема"),
    BUTTON("cmdOptionsConnsProp", kConns, 142, "Показать свойства", 85),
    BUTTON("cmdOptionsConnsDelete", kConns, 167, "Удалить", 86),
});
// clang-format on

}  // namespace

std::span<const WidgetLayout> OptionsListsLayout() {
    return kRows;
}

}  // namespace tarvelin::ui
