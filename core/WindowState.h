// The main window's state operations that the display time and the tray use.
#pragma once

namespace hexalune {

class IWindowState {
public:
    virtual ~IWindowState() = default;
    virtual bool IsVisible() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Minimize() = 0;
    virtual void Restore() = 0;
    virtual void CenterOnScreen() = 0;
    // Shows and restores the window above the user's other windows without taking the
    // keyboard from whatever the user is working in, and draws the eye to it until the
    // user turns to it.
    virtual void ShowWithoutActivating() = 0;
};

}  // namespace hexalune
