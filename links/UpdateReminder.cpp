#include "links/UpdateReminder.h"

#include "links/WebPages.h"

namespace hexalune {

namespace {

std::string Shift(const std::string& text, int by) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        const int code = static_cast<unsigned char>(c) + by;
        if (code >= 0 && code <= 255) result.push_back(static_cast<char>(code));
    }
    return result;
}

}  // namespace

std::string ScrambleText(const std::string& text) { return Shift(text, 85); }
std::string UnscrambleText(const std::string& text) { return Shift(text, -85); }

void UpdateReminder(ISettingsStore& settings, const ICalendar& calendar, IMessageBox& messages, IShell& shell) {
    const std::string name = ScrambleText("Duration");
    const CivilDate today = calendar.Now().date;
    const std::string stored = UnscrambleText(settings.ReadSetting(name));
    const auto rememberToday = [&] { settings.WriteSetting(name, ScrambleText(calendar.DateToText(today))); };

    // Nothing stored, or nothing that reads as a date (edited by hand, other regional
    // settings): start counting from today without asking.
    const auto last = stored.empty() ? std::nullopt : calendar.TextToDate(stored);
    if (!last) {
        rememberToday();
        return;
    }
    const long days = DaysBetween(today, *last);
    if (days >= -kReminderQuietDays && days <= kReminderQuietDays) return;

    const MsgAnswer answer = messages.ShowMessage(kReminderMessage, kAppTitle, MsgButtons::YesNo, MsgIcon::Information);
    rememberToday();
    if (answer == MsgAnswer::Yes) OpenWebPage(shell, WebPage::Download);
}

}  // namespace hexalune
