#include "ui/controls/PCControl.h"

#include <algorithm>

#include "core/modAppRoutine.h"
#include "draw/Slider.h"

namespace tarvelin::ui {
namespace {

constexpr Color kLinkColor = 255;
constexpr int32_t kThumbSize = 10;
constexpr int kShowDefault = 10;  // SW_SHOWDEFAULT

bool IsPressKey(int32_t keyCode) {
    return keyCode == kKeyReturn || keyCode == kKeySpace;
}

}  // namespace

// A control dropped in the middle of a press puts its box back where it was.
PCControl::~PCControl() {
    ControlRelease();
}

// Every event reaches the control through a weak reference and holds it while it runs, so
// that a handler of the control's own events may drop the control.
void PCControl::ControlInit(std::shared_ptr<PictureBox> box, int32_t kind,
                            const std::string& toolTip) {
    ControlRelease();
    if (!box) return;
    box_ = std::move(box);
    kind_ = kind;
    box_->SetBorder(false);
    box_->SetToolTip(toolTip);
    const Color containerBack = box_->Parent() ? box_->Parent()->BackColor() : box_->BackColor();
    if (kind_ == kToolbarButton || kind_ == kLinkButton) box_->SetPointer({kHandCursor});
    if (kind_ == kLinkButton || kind_ == kSlider) box_->SetBackColor(containerBack);
    if (kind_ == kLinkButton) {
        Font font = box_->GetFont();
        font.bold = true;
        font.underline = false;
        box_->SetFont(font);
    }
    const std::weak_ptr<PCControl> weak = weak_from_this();
    const auto bind = [&](auto& event, auto member) {
        connections_.push_back(event.Connect([weak, member](const auto&... args) {
            if (const auto self = weak.lock()) ((*self).*member)(args...);
        }));
    };
    bind(box_->MouseDown, &PCControl::OnMouseDown);
    bind(box_->MouseMove, &PCControl::OnMouseMove);
    bind(box_->MouseUp, &PCControl::OnMouseUp);
    bind(box_->KeyDown, &PCControl::OnKeyDown);
    bind(box_->KeyUp, &PCControl::OnKeyUp);
    connections_.push_back(box_->GotFocus.Connect([weak] {
        if (const auto self = weak.lock()) self->OnFocus(true);
    }));
    connections_.push_back(box_->LostFocus.Connect([weak] {
        if (const auto self = weak.lock()) self->OnFocus(false);
    }));
    Paint();
}

void PCControl::ControlRefresh() {
    Paint();
}

void PCControl::ControlRelease() {
    tracker_.Stop();
    connections_.clear();
    if (box_ && pressed_ && Shifts()) MoveBy(-1);
    box_.reset();
    hover_ = pressed_ = dragging_ = focus_ = false;
}

void PCControl::SetPropertiesButtonToolbar(uint16_t normal, uint16_t hover, uint16_t selected) {
    if (kind_ != kToolbarButton) return;
    images_[0] = normal;
    images_[1] = hover;
    images_[2] = selected;
    Paint();
}

void PCControl::SetPropertiesButtonToolbarState(bool selected) {
    if (kind_ != kToolbarButton) return;
    selected_ = selected;
    Paint();
}

// The icon stays once an address brought it, as a picture once loaded stays on its box.
void PCControl::SetPropertiesButtonLink(const std::string& caption, const std::string& address) {
    if (kind_ != kLinkButton || !box_) return;
    address_ = address;
    if (!address_.empty()) box_->SetPictureId(kLinkIcon);
    if (caption != caption_) {
        caption_ = caption;
        const platform::IImage* icon =
            box_->PictureId() ? binding_.Bitmap(box_->PictureId()) : nullptr;
        iconWidth_ = icon ? icon->Width() : 0;
        const platform::TextSize text = box_->Canvas().MeasureText(caption_, box_->GetFont());
        const Rect& at = box_->Bounds();
        box_->SetBounds(
            {at.left, at.top, at.left + text.width + 4 + iconWidth_, at.top + text.height + 6});
    }
    Paint();
}

void PCControl::SetPropertiesSlider(int32_t paramA, bool horizontal, int32_t paramB,
                                    int32_t pageStep, int32_t smallStep, int32_t minimum,
                                    int32_t value, int32_t maximum) {
    if (kind_ != kSlider || value < minimum || value > maximum) return;
    slider_ = {
        paramA,  std::max(paramB, 1), std::max(pageStep, 1), std::max(smallStep, 1), minimum, value,
        maximum, horizontal};
    Paint();
}

void PCControl::Paint() {
    if (!box_) return;
    box_->Clear();
    platform::ICanvas& canvas = box_->Canvas();
    if (kind_ == kToolbarButton) {
        const uint16_t id = selected_ ? images_[2] : hover_ ? images_[1] : images_[0];
        if (const platform::IImage* image = id ? binding_.Bitmap(id) : nullptr)
            canvas.DrawImage(*image, {0, 0});
    } else if (kind_ == kLinkButton) {
        PaintLink(canvas);
    } else if (kind_ == kSlider) {
        PaintSlider(canvas);
    }
    if (focus_) canvas.FrameRect(box_->ClientRect(), kFocusColor);
    box_->Refresh();
}

// The icon is the box's picture, which Clear has drawn.
void PCControl::PaintLink(platform::ICanvas& canvas) {
    Font font = box_->GetFont();
    font.underline = hover_ || focus_;
    Rect text{iconWidth_ + 2, 2, box_->Width(), box_->Height()};
    canvas.DrawText(caption_, text, platform::kTextSingleLine | platform::kTextNoPrefix, font,
                    kLinkColor);
}

void PCControl::PaintSlider(platform::ICanvas& canvas) {
    const int32_t state = !box_->Enabled() ? 4 : pressed_ ? 3 : hover_ ? 1 : focus_ ? 2 : 0;
    DrawSlider(canvas, box_->ClientRect(), box_->BackColor(), slider_.horizontal, slider_.paramA,
               state, kThumbSize, slider_.minimum, slider_.value, slider_.maximum, slider_.paramB,
               thumb_);
}

bool PCControl::BeginPress() {
    bool allow = true;
    CanClick.Raise(allow);
    if (!allow || !box_) return false;
    pressed_ = true;
    if (Shifts()) MoveBy(1);
    return true;
}

void PCControl::EndPress(bool counted) {
    pressed_ = false;
    if (Shifts()) MoveBy(-1);
    if (counted) Activate();
}

void PCControl::MoveBy(int32_t pixels) {
    box_->Move(box_->Bounds().left + pixels, box_->Bounds().top + pixels);
}

void PCControl::Activate() {
    if (kind_ == kToolbarButton) {
        selected_ = true;
        Paint();
    }
    if (kind_ == kLinkButton && !address_.empty()) {
        ShellOpen(address_, kShowDefault, {}, {}, "open");
        return;
    }
    Click.Raise();
}

void PCControl::OnMouseDown(const MouseArgs& args) {
    const auto self = shared_from_this();
    if (!box_ || args.button != kButtonLeft) return;
    if (kind_ == kSlider) {
        if (!thumb_.Contains({args.x, args.y})) slider_.value = ValueAt(args);
        dragging_ = pressed_ = true;
        Paint();
    } else if (!pressed_) {
        BeginPress();
    }
}

void PCControl::OnMouseMove(const MouseArgs& args) {
    const auto self = shared_from_this();
    if (!box_) return;
    if (kind_ == kSlider) {
        if (dragging_) {
            slider_.value = ValueAt(args);
            Paint();
        } else if (!hover_ && thumb_.Contains({args.x, args.y})) {
            StartHover();
        }
    } else if ((kind_ == kToolbarButton || kind_ == kLinkButton) && !hover_) {
        StartHover();
    }
}

// A release counts when it is over the control: with the mouse captured it may be anywhere.
void PCControl::OnMouseUp(const MouseArgs& args) {
    const auto self = shared_from_this();
    if (!box_ || args.button != kButtonLeft) return;
    if (kind_ == kSlider) {
        pressed_ = dragging_ = false;
        Paint();
        ChangeValue.Raise(slider_.value);
    } else if (pressed_) {
        EndPress(box_->ClientRect().Contains({args.x, args.y}));
    }
}

void PCControl::OnKeyDown(const KeyArgs& args) {
    const auto self = shared_from_this();
    if (!box_) return;
    if (kind_ == kSlider)
        SliderKey(args.keyCode);
    else if (IsPressKey(args.keyCode) && !pressed_)
        BeginPress();
}

void PCControl::OnKeyUp(const KeyArgs& args) {
    const auto self = shared_from_this();
    if (box_ && kind_ != kSlider && IsPressKey(args.keyCode) && pressed_) EndPress(true);
}

// A key press whose key is released elsewhere never ends: the focus leaving ends it uncounted,
// as a system button does, so the button neither stays pressed nor clicks without CanClick.
void PCControl::OnFocus(bool focus) {
    focus_ = focus;
    if (!focus && pressed_ && kind_ != kSlider) EndPress(false);
    Paint();
}

void PCControl::StartHover() {
    hover_ = true;
    Paint();
    const std::weak_ptr<PCControl> weak = weak_from_this();
    tracker_.Start([weak] {
        if (const auto self = weak.lock()) self->OnHoverTick();
    });
}

// The button and the link are left when the cursor leaves the box, the slider when it
// leaves the thumb.
void PCControl::OnHoverTick() {
    if (!hover_ || !box_) {
        tracker_.Stop();
        return;
    }
    if (CursorInside(kind_ == kSlider ? thumb_ : box_->ClientRect())) return;
    hover_ = false;
    tracker_.Stop();
    Paint();
}

bool PCControl::CursorInside(const Rect& area) const {
    const Point at = box_->ScreenToClient(binding_.CursorPosition());
    return area.Contains(at);
}

void PCControl::SliderKey(int32_t keyCode) {
    const SliderSettings& s = slider_;
    int64_t value = s.value;
    switch (keyCode) {
        case kKeyHome:
            value = s.minimum;
            break;
        case kKeyPageUp:
            value -= s.pageStep;
            break;
        case kKeyLeft:
        case kKeyUp:
            value -= s.smallStep;
            break;
        case kKeyRight:
        case kKeyDown:
            value += s.smallStep;
            break;
        case kKeyPageDown:
            value += s.pageStep;
            break;
        case kKeyEnd:
            value = s.maximum;
            break;
        default:
            return;
    }
    const auto clamped = static_cast<int32_t>(std::clamp<int64_t>(value, s.minimum, s.maximum));
    if (clamped == s.value) return;
    slider_.value = clamped;
    Paint();
    ChangeValue.Raise(clamped);
}

int32_t PCControl::ValueAt(const MouseArgs& args) const {
    return SliderValueFromPoint(box_->ClientRect(), slider_.horizontal, args.x, args.y, kThumbSize,
                                slider_.minimum, slider_.maximum);
}

std::shared_ptr<PCControl> CreateSkinnedControl(IBinding& binding, std::shared_ptr<PictureBox> box,
                                                int32_t kind, const std::string& toolTip) {
    auto control = PCControl::Create(binding);
    control->ControlInit(std::move(box), kind, toolTip);
    return control;
}

}  // namespace tarvelin::ui
