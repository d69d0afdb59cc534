#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestForm.h"

namespace tarvelin::ui {
namespace {

using WidgetModel = test::FormTest;

TEST_F(WidgetModel, BuildFormRefusesFaultyTablesAndBindsEveryWidget) {
    const WidgetLayout head{.name = "frmX", .kind = WidgetKind::Form}, box{.name = "a"};
    const std::vector<std::vector<WidgetLayout>> faulty = {
        {{.name = "b", .parent = "nowhere"}}, {box, box}, {{.name = "frmX"}}};
    for (const auto& rows : faulty) EXPECT_EQ(BuildForm({head, rows}, binding), nullptr);
    EXPECT_NE(HeadlessBinding::PeerOf(W("vsb")), nullptr);
    EXPECT_EQ(W("cmdOk").ClientToScreen({1, 2}), (Point{116, 67}));
}

TEST_F(WidgetModel, OptionGroupKeepsOneSetAndClicksOnce) {
    auto &a = W<CheckBox>("optA"), &b = W<CheckBox>("optB");
    std::string clicks;
    auto ca = a.Click.Connect([&] { clicks += "a" + std::to_string(b.Value()); });
    auto cb = b.Click.Connect([&] { clicks += "b" + std::to_string(a.Value()); });
    for (CheckBox* option : {&a, &b, &b}) option->SetValue(true);
    b.SetValue(false);
    EXPECT_EQ(clicks, "a0b0") << "the other is cleared before Click; none when cleared";
}

TEST_F(WidgetModel, FocusMovesInTabOrderAndLeavesWhatCannotHoldIt) {
    std::string log;
    auto lost = W("cmdOk").LostFocus.Connect([&] { log += "-ok"; });
    auto got =
        W("chkA").GotFocus.Connect([&] { log += "+chk" + std::to_string(!!form->Focused()); });
    W("cmdOk").SetFocus();
    W("chkA").SetFocus();
    EXPECT_EQ(log, "-ok+chk1");
    // By tab index: cmdOk 1, chkA 2, optA 3, optB 4, txtPwd 5, (cmdOff 6 disabled, cmdHid 7
    // hidden), cboList 8, picPanel 9, ipAddr 9, vsb 10.
    const struct {
        const char *from, *to;
        bool backwards;
    } steps[] = {{"txtPwd", "cboList", false},
                 {"cboList", "txtPwd", true},
                 {"vsb", "cmdOk", false},
                 {"cmdOk", "vsb", true}};
    for (const auto& step : steps) {
        W(step.from).SetFocus();
        EXPECT_EQ(form->NextInTabOrder(step.backwards)->Name(), step.to) << step.from;
    }
    W("cmdOff").SetFocus();
    EXPECT_EQ(form->Focused()->Name(), "cmdOk") << "a disabled widget is refused";
    W("picPanel").SetVisible(false);
    EXPECT_EQ(form->Focused(), nullptr) << "hiding the panel of the focused button drops it";
    W("chkA").SetFocus();
    W("chkA").SetVisible(false);
    EXPECT_EQ(form->Focused(), nullptr);
}

TEST_F(WidgetModel, CloseAsksFirstAndRunsOnceWhateverTheHandlersCall) {
    bool cancel = true;
    std::string log;
    auto q = form->QueryUnload.Connect([&](bool& c) {
        c = cancel;
        log += "q" + std::to_string(form->Close());
    });
    auto u = form->Unload.Connect([&] { log += "u" + std::to_string(form->Close()); });
    auto d = form->ClosedEvent.Connect([&] { log += "c"; });
    EXPECT_FALSE(form->Close());
    EXPECT_TRUE(form->Visible());
    cancel = false;
    EXPECT_TRUE(form->Close());
    EXPECT_TRUE(form->Close());
    EXPECT_EQ(log, "q0q0u0c");
    EXPECT_FALSE(form->Visible());
}

TEST_F(WidgetModel, ScrollBarAndComboKeepTheirValuesInRange) {
    auto& bar = W<ScrollBar>("vsb");
    const struct {
        int32_t min, max, value, expected;
    } cases[] = {{0, 10, 11, 10}, {0, 10, -1, 0}, {5, 2, 0, 5}, {-5, 5, -3, -3}};
    for (const auto& c : cases) {
        bar.SetRange(c.min, c.max, 1, 1);
        bar.SetValue(c.value);
        EXPECT_EQ(bar.Value(), c.expected) << c.min << ".." << c.max << " " << c.value;
    }
    auto& combo = W<ComboBox>("cboList");
    combo.AddItem("a", 7);
    combo.SetListIndex(0);
    combo.SetListIndex(3);
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(combo.ItemData(5), 0);
}

}  // namespace
}  // namespace tarvelin::ui
