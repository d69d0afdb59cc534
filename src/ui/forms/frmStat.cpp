#include "ui/forms/frmStat.h"

#include "ui/widgets/Layout.h"

namespace tarvelin::ui {
namespace {

constexpr Color kColourKey = platform::Rgb(255, 255, 255);
// Layered, transparent to the mouse, topmost; a tool window keeps it off the task bar and
// out of the task switcher.
constexpr uint32_t kWidgetStyles =
    kStyleLayered | kStyleTransparent | kStyleTopmost | kStyleToolWindow | kStyleNoActivate;

}  // namespace

std::unique_ptr<frmStat> frmStat::Load(IBinding& binding, uint8_t transparent) {
    std::shared_ptr<Form> form = BuildForm(StatFormLayout(), binding);
    if (!form) return nullptr;
    auto widget = std::make_unique<frmStat>(PassKey<frmStat>{}, std::move(form));
    widget->font_.pixelHeight = widget->font_.pixelHeight * binding.TwipsPerPixel() / 15;
    widget->Transparent(transparent);
    return widget;
}

frmStat::frmStat(PassKey<frmStat>, std::shared_ptr<Form> form)
    : form_(std::move(form)), font_(form_->GetFont()) {
    form_->SetShowInTaskbar(false);
}

frmStat::~frmStat() {
    form_->Close();
}

void frmStat::Transparent(uint8_t value) {
    form_->SetBackColor(kColourKey);
    form_->SetColorKey(kColourKey);
    form_->SetExtendedStyle(form_->ExtendedStyle() | kWidgetStyles);
    form_->SetOpacity(value);
}

platform::ICanvas& frmStat::Prepare(const Rect& workArea, int32_t height) {
    form_->SetBounds(
        {workArea.right - kWidgetWidth, workArea.bottom - height, workArea.right, workArea.bottom});
    form_->Clear();
    return form_->Canvas();
}

void frmStat::Present() {
    form_->SetVisible(true);
    form_->Refresh();
}

}  // namespace tarvelin::ui
