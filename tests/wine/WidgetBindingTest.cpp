// The widget model on Wine's real windows: a form of one widget of each kind built from a
// layout table, its window tree, model changes reaching the windows, input reaching the
// model, the memory picture reaching the screen, and a form dropped from its own event.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/PngImage.h"
#include "ui/widgets/Layout.h"
#include "ui/win32/Win32Binding.h"

namespace tarvelin::ui {
namespace {

using platform::Rgb;
constexpr uint16_t kTestBitmap = 101;  // 8 x 8: red left half, blue right half
constexpr WindowRegion kRound{{0, 0, 320, 240}, 20, 20};

using K = WidgetKind;
constexpr Color kNavy = Rgb(0, 0, 160);
// A layout row names only what differs from the defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
// clang-format off
constexpr WidgetLayout kRows[] = {
    {.name = "picCanvas", .kind = K::PictureBox, .rect = {10, 10, 110, 70}, .backColor = Rgb(255, 255, 255), .tabIndex = 1, .toolTip = "Canvas"},
    {.name = "lblTitle", .kind = K::Label, .rect = {120, 10, 300, 30}, .caption = "Hello label", .font = {"Tahoma", 16, true}, .foreColor = kNavy},
    {.name = "imgLogo", .kind = K::Image, .rect = {120, 40, 128, 48}, .picture = kTestBitmap},
    {.name = "cmdOk", .kind = K::CommandButton, .rect = {10, 80, 90, 104}, .caption = "OK", .tabIndex = 2, .toolTip = "Press"},
    {.name = "chkSave", .kind = K::CheckBox, .rect = {100, 80, 200, 100}, .caption = "Save", .tabIndex = 3},
    {.name = "optA", .kind = K::OptionButton, .rect = {10, 110, 90, 130}, .caption = "A", .tabIndex = 4, .group = 1},
    {.name = "optB", .kind = K::OptionButton, .rect = {100, 110, 190, 130}, .caption = "B", .tabIndex = 5, .group = 1},
    {.name = "cboPort", .kind = K::ComboBox, .rect = {10, 140, 150, 160}, .tabIndex = 6},
    {.name = "txtName", .kind = K::TextBox, .rect = {10, 170, 150, 190}, .caption = "abc", .tabIndex = 7},
    {.name = "txtPass", .kind = K::TextBox, .rect = {160, 170, 300, 190}, .tabIndex = 8, .flags = kPassword},
    {.name = "vsbList", .kind = K::ScrollBar, .rect = {300, 40, 317, 160}, .tabIndex = 9},
    {.name = "ipAddr", .kind = K::IpAddress, .rect = {160, 140, 290, 162}, .tabIndex = 10},
    {.name = "cmdGone", .kind = K::CommandButton, .rect = {200, 80, 290, 104}, .caption = "Hidden", .flags = kHidden | kDisabled},
};
// clang-format on
constexpr FormLayout kLayout{
    {.name = "frmTest", .kind = K::Form, .rect = {200, 150, 520, 390}, .caption = "Binding test"},
    kRows};
#pragma GCC diagnostic pop

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(window, message, wParam, lParam);
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

class WidgetBindingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = BuildForm(kLayout, binding);
        ASSERT_TRUE(form);
        form->SetRegion(kRound);
        form->SetVisible(true);
        RedrawWindow(Window("frmTest"), nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    HWND Window(const char* name) const {
        const Widget* w = std::string(name) == "frmTest" ? form.get() : form->Find(name);
        return w ? Win32Binding::WindowOf(*w) : nullptr;
    }
    // The client area as the window paints it (WM_PRINTCLIENT), read back from a bitmap.
    std::unique_ptr<platform::Win32Bitmap> Printed(HWND window) const {
        RECT r{};
        GetClientRect(window, &r);
        auto bitmap = std::make_unique<platform::Win32Bitmap>(r.right, r.bottom);
        Send(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bitmap->Dc()), PRF_CLIENT);
        return bitmap;
    }
    Win32Binding binding;
    std::shared_ptr<Form> form;
    std::vector<Connection> keep;
};

TEST_F(WidgetBindingTest, WindowTreeFollowsTheTable) {
    struct Row {
        const char* name;
        const wchar_t* className;  // null: windowless
        const wchar_t* text;
        bool visible, enabled;
    };
    // clang-format off
    const Row rows[] = {
        {"frmTest", L"TarvelinForm", L"Binding test", true, true},
        {"picCanvas", L"TarvelinPicture", L"", true, true},   {"lblTitle", nullptr, nullptr, true, true},
        {"imgLogo", nullptr, nullptr, true, true},            {"cmdOk", L"Button", L"OK", true, true},
        {"chkSave", L"Button", L"Save", true, true},          {"optA", L"Button", L"A", true, true},
        {"cboPort", L"ComboBox", L"", true, true},            {"txtName", L"Edit", L"abc", true, true},
        {"vsbList", L"ScrollBar", L"", true, true},           {"ipAddr", L"SysIPAddress32", L"0.0.0.0", true, true},
        {"cmdGone", L"Button", L"Hidden", false, false},
    };
    // clang-format on
    HWND top = Window("frmTest");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HWND window = Window(row.name);
        ASSERT_EQ(window != nullptr, row.className != nullptr);
        if (!window) continue;
        EXPECT_EQ(0, _wcsicmp(ClassOf(window).c_str(), row.className));
        wchar_t text[64] = {};
        GetWindowTextW(window, text, 64);
        if (window != Window("ipAddr")) {
            EXPECT_STREQ(text, row.text);
        }
        EXPECT_EQ(IsWindowVisible(window) != FALSE, row.visible);
        EXPECT_EQ(IsWindowEnabled(window) != FALSE, row.enabled);
        RECT r{};
        GetWindowRect(window, &r);
        POINT at{r.left, r.top};
        if (window != top) ScreenToClient(top, &at);
        const Widget* w = window == top ? form.get() : form->Find(row.name);
        EXPECT_EQ(at.x, w->Bounds().left);
        EXPECT_EQ(at.y, w->Bounds().top);
    }
    EXPECT_EQ(GetWindowLongW(Window("txtPass"), GWL_STYLE) & ES_PASSWORD, ES_PASSWORD);
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(top, region), ERROR);
    DeleteObject(region);
    HWND tips = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr);
    EXPECT_EQ(GetWindow(tips, GW_OWNER), top);
    EXPECT_EQ(Send(tips, TTM_GETTOOLCOUNT), 2);  // picCanvas and cmdOk
    EXPECT_EQ(binding.TwipsPerPixel(), 15);
    EXPECT_NE(binding.Bitmap(kTestBitmap), nullptr);
    EXPECT_EQ(binding.Bitmap(999), nullptr);
}

