// The main window: the program's one working window, built from the layout table.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "app/MainController.h"
#include "app/MainLayout.h"
#include "core/win32/DialogWindow.h"
#include "core/win32/DropDownList.h"
#include "core/win32/Handles.h"
#include "core/win32/WindowKit.h"
#include "core/win32/Win32Platform.h"

namespace hexalune::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"HexaluneMainWindow";

class MainWindow final : public IMainWindow {
public:
    MainWindow(HINSTANCE instance, IShell& shell) : instance_(instance), shell_(shell) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override = default;

    // Creates the window and its controls, hidden.
    bool Create();
    void SetController(MainController* controller) { controller_ = controller; }
    HWND Handle() const { return hwnd_; }
    HWND Control(int id) const { return controls_.Get(id); }
    HWND TrayHook() const { return Control(IDC_TRAY_HOOK); }
    HMENU TrayPopup() const { return trayPopup_; }
    HICON SmallIcon() const { return smallIcon_.Get(); }
    // The first show after the load: centered, in front.
    void ShowFirstTime();
    // Starts the looks at the clock, with one now; not before the load has run to its end.
    void StartTicking();
    // A value of the program's settings key changed (perhaps the display time, by another program).
    void OnSettingsChanged() { OnLook(); }

    // IReadingView
    void ShowReading(int hexagram, const std::string& changingLines) override;
    // IPanelControls
    void FillList(PanelList list, const std::vector<std::string>& items) override;
    int ListCount(PanelList list) const override;
    int ListIndex(PanelList list) const override;
    void SetListIndex(PanelList list, int index) override;
    std::string ListItemText(PanelList list, int index) const override;
    bool IsRunSelected() const override;
    void SetRunSelected(bool run) override;
    bool IsTrayChecked() const override;
    void SetTrayChecked(bool checked) override;
    void SetTrayEnabled(bool enabled) override;
    // IWindowState
    bool IsVisible() const override;
    void Show() override;
    void Hide() override;
    void Minimize() override;
    void Restore() override;
    void CenterOnScreen() override;
    void ShowWithoutActivating() override;
    // IMainWindow
    void BringViewToFront(View view) override;
    void OpenWindow(WindowId window) override;
    void EndProgram() override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void OnCommand(int id, int code, HWND control);
    bool OnSetCursor(HWND under);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void OnEndSession(bool ending);
    void OnNotify(const NMHDR& header);
    // Activation: the focused control is remembered when the window goes inactive and given
    // back when it becomes active again. Returns whether it placed the focus itself.
    bool OnActivate(int state, bool minimized);
    void OnDestroy();
    // A look at the clock, then the timers armed for the next one (MainWindowClock.cpp).
    void OnLook();
    // The clock's messages: the timers, a change of the clock, a resume, a new time zone.
    // Returns whether the message was answered, with `result`.
    bool OnClockMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void StopLooking();
    void OnEndProgram();

    // What a window opened from here is given: the reading on screen, the journal.
    WindowContext Context() const;
    void ResizeForClient();
    // Makes the settings view's controls and its lists, with what was set before.
    void MakeSettingsView();
    // Whether the settings view's controls are made yet (they are at its first showing).
    bool SettingsMade() const { return Control(IDC_RUN_AT_STARTUP) != nullptr; }
    DropDownList& List(PanelList list);
    const DropDownList& List(PanelList list) const;
    void SetText(int id, const std::string& text);

    HINSTANCE instance_;
    IShell& shell_;
    MainController* controller_ = nullptr;
    HWND hwnd_ = nullptr;
    int hexagram_ = 1;  // the hexagram both pictures show
    std::string changingLines_;  // and its changing lines
    bool ticking_ = false;
    bool shortLooks_ = false;  // the short-look timer runs
    UINT taskbarCreated_ = 0;
    Menu trayMenuBar_;
    HMENU trayPopup_ = nullptr;  // a part of trayMenuBar_
    Icon bigIcon_;
    Icon smallIcon_;
    Controls controls_{instance_, MainLayout(), kClientHeightTwips};
    FocusMemory focus_;
    DropDownList lists_[6];  // in the order of PanelList
    // The start options while the settings view is not made (its controls hold them from then
    // on): "Don't run at start-up" chosen, the tray box cleared and unavailable.
    struct {
        bool runSelected = false;
        bool trayChecked = false;
        bool trayEnabled = false;
    } unmade_;
};

}  // namespace hexalune::win32
