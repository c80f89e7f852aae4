// The main window's behaviour: start-up, commands, the timer, the tray and quitting.
// The window itself only passes events here and carries out the operations asked of it.
#pragma once

#include <optional>
#include <string>

#include "core/ControlIds.h"
#include "core/Platform.h"
#include "reading/DisplayScheduler.h"
#include "reading/Journal.h"
#include "reading/Reading.h"
#include "settings/SettingsPanel.h"
#include "settings/StartupRegistration.h"
#include "tray/TrayController.h"

namespace hexalune {

enum class View { Hexagram, Settings };

// Everything the main window offers to the logic.
class IMainWindow : public IReadingView, public IPanelControls, public IWindowState {
public:
    // Brings one view to the front; the other is hidden behind it.
    virtual void BringViewToFront(View view) = 0;
    // Opens one of the program's other windows over this one, with the reading on screen, and
    // returns when it is closed; one that is open already comes to the front instead.
    virtual void OpenWindow(WindowId window) = 0;
    // Once the current message is handled: closes the program's other windows, each with its
    // own close handling, then the main window itself, which ends the message loop and so
    // the process.
    virtual void EndProgram() = 0;
};

// Who asked the main window to close.
enum class CloseSource { ControlMenu, Program, WindowsSession, TaskManager };

struct Services {
    ISettingsStore& settings;
    const ICalendar& calendar;
    IRandom& random;
    IMessageBox& messages;
    IShell& shell;
    const IProcessInfo& process;
    IRunKey& runKey;
    ITrayIcon& trayIcon;
    ITrayMenu& trayMenu;
    IMainWindow& window;
    const INotificationState& notifications;
    IJournalFile& journalFile;
    ISettingsStore& hints;  // what the program has told the user once, apart from the settings
};

inline constexpr char kQuitQuestion[] = "Are You Sure You Want To Quit Hexalune?";
inline constexpr char kStartupArgument[] = "/STARTUP";

class MainController {
public:
    explicit MainController(const Services& services);
    MainController(const MainController&) = delete;
    MainController& operator=(const MainController&) = delete;

    // Runs while the window exists but before it is first shown.
    void OnLoad();
    // After OnLoad: whether the window should now be shown (it is not when it went to the tray).
    bool ShouldShowAfterLoad() const { return !tray_.IconWanted(); }

    // A click on a menu item, button or link label, by its id (core/ControlIds.h): carries
    // out its command and returns true, or returns false when the id gives no command.
    bool OnCommand(int id);
    // A look at the clock: the timer's, or one after an event that can move the display
    // instant (the clock or time zone changed, a resume, a changed setting).
    void OnTick();
    // After a look: how long the program may sleep until the next one, in milliseconds;
    // nothing when only a change of the settings can give it work.
    std::optional<long long> MillisecondsToNextLook() {
        return ending_ ? std::nullopt : scheduler_.MillisecondsToNextLook();
    }
    // Whether a rule waits on something no message announces, and so needs short regular
    // looks until it ends: a display held while the user presents, a tray icon the shell
    // has not taken yet.
    bool NeedsShortLooks() const {
        return !ending_ && (scheduler_.Waiting() || (tray_.IconWanted() && !tray_.IconShown()));
    }
    // Once the program has begun to end, nothing of its own runs any more: a message box, a
    // click or a tick that returns into it afterwards finds this and does nothing.
    bool Ending() const { return ending_; }
    // Returns whether the close is cancelled (the window only went to the tray).
    bool OnCloseRequested(CloseSource source);
    void CloseProgram();
    // The program's own close: asks nothing and ends the program.
    void QuitWithoutAsking();
    void ConfirmQuit();
    void OnShowHexagramClicked();

    void OnTrayIconEvent(unsigned code, ScreenPoint anchor) {
        if (!ending_) tray_.OnIconEvent(code, anchor);
    }
    void OnTaskbarCreated() {
        if (!ending_) tray_.OnTaskbarCreated();
    }

    SettingsPanel& Panel() { return panel_; }
    // Every reading drawn, for the Journal window.
    Journal& ReadingJournal() { return journal_; }
    // The settings store, for a window that keeps a choice of its own.
    ISettingsStore& Settings() { return s_.settings; }
    TrayController& Tray() { return tray_; }

private:
    // A command of the command table (OnCommand) that opens a window.
    template <WindowId window>
    static void Open(MainController& c) {
        c.s_.window.OpenWindow(window);
    }
    void SaveStartupOptions();

    Services s_;
    StartupRegistration registration_;
    Journal journal_;  // before the reading service, which writes to it
    ReadingService reading_;
    SettingsPanel panel_;
    TrayController tray_;
    DisplayScheduler scheduler_;
    bool loaded_ = false;  // the options on screen are the stored ones, or the user's own
    bool ending_ = false;
};

}  // namespace hexalune