TEST_F(WidgetBindingTest, ModelChangesReachTheWindows) {
    auto& ok = *FindWidget<CommandButton>(*form, "cmdOk");
    ok.SetCaption("Go");
    ok.SetEnabled(false);
    ok.Move(20, 90);
    form->Find("picCanvas")->SetVisible(false);
    FindWidget<CheckBox>(*form, "optB")->SetValue(true);
    FindWidget<ScrollBar>(*form, "vsbList")->SetRange(0, 10, 1, 5);
    FindWidget<ScrollBar>(*form, "vsbList")->SetValue(7);
    FindWidget<IpAddressBox>(*form, "ipAddr")->SetAddress({10, 0, 0, 1});
    // An item's text changed in place, then one taken away: the list shows the model.
    auto& combo = *FindWidget<ComboBox>(*form, "cboPort");
    const auto items = [&] {
        std::vector<std::wstring> texts;
        for (LRESULT i = 0; i < Send(Window("cboPort"), CB_GETCOUNT); ++i) {
            wchar_t item[16] = {};
            Send(Window("cboPort"), CB_GETLBTEXT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(item));
            texts.push_back(item);
        }
        return texts;
    };
    for (const char* item : {"A", "B", "C"}) combo.AddItem(item, 0);
    combo.SetListIndex(1);
    combo.SetItem(1, "B (on)", 1);
    EXPECT_EQ(items(), (std::vector<std::wstring>{L"A", L"B (on)", L"C"}));
    EXPECT_EQ(Send(Window("cboPort"), CB_GETCURSEL), 1);
    combo.RemoveItem(0);
    EXPECT_EQ(items(), (std::vector<std::wstring>{L"B (on)", L"C"}));
    wchar_t text[16] = {};
    GetWindowTextW(Window("cmdOk"), text, 16);
    EXPECT_STREQ(text, L"Go");
    EXPECT_FALSE(IsWindowEnabled(Window("cmdOk")));
    RECT r{};
    GetWindowRect(Window("cmdOk"), &r);
    POINT at{r.left, r.top};
    ScreenToClient(Window("frmTest"), &at);
    EXPECT_EQ(at.x, 20);
    EXPECT_EQ(at.y, 90);
    EXPECT_FALSE(IsWindowVisible(Window("picCanvas")));
    EXPECT_EQ(Send(Window("optB"), BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(GetScrollPos(Window("vsbList"), SB_CTL), 7);
    DWORD address = 0;
    Send(Window("ipAddr"), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    EXPECT_EQ(address, static_cast<DWORD>(MAKEIPADDRESS(10, 0, 0, 1)));
}

// A field typed into an empty address control: the model learns three fields are blank and
// does not fill them with zeros by writing back; an owned form has its owner window.
TEST_F(WidgetBindingTest, PartlyTypedAddressAndOwnedForm) {
    HWND address = Window("ipAddr");
    HWND field = FindWindowExW(address, nullptr, L"Edit", nullptr);
    RECT box{};
    GetClientRect(field, &box);
    EXPECT_GT(box.right, 0) << "a field a click can reach, to type into";
    SetWindowTextW(field, L"7");
    const auto& fields = FindWidget<IpAddressBox>(*form, "ipAddr")->Address();
    EXPECT_EQ(std::count(fields.begin(), fields.end(), -1), 3);
    DWORD packed = 0;
    EXPECT_EQ(Send(address, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&packed)), 1);
    const auto owned = BuildForm(kLayout, binding);
    ASSERT_TRUE(owned);
    owned->SetOwner(form.get());
    EXPECT_EQ(GetWindow(Win32Binding::WindowOf(*owned), GW_OWNER), Window("frmTest"));
}

TEST_F(WidgetBindingTest, InputRaisesTheModelsEvents) {
    std::vector<std::string> seen;
    const auto log = [&](Widget& w, const char* what) {
        return [&seen, &w, what](const MouseArgs& a) {
            seen.push_back(w.Name() + " " + what + " " + std::to_string(a.button) + " " +
                           std::to_string(a.x) + "," + std::to_string(a.y));
        };
    };
    Widget& picture = *form->Find("picCanvas");
    Widget& label = *form->Find("lblTitle");
    keep.push_back(picture.MouseDown.Connect(log(picture, "down")));
    keep.push_back(picture.MouseUp.Connect(log(picture, "up")));
    keep.push_back(label.MouseDown.Connect(log(label, "down")));
    keep.push_back(form->Find("cmdOk")->Click.Connect([&] { seen.push_back("cmdOk click"); }));
    keep.push_back(
        form->Find("txtName")->Change.Connect([&] { seen.push_back("txtName change"); }));
    auto& combo = *FindWidget<ComboBox>(*form, "cboPort");
    combo.AddItem("COM1");
    combo.AddItem("COM5");

    Send(Window("picCanvas"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
    EXPECT_EQ(GetCapture(), Window("picCanvas"));
    Send(Window("picCanvas"), WM_LBUTTONUP, 0, MAKELPARAM(6, 8));
    EXPECT_EQ(GetCapture(), nullptr);
    Send(Window("frmTest"), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(130, 15));  // on the label
    Send(Window("frmTest"), WM_RBUTTONUP, 0, MAKELPARAM(130, 15));
    Send(Window("cmdOk"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(Window("cmdOk"), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Send(Window("cboPort"), CB_SETCURSEL, 1);
    Send(Window("frmTest"), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(Window("cboPort")));
    Send(Window("txtName"), EM_SETSEL, 3, 3);
    Send(Window("txtName"), WM_CHAR, 'd', 1);
    Send(Window("frmTest"), WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(Window("vsbList")));
    Send(Window("chkSave"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(Window("chkSave"), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));

    const std::vector<std::string> expected = {"picCanvas down 1 5,7", "picCanvas up 1 6,8",
                                               "lblTitle down 2 10,5", "cmdOk click",
                                               "txtName change"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(combo.ListIndex(), 1);
    EXPECT_EQ(FindWidget<ScrollBar>(*form, "vsbList")->Value(), 1);  // one large change
    EXPECT_EQ(form->Find("txtName")->Caption(), "abcd");
    EXPECT_TRUE(FindWidget<CheckBox>(*form, "chkSave")->Value());
    EXPECT_EQ(Send(Window("chkSave"), BM_GETCHECK), BST_CHECKED);
    EXPECT_EQ(form->Focused(), form->Find("chkSave"));
    Send(Window("chkSave"), WM_KEYDOWN, VK_TAB, 0);  // to the next in tab order
    EXPECT_EQ(form->Focused(), form->Find("optA"));
    EXPECT_EQ(GetFocus(), Window("optA"));
    ShowWindow(Window("frmTest"), SW_MINIMIZE);  // as the user does
    EXPECT_EQ(form->State(), WindowState::Minimised);
}

TEST_F(WidgetBindingTest, CloseAsksQueryUnload) {
    bool cancel = true;
    keep.push_back(form->QueryUnload.Connect([&](bool& c) { c = cancel; }));
    Send(Window("frmTest"), WM_CLOSE);
    EXPECT_TRUE(IsWindowVisible(Window("frmTest")));
    EXPECT_FALSE(form->Closed());
    cancel = false;
    Send(Window("frmTest"), WM_CLOSE);
    EXPECT_FALSE(IsWindowVisible(Window("frmTest")));
    EXPECT_TRUE(form->Closed());
}

// A handler that closes and drops its own form: the windows go after the click, unharmed.
TEST_F(WidgetBindingTest, FormDroppedFromItsOwnClick) {
    HWND top = Window("frmTest"), button = Window("cmdOk");
    keep.push_back(form->Find("cmdOk")->Click.Connect([this] {
        form->Close();
        form.reset();
    }));
    Send(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(form);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(button));
}

// What is drawn on the memory picture, the label and the image reach the screen; the form
// as shown is kept as a picture in the build folder.
TEST_F(WidgetBindingTest, DrawingReachesTheScreen) {
    auto& picture = *FindWidget<PictureBox>(*form, "picCanvas");
    picture.Canvas().FillRect({20, 20, 40, 40}, Rgb(255, 0, 0));
    picture.Refresh();
    const auto box = Printed(Window("picCanvas"));
    EXPECT_EQ(box->PixelAt({25, 25}), Rgb(255, 0, 0));
    EXPECT_EQ(box->PixelAt({5, 5}), Rgb(255, 255, 255));
    const auto whole = Printed(Window("frmTest"));
    EXPECT_EQ(whole->PixelAt({121, 41}), Rgb(255, 0, 0));  // the image's left half
    EXPECT_EQ(whole->PixelAt({126, 41}), Rgb(0, 0, 255));
    int inked = 0;
    for (int x = 120; x < 300; ++x) inked += whole->PixelAt({x, 20}) == kNavy;
    EXPECT_GT(inked, 5);  // the label's text

    HWND top = Window("frmTest");
    RECT r{};
    GetWindowRect(top, &r);
    platform::Win32Bitmap shot(r.right - r.left, r.bottom - r.top);
    HDC dc = GetWindowDC(top);
    BitBlt(shot.Dc(), 0, 0, shot.Width(), shot.Height(), dc, 0, 0, SRCCOPY);
    ReleaseDC(top, dc);
    const auto png = platform::EncodePng(shot.Width(), shot.Height(),
                                         [&](platform::Point p) { return shot.PixelAt(p); });
    std::ofstream("widget_binding.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    EXPECT_FALSE(png.empty());
}

}  // namespace
}  // namespace tarvelin::ui
