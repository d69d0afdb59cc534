// The connection editor's controls: the footer panel with the title and description on top,
// then the name, the dial parameters with the access point, the addresses (each address
// control inside its holder) and the proxy, and the link and the two buttons at the bottom.
#include <array>

#include "ui/forms/FormStyle.h"
#include "ui/forms/frmEditConnection.h"

namespace tarvelin::ui {
namespace {

using namespace form_style;
using K = WidgetKind;
constexpr Color kSubTitle = platform::Rgb(192, 0, 0);

// Caption column and field column of a row at y.
constexpr int32_t kFieldLeft = 190, kRight = kEditorWidth - 12;
constexpr Rect Caption(int32_t y, int32_t left = 12) {
    return {left, y + 3, kFieldLeft - 4, y + 18};
}
constexpr Rect Field(int32_t y) {
    return {kFieldLeft, y, kRight, y + 21};
}
constexpr Rect Holder(int32_t y) {
    return {kFieldLeft, y, kFieldLeft + 136, y + 21};
}
constexpr Rect SubTitle(int32_t y) {
    return {12, y, kRight, y + 16};
}

// clang-format off
const std::array kWidgets = std::to_array<WidgetLayout>({
    {.name = "picFooterPanel", .rect = {1, 1, kEditorWidth - 1, 105}, .backColor = kWhite},
    {.name = "lblFooterTitle", .kind = K::Label, .parent = "picFooterPanel",
     .rect = {12, 8, kRight, 24}, .caption = "Параметры выбранного соединения", .font = kBold,
     .foreColor = kWhite},
    {.name = "lblFooterDesc", .kind = K::Label, .parent = "picFooterPanel",
     .rect = {12, 38, kRight, 104},
     .caption = "Здесь Вы можете задать наиболее часто изменяемые настройки соединения. Не все "
                "сохраненные настройки могут сразу вступить в силу. Например, если соединение "
                "установлено, настройки будут задействованы при следующем сеансе связи. Также "
                "можно применить рекомендуемые настройки.",
     .font = kText},
    {.name = "lblNameConnection", .kind = K::Label, .rect = Caption(114), .caption = "Название",
     .font = kText},
    {.name = "txtNameConnection", .kind = K::TextBox, .rect = Field(114), .font = kText,
     .tabIndex = 1},

    {.name = "lblSubTitleDialParams", .kind = K::Label, .rect = SubTitle(146),
     .caption = "Учетная запись пользователя и параметры входа в сеть", .font = kBold,
     .foreColor = kSubTitle},
    {.name = "lblPhoneNumber", .kind = K::Label, .rect = Caption(166),
     .caption = "Номер телефона", .font = kText},
    {.name = "txtPhoneNumber", .kind = K::TextBox, .rect = Field(166), .font = kText,
     .tabIndex = 2},
    {.name = "lblUserName", .kind = K::Label, .rect = Caption(191),
     .caption = "Имя пользователя", .font = kText},
    {.name = "txtUserName", .kind = K::TextBox, .rect = Field(191), .font = kText, .tabIndex = 3},
    {.name = "lblPassword", .kind = K::Label, .rect = Caption(216), .caption = "Пароль",
     .font = kText},
    {.name = "txtPassword", .kind = K::TextBox, .rect = Field(216), .font = kText, .tabIndex = 4,
     .flags = kPassword},
    {.name = "lblDomain", .kind = K::Label, .rect = Caption(241), .caption = "Домен",
     .font = kText},
    {.name = "txtDomain", .kind = K::TextBox, .rect = Field(241), .font = kText, .tabIndex = 5},
    {.name = "lblUserInit", .kind = K::Label, .rect = Caption(266), .caption = "Точка доступа",
     .font = kText},
    {.name = "txtUserInit", .kind = K::TextBox, .rect = Field(266), .font = kText, .tabIndex = 6},

    {.name = "lblSubTitleEntryProperties", .kind = K::Label, .rect = SubTitle(298),
     .caption = "Настройки IP адресов для выбранного соединения", .font = kBold,
     .foreColor = kSubTitle},
    {.name = "lblIpAddr", .kind = K::Label, .rect = Caption(318),
     .caption = "IP адрес компьютера", .font = kText},
    {.name = "picHolderIpAddress0", .rect = Holder(318), .backColor = kWhite, .tabIndex = 7},
    {.name = "IP Control 0", .kind = K::IpAddress, .parent = "picHolderIpAddress0",
     .rect = {0, 0, 136, 21}, .font = kText},
    {.name = "lblIpAddrDNS", .kind = K::Label, .rect = Caption(343), .caption = "Сервера DNS:",
     .font = kText},
    {.name = "lblIpAddrDNS1", .kind = K::Label, .rect = Caption(343, 110), .caption = "первичный",
     .font = kText},
    {.name = "picHolderIpAddress1", .rect = Holder(343), .backColor = kWhite, .tabIndex = 8},
    {.name = "IP Control 1", .kind = K::IpAddress, .parent = "picHolderIpAddress1",
     .rect = {0, 0, 136, 21}, .font = kText},
    {.name = "lblIpAddrDNS2", .kind = K::Label, .rect = Caption(368, 110), .caption = "вторичный",
     .font = kText},
    {.name = "picHolderIpAddress2", .rect = Holder(368), .backColor = kWhite, .tabIndex = 9},
    {.name = "IP Control 2", .kind = K::IpAddress, .parent = "picHolderIpAddress2",
     .rect = {0, 0, 136, 21}, .font = kText},
    {.name = "lblIpAddrWINS", .kind = K::Label, .rect = Caption(393),
     .caption = "Сервера WINS:", .font = kText},
    {.name = "lblIpAddrWINS1", .kind = K::Label, .rect = Caption(393, 110), .caption = "первичный",
     .font = kText},
    {.name = "picHolderIpAddress3", .rect = Holder(393), .backColor = kWhite, .tabIndex = 10},
    {.name = "IP Control 3", .kind = K::IpAddress, .parent = "picHolderIpAddress3",
     .rect = {0, 0, 136, 21}, .font = kText},
    {.name = "lblIpAddrWINS2", .kind = K::Label, .rect = Caption(418, 110), .caption = "вторичный",
     .font = kText},
    {.name = "picHolderIpAddress4", .rect = Holder(418), .backColor = kWhite, .tabIndex = 11},
    {.name = "IP Control 4", .kind = K::IpAddress, .parent = "picHolderIpAddress4",
     .rect = {0, 0, 136, 21}, .font = kText},

    {.name = "lblSubTitleProxy", .kind = K::Label, .rect = SubTitle(450),
     .caption = "Настройки прокси сервера", .font = kBold, .foreColor = kSubTitle},
    {.name = "lblProxyServer", .kind = K::Label, .rect = Caption(470), .caption = "Адрес сервера",
     .font = kText},
    {.name = "txtProxyServer", .kind = K::TextBox, .rect = Field(470), .font = kText,
     .tabIndex = 12},
    {.name = "lblProxyBypass", .kind = K::Label, .rect = {12, 496, kFieldLeft - 4, 526},
     .caption = "Не использовать прокси для следующих адресов", .font = kText},
    {.name = "txtProxyBypass", .kind = K::TextBox, .rect = Field(499), .font = kText,
     .tabIndex = 13},

    {.name = "picLinkSettingsQVT", .rect = {12, 552, 260, 572}, .font = kText,
     .backColor = kWhite, .tabIndex = 14},
    {.name = "cmdSave", .kind = K::CommandButton, .rect = {292, 548, 378, 574},
     .caption = "Сохранить", .font = kText, .tabIndex = 15},
    {.name = "cmdClose", .kind = K::CommandButton, .rect = {382, 548, kRight, 574},
     .caption = "Отменить", .font = kText, .tabIndex = 16},
});
// clang-format on

}  // namespace

const FormLayout& EditConnectionFormLayout() {
    static const FormLayout layout{{.name = "frmEditConnection",
                                    .kind = WidgetKind::Form,
                                    .rect = {0, 0, kEditorWidth, kEditorHeight},
                                    .caption = "Изменение настроек соединения",
                                    .font = kText,
                                    .backColor = kWhite},
                                   kWidgets};
    return layout;
}

}  // namespace tarvelin::ui
