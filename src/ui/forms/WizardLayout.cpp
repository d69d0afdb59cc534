// The controls of the setup wizard's five pages, each fitted to the 489 x 194 page panel.
#include <array>

#include "ui/Artwork.h"
#include "ui/forms/FormStyle.h"
#include "ui/forms/Wizard.h"

namespace tarvelin::ui {
namespace {

using namespace form_style;
using K = WidgetKind;

// clang-format off
#define TEXT(n, p, l, t, r, b, c) \
    {.name = n, .kind = K::Label, .parent = p, .rect = {l, t, r, b}, .caption = c, .font = kText, \
     .foreColor = kGrey, .backColor = kWhite}
#define BOLD(n, p, l, t, r, b, c) \
    {.name = n, .kind = K::Label, .parent = p, .rect = {l, t, r, b}, .caption = c, .font = kBold, \
     .foreColor = kGrey, .backColor = kWhite}
#define LINK(n, p, l, t, r, b, tab) \
    {.name = n, .parent = p, .rect = {l, t, r, b}, .font = kText, .backColor = kWhite, \
     .tabIndex = tab}
#define COMBO(n, p, l, t, r, tab) \
    {.name = n, .kind = K::ComboBox, .parent = p, .rect = {l, t, r, t + 21}, .font = kText, \
     .tabIndex = tab}

constexpr const char* kPage1 = "picFormMaster1";
constexpr const char* kPage2 = "picFormMaster2";
constexpr const char* kPage3 = "picFormMaster3";
constexpr const char* kPage4 = "picFormMaster4";
constexpr const char* kPage5 = "picFormMaster5";

const std::array kRows = std::to_array<WidgetLayout>({
    // Page 8: plug the phone in.
    BOLD("lblMaster1Title", kPage1, 12, 10, 477, 26, "Установка нового устройства (телефона)"),
    TEXT("lblMaster1Text", kPage1, 12, 38, 477, 66,
         "Подключите мобильный телефон к персональному компьютеру / ноутбуку, используя ИК-порт, "
         "Bluetooth или коммуникационный кабель, и нажмите кнопку "),
    BOLD("lblMaster1Next", kPage1, 12, 66, 120, 80, "\"Далее\"."),
    BOLD("lblMaster1Attention", kPage1, 12, 116, 477, 130, "Внимание:"),
    TEXT("lblMaster1Note", kPage1, 12, 132, 477, 160,
         "Если у вас возникли трудности с подключением мобильного телефона к персональному "
         "компьютеру / ноутбуку, "),
    LINK("picMasterLinkHelp", kPage1, 12, 162, 300, 178, 50),
    // Page 9: the port list.
    TEXT("lblMaster2Text", kPage2, 12, 4, 477, 32,
         "Выберите из списка устройство, для которого хотите установить соединение "
         "GPRS / EDGE / 3G, и нажмите кнопку"),
    BOLD("lblMaster2Next", kPage2, 12, 32, 120, 46, "\"Далее\"."),
    BOLD("lblMaster2Attention", kPage2, 12, 48, 80, 62, "Внимание:"),
    TEXT("lblMaster2Note", kPage2, 80, 48, 477, 87,
         "В случае, если автоматически обнаружить мобильный телефон не удалось, попробуйте "
         "выбрать его вручную на следующем этапе."),
    {.name = "picMasterList", .parent = kPage2, .rect = {12, 88, 460, 162}, .backColor = kWhite,
     .tabIndex = 51},
    {.name = "scrMasterList", .kind = K::ScrollBar, .parent = kPage2, .rect = {460, 88, 477, 162},
     .flags = kHidden},
    {.name = "chkMasterAll", .kind = K::CheckBox, .parent = kPage2, .rect = {12, 164, 380, 179},
     .caption = "Отображать все присутствующие в системе порты", .font = kText,
     .backColor = kWhite, .tabIndex = 52},
    LINK("picMasterLinkRefresh", kPage2, 390, 164, 477, 179, 53),
    {.name = "picMasterProgress", .parent = kPage2, .rect = {12, 181, 477, 193},
     .backColor = kWhite, .flags = kHidden},
    // Page 10: maker, model, connection kind and port.
    TEXT("lblMaster3Text", kPage3, 12, 4, 477, 46,
         "Убедитесь в корректности определения модели телефона и способа подключения. В случае "
         "необходимости, выберите из списка Вашу модель мобильного телефона и способ "
         "подключения."),
    BOLD("lblMaster3GroupModel", kPage3, 12, 50, 236, 64, "Производитель и модель"),
    TEXT("lblMaster3Vendor", kPage3, 20, 68, 236, 82, "Производитель"),
    COMBO("cmbMasterVendors", kPage3, 20, 82, 236, 54),
    TEXT("lblMaster3Model", kPage3, 20, 106, 236, 120, "Модель"),
    COMBO("cmbMasterModels", kPage3, 20, 120, 236, 55),
    TEXT("lblMasterConnDialNumber", kPage3, 20, 144, 236, 158, ""),
    BOLD("lblMaster3GroupPort", kPage3, 252, 50, 477, 64, "Способ подключения и порт"),
    TEXT("lblMaster3Type", kPage3, 260, 68, 477, 82, "Способ подключения"),
    COMBO("cmbMasterTypeConnect", kPage3, 260, 82, 477, 56),
    TEXT("lblMaster3Port", kPage3, 260, 106, 477, 120, "Порт"),
    COMBO("cmbMasterPorts", kPage3, 260, 120, 340, 57),
    TEXT("lblMasterPortDescription", kPage3, 346, 123, 477, 151, "порт"),
    BOLD("lblMaster3Attention", kPage3, 12, 162, 80, 176, "Внимание:"),
    TEXT("lblMaster3Note", kPage3, 80, 162, 477, 190,
         "Если ваш способ подключения отсутствует в списке, значит требуемый драйвер "
         "отсутствует в базе."),
    // Page 11: the summary and the installation.
    TEXT("lblMaster4Text", kPage4, 12, 4, 477, 46,
         "Вся необходимая информация для настройки мобильного телефона, персонального "
         "компьютера / ноутбука собрана. Для установки драйвера модема и настройки соединения "
         "нажмите "),
    BOLD("lblMaster4Install", kPage4, 12, 46, 140, 60, "\"Установить\"."),
    TEXT("lblMaster4Model", kPage4, 20, 62, 110, 75, "Модель:"),
    BOLD("lblMasterResModel", kPage4, 110, 62, 477, 75, "(производитель и модель)"),
    TEXT("lblMaster4Port", kPage4, 20, 75, 110, 88, "Порт:"),
    BOLD("lblMasterResPort", kPage4, 110, 75, 477, 88, "(порт)"),
    TEXT("lblMaster4Type", kPage4, 20, 88, 110, 101, "Подключение:"),
    BOLD("lblMasterResTypeConnect", kPage4, 110, 88, 477, 101, "(способ подключения)"),
    BOLD("lblMaster4Steps", kPage4, 12, 104, 477, 118, "Этапы установки:"),
    {.name = "imgMasterStepModem", .kind = K::Image, .parent = kPage4, .rect = {20, 119, 36, 135},
     .flags = kHidden, .picture = kBitmapTick},
    {.name = "lblMasterStepModem", .kind = K::Label, .parent = kPage4, .rect = {40, 120, 477, 134},
     .caption = "Установка драйвера модема", .font = kText, .foreColor = kStepGrey,
     .backColor = kWhite},
    {.name = "imgMasterStepConnect", .kind = K::Image, .parent = kPage4,
     .rect = {20, 135, 36, 151}, .flags = kHidden, .picture = kBitmapTick},
    {.name = "lblMasterStepConnect", .kind = K::Label, .parent = kPage4,
     .rect = {40, 136, 477, 150}, .caption = "Создание нового соединения для установленного модема",
     .font = kText, .foreColor = kStepGrey, .backColor = kWhite},
    {.name = "picMasterProgress4", .parent = kPage4, .rect = {300, 104, 477, 118},
     .backColor = kWhite, .flags = kHidden},
    BOLD("lblMaster4Attention", kPage4, 12, 153, 80, 167, "Внимание:"),
    TEXT("lblMaster4Note", kPage4, 80, 153, 477, 193,
         "Если в процессе установки драйвера, будет задан вопрос о совместимости, нажмите "
         "\"Все равно продолжить\". Возможно, этот вопрос будет задан несколько раз."),
    // Page 12: reporting a problem.
    TEXT("lblMaster5Text", kPage5, 12, 4, 477, 32,
         "Если установка модема прошла не удачно, пожалуйста, укажите на каком этапе возникла "
         "проблема:"),
    TEXT("lblMaster5Line1", kPage5, 24, 32, 477, 46, "- сотовый телефон был не обнаружен программой, "),
    TEXT("lblMaster5Line2", kPage5, 24, 46, 477, 60,
         "- был обнаружен, но модель телефона была не опознана,"),
    TEXT("lblMaster5Line3", kPage5, 24, 60, 477, 74,
         "- был опознан, но драйвер отсутствовал в базе драйверов."),
    BOLD("lblMaster5Remember", kPage5, 12, 76, 477, 90,
         "Не забудьте указать модель телефона и способ подключения."),
    TEXT("lblMaster5Mail", kPage5, 12, 94, 477, 122,
         "Вопросы и предложения, а также замечания по работе программы с благодарностью будут "
         "приняты и рассмотрены по следующему адресу:"),
    LINK("picMasterLinkMail", kPage5, 24, 122, 300, 138, 60),
    TEXT("lblMaster5Info", kPage5, 12, 142, 477, 170,
         "Подробная информация об особенностях настройки телефона и компьютера для соединения с "
         "Интернетом доступна по следующему адресу:"),
    LINK("picMasterLinkInfo", kPage5, 24, 172, 400, 188, 61),
});
// clang-format on

#undef TEXT
#undef BOLD
#undef LINK
#undef COMBO

}  // namespace

std::span<const WidgetLayout> WizardLayout() {
    return kRows;
}

}  // namespace tarvelin::ui
