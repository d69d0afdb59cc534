#pragma once
// The desktop widget: a borderless window at the bottom-right corner of the work area that
// shows one traffic graph per active connection, above every other window. It is layered
// with white as its colour key, so only the graphs show, at the opacity the user chose, and
// the mouse passes through it to whatever lies below. It has no controls: the main page
// draws the graphs into it on every tick of its poll.
#include <cstdint>
#include <memory>

#include "platform/PassKey.h"
#include "ui/widgets/Binding.h"
#include "ui/widgets/Layout.h"

namespace tarvelin::ui {

inline constexpr int32_t kWidgetWidth = 404;
inline constexpr int32_t kWidgetBand = 94;  // one connection's band: a 90-pixel graph and margins

// The widget's form: its size is set when it is placed.
const FormLayout& StatFormLayout();

class frmStat {
  public:
    // The widget, built hidden; null when the window cannot be made.
    static std::unique_ptr<frmStat> Load(IBinding& binding, uint8_t transparent);
    frmStat(PassKey<frmStat>, std::shared_ptr<Form> form);
    ~frmStat();  // closes the window
    frmStat(const frmStat&) = delete;
    frmStat& operator=(const frmStat&) = delete;

    Form& Window() const { return *form_; }
    // The opacity, 0 (invisible while it still exists) to 255.
    uint8_t Transparent() const { return form_->Opacity(); }
    void Transparent(uint8_t value);
    // The font of the graphs' labels, scaled with the screen's text size.
    const platform::Font& GraphFont() const { return font_; }
    // Sizes the widget to height pixels at the work area's bottom-right corner and clears it
    // to the colour key; the caller then draws the bands and calls Present.
    platform::ICanvas& Prepare(const Rect& workArea, int32_t height);
    // Shows the widget without taking the keyboard from anyone, and repaints it.
    void Present();

  private:
    std::shared_ptr<Form> form_;
    platform::Font font_;
};

}  // namespace tarvelin::ui
