#include "app/MainController.h"

#include "core/BenchPhases.h"
#include "core/ControlIds.h"
#include "links/UpdateReminder.h"
#include "links/WebPages.h"

namespace hexalune {

MainController::MainController(const Services& services)
    : s_(services),
      registration_(services.runKey, services.messages),
      journal_(services.journalFile, services.calendar, services.messages),
      reading_(services.settings, services.calendar, services.random, services.window, &journal_),
      panel_(services.window, services.settings, registration_, services.process, services.messages),
      tray_(services.trayIcon, services.trayMenu, services.window, services.hints, services.notifications,
            [this] { QuitWithoutAsking(); }),
      scheduler_(services.settings, services.calendar, reading_, services.window, services.notifications) {}

void MainController::OnLoad() {
    // Each step below may show a message box (the reminder, a Run-key error, a journal that
    // cannot be saved), and while one is open another program or a log-off may end the
    // program. The load then stops where it is: no tray icon for a window that is gone, no
    // reading drawn after the end.
    UpdateReminder(s_.settings, s_.calendar, s_.messages, s_.shell);
    if (ending_) return;
    HEXALUNE_PHASE("update reminder checked");
    // What an earlier session could not write to the journal.
    journal_.Flush();

    if (registration_.IsStartupRegistered(s_.process.ExecutableName())) {
        panel_.SelectRunOption(true);
        if (ending_) return;
        panel_.SetTrayBox(s_.settings.ReadSetting(keys::kRunAtSysTray, kFalseText) == kTrueText);
    } else {
        panel_.SelectRunOption(false);
    }
    if (ending_) return;

    if (s_.window.IsTrayChecked() && s_.process.CommandLine().find(kStartupArgument) != std::string::npos) {
        tray_.SendToTray();
    }

    panel_.FillLists();
    HEXALUNE_PHASE("settings read, lists filled");

    if (s_.settings.ReadSetting(keys::kHour).empty()) {
        for (PanelList list : {PanelList::Hour, PanelList::Minute, PanelList::Second}) panel_.SelectListIndex(list, 0);
        s_.settings.WriteSetting(keys::kDate, s_.calendar.DateToText(s_.calendar.Now().date));
        WriteDisplayTime(s_.settings, kDefaultDisplayTime);
        reading_.DrawReading();
        if (ending_) return;
        s_.window.BringViewToFront(View::Settings);
    } else {
        if (!reading_.RenewReadingIfDue()) reading_.ShowStoredReading();
        if (ending_) return;
        s_.window.BringViewToFront(View::Hexagram);
    }

    HEXALUNE_PHASE("reading set");
    panel_.LoadSettingsPanel();
    if (ending_) return;
    HEXALUNE_PHASE("settings view loaded");
    loaded_ = true;
}

bool MainController::OnCommand(int id) {
    // Each menu item, button and link label that gives a command, and what it does. A new
    // command is its id, its menu item in the resource script and a line here: the handlers
    // are written in place, where they reach the controller's members with no declaration
    // in the header. A command that opens a window names it: Open<WindowId::...>.
    using Handler = void (*)(MainController&);
    static constexpr Handler kShowHexagram = [](MainController& c) { c.OnShowHexagramClicked(); };
    static constexpr Handler kQuit = [](MainController& c) { c.ConfirmQuit(); };
    static constexpr Handler kShowSettings = [](MainController& c) { c.s_.window.BringViewToFront(View::Settings); };
    static constexpr Handler kOpenHome = [](MainController& c) { OpenWebPage(c.s_.shell, WebPage::Home); };
    static constexpr struct {
        int id;
        Handler handler;
    } kCommands[] = {
        {IDM_SHOW_HEXAGRAM, kShowHexagram},
        {IDC_SHOW_HEXAGRAM_BUTTON, kShowHexagram},
        {IDM_EXIT, kQuit},
        {IDC_EXIT_BUTTON, kQuit},
        {IDM_SETTINGS, kShowSettings},
        {IDC_SETTINGS_BUTTON, kShowSettings},
        {IDM_ONLINE_HELP, [](MainController& c) { OpenWebPage(c.s_.shell, WebPage::OnlineHelp); }},
        {IDM_VISIT_HOME, kOpenHome},
        {IDM_CHECK_UPDATE, [](MainController& c) { OpenWebPage(c.s_.shell, WebPage::Download); }},
        {IDM_ABOUT, Open<WindowId::About>},
        {IDM_JOURNAL, Open<WindowId::Journal>},
        {IDM_ASK_QUESTION, Open<WindowId::Question>},
        {IDM_ALL_HEXAGRAMS, Open<WindowId::Hexagrams>},
        {IDM_DONATE, [](MainController& c) { OpenWebPage(c.s_.shell, WebPage::Donation); }},
        {IDC_FORUM_LINK, kOpenHome},
        {IDC_COBRAND_LINK, [](MainController& c) { OpenWebPage(c.s_.shell, WebPage::CoBranding); }},
        {IDC_FULLBRAND_LINK, [](MainController& c) { OpenWebPage(c.s_.shell, WebPage::FullBranding); }},
        {IDC_CHANGING_LINES, Open<WindowId::ChangingLines>},
        // "Display every 24 hours" and "Display every 1 hour" do nothing.
        {IDC_DISPLAY_DAILY, [](MainController&) {}},
        {IDC_DISPLAY_HOURLY, [](MainController&) {}},
    };
    for (const auto& command : kCommands) {
        if (command.id != id) continue;
        if (!ending_) command.handler(*this);
        return true;
    }
    return false;
}

void MainController::OnTick() {
    if (ending_) return;
    tray_.RetryIfMissing();
    scheduler_.OnTick();
    journal_.RetryIfDue();
    // A message about the journal waits, as the display does, while the user is presenting.
    if (journal_.HasWaitingMessages() && !s_.notifications.UserIsBusy()) journal_.ShowWaitingMessages();
}

bool MainController::OnCloseRequested(CloseSource source) {
    // Already on the way out: the end under way carries on, with nothing more done here.
    if (ending_) return false;
    bool cancel = false;
    if (source == CloseSource::ControlMenu) {
        s_.window.Minimize();
        tray_.SendToTray();
        s_.window.Hide();
        cancel = true;
    } else {
        SaveStartupOptions();
    }
    s_.window.BringViewToFront(View::Hexagram);
    return cancel;
}

void MainController::SaveStartupOptions() {
    // Before the load has put the stored options on screen (a log-off while the update
    // reminder is open), the controls hold only their defaults, not the user's choice.
    if (loaded_) panel_.SaveStartupOptions();
}

void MainController::CloseProgram() {
    if (ending_) return;
    // From here on the program only ends: a message box that this end closes, or a click
    // or tick still queued, returns into a program that no longer acts.
    ending_ = true;
    SaveStartupOptions();
    journal_.Flush();
    tray_.RemoveTrayIcon();
    s_.window.EndProgram();
}

void MainController::QuitWithoutAsking() {
    if (!OnCloseRequested(CloseSource::Program)) CloseProgram();
}

void MainController::ConfirmQuit() {
    const MsgAnswer answer = s_.messages.ShowMessage(kQuitQuestion, kAppTitle, MsgButtons::YesNo, MsgIcon::Exclamation);
    // The program may have been ended from outside while the question was open (another
    // program's close, a log-off, the tray menu's Exit): its box then returns, not Yes.
    if (ending_) return;
    if (answer == MsgAnswer::Yes)
        QuitWithoutAsking();
    else
        OnShowHexagramClicked();
}

void MainController::OnShowHexagramClicked() {
    if (!panel_.CheckDateSelection() || ending_) return;
    panel_.SaveStartupOptions();
    s_.window.Minimize();
    tray_.SendToTray();
    s_.window.BringViewToFront(View::Hexagram);
}

}  // namespace hexalune
