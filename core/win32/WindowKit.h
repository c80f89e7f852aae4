// How the program makes a window: its controls from a layout table (core/Layout.h), laid
// out in twips for the window's DPI and laid out again when that changes, painted in the
// program's theme; and what the program's dialog boxes share.
#pragma once

#include <windows.h>

#include <climits>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/Layout.h"
#include "core/win32/Handles.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace hexalune::win32 {

inline COLORREF ThemeColor(ColorRole role) { return static_cast<COLORREF>(theme::ColorOf(role)); }

// The window's DPI: its own where the system keeps one per window (Windows 10 1607 and
// later), else its monitor's (Windows 8.1 and later), else the system's. A null window
// has the system's.
int WindowDpi(HWND window);

// Whether a WM_SETTINGCHANGE changes what our windows are measured with (the frames',
// captions' and menus' metrics, which a change of text size changes too): they lay
// themselves out again after one.
inline bool ChangesWindowMetrics(WPARAM action, LPARAM section) {
    if (action == SPI_SETNONCLIENTMETRICS) return true;
    // Without an action, the change is named by its section of the user's settings.
    const auto* name = reinterpret_cast<const wchar_t*>(section);
    return action == 0 && name && lstrcmpiW(name, L"WindowMetrics") == 0;
}

// Registers the window classes the factory uses (containers, the hook); once per process.
void RegisterWindowKitClasses(HINSTANCE instance);

// A control's rectangle in its container, in pixels at a DPI.
RECT PixelRect(const ControlSpec& item, int dpi);

// What a container (frame or panel) paints: its ground, and for a frame a group-box border
// with the caption in the window's font.
struct ContainerLook {
    COLORREF ground;
    bool framed;
    HFONT font = nullptr;
};

// The controls of one window, made from its layout table.
class Controls {
public:
    // Controls whose top-level container starts at or below `clientHeightTwips` lie outside
    // the client area: the code uses them, nobody sees or reaches them.
    Controls(HINSTANCE instance, std::span<const ControlSpec> layout, int clientHeightTwips = INT_MAX)
        : instance_(instance), layout_(layout), clientHeightTwips_(clientHeightTwips) {}
    Controls(const Controls&) = delete;
    Controls& operator=(const Controls&) = delete;

    // The window they go in, and its DPI; the fonts are made for it.
    void Attach(HWND window, int dpi);
    // Makes one control of the table, in its place for the DPI, with its font and look.
    HWND Create(const ControlSpec& item);
    // Makes every control of the table except those inside the container `deferred` (made
    // later with CreateWithin; the container itself is made), in table order, which is the
    // tab order.
    void CreateAll(int deferred = 0);
    // Makes every control inside the container that is not made yet, each in its place in the
    // tab order, as CreateAll would have made them.
    void CreateWithin(int container);
    // A new DPI: new fonts, every control moved and given its font; the old fonts are freed
    // only then, so that no control ever lays itself out with a deleted one.
    void Arrange(int dpi);
    // A window the user resizes: `extra` pixels more than its laid-out client area (never
    // less), taken by the controls that follow its right or bottom edge or grow with it.
    void Stretch(SIZE extra);

    HWND Get(int id) const;
    const ControlSpec* Find(int id) const;
    int Dpi() const { return dpi_; }
    HFONT Font(FontRole role) const;
    HFONT Font(const ControlSpec& item) const;  // the font a control gets, none for what shows no text
    // A solid brush of the color, kept for the window's life.
    HBRUSH Brush(COLORREF color);
    // WM_CTLCOLOR*: the control's text color and ground from its table entry. A box the user
    // reads or types in (text, search, list) has its own ground; every other control takes
    // its container's.
    LRESULT OnCtlColor(HDC dc, HWND control);

private:
    // Where a control goes now: its place at the DPI, moved or grown by the room gained.
    RECT PlaceOf(const ControlSpec& item) const;
    // Made after a control that follows it in its container: where it goes in the tab order.
    HWND TabPlaceOf(const ControlSpec& item) const;
    // Whether the control lies inside the container, at any depth.
    bool IsWithin(const ControlSpec& item, int container) const;
    // Outline rectangles of the table that `wanted` picks go beneath everything else of their
    // container, so that they clip nothing.
    template <class Pick>
    void OutlinesToBottom(Pick wanted);

    HINSTANCE instance_;
    std::span<const ControlSpec> layout_;
    int clientHeightTwips_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    SIZE extra_{0, 0};
    mutable std::map<FontRole, win32::Font> fonts_;  // made at their first use
    std::map<COLORREF, win32::Brush> brushes_;
    std::map<int, HWND> controls_;
    std::vector<std::unique_ptr<struct ContainerLook>> containers_;
};

// A window's (a control's) whole text.
std::wstring WindowText(HWND window);

// A keyboard link's whole text as its one link, in the color its window gives it.
void SetLinkText(HWND link, const std::wstring& text);

// The keyboard focus of a window across its deactivation, kept as the dialog manager keeps a
// dialog's: the focused control is remembered when the window goes inactive and given back
// when it is active again, never onto an unchecked option (on Windows an unchecked option
// that receives the focus clicks itself; its group's checked option gets it instead).
class FocusMemory {
public:
    void Remember(HWND window);
    // Whether it gave the focus to a control.
    bool Restore(HWND window);
    // A part of the window goes out of sight: a control in it cannot have the focus back.
    void ForgetWithin(HWND part);

private:
    HWND remembered_ = nullptr;
};

// ---- Dialog boxes ------------------------------------------------------------------

// Shows a modal dialog, a frame with a caption and a close box (a resizable one also with a
// sizing border and a maximize box) that the procedure fills, and returns its result once it
// is closed.
// Its procedure gets `state` with WM_INITDIALOG and finds it again with DialogState.
INT_PTR RunDialog(HINSTANCE instance, HWND owner, const std::wstring& caption, DLGPROC proc, void* state,
                  bool resizable = false);

// The state RunDialog gave the dialog: kept at WM_INITDIALOG, null for the messages before it.
template <typename State>
State* DialogState(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// What every dialog does first at WM_INITDIALOG: its controls made for its DPI, and the
// dialog at its laid-out size in the middle of its owner's monitor.
void MakeDialogControls(HWND dialog, Controls& controls, SIZE clientTwips);

// The window's outer size around a client area given in twips, at a DPI (and its menu bar, if it has one).
SIZE FrameSizeFor(HWND window, int clientWidthTwips, int clientHeightTwips, int dpi);

// After a change of the system's metrics: the window takes `frame` where it is.
void ResizeInPlace(HWND window, SIZE frame);

// What every window of the program (the main one and the dialogs) answers alike: its colors,
// a change of DPI (it takes the place the system suggests) and of the system's metrics (it
// stays where it is), its client area being the given twips. A window with a sizing border is
// no smaller than that, and its controls take the room gained (Controls::Stretch). Returns
// whether it answered `message`, with the answer in `result`.
bool HandleWindowLook(HWND window, Controls& controls, SIZE clientTwips, UINT message, WPARAM wParam, LPARAM lParam,
                      INT_PTR& result);

// Sizes the window to `frame` and puts it in the middle of its owner's monitor (its own, for a
// window without an owner).
void CenterOnOwnersMonitor(HWND window, SIZE frame);

// After a change of DPI: the window takes `frame` at the place the system suggests.
void MoveToSuggested(HWND window, const RECT& suggested, SIZE frame);

}  // namespace hexalune::win32
