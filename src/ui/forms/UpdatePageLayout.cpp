// The update page's controls on the 489 x 194 page panel: the description, the five steps
// with their ticks, the progress strip, the information line and the update button.
#include <array>

#include "ui/Artwork.h"
#include "ui/forms/FormStyle.h"
#include "ui/forms/UpdatePage.h"

namespace tarvelin::ui {
namespace {

using namespace form_style;
using K = WidgetKind;
constexpr const char* kPage = "picFormUpdate";

// clang-format off
#define STEP(i, text) \
    {.name = "imgUpdateStep" #i, .kind = K::Image, .parent = kPage, \
     .rect = {20, 54 + 16 * (i), 36, 70 + 16 * (i)}, .flags = kHidden, .picture = kBitmapTick}, \
    {.name = "lblUpdateStep" #i, .kind = K::Label, .parent = kPage, \
     .rect = {40, 55 + 16 * (i), 477, 69 + 16 * (i)}, .caption = text, .font = kText, \
     .foreColor = kStepGrey, .backColor = kWhite}

const std::array kRows = std::to_array<WidgetLayout>({
    {.name = "lblUpdateDescription", .kind = K::Label, .parent = kPage, .rect = {12, 6, 470, 48},
     .caption = "Функция автоматического обновления позволяет загрузить и установить последнюю "
                "версию приложения с актуальной базой драйверов модемов и обновить "
                "рекомендуемые настройки соединений.",
     .font = kText, .foreColor = kGrey, .backColor = kWhite},
    STEP(0, "Проверка прав пользователя"),
    STEP(1, "Соединение с сервером"),
    STEP(2, "Проверка новой версии"),
    STEP(3, "Загрузка новой версии"),
    STEP(4, "Завершение соединения с сервером"),
    {.name = "picUpdateProgress", .parent = kPage, .rect = {12, 140, 477, 154},
     .backColor = kWhite},
    {.name = "lblUpdateInfo", .kind = K::Label, .parent = kPage, .rect = {12, 158, 330, 190},
     .font = kText, .backColor = kWhite},
    {.name = "cmdUpdateRun", .kind = K::CommandButton, .parent = kPage,
     .rect = {340, 160, 477, 185}, .caption = "Обновить приложение", .font = kText,
     .tabIndex = 30},
});
// clang-format on

}  // namespace

std::span<const WidgetLayout> UpdatePageLayout() {
    return kRows;
}

}  // namespace tarvelin::ui
