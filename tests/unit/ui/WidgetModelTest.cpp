#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestForm.h"

namespace tarvelin::ui {
namespace {

template <typename T = Widget>
T& Get(const Form& form, const char* name) {
    T* widget = FindWidget<T>(form, name);
    EXPECT_NE(widget, nullptr) << name;
    return *widget;
}

TEST(WidgetModel, BuildFormRefusesFaultyTablesAndBindsEveryWidget) {
    HeadlessBinding binding;
    const WidgetLayout head{.name = "frmX", .kind = WidgetKind::Form};
    const WidgetLayout box{.name = "a", .kind = WidgetKind::PictureBox};
    const std::vector<std::vector<WidgetLayout>> faulty = {
        {{.name = "b", .parent = "nowhere"}},
        {box, box},
        {{.name = "frmX"}},
        {{.name = "b", .kind = WidgetKind::Form}},
    };
    for (const auto& rows : faulty) EXPECT_EQ(BuildForm({head, rows}, binding), nullptr);
    const auto form = test::BuildTestForm(binding);
    ASSERT_NE(form, nullptr);
    for (const char* name : {"frmT", "cmdOk", "lblOver", "vsb"}) {
        const Widget* widget = name == std::string("frmT") ? form.get() : form->Find(name);
        EXPECT_NE(HeadlessBinding::PeerOf(*widget), nullptr) << name;
    }
    EXPECT_EQ(Get(*form, "cmdOk").ClientToScreen({1, 2}), (Point{116, 67}));
}

TEST(WidgetModel, OptionGroupKeepsOneSetAndClicksOnce) {
    HeadlessBinding binding;
    const auto form = test::BuildTestForm(binding);
    auto& a = Get<CheckBox>(*form, "optA");
    auto& b = Get<CheckBox>(*form, "optB");
    std::string clicks;
    auto ca = a.Click.Connect([&] { clicks += "a" + std::to_string(b.Value()); });
    auto cb = b.Click.Connect([&] { clicks += "b" + std::to_string(a.Value()); });
    a.SetValue(true);
    b.SetValue(true);
    b.SetValue(true);
    b.SetValue(false);
    EXPECT_EQ(clicks, "a0b0") << "the other is cleared before Click; no Click when cleared";
}

TEST(WidgetModel, FocusMovesInTabOrderAndLeavesWhatCannotHoldIt) {
    HeadlessBinding binding;
    const auto form = test::BuildTestForm(binding);
    std::string log;
    std::vector<Connection> connections;
    for (const char* name : {"cmdOk", "chkA"}) {
        Widget& w = Get(*form, name);
        connections.push_back(w.GotFocus.Connect([&log, name] { log += std::string("+") + name; }));
        connections.push_back(
            w.LostFocus.Connect([&log, name] { log += std::string("-") + name; }));
    }
    Get(*form, "cmdOk").SetFocus();
    Get(*form, "chkA").SetFocus();
    EXPECT_EQ(log, "+cmdOk-cmdOk+chkA");
    // Tab order by index: cmdOk 1, chkA 2, optA 3, optB 4, txtPwd 5, cboList 8, picPanel 9, vsb
    // 10; the disabled and hidden buttons are skipped.
    const struct {
        const char* from;
        bool backwards;
        const char* to;
    } steps[] = {{"txtPwd", false, "cboList"},
                 {"cboList", true, "txtPwd"},
                 {"vsb", false, "cmdOk"},
                 {"cmdOk", true, "vsb"}};
    for (const auto& step : steps) {
        form->MoveFocus(&Get(*form, step.from));
        EXPECT_EQ(form->NextInTabOrder(step.backwards)->Name(), step.to) << step.from;
    }
    Get(*form, "cmdOff").SetFocus();
    EXPECT_EQ(form->Focused()->Name(), "cmdOk") << "a disabled widget is refused";
    Get(*form, "cmdOk").SetFocus();
    Get(*form, "picPanel").SetVisible(false);
    EXPECT_EQ(form->Focused(), nullptr) << "hiding the panel of the focused button drops it";
    Get(*form, "picPanel").SetVisible(true);
    Get(*form, "chkA").SetFocus();
    Get(*form, "chkA").SetVisible(false);
    EXPECT_EQ(form->Focused(), nullptr);
}

TEST(WidgetModel, CloseAsksFirstAndRunsOnceWhateverTheHandlersCall) {
    HeadlessBinding binding;
    const auto form = test::BuildTestForm(binding);
    bool cancel = true;
    int unloads = 0, closedEvents = 0, nestedQuery = -1, nestedUnload = -1;
    auto q = form->QueryUnload.Connect([&](bool& c) {
        c = cancel;
        nestedQuery = form->Close();
    });
    auto u = form->Unload.Connect([&] { ++unloads, nestedUnload = form->Close(); });
    auto d = form->ClosedEvent.Connect([&] { ++closedEvents; });
    EXPECT_FALSE(form->Close());
    EXPECT_TRUE(form->Visible());
    cancel = false;
    EXPECT_TRUE(form->Close());
    EXPECT_TRUE(form->Close());
    EXPECT_EQ(nestedQuery, 0);
    EXPECT_EQ(nestedUnload, 0);
    EXPECT_EQ(unloads, 1);
    EXPECT_EQ(closedEvents, 1);
    EXPECT_FALSE(form->Visible());
}

TEST(WidgetModel, ScrollBarAndComboKeepTheirValuesInRange) {
    ScrollBar bar("vsb");
    const struct {
        int32_t min, max, value, expected;
    } cases[] = {{0, 10, 11, 10}, {0, 10, -1, 0}, {5, 2, 0, 5}, {-5, 5, -3, -3}};
    for (const auto& c : cases) {
        bar.SetRange(c.min, c.max, 1, 1);
        bar.SetValue(c.value);
        EXPECT_EQ(bar.Value(), c.expected) << c.min << ".." << c.max << " " << c.value;
    }
    bar.SetRange(0, 100, 1, 10);
    bar.SetValue(80);
    bar.SetRange(0, 50, 1, 10);
    EXPECT_EQ(bar.Value(), 50) << "a narrower range brings the value in";
    ComboBox combo("cbo");
    int clicks = 0;
    auto c = combo.Click.Connect([&] { ++clicks; });
    combo.AddItem("a", 7);
    combo.SetListIndex(0);
    combo.SetListIndex(3);
    EXPECT_EQ(combo.ListIndex(), -1);
    EXPECT_EQ(combo.ItemData(5), 0);
    EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace tarvelin::ui
