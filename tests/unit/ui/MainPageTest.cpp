// The main page on the headless binding over the simulated system: the start-up offers, the
// list of modems, connecting and hanging up, the poll feeding the graph, the desktop widget
// and the tray's tool tip, connections made or ended behind the program's back.
#include <gtest/gtest.h>

#include "core/AppSetting.h"
#include "ui/forms/MainPage.h"
#include "unit/ui/MainWindowFixture.h"

namespace tarvelin::ui {
namespace {

using platform::Rgb;
using Texts = std::vector<std::string>;
constexpr platform::Color kWhite = Rgb(255, 255, 255);

struct MainPageTest : MainWindowFixture {
    std::shared_ptr<frmMain> window;
    MainPage* page = nullptr;

    MainPageTest() {
        sim.ras.receiveRate = 3000;
        sim.ras.sendRate = 700;
    }
    // A modem with one entry for each name.
    void Modem(const std::string& device, std::initializer_list<const char*> entries) {
        sim.ras.devices.push_back({device, "modem"});
        RasEntryInfo info;
        info.szDeviceType = "modem";
        info.szDeviceName = device;
        for (const char* entry : entries) sim.ras.AddEntry(entry, info);
    }
    // Opens the window and lets the start-up check run.
    void Load() {
        window = frmMain::Create(binding);
        ASSERT_TRUE(window->Load());
        page = window->Presenter<MainPage>();
        ASSERT_TRUE(page);
        EXPECT_TRUE(window->Busy()) << "until the check has run";
        sim.loop.Advance(10);
    }
    void Seconds(int n) { sim.loop.Advance(1000ull * n); }
    ComboBox& List() { return *window->Get<ComboBox>("cmbMainConn"); }
    Widget& W(const char* name) { return *window->Window()->Find(name); }
    Texts Items() {
        Texts texts;
        for (const auto& item : List().Items()) texts.push_back(item.text);
        return texts;
    }
    void Choose(const std::string& text) {
        const Texts texts = Items();
        List().SetListIndex(
            static_cast<int32_t>(std::find(texts.begin(), texts.end(), text) - texts.begin()));
    }
    void Connect() { input.Click(W("cmdMainConnect")); }
    // The graph's pixels as the screen shows them.
    std::vector<platform::Color> Graph() {
        const platform::RasterPicture picture = binding.Render(*window->Window());
        const Rect g = W("picMainGraph").Bounds();
        std::vector<platform::Color> pixels;
        for (int32_t y = g.top; y < g.bottom; ++y)
            for (int32_t x = g.left; x < g.right; ++x)
                pixels.push_back(picture.PixelAt({kPageRect.left + x, kPageRect.top + y}));
        return pixels;
    }
    std::string Tip() {
        return sim.notifyArea.icons.empty() ? "" : sim.notifyArea.icons.begin()->second.tip;
    }
};

// What the start-up check offers, and where the answer leads.
struct StartupCase {
    bool modem, entry, autoStart, check;
    int answer;
    const char* offer;  // the message's first line, empty for none
    int32_t page;
};
const StartupCase kStartup[] = {
    {false, false, false, true, 6, "В системе отсутствуют установленные модемы.", 8},
    {false, false, false, true, 7, "В системе отсутствуют установленные модемы.", 1},
    {true, false, false, true, 6, "В системе отсутствуют удаленные соединения.", 6},
    {true, true, false, true, 6, "", 1},
    {false, false, true, true, 6, "", 1},
    {false, false, false, false, 6, "", 1},
};

TEST_F(MainPageTest, StartupOffersWhatIsMissing) {
    for (const StartupCase& c : kStartup) {
        sim.messageBox.shown.clear();
        sim.ras.devices.clear();
        sim.ras.entries.clear();
        if (c.modem) Modem("Modem X", {});
        if (c.entry) Modem("Modem X", {"MTS"});
        AppState().AutoStart = c.autoStart;
        AppState().CheckDeviceConn = c.check;
        sim.messageBox.answer = c.answer;
        Load();
        SCOPED_TRACE(c.offer);
        EXPECT_FALSE(window->Busy());
        EXPECT_EQ(window->CurrentPage(), c.page);
        ASSERT_EQ(sim.messageBox.shown.size(), *c.offer ? 1u : 0u);
        if (*c.offer) {
            EXPECT_EQ(sim.messageBox.shown[0].rfind(std::string(c.offer) + "\r\n", 0), 0u);
        }
        EXPECT_TRUE(List().Enabled());
        EXPECT_EQ(Items(), c.entry ? Texts{"Modem X"} : Texts{});
        EXPECT_EQ(W("cmdMainConnect").Enabled(), c.entry);
        window->UnloadWindow();
    }
}

// Two modems connected through the page and one from outside: the list, the button, the
// graph moving each second, the widget growing by a band per connection, the tray's tip;
// then the outside one hung up and forgotten at the next refresh.
TEST_F(MainPageTest, ConnectionsFeedTheGraphWidgetAndTip) {
    SettingSave(AppSetting::Tray, true);
    Modem("Modem X", {"MTS"});
    Modem("Modem Y", {"Beeline"});
    Load();
    EXPECT_EQ(Items(), (Texts{"Modem X", "Modem Y"}));
    EXPECT_EQ(List().Text(), "Modem Y") << "the last device added is chosen";
    Connect();
    Seconds(1);
    EXPECT_EQ(Items(), (Texts{"Modem X", "Modem Y (подключено)"}));
    EXPECT_EQ(W("cmdMainConnect").Caption(), "Завершить");
    EXPECT_FALSE(W("lblMainWarning1").Visible());
    EXPECT_FALSE(W("lblMainWarning2").Visible());
    ASSERT_EQ(page->Monitor().Stats().size(), 1u);
    std::vector<platform::Color> before = Graph();
    for (int second = 0; second < 3; ++second) {
        Seconds(1);
        const std::vector<platform::Color> now = Graph();
        EXPECT_NE(now, before) << "the graph and figures move every second";
        before = now;
    }
    Choose("Modem X");
    EXPECT_EQ(W("cmdMainConnect").Caption(), "Соединить");
    Connect();
    Seconds(5);
    EXPECT_EQ(Tip(), "Tarvelin\nАктивно подключений: 2");
    ASSERT_TRUE(page->StatWindow());
    EXPECT_EQ(page->StatWindow()->Window().Bounds(), (Rect{876, 806, 1280, 994}));
    EXPECT_TRUE(binding.SavePng(*window->Window(),
                                std::string(TARVELIN_TEST_OUTPUT) + "/main-page-live.png"));
    EXPECT_TRUE(binding.SavePng(page->StatWindow()->Window(),
                                std::string(TARVELIN_TEST_OUTPUT) + "/widget-two.png"));

    sim::SimRasConnection& outside = sim.ras.Connect("Dialled elsewhere");
    outside.deviceName = "USB Modem";
    Seconds(1);
    EXPECT_EQ(Items(),
              (Texts{"Modem X (подключено)", "Modem Y (подключено)", "USB Modem (подключено)"}));
    EXPECT_EQ(List().Text(), "USB Modem (подключено)");
    const Form& widget = page->StatWindow()->Window();
    EXPECT_EQ(widget.Bounds(), (Rect{876, 712, 1280, 994}));
    EXPECT_EQ(widget.ExtendedStyle() & 0x800A8u, 0x800A8u) << "layered, click-through, topmost";
    EXPECT_FALSE(widget.ShowInTaskbar());
    EXPECT_EQ(widget.Opacity(), AppState().WidgetTrans);
    // Bands of 90 rows from y = 2, 96 and 190; the rows between them stay see-through.
    const platform::RasterPicture picture = binding.Render(widget);
    for (int32_t y = 0; y < widget.Height(); ++y) {
        const bool band = (y >= 2 && y < 92) || (y >= 96 && y < 186) || (y >= 190 && y < 280);
        bool ink = false;
        for (int32_t x = 0; x < widget.Width(); ++x) ink |= picture.PixelAt({x, y}) != kWhite;
        EXPECT_TRUE(band || !ink) << "row " << y;
    }

    Connect();  // hangs up the outside connection, which is chosen
    Seconds(1);
    EXPECT_EQ(List().Text(), "Modem X (подключено)") << "on to the first connected item";
    EXPECT_EQ(Items().back(), "USB Modem");
    page->RefreshConnectionList();
    EXPECT_EQ(Items(), (Texts{"Modem X (подключено)", "Modem Y (подключено)"}));
    EXPECT_EQ(page->StatWindow()->Window().Height(), 188);
}

// The last connection ends: the graph shows the session's summary under a red heading and
// the widget closes. An ending while another connection is chosen leaves the choice alone.
TEST_F(MainPageTest, HangingUpShowsTheSessionSummary) {
    SettingSave(AppSetting::Tray, true);
    Modem("Modem X", {"MTS"});
    Load();
    Connect();
    Seconds(4);
    sim.ras.Connect("Other").deviceName = "Phone";
    Seconds(1);
    Choose("Modem X (подключено)");
    sim.ras.connections.pop_back();  // "Phone" ends on its own
    Seconds(1);
    EXPECT_EQ(List().Text(), "Modem X (подключено)");
    Connect();
    Seconds(1);
    EXPECT_EQ(page->StatWindow(), nullptr);
    EXPECT_EQ(W("cmdMainConnect").Caption(), "Соединить");
    const std::vector<platform::Color> graph = Graph();
    const int32_t width = W("picMainGraph").Width();
    int red = 0;
    for (size_t i = 0; i < static_cast<size_t>(width) * 24; ++i) red += graph[i] == Rgb(255, 0, 0);
    EXPECT_GT(red, 20) << "the heading";
    EXPECT_FALSE(W("lblMainWarning1").Visible()) << "not shown again";
    Seconds(4);
    EXPECT_EQ(Tip(), "Tarvelin\nНет активных подключений.");
    EXPECT_TRUE(binding.SavePng(*window->Window(),
                                std::string(TARVELIN_TEST_OUTPUT) + "/main-page-summary.png"));
}

// Several entries on one modem: the menu under the button names them; the choice is dialled,
// no choice or a cancelled dial dialog connects nothing.
TEST_F(MainPageTest, DiallingChoosesAmongTheModemsEntries) {
    Modem("Modem X", {"MTS", "MTS night"});
    Load();
    ASSERT_EQ(Items(), (Texts{"Modem X"}));
    struct {
        uint32_t choice;
        bool connects;
        const char* dialled;
    } const cases[] = {{0, true, nullptr}, {2, false, nullptr}, {2, true, "MTS night"}};
    for (const auto& c : cases) {
        sim.menus.choice = c.choice;
        sim.ras.dialConnects = c.connects;
        Connect();
        Seconds(1);
        ASSERT_EQ(sim.ras.connections.size(), c.dialled ? 1u : 0u);
        if (c.dialled) {
            EXPECT_EQ(sim.ras.connections[0].entryName, c.dialled);
        }
    }
    ASSERT_FALSE(sim.menus.tracked.empty());
    EXPECT_EQ(sim.menus.tracked.back().menu->items.size(), 2u);
    EXPECT_EQ(Items(), (Texts{"Modem X (подключено)"}));
}

// Thirty-two connections: all listed, the tip counts them, the widget keeps to the screen.
TEST_F(MainPageTest, ManyConnections) {
    SettingSave(AppSetting::Tray, true);
    Load();
    for (int i = 0; i < 32; ++i) sim.ras.Connect("E").deviceName = "Phone " + std::to_string(i);
    Seconds(5);
    EXPECT_EQ(List().Items().size(), 32u);
    EXPECT_EQ(Tip(), "Tarvelin\nАктивно подключений: 32");
    const Rect widget = page->StatWindow()->Window().Bounds();
    EXPECT_EQ(widget.Height(), 10 * kWidgetBand) << "as many bands as the work area holds";
    EXPECT_EQ(widget.bottom, 994);
}

}  // namespace
}  // namespace tarvelin::ui
