#pragma once
// A skinned control over a picture box: a toolbar button, a plain window button, a link or
// the slider. It paints the box, handles its mouse, keys and focus, follows hovering with
// the shared tick, and reports through CanClick, Click and ChangeValue.
//
// A handler may release or drop the control from inside any of its events: every entry
// point holds the control until it returns.
#include <cstdint>
#include <memory>
#include <string>

#include "core/Event.h"
#include "platform/PassKey.h"
#include "ui/controls/HoverTracker.h"
#include "ui/widgets/Binding.h"
#include "ui/widgets/PictureBox.h"

namespace tarvelin::ui {

enum ControlKind : int32_t {
    kToolbarButton = 1,
    kWindowButton = 2,
    kLinkButton = 3,
    kSlider = 4,
};

inline constexpr uint16_t kHandCursor = 101;
inline constexpr uint16_t kLinkIcon = 103;
inline constexpr Color kFocusColor = 0x1E1E1E;

class PCControl : public std::enable_shared_from_this<PCControl> {
  public:
    static std::shared_ptr<PCControl> Create(IBinding& binding) {
        return std::make_shared<PCControl>(PassKey<PCControl>{}, binding);
    }
    PCControl(PassKey<PCControl>, IBinding& binding) : binding_(binding) {}
    ~PCControl();
    PCControl(const PCControl&) = delete;
    PCControl& operator=(const PCControl&) = delete;

    void ControlInit(std::shared_ptr<PictureBox> box, int32_t kind, const std::string& toolTip);
    void ControlRefresh();
    void ControlRelease();

    void SetPropertiesButtonToolbar(uint16_t normal, uint16_t hover, uint16_t selected);
    void SetPropertiesButtonToolbarState(bool selected);
    void SetPropertiesButtonLink(const std::string& caption, const std::string& address);
    void SetPropertiesSlider(int32_t paramA, bool horizontal, int32_t paramB, int32_t pageStep,
                             int32_t smallStep, int32_t minimum, int32_t value, int32_t maximum);

    int32_t Kind() const { return kind_; }
    PictureBox* Box() const { return box_.get(); }
    bool Selected() const { return selected_; }
    bool Pressed() const { return pressed_; }
    bool Hovering() const { return hover_; }
    int32_t Value() const { return slider_.value; }
    const Rect& Thumb() const { return thumb_; }

    Event<bool&> CanClick;  // Allow
    Event<> Click;
    Event<int32_t> ChangeValue;

  private:
    struct SliderSettings {
        int32_t paramA = 0, paramB = 1, pageStep = 1, smallStep = 1;
        int32_t minimum = 0, value = 0, maximum = 0;
        bool horizontal = true;
    };

    void Paint();
    void PaintLink(platform::ICanvas& canvas);
    void PaintSlider(platform::ICanvas& canvas);
    void OnMouseDown(const MouseArgs& args);
    void OnMouseMove(const MouseArgs& args);
    void OnMouseUp(const MouseArgs& args);
    void OnKeyDown(const KeyArgs& args);
    void OnKeyUp(const KeyArgs& args);
    void OnFocus(bool focus);
    bool BeginPress();
    void EndPress(bool counted);
    void MoveBy(int32_t pixels);  // right and down
    // Buttons move one pixel while pressed; links and the slider stay.
    bool Shifts() const { return kind_ != kLinkButton && kind_ != kSlider; }
    void Activate();
    void StartHover();
    void OnHoverTick();
    void SliderKey(int32_t keyCode);
    int32_t ValueAt(const MouseArgs& args) const;
    bool CursorInside(const Rect& area) const;

    IBinding& binding_;
    std::shared_ptr<PictureBox> box_;
    int32_t kind_ = 0;
    uint16_t images_[3] = {0, 0, 0};  // normal, hover, selected
    bool selected_ = false;
    std::string caption_;
    std::string address_;
    int32_t iconWidth_ = 0;
    SliderSettings slider_;
    Rect thumb_;
    bool focus_ = false, pressed_ = false, hover_ = false, dragging_ = false;
    HoverTracker tracker_;
    std::vector<Connection> connections_;
};

// A control made over the picture box and initialised (ControlInit).
std::shared_ptr<PCControl> CreateSkinnedControl(IBinding& binding, std::shared_ptr<PictureBox> box,
                                                int32_t kind, const std::string& toolTip);

}  // namespace tarvelin::ui
