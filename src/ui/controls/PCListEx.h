#pragma once
// An owner-drawn list over a picture box and a vertical scroll bar: items of up to three
// texts, two numbers and an image, the selection, the first visible item and the item under
// the mouse; selection changes are reported through ChangeSelection. Positions count from 1.
//
// A handler of ChangeSelection may release or drop the list: every entry point holds it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Event.h"
#include "draw/PaintList.h"
#include "platform/PassKey.h"
#include "ui/controls/HoverTracker.h"
#include "ui/widgets/Binding.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/PictureBox.h"

namespace tarvelin::ui {

class PCListEx : public std::enable_shared_from_this<PCListEx> {
  public:
    static std::shared_ptr<PCListEx> Create(IBinding& binding) {
        return std::make_shared<PCListEx>(PassKey<PCListEx>{}, binding);
    }
    PCListEx(PassKey<PCListEx>, IBinding& binding) : binding_(binding) {}
    PCListEx(const PCListEx&) = delete;
    PCListEx& operator=(const PCListEx&) = delete;

    void ControlInit(std::shared_ptr<PictureBox> box, std::shared_ptr<ScrollBar> scrollBar);
    void ControlRefresh();
    void ControlRelease();

    int32_t ItemAdd(const std::string& text1, const std::string& text2, const std::string& text3,
                    int32_t number1, int32_t number2);
    bool ItemInfoGetByIndex(int32_t position, ListItem& item) const;
    bool ItemInfoSetByIndex(int32_t position, const std::string& text1, const std::string& text2,
                            const std::string& text3, int32_t number1, int32_t number2);
    int32_t ItemsCount() const { return static_cast<int32_t>(items_.size()); }
    void ItemRemove(int32_t position);
    void ItemsClear();
    // The image must outlive the list (the binding's bitmaps do).
    int32_t ImageAdd(const platform::IImage* image);
    void ImagesClear() { images_.clear(); }

    int32_t ItemSelected() const { return selected_; }
    void SetItemSelected(int32_t position);
    int32_t FirstVisible() const { return first_; }
    int32_t HoverItem() const { return hover_; }

    Event<int32_t> ChangeSelection;

  private:
    void Repaint();
    void ApplyScrollBar(const ListScrollBar& scroll);
    int32_t HitTest(int32_t x, int32_t y) const;
    // Scrolls the selected item into view, then raises ChangeSelection.
    void ShowSelection();
    bool Whole(int32_t position) const;  // painted fully visible
    void ScrollInto(int32_t position);
    void Select(int32_t position);
    void OnMouseDown(const MouseArgs& args);
    void OnMouseMove(const MouseArgs& args);
    void OnMouseUp(const MouseArgs& args);
    void OnKeyDown(const KeyArgs& args);
    void OnFocus(bool focus);
    void OnScroll();
    void OnHoverTick();
    bool CursorInside() const;

    IBinding& binding_;
    std::shared_ptr<PictureBox> box_;
    std::shared_ptr<ScrollBar> bar_;
    std::vector<ListItem> items_;
    std::vector<const platform::IImage*> images_;
    int32_t first_ = 1, selected_ = 0, hover_ = 0;
    bool focus_ = false, mousePressed_ = false, painting_ = false;
    HoverTracker tracker_;
    std::vector<Connection> connections_;
};

}  // namespace tarvelin::ui
