#pragma once
// The look the program's windows share: their Tahoma text and its colours.
#include "ui/widgets/Widget.h"

namespace tarvelin::ui::form_style {

inline constexpr Color kGrey = 0x656466;  // captions, notes and frames
inline constexpr Color kBlack = platform::Rgb(0, 0, 0);
inline constexpr Color kWhite = platform::Rgb(255, 255, 255);
inline constexpr Color kStepGrey = platform::Rgb(173, 175, 175);  // a step not reached yet
inline const Font kText{"Tahoma", 11, false, false};
inline const Font kBold{"Tahoma", 11, true, false};
inline const Font kSmall{"Tahoma", 10, false, false};

}  // namespace tarvelin::ui::form_style
