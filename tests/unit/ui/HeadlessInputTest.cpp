#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestForm.h"

namespace tarvelin::ui {
namespace {

// The form's client area starts at (100, 50) on the screen.
Point At(int32_t x, int32_t y) {
    return {100 + x, 50 + y};
}

using HeadlessInputTest = test::FormTest;

TEST_F(HeadlessInputTest, PointsHitTheTopmostVisibleEnabledWidgetOfAShownForm) {
    form->SetRegion(WindowRegion{{0, 0, 200, 150}, 40, 40});
    const struct {
        Point at;
        const char* hit;  // "" for nothing
    } cases[] = {{At(20, 20), "cmdOk"}, {At(70, 25), "lblOver"}, {At(100, 80), "picPanel"},
                 {At(150, 80), "frmT"}, {At(150, 100), "frmT"},  {At(1, 1), ""},
                 {At(199, 75), "frmT"}, {At(200, 75), ""}};
    for (const auto& c : cases) {
        Widget* hit = HeadlessInput::HitTest(*form, c.at);
        EXPECT_EQ(hit ? hit->Name() : "", c.hit) << c.at.x << "," << c.at.y;
    }
    W("lblOver").SetEnabled(false);
    EXPECT_EQ(HeadlessInput::HitTest(*form, At(70, 25))->Name(), "cmdOk");
    int events = 0;
    auto k = W("cmdOk").KeyDown.Connect([&](const KeyArgs&) { ++events; });
    auto c = W("cmdOk").Click.Connect([&] { ++events; });
    W("cmdOk").SetFocus();
    form->SetVisible(false);
    input.Click(W("cmdOk"));
    input.Press(*form, kKeySpace);
    EXPECT_EQ(events, 0) << "a hidden form takes nothing";
}

TEST_F(HeadlessInputTest, APressCapturesTheMouseUntilTheRelease) {
    std::string log;
    auto record = [&log](char what) {
        return [&log, what](const MouseArgs& a) {
            log += what + std::to_string(a.button) + "@" + std::to_string(a.x) + "," +
                   std::to_string(a.y) + " ";
        };
    };
    Widget& ok = W("cmdOk");
    auto d = ok.MouseDown.Connect(record('d'));
    auto m = ok.MouseMove.Connect(record('m'));
    auto u = ok.MouseUp.Connect(record('u'));
    auto c = ok.Click.Connect([&] { log += "click "; });
    input.MouseDown(*form, At(20, 20));
    input.MoveMouse(*form, {40, 30});
    input.MouseUp(*form, {40, 30});
    EXPECT_EQ(log, "d1@5,5 m1@-75,-35 u1@-75,-35 ");
    EXPECT_EQ(binding.CursorPosition(), (Point{40, 30}));
    EXPECT_EQ(input.Captured(), nullptr);
    EXPECT_TRUE(ok.HasFocus());
    log.clear();
    input.DoubleClick(*form, At(20, 20));
    EXPECT_EQ(log, "d1@5,5 u1@5,5 click d1@5,5 u1@5,5 click ") << "a button takes it as two";
    auto dbl = W("picPanel").DblClick.Connect([&] { log += "dbl "; });
    auto one = W("picPanel").Click.Connect([&] { log += "one "; });
    log.clear();
    input.DoubleClick(*form, At(100, 80));
    EXPECT_EQ(log, "one dbl ") << "the second press raises DblClick and its release no Click";
}

TEST_F(HeadlessInputTest, KeysActOnTheFocusedControl) {
    const struct {
        const char* focus;
        int32_t key;
        int clicks;
        bool value;
    } cases[] = {{"cmdOk", kKeySpace, 1, false}, {"cmdOk", kKeyReturn, 1, false},
                 {"chkA", kKeySpace, 1, true},   {"chkA", kKeyReturn, 0, false},
                 {"optB", kKeySpace, 1, true},   {"txtPwd", kKeySpace, 0, false}};
    for (const auto& c : cases) {
        auto fresh = test::BuildTestForm(binding);
        Widget& w = *fresh->Find(c.focus);
        int clicks = 0;
        auto k = w.Click.Connect([&] { ++clicks; });
        w.SetFocus();
        input.Press(*fresh, c.key);
        EXPECT_EQ(clicks, c.clicks) << c.focus << " " << c.key;
        if (auto* check = dynamic_cast<CheckBox*>(&w)) {
            EXPECT_EQ(check->Value(), c.value) << c.focus;
        }
    }
    W("optB").SetFocus();
    input.Press(*form, kKeyTab, kShiftMask);
    EXPECT_EQ(form->Focused()->Name(), "optA");
}

TEST_F(HeadlessInputTest, TypingStopsAtMaxLengthAndShowsNothingOfAPassword) {
    auto& box = W<TextBox>("txtPwd");
    box.SetMaxLength(4);
    int changes = 0;
    auto c = box.Change.Connect([&] { ++changes; });
    input.Type(*form, "ab");
    EXPECT_EQ(changes, 0) << "not focused";
    input.Click(box);
    input.Type(*form, "pä55w");
    EXPECT_EQ(box.Caption(), "pä55");
    EXPECT_EQ(changes, 4);
}

TEST_F(HeadlessInputTest, HandlersMayCloseHideOrMoveFocusMidEvent) {
    auto close = W("cmdOk").Click.Connect([&] {
        form->Close();
        form.reset();
    });
    input.Click(*form, At(20, 20));
    EXPECT_EQ(form, nullptr);

    form = test::BuildTestForm(binding);
    int ups = 0;
    auto hide = W("chkA").MouseDown.Connect([&](const MouseArgs&) { W("chkA").SetVisible(false); });
    auto up = W("chkA").MouseUp.Connect([&](const MouseArgs&) { ++ups; });
    input.Click(W("chkA"));
    EXPECT_EQ(ups, 0);
    EXPECT_FALSE(W<CheckBox>("chkA").Value());

    int keyUps = 0;
    auto move = W("cmdOk").KeyDown.Connect([&](const KeyArgs&) { W("optA").SetFocus(); });
    auto ku = W("optA").KeyUp.Connect([&](const KeyArgs&) { ++keyUps; });
    W("cmdOk").SetFocus();
    input.Press(*form, kKeySpace);
    EXPECT_EQ(keyUps, 1) << "the release goes to the new focus, which was not pressed";
    EXPECT_FALSE(W<CheckBox>("optA").Value());
}

}  // namespace
}  // namespace tarvelin::ui
