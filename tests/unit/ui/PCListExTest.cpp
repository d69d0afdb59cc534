// The owner-drawn list on a headless form: selection by keys and clicks, removal, scrolling
// the selection into view, long lists, and a handler that drops the list.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ControlForm.h"
#include "ui/controls/PCListEx.h"

namespace tarvelin::ui {
namespace {

const WidgetLayout kRows[] = {
    {.name = "picList", .rect = {10, 10, 190, 130}, .tabIndex = 1},
    {.name = "vsbList", .kind = WidgetKind::ScrollBar, .rect = {0, 0, 16, 100}, .tabIndex = 2},
};

struct PCListExTest : ::testing::Test, test::ControlForm {
    PCListExTest() : ControlForm(kRows) {
        list->ControlInit(box, Get<ScrollBar>("vsbList"));
        watched =
            list->ChangeSelection.Connect([this](int32_t at) { log += std::to_string(at) + " "; });
    }
    void Fill(int32_t count) {
        for (int32_t i = 1; i <= count; ++i)
            list->ItemAdd("Item " + std::to_string(i), {}, {}, i * 10, 0);
        list->ControlRefresh();
    }
    ListItem Item(int32_t position) const {
        ListItem item;
        EXPECT_TRUE(list->ItemInfoGetByIndex(position, item)) << position;
        return item;
    }
    void ClickItem(int32_t position) {
        const Rect r = Item(position).rect;
        input.Click(*form, At(*box, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    ScrollBar& Bar() { return *Get<ScrollBar>("vsbList"); }

    std::shared_ptr<PictureBox> box = Get("picList");
    std::shared_ptr<PCListEx> list = PCListEx::Create(binding);
    Connection watched;
    std::string log;
};

TEST_F(PCListExTest, KeysAndClicksMoveTheSelectionAndReportOnlyChanges) {
    constexpr int32_t kClickEmpty = -1;
    const struct {
        int32_t selected;
        int32_t key;  // or the item clicked, or kClickEmpty
        bool click;
        int32_t after;
        const char* log;
    } cases[] = {{0, kKeyDown, false, 1, "1 "},
                 {1, kKeyUp, false, 1, ""},
                 {0, kKeyUp, false, 0, ""},
                 {2, kKeyHome, false, 1, "1 "},
                 {1, kKeyHome, false, 1, ""},
                 {1, kKeyEnd, false, 3, "3 "},
                 {3, kKeyEnd, false, 3, ""},
                 {3, kKeyPageDown, false, 3, ""},
                 {1, kKeyPageDown, false, 2, "2 "},
                 {3, kKeyPageUp, false, 2, "2 "},
                 {0, 2, true, 2, "2 "},
                 {2, 2, true, 2, ""},
                 {2, kClickEmpty, true, 0, "0 "},
                 {0, kClickEmpty, true, 0, ""}};
    Fill(3);
    EXPECT_FALSE(Bar().Visible());
    for (const auto& c : cases) {
        list->SetItemSelected(c.selected);
        log.clear();
        box->SetFocus();
        if (!c.click) input.Press(*form, c.key);
        if (c.click && c.key > 0) ClickItem(c.key);
        if (c.click && c.key == kClickEmpty)
            input.Click(*form, At(*box, 90, Item(3).rect.bottom + 8));
        EXPECT_EQ(list->ItemSelected(), c.after) << c.selected << " " << c.key;
        EXPECT_EQ(log, c.log) << c.selected << " " << c.key;
    }
}

TEST_F(PCListExTest, RemovingAndClearingKeepTheSelectionsNumber) {
    Fill(4);
    list->SetItemSelected(3);
    log.clear();
    list->ItemRemove(2);
    list->ItemRemove(0);
    list->ItemRemove(4);
    EXPECT_EQ(list->ItemsCount(), 3);
    EXPECT_EQ(list->ItemSelected(), 3);
    EXPECT_EQ(Item(3).text1, "Item 4");
    EXPECT_EQ(Item(2).number1, 30);
    EXPECT_EQ(Item(3).number1, 40);
    for (int32_t ignored : {3, 4, -1}) list->SetItemSelected(ignored);
    EXPECT_EQ(log, "");
    list->ItemRemove(3);
    EXPECT_EQ(log, "0 ") << "the selected item removed";
    list->SetItemSelected(2);
    log.clear();
    list->ItemsClear();
    EXPECT_EQ(list->ItemsCount(), 0);
    EXPECT_EQ(list->ItemSelected(), 0);
    EXPECT_EQ(log, "");
}

TEST_F(PCListExTest, TheScrollBarMovesTheListAndKeysScrollTheSelectionIntoView) {
    Fill(20);
    ASSERT_TRUE(Bar().Visible());
    int32_t page = 0;  // the items whole at the top
    while (Item(page + 1).fullyVisible) ++page;
    ASSERT_GT(page, 1);
    input.ScrollTo(Bar(), 5);
    EXPECT_EQ(list->FirstVisible(), 5);
    EXPECT_TRUE(Item(5).fullyVisible);
    box->SetFocus();
    for (int32_t i = 1; i <= 20; ++i) {
        input.Press(*form, kKeyDown);
        EXPECT_TRUE(Item(i).fullyVisible) << i;
        EXPECT_EQ(list->FirstVisible(), std::max(1, i - page + 1)) << "at the bottom";
    }
    EXPECT_EQ(list->FirstVisible(), Bar().Max());
    input.Press(*form, kKeyHome);
    EXPECT_EQ(list->FirstVisible(), 1);
}

// An item taller than the list is never whole: the list shows its top rather than scroll on.
TEST_F(PCListExTest, AnItemTallerThanTheListShowsItsTop) {
    std::string words;
    for (int i = 0; i < 80; ++i) words += "word ";
    Fill(3);
    list->ItemAdd("Tall", words, {}, 0, 0);
    Fill(3);
    box->SetFocus();
    const std::vector<int32_t> fromAbove{kKeyDown, kKeyDown, kKeyDown, kKeyDown},
        fromBelow{kKeyEnd, kKeyUp, kKeyUp, kKeyUp};
    for (const auto& keys : {fromAbove, fromBelow}) {
        input.Press(*form, kKeyHome);
        for (int32_t key : keys) input.Press(*form, key);
        EXPECT_EQ(list->ItemSelected(), 4);
        EXPECT_FALSE(Item(4).fullyVisible);
        EXPECT_EQ(list->FirstVisible(), 4);
    }
}

TEST_F(PCListExTest, TenThousandItemsStayUsable) {
    Fill(10000);
    box->SetFocus();
    input.Press(*form, kKeyEnd);
    EXPECT_EQ(list->ItemSelected(), 10000);
    EXPECT_TRUE(Item(10000).fullyVisible);
    EXPECT_EQ(log, "10000 ");
}

TEST_F(PCListExTest, AChangeSelectionHandlerMayDropTheList) {
    Fill(3);
    const Connection drop = list->ChangeSelection.Connect([this](int32_t) {
        list->ControlRelease();
        list.reset();
    });
    ClickItem(2);
    EXPECT_EQ(list, nullptr);
    input.Click(*form, At(*box, 20, 20));
    input.Press(*form, kKeyDown);
    EXPECT_EQ(log, "2 ");

    list = PCListEx::Create(binding);
    list->ControlInit(box, Get<ScrollBar>("vsbList"));
    input.MoveMouse(*form, At(*box, 20, 20));
    EXPECT_EQ(TimerUsers(), 1);
    list.reset();
    EXPECT_EQ(TimerUsers(), 0);
    sim.loop.Advance(300);
}

}  // namespace
}  // namespace tarvelin::ui
