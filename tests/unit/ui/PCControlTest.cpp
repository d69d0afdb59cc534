// The skinned controls on a headless form: presses by mouse and keys, the slider's values,
// links, hovering on the shared tick, and handlers that release or drop their control.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ControlForm.h"
#include "ui/Artwork.h"
#include "ui/controls/PCControl.h"

namespace tarvelin::ui {
namespace {

using platform::RasterPicture;

const WidgetLayout kRows[] = {
    {.name = "picTool", .rect = {10, 10, 58, 50}, .tabIndex = 1},
    {.name = "picLink", .rect = {10, 60, 100, 80}, .tabIndex = 2},
    {.name = "picSlider", .rect = {10, 100, 210, 130}, .tabIndex = 3},
    {.name = "picPlain", .rect = {220, 10, 260, 40}, .tabIndex = 4},
};
constexpr Rect kToolHome{10, 10, 58, 50};

const RasterPicture& PictureOf(const platform::IImage* image) {
    return dynamic_cast<const RasterPicture&>(*image);
}

struct PCControlTest : ::testing::Test, test::ControlForm {
    PCControlTest() : ControlForm(kRows) {}

    std::shared_ptr<PCControl> Make(const char* name, int32_t kind) {
        auto c = CreateSkinnedControl(binding, Get(name), kind, "Tip");
        watched.push_back(c->CanClick.Connect([this](bool& allow) {
            log += "can ";
            allow = allow && !refuse;
        }));
        watched.push_back(c->Click.Connect([this] { log += "click "; }));
        watched.push_back(c->ChangeValue.Connect(
            [this](int32_t v) { log += "value" + std::to_string(v) + " "; }));
        if (kind == kToolbarButton) c->SetPropertiesButtonToolbar(110, 111, 112);
        if (kind == kSlider) c->SetPropertiesSlider(0, true, 10, 10, 5, 0, 128, 255);
        return c;
    }
    // A point inside the toolbar pictures where the selected one differs from the others.
    Point Telling() {
        const auto &n = PictureOf(binding.Bitmap(110)), &h = PictureOf(binding.Bitmap(111));
        const auto& s = PictureOf(binding.Bitmap(112));
        for (int32_t y = 2; y < 38; ++y)
            for (int32_t x = 2; x < 46; ++x)
                if (s.PixelAt({x, y}) != n.PixelAt({x, y}) &&
                    s.PixelAt({x, y}) != h.PixelAt({x, y}))
                    return {x, y};
        ADD_FAILURE() << "toolbar pictures alike";
        return {};
    }
    Color Shown(PCControl& c, Point at) { return PictureOf(c.Box()->Image()).PixelAt(at); }
    Color Art(uint16_t id, Point at) { return PictureOf(binding.Bitmap(id)).PixelAt(at); }

