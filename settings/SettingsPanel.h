// The settings view's controls: display time lists, start options, and the date lists (lists
// in memory, with no window).
#pragma once

#include <string>
#include <vector>

#include "core/Platform.h"
#include "core/SettingsStore.h"
#include "settings/StartupRegistration.h"

namespace hexalune {

enum class PanelList { Date, Month, Year, Hour, Minute, Second };

// The controls as the window holds them. These operations change a control and nothing
// else: the panel below runs the control's handler itself when a value really changes.
class IPanelControls {
public:
    virtual ~IPanelControls() = default;
    virtual void FillList(PanelList list, const std::vector<std::string>& items) = 0;
    virtual int ListCount(PanelList list) const = 0;
    virtual int ListIndex(PanelList list) const = 0;  // -1 when nothing is selected
    virtual void SetListIndex(PanelList list, int index) = 0;
    virtual std::string ListItemText(PanelList list, int index) const = 0;
    virtual bool IsRunSelected() const = 0;  // "Run at start-up" rather than "Don't run at start-up"
    virtual void SetRunSelected(bool run) = 0;
    virtual bool IsTrayChecked() const = 0;
    virtual void SetTrayChecked(bool checked) = 0;
    virtual void SetTrayEnabled(bool enabled) = 0;
};

// The contents of each list, in display order.
std::vector<std::string> ListItems(PanelList list);

class SettingsPanel {
public:
    SettingsPanel(IPanelControls& controls, ISettingsStore& settings, StartupRegistration& registration,
                  const IProcessInfo& process, IMessageBox& messages)
        : controls_(controls), settings_(settings), registration_(registration), process_(process),
          messages_(messages) {}

    // Changes made by the program or passed on from the user: each runs the control's
    // handler when the value really changes.
    void SelectListIndex(PanelList list, int index);
    void SelectRunOption(bool run);
    void SetTrayBox(bool checked);

    // The controls' handlers: the changes above run them, and the window runs a list's when
    // the user picks an item.
    void OnListSelectionChanged(PanelList list);  // a time list stores its new item; the date lists store nothing
    void OnStartInTrayClicked();
    void OnRunAtStartupChosen();
    void OnDontRunAtStartupChosen();

    void FillLists();  // the six lists, then the date lists at their first items
    void SaveStartupOptions();
    void LoadSettingsPanel();
    bool CheckDateSelection();

private:
    IPanelControls& controls_;
    ISettingsStore& settings_;
    StartupRegistration& registration_;
    const IProcessInfo& process_;
    IMessageBox& messages_;
};

}  // namespace hexalune
