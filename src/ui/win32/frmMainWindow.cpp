#include "ui/win32/frmMainWindow.h"

#include "core/modAppMain.h"
#include "platform/win32/WideText.h"
#include "ui/frmMain.h"

namespace tarvelin {
namespace {

constexpr wchar_t kClassName[] = L"TarvelinMainWindow";
constexpr COLORREF kOutline = RGB(102, 100, 101);
constexpr COLORREF kFadeTo = RGB(173, 175, 175);
constexpr RECT kPageRect = {6, 58, 494, 251};

struct GdiObject {
    explicit GdiObject(HGDIOBJ o) : object(o) {}
    ~GdiObject() {
        if (object) DeleteObject(object);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ object;
};

void PaintGradient(HDC dc, const RECT& client) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    TRIVERTEX v[2] = {{0, client.bottom - 40, 0xFF00, 0xFF00, 0xFF00, 0},
                      {client.right, client.bottom + 20, GetRValue(kFadeTo) << 8,
                       GetGValue(kFadeTo) << 8, GetBValue(kFadeTo) << 8, 0}};
    GRADIENT_RECT g = {0, 1};
    GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}

void PaintFrame(HDC dc, const RECT& client) {
    GdiObject outer(CreateRectRgn(0, 0, client.right, client.bottom));
    GdiObject inner(
        CreateRoundRectRgn(1, 1, client.right, client.bottom, kMainFormCorner, kMainFormCorner));
    CombineRgn(static_cast<HRGN>(outer.object), static_cast<HRGN>(outer.object),
               static_cast<HRGN>(inner.object), RGN_DIFF);
    GdiObject brush(CreateSolidBrush(kOutline));
    FillRgn(dc, static_cast<HRGN>(outer.object), static_cast<HBRUSH>(brush.object));

    GdiObject pen(CreatePen(PS_SOLID, 1, kOutline));
    HGDIOBJ oldPen = SelectObject(dc, pen.object);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, kPageRect.left - 1, kPageRect.top - 1, kPageRect.right + 2, kPageRect.bottom + 2,
              10, 10);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void PaintTitle(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kOutline);
    RECT title = {20, 18, 480, 50};
    const std::wstring text = platform::Widen(kAppTitle);
    DrawTextW(dc, text.c_str(), -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    PaintGradient(dc, client);
    PaintFrame(dc, client);
    PaintTitle(dc);
    EndPaint(window, &ps);
}

void OnClose(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MainFormSavePosition({r.left, r.top}, IsIconic(window) != FALSE);
    DestroyWindow(window);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
            // The borderless window is moved by its background, as by a caption.
            ReleaseCapture();
            SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return 0;
        case WM_CLOSE:
            OnClose(window);
            return 0;
        case WM_DESTROY:
            AppCleanup();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND frmMainLoad(HINSTANCE instance) {
    if (!RegisterWindowClass(instance)) return nullptr;
    const FormPosition at =
        MainFormInitialPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    HWND window =
        CreateWindowExW(WS_EX_APPWINDOW, kClassName, platform::Widen(kAppTitle).c_str(),
                        WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, at.left, at.top, kMainFormWidth,
                        kMainFormHeight, nullptr, nullptr, instance, nullptr);
    if (!window) return nullptr;
    RECT client;
    GetClientRect(window, &client);
    // The window owns the region from here on and frees it itself.
    SetWindowRgn(window,
                 CreateRoundRectRgn(0, 0, client.right + 1, client.bottom + 1, kMainFormCorner,
                                    kMainFormCorner),
                 FALSE);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}

}  // namespace tarvelin
