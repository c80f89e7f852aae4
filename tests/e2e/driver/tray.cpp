// The notification area: the icons on Wine's taskbar found by their pixels, the icon's popup
// menu, and the icon's callbacks as the shell sends them.
#include "driver.h"

#include <cstdlib>

#include "core/ControlIds.h"
#include "tray/win32/TrayIcon.h"

namespace driver {

namespace {

// Wine's taskbar draws the notification icons itself, with no window per icon: from
// the right end upwards, one slot of a small icon plus a 2-pixel border each side,
// centered in the bar's height. So the icons are found by their pixels.
constexpr int kTrayIconBorder = 2;

struct TraySlot {
    RECT rect;       // desktop coordinates
    bool ours;       // drawn like the program's own icon
    int likeness;    // percentage of pixels that match the program's icon
};

COLORREF ScreenPixel(HDC screen, int x, int y) { return GetPixel(screen, x, y); }

}  // namespace

int ColorDistance(COLORREF a, COLORREF b) {
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) + abs(GetBValue(a) - GetBValue(b));
}

// The program's small icon drawn on the given background, as a size x size grid of pixels.
std::vector<COLORREF> RenderIcon(HICON icon, int size, COLORREF background) {
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, size, size};
    FillRect(memory, &all, brush);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, old);
    DeleteObject(brush);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

namespace {

// The occupied icon slots of the taskbar, rightmost first. With `programPath`, each slot
// is compared with that program's icon (resource 1, IDI_HEXALUNE).
std::vector<TraySlot> FindTrayIcons(const std::wstring& programPath) {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) Fail(L"there is no taskbar (Shell_TrayWnd)");
    RECT bar{};
    GetWindowRect(taskbar, &bar);
    const int iconSize = GetSystemMetrics(SM_CXSMICON);
    const int slot = iconSize + 2 * kTrayIconBorder;
    const int top = bar.top + (bar.bottom - bar.top - iconSize) / 2;

    HICON programIcon = nullptr;
    if (!programPath.empty()) {
        HMODULE module = LoadLibraryExW(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (!module) Fail(L"cannot open " + programPath);
        programIcon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_HEXALUNE), IMAGE_ICON, iconSize,
                                                    iconSize, 0));
        if (!programIcon) Fail(L"no icon in " + programPath);
    }

    std::vector<TraySlot> slots;
    HDC screen = GetDC(nullptr);
    for (int right = bar.right; right - slot >= bar.left; right -= slot) {
        const int left = right - slot + kTrayIconBorder;
        // The border around the icon shows the bar's own color.
        const COLORREF background = ScreenPixel(screen, right - slot, top - 1 >= bar.top ? top - 1 : top);
        int differing = 0;
        for (int y = 0; y < iconSize; ++y)
            for (int x = 0; x < iconSize; ++x)
                if (ColorDistance(ScreenPixel(screen, left + x, top + y), background) > 30) ++differing;
        if (differing < iconSize) break;  // an empty slot ends the row
        TraySlot found{{left, top, left + iconSize, top + iconSize}, false, 0};
        if (programIcon) {
            const std::vector<COLORREF> expected = RenderIcon(programIcon, iconSize, background);
            int alike = 0;
            for (int y = 0; y < iconSize; ++y)
                for (int x = 0; x < iconSize; ++x)
                    if (ColorDistance(ScreenPixel(screen, left + x, top + y),
                                       expected[static_cast<size_t>(y * iconSize + x)]) <= 60)
                        ++alike;
            found.likeness = alike * 100 / (iconSize * iconSize);
            found.ours = found.likeness >= 90;
        }
        slots.push_back(found);
    }
    ReleaseDC(nullptr, screen);
    if (programIcon) DestroyIcon(programIcon);
    return slots;
}

}  // namespace

// The notification icons on the desktop's taskbar: a count line, then one line per
// icon, rightmost first, with its centre in desktop coordinates ("x y"). Given the
// program's path, each line also says "ours" or "other" by comparing the icon's pixels,
// and how many of them match.
int TrayIcon(const Args& args) {
    const std::wstring programPath = args.size() > 1 ? args[1] : std::wstring();
    const std::vector<TraySlot> slots = FindTrayIcons(programPath);
    PrintLine(std::to_wstring(slots.size()));
    for (const TraySlot& icon : slots) {
        std::wstring line = std::to_wstring((icon.rect.left + icon.rect.right) / 2) + L" " +
                            std::to_wstring((icon.rect.top + icon.rect.bottom) / 2);
        if (!programPath.empty())
            line += (icon.ours ? L" ours " : L" other ") + std::to_wstring(icon.likeness) + L"%";
        PrintLine(line);
    }
    return 0;
}

// An open popup menu (class #32768): prints "left top right bottom" in desktop coordinates.
// Its items cannot be read from another process, so a test clicks them by position.
int PopupMenu(const Args& args) {
    const double seconds = ToSeconds(args, 1, 5);
    TopLevelSearch search{L"#32768", nullptr, {}};
    if (!PollUntil(seconds, [&] {
            search.found.clear();
            EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
            return !search.found.empty();
        }))
        Fail(L"no popup menu is open");
    RECT rect{};
    GetWindowRect(search.found.front(), &rect);
    PrintLine(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " + std::to_wstring(rect.right) +
              L" " + std::to_wstring(rect.bottom));
    return 0;
}

// The icon's callback as the shell sends it for the keyboard (version 4): the event, such as
// 0x401 (NIN_KEYSELECT) or 0x7B (WM_CONTEXTMENU), with the icon's id, and the menu's point.
int TrayEvent(const Args& args) {
    if (args.size() < 4) Fail(L"usage: tray-event <event> <x> <y>");
    using namespace hexalune::win32;
    Post(RequireControl(IDC_TRAY_HOOK), WM_APP_TRAYICON, MAKEWPARAM(ToInt(args[2]), ToInt(args[3])),
         MAKELPARAM(ToInt(args[1]), kTrayIconId));
    return 0;
}

}  // namespace driver
