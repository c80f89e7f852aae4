#include "settings/StartupRegistration.h"

namespace hexalune {

std::wstring BuildRunCommand(const std::wstring& folder, const std::wstring& name) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    path += name;
    path += L".exe";
    return L"\"" + path + L"\" /STARTUP";
}

bool TurnedOffByApproval(const std::vector<unsigned char>& approval) {
    constexpr std::size_t kRecordBytes = 12;  // the state, then the time of the change
    if (approval.size() < kRecordBytes) return false;
    return approval[0] == 0x03 || approval[0] == 0x07;
}

void StartupRegistration::SetStartupRegistration(const std::wstring& name, const std::wstring& folder,
                                                 bool registerIt) {
    const long opened = key_.OpenForWrite();
    if (opened != 0) {
        messages_.ShowMessage("Error " + std::to_string(opened) + " opening key\r\n", kAppTitle, MsgButtons::Ok,
                              MsgIcon::None);
        return;
    }
    if (registerIt) {
        const long set = key_.SetValue(name, BuildRunCommand(folder, name));
        if (set != 0) {
            messages_.ShowMessage("Error " + std::to_string(set) + " setting key\r\n", kAppTitle, MsgButtons::Ok,
                                  MsgIcon::None);
        }
        key_.Close();
        if (set == 0 && TurnedOffInWindows(name)) {
            messages_.ShowMessage(kTurnedOffInWindowsMessage, kAppTitle, MsgButtons::Ok, MsgIcon::Information);
        }
        return;
    }
    key_.DeleteValue(name);
    key_.Close();
}

}  // namespace hexalune