    std::vector<Connection> watched;
    std::string log;
    bool refuse = false;
};

TEST_F(PCControlTest, PressesMoveTheButtonAndCountOnlyWhenReleasedOverIt) {
    enum How { kMouseInside, kMouseOutside, kSpace, kReturn, kSpaceFocusAway };
    const struct {
        How how;
        bool refuse;
        const char* log;
    } cases[] = {{kMouseInside, false, "can click "}, {kMouseOutside, false, "can "},
                 {kSpace, false, "can click "},       {kReturn, false, "can click "},
                 {kMouseInside, true, "can "},        {kSpace, true, "can "},
                 {kSpaceFocusAway, false, "can "}};
    for (const auto& c : cases) {
        auto tool = Make("picTool", kToolbarButton);
        PictureBox& box = *tool->Box();
        log.clear();
        refuse = c.refuse;
        const bool key = c.how >= kSpace;
        const int32_t code = c.how == kReturn ? kKeyReturn : kKeySpace;
        box.SetFocus();
        key ? input.KeyDown(*form, code) : input.MouseDown(*form, At(box, 5, 5));
        const int32_t by = c.refuse ? 0 : 1;
        EXPECT_EQ(box.Bounds(), (Rect{10 + by, 10 + by, 58 + by, 50 + by})) << c.how;
        if (c.how == kSpaceFocusAway) Get("picLink")->SetFocus();
        if (key) input.KeyUp(*form, code);
        if (!key) input.MouseUp(*form, At(box, c.how == kMouseInside ? 5 : 200, 5));
        EXPECT_EQ(log, c.log) << c.how << " " << c.refuse;
        EXPECT_EQ(box.Bounds(), kToolHome) << c.how;
        EXPECT_EQ(tool->Selected(), log == "can click ");
        if (c.how == kSpace && !c.refuse) {
            const Point p = Telling();
            EXPECT_EQ(Shown(*tool, p), Art(112, p)) << "the selected picture";
        }
    }
}

TEST_F(PCControlTest, SliderTakesClicksOnReleaseAndKeysClamped) {
    const struct {
        int32_t start;
        std::vector<int32_t> keys;  // none: a click at x
        int32_t x;
        int32_t value;
        const char* log;
    } cases[] = {{128, {}, 8, 0, "value0 "},
                 {128, {}, 199, 255, "value255 "},
                 {250, {kKeyPageDown, kKeyPageDown}, 0, 255, "value255 "},
                 {12, {kKeyPageUp, kKeyLeft, kKeyUp}, 0, 0, "value2 value0 "},
                 {7, {kKeyRight, kKeyDown, kKeyHome}, 0, 0, "value12 value17 value0 "},
                 {7, {kKeyEnd, kKeyEnd, kKeyReturn}, 0, 255, "value255 "}};
    auto slider = Make("picSlider", kSlider);
    PictureBox& box = *slider->Box();
    box.SetFocus();
    for (const auto& c : cases) {
        slider->SetPropertiesSlider(0, true, 10, 10, 5, 0, c.start, 255);
        log.clear();
        if (c.keys.empty()) {
            input.MouseDown(*form, At(box, c.x, 15));
            EXPECT_EQ(log, "") << "nothing while dragging";
            input.MouseUp(*form, At(box, c.x, 15));
        }
        for (int32_t key : c.keys) input.Press(*form, key);
        EXPECT_EQ(slider->Value(), c.value) << c.start << " " << c.x;
        EXPECT_EQ(log, c.log) << c.start << " " << c.x;
    }
}

TEST_F(PCControlTest, SettersOfAnotherKindOrOutOfRangeChangeNothing) {
    auto slider = Make("picSlider", kSlider);
    const Rect thumb = slider->Thumb();
    for (int32_t bad : {-1, 256}) slider->SetPropertiesSlider(0, true, 10, 10, 5, 0, bad, 255);
    slider->SetPropertiesButtonToolbarState(true);
    EXPECT_EQ(slider->Value(), 128);
    EXPECT_EQ(slider->Thumb(), thumb);
    EXPECT_FALSE(slider->Selected());

    auto tool = Make("picTool", kToolbarButton);
    tool->SetPropertiesSlider(0, true, 10, 10, 5, 0, 9, 255);
    tool->SetPropertiesButtonLink("Site", "http://example.org/");
    EXPECT_EQ(tool->Value(), 0);
    EXPECT_EQ(tool->Box()->Bounds(), kToolHome);
    EXPECT_EQ(tool->Box()->PictureId(), 0);
}

TEST_F(PCControlTest, LinksOpenTheirAddressOrRaiseClickAndFitTheirCaption) {
    const struct {
        const char* address;
        const char* log;
        int32_t iconWidth;
    } cases[] = {{"", "can click ", 0}, {"http://example.org/", "can ", 16}};
    for (const auto& c : cases) {
        auto link = Make("picLink", kLinkButton);
        PictureBox& box = *link->Box();
        link->SetPropertiesButtonLink("Сайт поддержки", c.address);
        const auto text = box.Canvas().MeasureText("Сайт поддержки", box.GetFont());
        const Rect fitted{10, 60, 10 + text.width + 4 + c.iconWidth, 60 + text.height + 6};
        EXPECT_EQ(box.Bounds(), fitted) << c.address;
        log.clear();
        input.MouseDown(*form, At(box, 3, 3));
        EXPECT_EQ(box.Bounds(), fitted) << "a link does not move";
        input.MouseUp(*form, At(box, 3, 3));
        EXPECT_EQ(log, c.log);
    }
    EXPECT_EQ(sim.shell.opened, std::vector<std::string>{"open http://example.org/"});
}

TEST_F(PCControlTest, HoverHoldsTheSharedTickUntilATickFindsTheCursorGone) {
    auto tool = Make("picTool", kToolbarButton);
    auto plain = Make("picPlain", kWindowButton);
    auto slider = Make("picSlider", kSlider);
    const Point p = Telling();
    input.MoveMouse(*form, At(*plain->Box(), 5, 5));
    input.MoveMouse(*form, At(*slider->Box(), 190, 15));
    EXPECT_EQ(TimerUsers(), 0) << "a plain button and a slider away from its thumb";
    input.MoveMouse(*form, At(*tool->Box(), 5, 5));
    input.MoveMouse(*form, At(*tool->Box(), 6, 5));
    EXPECT_TRUE(tool->Hovering());
    EXPECT_EQ(TimerUsers(), 1);
    EXPECT_EQ(Shown(*tool, p), Art(111, p));
    sim.loop.Advance(300);
    EXPECT_TRUE(tool->Hovering()) << "still there";
    binding.SetCursorPosition(At(*tool->Box(), 60, 5));
    sim.loop.Advance(100);
    EXPECT_FALSE(tool->Hovering());
    EXPECT_EQ(TimerUsers(), 0);
    EXPECT_EQ(Shown(*tool, p), Art(110, p));
    const Rect thumb = slider->Thumb();
    input.MoveMouse(*form, At(*slider->Box(), (thumb.left + thumb.right) / 2, thumb.top + 1));
    EXPECT_TRUE(slider->Hovering());
    binding.SetCursorPosition(At(*slider->Box(), 190, 15));
    sim.loop.Advance(100);
    EXPECT_EQ(TimerUsers(), 0) << "the slider's hover ends off the thumb";
}

// Handlers that release or drop their control mid-event; AddressSanitizer watches the rest.
TEST_F(PCControlTest, HandlersMayReleaseOrDropTheirControl) {
    using Arm = std::function<Connection(std::shared_ptr<PCControl>&)>;
    const struct {
        const char* what;
        int32_t kind;
        Arm arm;
        const char* log;  // of two clicks
    } cases[] = {
        {"Click releases and drops", kToolbarButton,
         [](auto& c) {
             return c->Click.Connect([&c] {
                 c->ControlRelease();
                 c.reset();
             });
         },
         "can click "},
        {"CanClick drops", kToolbarButton,
         [](auto& c) { return c->CanClick.Connect([&c](bool&) { c.reset(); }); }, "can "},
        {"ChangeValue drops", kSlider,
         [](auto& c) { return c->ChangeValue.Connect([&c](int32_t) { c.reset(); }); }, "value31 "},
        {"released before the click", kToolbarButton,
         [](auto& c) {
             c->ControlRelease();
             return Connection{};
         },
         ""},
    };
    for (const auto& c : cases) {
        const char* name = c.kind == kSlider ? "picSlider" : "picTool";
        auto box = Get(name);
        const Rect home = box->Bounds();
        auto control = Make(name, c.kind);
        const Connection armed = c.arm(control);
        log.clear();
        input.Click(*form, At(*box, 30, 15));
        EXPECT_EQ(control == nullptr, *c.log != 0) << c.what;
        EXPECT_EQ(box->Bounds(), home) << c.what;
        input.Click(*form, At(*box, 30, 15));
        EXPECT_EQ(log, c.log) << c.what;
        watched.clear();
    }
    auto tool = Make("picTool", kToolbarButton);
    input.MoveMouse(*form, At(*tool->Box(), 5, 5));
    tool.reset();
    EXPECT_EQ(TimerUsers(), 0) << "dropping the control ends its hover";
    binding.SetCursorPosition({0, 0});
    sim.loop.Advance(300);
}

}  // namespace
}  // namespace tarvelin::ui
