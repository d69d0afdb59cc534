#include <array>

#include "ui/forms/frmStat.h"
#include "ui/widgets/Layout.h"

namespace tarvelin::ui {

const FormLayout& StatFormLayout() {
    static const FormLayout layout{{.name = "frmStat",
                                    .kind = WidgetKind::Form,
                                    .rect = {0, 0, kWidgetWidth, kWidgetBand},
                                    .caption = "Tarvelin",
                                    .font = {"Arial", 12, false, false},
                                    .backColor = platform::Rgb(255, 255, 255)},
                                   {}};
    return layout;
}

}  // namespace tarvelin::ui
