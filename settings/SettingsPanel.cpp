#include "settings/SettingsPanel.h"

#include <utility>

#include "core/ValueForms.h"

namespace hexalune {

namespace {

// The time lists and the settings each one is stored in; the date lists store nothing.
constexpr std::pair<PanelList, const char*> kTimeLists[] = {
    {PanelList::Hour, keys::kHour}, {PanelList::Minute, keys::kMinute}, {PanelList::Second, keys::kSecond}};

}  // namespace

std::vector<std::string> ListItems(PanelList list) {
    auto numbers = [](int first, int last) {
        std::vector<std::string> items;
        for (int n = first; n <= last; ++n) items.push_back(std::to_string(n));
        return items;
    };
    switch (list) {
        case PanelList::Date: return numbers(1, 31);
        case PanelList::Month:
            return {"January", "February", "March",     "April",   "May",      "June",
                    "July",    "August",   "September", "October", "November", "December"};
        case PanelList::Year: return numbers(1901, 2050);
        case PanelList::Hour: return numbers(0, 23);
        case PanelList::Minute:
        case PanelList::Second: return numbers(0, 59);
    }
    return {};
}

void SettingsPanel::SelectListIndex(PanelList list, int index) {
    if (controls_.ListIndex(list) == index) return;
    controls_.SetListIndex(list, index);
    OnListSelectionChanged(list);
}

void SettingsPanel::SelectRunOption(bool run) {
    if (controls_.IsRunSelected() == run) return;
    controls_.SetRunSelected(run);
    if (run)
        OnRunAtStartupChosen();
    else
        OnDontRunAtStartupChosen();
}

void SettingsPanel::SetTrayBox(bool checked) {
    if (controls_.IsTrayChecked() == checked) return;
    controls_.SetTrayChecked(checked);
    OnStartInTrayClicked();
}

void SettingsPanel::OnListSelectionChanged(PanelList list) {
    for (const auto& [timeList, key] : kTimeLists) {
        const int index = timeList == list ? controls_.ListIndex(list) : -1;
        if (index >= 0) settings_.WriteSetting(key, controls_.ListItemText(list, index));
    }
}

void SettingsPanel::OnStartInTrayClicked() {
    settings_.WriteSetting(keys::kRunAtSysTray, BooleanText(controls_.IsTrayChecked()));
}

void SettingsPanel::OnRunAtStartupChosen() {
    registration_.SetStartupRegistration(process_.ExecutableName(), process_.ExecutableFolder(), true);
    controls_.SetTrayEnabled(true);
}

void SettingsPanel::OnDontRunAtStartupChosen() {
    registration_.SetStartupRegistration(process_.ExecutableName(), process_.ExecutableFolder(), false);
    controls_.SetTrayEnabled(false);
    SetTrayBox(false);
}

void SettingsPanel::FillLists() {
    for (PanelList list : {PanelList::Date, PanelList::Month, PanelList::Year, PanelList::Hour, PanelList::Minute,
                           PanelList::Second}) {
        controls_.FillList(list, ListItems(list));
    }
    for (PanelList list : {PanelList::Date, PanelList::Month, PanelList::Year}) SelectListIndex(list, 0);
}

void SettingsPanel::SaveStartupOptions() {
    settings_.WriteSetting(keys::kAutorunStartUp, BooleanText(controls_.IsRunSelected()));
    settings_.WriteSetting(keys::kSystemTray, BooleanText(controls_.IsTrayChecked()));
}

void SettingsPanel::LoadSettingsPanel() {
    SetTrayBox(settings_.ReadSetting(keys::kSystemTray, kFalseText) == kTrueText);
    // A text that is neither a Boolean word nor a number counts as "False".
    const bool stored = TextToBoolean(settings_.ReadSetting(keys::kAutorunStartUp, kFalseText)).value_or(false);
    // Turned off in Task Manager, the program does not start with Windows, and the start-up
    // query has said so on screen: the stored choice neither overrides that nor writes the
    // Run value, which stays as the user left it.
    if (!(stored && registration_.TurnedOffInWindows(process_.ExecutableName()))) SelectRunOption(stored);
    for (const auto& [list, key] : kTimeLists) {
        const std::string stored = settings_.ReadSetting(key);
        for (int i = 0; i < controls_.ListCount(list); ++i) {
            if (controls_.ListItemText(list, i) == stored) {
                SelectListIndex(list, i);
                break;
            }
        }
    }
}

bool SettingsPanel::CheckDateSelection() {
    const int day = controls_.ListIndex(PanelList::Date);
    const int month = controls_.ListIndex(PanelList::Month);
    const bool impossible = (month == 1 && (day == 29 || day == 30)) ||
                            ((month == 3 || month == 5 || month == 8 || month == 10) && day == 30);
    if (impossible) {
        messages_.ShowMessage("Please Enter Correct Date !", kAppTitle, MsgButtons::Ok, MsgIcon::Information);
        return false;
    }
    return true;
}

}  // namespace hexalune
