#include <gtest/gtest.h>

#include "sim/SimMenus.h"
#include "ui/controls/PCMenu.h"

namespace tarvelin {
namespace {

using platform::WindowHandle;
using Kind = sim::SimMenuItem::Kind;

TEST(PCMenu, ItemsCarryTheSystemFlagsAndTheDefault) {
    sim::SimMenus menus;
    PCMenu menu(menus);
    const struct {
        MenuItemOptions options;
        uint32_t flags;
    } cases[] = {{{}, 0},
                 {{.checked = true}, 8},
                 {{.disabled = true}, 2},
                 {{.grayed = true}, 1},
                 {{.menuBarBreak = true}, 32},
                 {{.isDefault = true, .checked = true, .disabled = true, .grayed = true}, 11}};
    uint32_t id = 1;
    for (const auto& c : cases) EXPECT_TRUE(menu.AddItem(id++, "Пункт", c.options));
    EXPECT_TRUE(menu.AddItem(id, "-"));

    const sim::SimMenu& built = *menus.built.at(0);
    ASSERT_EQ(built.items.size(), std::size(cases) + 1);
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(built.items[i].flags, cases[i].flags);
    EXPECT_EQ(built.items.back().kind, Kind::Separator);
    EXPECT_EQ(built.items.back().id, id);
    EXPECT_EQ(built.defaultId, 6u);
}

TEST(PCMenu, SubmenuLivesAsLongAsTheMenuHoldingIt) {
    sim::SimMenus menus;
    auto outer = std::make_unique<PCMenu>(menus);
    {
        PCMenu inner(menus);
        inner.Caption = "Подключения";
        EXPECT_TRUE(outer->AddItem(7, inner, {.menuBarBreak = true}));
        EXPECT_FALSE(outer->AddItem(8, *outer)) << "a menu is never its own submenu";
    }
    const sim::SimMenuItem& item = menus.built.at(0)->items.at(0);
    EXPECT_EQ(item.kind, Kind::Submenu);
    EXPECT_EQ(item.text, "Подключения");
    EXPECT_EQ(item.flags, 16u | 32u);
    EXPECT_FALSE(menus.built.at(1)->destroyed);
    outer.reset();
    EXPECT_TRUE(menus.built.at(0)->destroyed);
    EXPECT_TRUE(menus.built.at(1)->destroyed);
}

TEST(PCMenu, TrackPopupPlacesTheMenuAndFindsItsOwner) {
    constexpr WindowHandle kNone = kMenuNoWindow, kButton = 0x30, kProcess = 0x10;
    const struct {
        WindowHandle owner, alignment, processWindow;
        int32_t x, y;
        bool shown;
        WindowHandle trackedOwner;
        int32_t trackedX, trackedY;
    } cases[] = {
        {kNone, kNone, kProcess, 100, -1, true, kProcess, 100, 500},
        {0, kNone, kProcess, -1, -1, true, kProcess, 400, 500},
        {0x20, kButton, kProcess, 5, 5, true, 0x20, 60, 90},
        {0x20, 0x99, kProcess, 5, -1, true, 0x20, 5, 500},  // no such window: at (x, y)
        {kNone, kNone, 0, 100, 100, false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        sim::SimMenus menus;
        menus.cursor = {400, 500};
        menus.processWindow = c.processWindow;
        menus.windows[kButton] = {60, 70, 160, 90};
        menus.choice = 3;
        PCMenu menu(menus);
        menu.AddItem(3, "Выйти");
        EXPECT_EQ(menu.TrackPopup(c.owner, c.x, c.y, c.alignment), c.shown ? 3u : 0u);
        ASSERT_EQ(menus.tracked.size(), c.shown ? 1u : 0u);
        if (!c.shown) continue;
        EXPECT_EQ(menus.tracked[0].owner, c.trackedOwner);
        EXPECT_EQ(menus.tracked[0].x, c.trackedX);
        EXPECT_EQ(menus.tracked[0].y, c.trackedY);
    }
}

TEST(PCMenu, WithoutASystemMenuNothingIsAddedOrShown) {
    sim::SimMenus menus;
    menus.failCreate = true;
    menus.processWindow = 0x10;
    PCMenu menu(menus);
    EXPECT_FALSE(menu.AddItem(1, "Выйти"));
    EXPECT_EQ(menu.TrackPopup(), 0u);
    EXPECT_TRUE(menus.tracked.empty());
}

}  // namespace
}  // namespace tarvelin
