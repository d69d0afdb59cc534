#pragma once
// The widget kinds the forms use besides forms and picture boxes.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/widgets/Widget.h"

namespace tarvelin::ui {

// Fields the user types into or chooses from sit on the system's window colour, not on the
// button face of the other controls.
inline constexpr Color kWindowBackground = platform::kSystemColorFlag | 5;

// Text on the form's background; AutoSize off (the layout fixes the size).
class Label final : public Widget {
  public:
    explicit Label(std::string name) : Widget(WidgetKind::Label, std::move(name)) {}
    // The system's DrawText alignment (platform::kText*), word-wrapped by default.
    uint32_t Alignment() const { return alignment_; }
    void SetAlignment(uint32_t alignment);

  private:
    uint32_t alignment_ = platform::kTextLeft | platform::kTextWordBreak;
};

// A bitmap of the program's resources at its own size.
class ImageBox final : public Widget {
  public:
    explicit ImageBox(std::string name) : Widget(WidgetKind::Image, std::move(name)) {}
    uint16_t PictureId() const { return pictureId_; }
    void SetPictureId(uint16_t id);

  private:
    uint16_t pictureId_ = 0;
};

class CommandButton final : public Widget {
  public:
    explicit CommandButton(std::string name) : Widget(WidgetKind::CommandButton, std::move(name)) {}
    // The classic look's flat border (FlattenBorder).
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);

  private:
    bool flat_ = false;
};

// A check box or an option button; option buttons with the same parent and group form one
// group of which at most one is set.
class CheckBox final : public Widget {
  public:
    CheckBox(WidgetKind kind, std::string name) : Widget(kind, std::move(name)) {}
    bool Value() const { return value_; }
    // Setting it raises Click, as the system's controls do; an option button clears the
    // others of its group.
    void SetValue(bool value);
    int32_t Group() const { return group_; }
    void SetGroup(int32_t group) { group_ = group; }
    // The option buttons of this one's group in tab order, itself included.
    std::vector<CheckBox*> GroupMembers() const;

  private:
    bool value_ = false;
    int32_t group_ = 0;
};

// A drop-down list: texts with a number each, and the chosen index (-1 for none).
class ComboBox final : public Widget {
  public:
    explicit ComboBox(std::string name) : Widget(WidgetKind::ComboBox, std::move(name)) {
        SetBackColor(kWindowBackground);
    }
    struct Item {
        std::string text;
        int32_t data = 0;
    };
    const std::vector<Item>& Items() const { return items_; }
    int32_t AddItem(const std::string& text, int32_t data = 0);
    // Changes an item in place; the choice stays. An index outside the items changes nothing.
    void SetItem(int32_t index, const std::string& text, int32_t data);
    // Removes an item; the choice follows its item, or is none when that was the one
    // removed. Like the system's list, no Click is raised.
    void RemoveItem(int32_t index);
    void Clear();
    int32_t ListIndex() const { return index_; }
    // An index outside the items chooses nothing; a new choice raises Click.
    void SetListIndex(int32_t index);
    std::string Text() const;
    int32_t ItemData(int32_t index) const;

  private:
    std::vector<Item> items_;
    int32_t index_ = -1;
};

// One line of editable text; the caption is the text. A password character hides it.
class TextBox final : public Widget {
  public:
    explicit TextBox(std::string name) : Widget(WidgetKind::TextBox, std::move(name)) {
        SetBackColor(kWindowBackground);
    }
    // Sets the text as the user would: raises Change when it differs.
    void SetText(const std::string& text);
    char32_t PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char32_t c);
    int32_t MaxLength() const { return maxLength_; }
    void SetMaxLength(int32_t length) { maxLength_ = length; }

  private:
    char32_t passwordChar_ = 0;
    int32_t maxLength_ = 0;  // characters; 0 for no limit
};

// A vertical scroll bar.
class ScrollBar final : public Widget {
  public:
    explicit ScrollBar(std::string name) : Widget(WidgetKind::ScrollBar, std::move(name)) {}
    int32_t Min() const { return min_; }
    int32_t Max() const { return max_; }
    int32_t SmallChange() const { return small_; }
    int32_t LargeChange() const { return large_; }
    int32_t Value() const { return value_; }
    // The range; the value is brought into it (raising Change when that moves it).
    void SetRange(int32_t minimum, int32_t maximum, int32_t smallChange, int32_t largeChange);
    // A value outside the range is brought into it; a new value raises Change.
    void SetValue(int32_t value);

  private:
    int32_t min_ = 0, max_ = 32767, small_ = 1, large_ = 1, value_ = 0;
};

// Four address fields of 0 to 255, each possibly blank (-1).
class IpAddressBox final : public Widget {
  public:
    explicit IpAddressBox(std::string name) : Widget(WidgetKind::IpAddress, std::move(name)) {
        SetBackColor(kWindowBackground);
    }
    using Fields = std::array<int32_t, 4>;
    const Fields& Address() const { return fields_; }
    bool Blank() const;
    // Fields outside 0 to 255 become blank; a change raises Change.
    void SetAddress(const Fields& fields);
    void Clear() { SetAddress({-1, -1, -1, -1}); }

  private:
    Fields fields_{-1, -1, -1, -1};
};

// The fields of a system address control from its packed address (first field in the top
// byte) and the number of fields it reports filled. The packed value shows a blank field as
// 0, so as many zero fields as are missing count as blank, from the last one back: a partly
// typed address always reads as partly typed, though a typed 0 may swap places with a blank.
IpAddressBox::Fields AddressFields(uint32_t packed, int32_t filled);

}  // namespace tarvelin::ui
