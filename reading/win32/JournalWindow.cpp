// "Hexalune Journal" (WindowId::Journal): every reading drawn, newest first, with the reading
// in full and the reader's own note for the chosen one. It lists a reading drawn while it is open.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "core/Twips.h"
#include "core/win32/Accessibility.h"
#include "core/win32/DialogWindow.h"
#include "core/win32/ReadingText.h"
#include "core/win32/SystemLibrary.h"
#include "core/win32/Win32Platform.h"
#include "core/win32/WindowKit.h"
#include "reading/Cast.h"
#include "reading/Catalogue.h"
#include "reading/JournalView.h"
#include "reading/win32/HexagramFigure.h"
#include "reading/win32/JournalFile.h"

namespace hexalune::win32 {

namespace {

// The note is saved this long after the last change to it.
constexpr UINT_PTR kNoteSaveTimer = 27;
constexpr UINT kNoteSavePause = 2500;  // milliseconds

constexpr int kClientWidth = 10800;  // twips; the smallest the window can be
constexpr int kClientHeight = 9000;

using namespace layout_names;

// In tab order: the list, where the reading leads, its texts, the note, the buttons.
const ControlSpec kLayout[] = {
    {IDC_JOURNAL_LIST, 0, K::Table, "", 240, 240, 10320, 2640, kPage, kText, kLeft, FontRole::Body, kGrowsWide},
    {IDC_JOURNAL_FIGURE, 0, K::Figure, "", 240, 3060, 1215, 1155},
    {IDC_JOURNAL_NAME, 0, K::Label, "", 1680, 3120, 8880, 480, kGround, kName, kLeft, FontRole::Title, kGrowsWide},
    {IDC_JOURNAL_LEADING_LABEL, 0, K::Label, "Leading to", 1680, 3735, 1320, 300, kGround, kText, kLeft,
     FontRole::Bold},
    // The hexagram the lines lead to opens among all 64.
    {IDC_JOURNAL_LEADING_NAME, 0, K::KeyboardLink, "", 3000, 3705, 7560, 360, kGround, kName, kLeft, FontRole::Bold,
     kStartsGroup | kGrowsWide},
    {IDC_JOURNAL_TEXT, 0, K::TextBox, "", 240, 4380, 10320, 2400, kGround, kText, kLeft, FontRole::Body,
     kStartsGroup | kGrowsWide | kGrowsTall},
    {IDC_JOURNAL_NOTE_LABEL, 0, K::Label, "Note", 240, 6960, 2000, 240, kGround, kText, kLeft, FontRole::Bold,
     kFollowsBottom},
    {IDC_JOURNAL_NOTE, 0, K::NoteBox, "", 240, 7200, 10320, 1080, kPage, kText, kLeft, FontRole::Body,
     kStartsGroup | kFollowsBottom | kGrowsWide},
    {IDC_JOURNAL_EXPORT, 0, K::Button, "Export...", 240, 8460, 1440, 375, kGround, kText, kLeft, FontRole::Body,
     kStartsGroup | kFollowsBottom},
    {IDOK, 0, K::DefaultButton, "Close", 9120, 8460, 1440, 375, kGround, kText, kLeft, FontRole::Body,
     kStartsGroup | kFollowsRight | kFollowsBottom},
};

// The list's columns: caption, least width in twips, and share of the room the list has beyond.
struct Column {
    const wchar_t* caption;
    int width;
    int share;
};
constexpr Column kColumns[] = {
    {L"Date", 1700, 0},       {L"Hexagram", 2200, 1}, {L"Changing lines", 1300, 0},
    {L"Leading to", 2200, 1}, {L"Note", 1400, 1},     {L"Question", 1500, 1},
};
constexpr int kLastColumn = static_cast<int>(std::size(kColumns)) - 1;

struct Window : DialogWindow {
    explicit Window(const WindowContext& context)
        : DialogWindow(WindowId::Journal, context, kLayout, {kClientWidth, kClientHeight}), journal(*context.journal) {}
    Journal& journal;
    std::vector<JournalEntry> entries;  // newest first, as listed
    std::vector<std::wstring> dates;    // their date texts for type-ahead, made at its first use
    int shown = -1;  // the entry whose reading and note are on show
    std::wstring noteText;          // the note box's text as it was before its last change
    std::size_t noteRoom = 0;       // the most the note box takes: the limit, or a longer note's own length
    bool cuttingNote = false;       // the note box is being changed by the program itself
    bool filling = false;           // the list is being filled: its selection means nothing yet
};

// The user's own short date and time form.
std::wstring DateText(const LocalDateTime& at) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(at.date.year);
    st.wMonth = static_cast<WORD>(at.date.month);
    st.wDay = static_cast<WORD>(at.date.day);
    st.wHour = static_cast<WORD>(at.hour);
    st.wMinute = static_cast<WORD>(at.minute);
    st.wSecond = static_cast<WORD>(at.second);
    wchar_t date[80] = {};
    wchar_t time[80] = {};
    GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 80);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, time, 80);
    return std::wstring(date) + L" " + time;
}

std::wstring CellText(const JournalEntry& entry, int column) {
    switch (column) {
        case 0: return DateText(entry.drawnAt);
        case 1: return FromAnsi(HexagramTitle(entry.hexagram));
        case 2: return FromAnsi(entry.changingLines);
        case 3: return entry.relating ? FromAnsi(HexagramTitle(entry.relating)) : std::wstring();
        case 4: return FromUtf8(NoteFirstLine(entry.note));
        default: return FromUtf8(NoteFirstLine(entry.question));
    }
}

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// The columns fill the list's width (its scroll bar, when it has one, aside): each at least
// its own width, the room beyond shared out, and the last one reaching the right edge.
void SetColumnWidths(HWND dialog, int dpi) {
    HWND list = Item(dialog, IDC_JOURNAL_LIST);
    RECT client{};
    GetClientRect(list, &client);
    int least = 0;
    int shares = 0;
    for (const Column& column : kColumns) {
        least += TwipsToPixels(column.width, dpi);
        shares += column.share;
    }
    const int room = std::max(0, static_cast<int>(client.right) - least);
    int used = 0;
    for (int i = 0; i <= kLastColumn; ++i) {
        int width = TwipsToPixels(kColumns[i].width, dpi) + room * kColumns[i].share / shares;
        if (i == kLastColumn) width = std::max(TwipsToPixels(kColumns[i].width, dpi), static_cast<int>(client.right) - used);
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), width);
        used += width;
    }
}

void FillLastColumn(HWND dialog) { SetColumnWidths(dialog, WindowDpi(dialog)); }

void AddColumns(HWND dialog, int dpi) {
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[i].caption);
        column.cx = TwipsToPixels(kColumns[i].width, dpi);
        column.iSubItem = i;
        SendMessageW(Item(dialog, IDC_JOURNAL_LIST), LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&column));
    }
}

// The note on show goes into the journal when the reader has changed it.
void SaveNote(HWND dialog, Window& window) {
    KillTimer(dialog, kNoteSaveTimer);
    HWND note = Item(dialog, IDC_JOURNAL_NOTE);
    if (window.shown < 0 || !SendMessageW(note, EM_GETMODIFY, 0, 0)) return;
    SendMessageW(note, EM_SETMODIFY, FALSE, 0);
    JournalEntry& entry = window.entries[static_cast<std::size_t>(window.shown)];
    const std::string words = ToUtf8(WindowText(note));
    const std::string kept = KeptNote(entry.note, words);
    window.journal.SetNote(entry, words);  // says so itself when it cannot be written
    entry.note = kept;
    SendMessageW(Item(dialog, IDC_JOURNAL_LIST), LVM_REDRAWITEMS, static_cast<WPARAM>(window.shown),
                 static_cast<LPARAM>(window.shown));
}

void ShowEntry(HWND dialog, Window& window, int index) {
    window.shown = index;
    const bool any = index >= 0;
    const JournalEntry empty{};
    const JournalEntry& entry = any ? window.entries[static_cast<std::size_t>(index)] : empty;
    const std::wstring title = any ? FullTitle(entry.hexagram) : std::wstring(L"No readings yet");
    // The figure's window text is what screen readers announce for it.
    SetDlgItemTextW(dialog, IDC_JOURNAL_FIGURE, any ? title.c_str() : L"");
    SetDlgItemTextW(dialog, IDC_JOURNAL_NAME, title.c_str());
    InvalidateRect(Item(dialog, IDC_JOURNAL_FIGURE), nullptr, TRUE);
    const bool leads = any && entry.relating != 0;
    SetLinkText(Item(dialog, IDC_JOURNAL_LEADING_NAME), leads ? FullTitle(entry.relating) : std::wstring());
    ShowWindow(Item(dialog, IDC_JOURNAL_LEADING_LABEL), leads ? SW_SHOWNA : SW_HIDE);
    ShowWindow(Item(dialog, IDC_JOURNAL_LEADING_NAME), leads ? SW_SHOWNA : SW_HIDE);
    HWND text = Item(dialog, IDC_JOURNAL_TEXT);
    // An asked reading: its question and how it was cast come first.
    const std::string asked = CastHeading(entry);
    const std::wstring reading = (asked.empty() ? L"" : FromUtf8(asked) + L"\n\n") + FromAnsi(EntryReadingText(entry));
    SetWindowTextW(text, any ? WithEditLineBreaks(reading).c_str() : L"");
    SetAccessibleName(text, any ? L"Reading of " + title : std::wstring(L"Reading"));
    HWND note = Item(dialog, IDC_JOURNAL_NOTE);
    window.cuttingNote = true;
    SetWindowTextW(note, WithEditLineBreaks(FromUtf8(entry.note)).c_str());
    window.cuttingNote = false;
    window.noteText = WindowText(note);
    window.noteRoom = std::max<std::size_t>(kJournalNoteLimit, window.noteText.size());
    SendMessageW(note, EM_SETMODIFY, FALSE, 0);
    EnableWindow(note, any);
    EnableWindow(Item(dialog, IDC_JOURNAL_EXPORT), any);
    // New reading texts count as a change of text for the clipboard guard.
    GuardClipboard(dialog);
}

void Select(HWND dialog, int index) {
    HWND list = Item(dialog, IDC_JOURNAL_LIST);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

// Reads the journal and lists it, the entry on show kept on show (else the newest). When it
// is still there as it was, its note box is left as it is, with its caret and selection,
// however the list changed around it (a reading drawn while the reader types).
void FillList(HWND dialog, Window& window) {
    SaveNote(dialog, window);
    std::optional<JournalEntry> kept;
    if (window.shown >= 0) kept = window.entries[static_cast<std::size_t>(window.shown)];
    window.entries = window.journal.Entries();
    window.dates.clear();
    const int index = kept ? ListedIndex(window.entries, *kept) : (window.entries.empty() ? -1 : 0);
    const bool same = kept && index >= 0 && window.entries[static_cast<std::size_t>(index)] == *kept;
    window.shown = -1;  // nothing to save until the list is settled
    window.filling = true;
    SendMessageW(Item(dialog, IDC_JOURNAL_LIST), LVM_SETITEMCOUNT, window.entries.size(), 0);
    window.filling = false;
    FillLastColumn(dialog);
    if (same)
        window.shown = index;
    else
        ShowEntry(dialog, window, index >= 0 ? index : (window.entries.empty() ? -1 : 0));
    if (window.shown >= 0) Select(dialog, window.shown);
}

// The note box changed. An insertion that takes it past its room is cut to fit (never
// between the two halves of a character beyond U+FFFF), and a paste cut so is reported. The
// note is saved once the typing pauses.
void OnNoteChanged(HWND dialog, Window& window) {
    if (window.cuttingNote || window.shown < 0) return;
    HWND note = Item(dialog, IDC_JOURNAL_NOTE);
    const std::wstring text = WindowText(note);
    if (text.size() > window.noteRoom) {
        const std::wstring& before = window.noteText;
        // What was inserted lies between what the text kept at its start and at its end.
        std::size_t start = 0;
        while (start < before.size() && start < text.size() && before[start] == text[start]) ++start;
        std::size_t end = 0;
        while (end < before.size() - start && end < text.size() - start &&
               before[before.size() - 1 - end] == text[text.size() - 1 - end])
            ++end;
        const std::size_t inserted = text.size() - start - end;
        const std::size_t over = text.size() - window.noteRoom;
        std::size_t keep = inserted > over ? inserted - over : 0;
        if (keep > 0 && IS_HIGH_SURROGATE(text[start + keep - 1])) --keep;
        window.cuttingNote = true;
        SendMessageW(note, EM_SETSEL, start + keep, text.size() - end);
        SendMessageW(note, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
        window.cuttingNote = false;
        if (inserted > 2)
            PostMessageW(dialog, WM_APP_NOTE_CUT, keep, static_cast<LPARAM>(inserted));
        else
            MessageBeep(MB_OK);  // a key pressed in a full note
        window.noteText = WindowText(note);
    } else {
        window.noteText = text;
    }
    SetTimer(dialog, kNoteSaveTimer, kNoteSavePause, nullptr);
}

// "4,000"
std::wstring CountText(std::size_t count) {
    std::wstring text = std::to_wstring(count);
    for (std::size_t at = text.size(); at > 3; at -= 3) text.insert(at - 3, L",");
    return text;
}

void OnNoteCut(HWND dialog, const Window& window, std::size_t kept, std::size_t pasted) {
    const std::wstring text = L"A note holds at most " + CountText(window.noteRoom) + L" characters, so only the first " +
                              CountText(kept) + L" of the " + CountText(pasted) +
                              L" characters pasted were kept.";
    MessageBoxW(dialog, text.c_str(), FromAnsi(kAppTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

void OnSelectionChanged(HWND dialog, Window& window) {
    const int selected =
        static_cast<int>(SendMessageW(Item(dialog, IDC_JOURNAL_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                      LVNI_SELECTED));
    // With nothing chosen, the last entry chosen stays on show.
    if (window.filling || selected < 0 || selected == window.shown) return;
    SaveNote(dialog, window);
    ShowEntry(dialog, window, selected);
}

// Type-ahead: the next entry from `start` on (round to the top) whose date begins with what
// was typed. The dates' texts are made once for the list, at the first key.
int FindByDate(Window& window, const NMLVFINDITEMW& find) {
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
    if (window.dates.size() != window.entries.size()) {
        window.dates.clear();
        window.dates.reserve(window.entries.size());
        for (const JournalEntry& entry : window.entries) window.dates.push_back(DateText(entry.drawnAt));
    }
    const std::wstring typed = find.lvfi.psz;
    const int count = static_cast<int>(window.entries.size());
    for (int k = 0; k < count; ++k) {
        const int i = (find.iStart + k) % count;
        const std::wstring& date = window.dates[static_cast<std::size_t>(i)];
        if (date.size() >= typed.size() &&
            CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, date.c_str(), static_cast<int>(typed.size()),
                           typed.c_str(), static_cast<int>(typed.size())) == CSTR_EQUAL)
            return i;
    }
    return -1;
}

INT_PTR OnNotify(HWND dialog, Window& window, const NMHDR& header) {
    if (header.idFrom == IDC_JOURNAL_LEADING_NAME && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        if (window.shown >= 0)
            OpenWindow(WindowId::Hexagrams, HexagramContext(window.instance, dialog,
                                                            window.entries[static_cast<std::size_t>(window.shown)].relating));
        return TRUE;
    }
    if (header.idFrom != IDC_JOURNAL_LIST) return FALSE;
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            auto& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header))->item;
            if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= static_cast<int>(window.entries.size()) ||
                item.cchTextMax <= 0)
                return TRUE;
            const std::wstring text = CellText(window.entries[static_cast<std::size_t>(item.iItem)], item.iSubItem);
            lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
            return TRUE;
        }
        case LVN_ODFINDITEMW:
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT,
                              FindByDate(window, *reinterpret_cast<const NMLVFINDITEMW*>(&header)));
            return TRUE;
        case LVN_ITEMCHANGED: OnSelectionChanged(dialog, window); return TRUE;
        default: return FALSE;
    }
}

// Saves a copy of the whole journal where the user chooses.
void Export(HWND dialog, Window& window) {
    SaveNote(dialog, window);
    using SaveAsFn = BOOL(WINAPI*)(OPENFILENAMEW*);
    const Library dialogs = LoadSystemLibrary(L"comdlg32.dll");
    const auto saveAs = ModuleFunction<SaveAsFn>(dialogs.Get(), "GetSaveFileNameW");
    if (!saveAs) return;
    // The user's documents the first time, the folder last chosen afterwards.
    static std::wstring folder;
    if (folder.empty()) {
        wchar_t documents[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents))) folder = documents;
    }
    wchar_t path[MAX_PATH] = L"Journal.csv";
    OPENFILENAMEW choice{};
    choice.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = dialog;
    choice.lpstrFilter = L"CSV files (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
    choice.lpstrFile = path;
    choice.nMaxFile = MAX_PATH;
    choice.lpstrDefExt = L"csv";
    choice.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!saveAs(&choice)) return;
    folder.assign(path, choice.nFileOffset);
    if (!ReplaceFileContents(path, window.journal.ExportCsv())) {
        const std::wstring text = L"Hexalune could not save the journal as\n" + std::wstring(path) +
                                  L"\n\nThe folder may be read-only, the disk may be full, or another program may "
                                  L"have the file open.";
        MessageBoxW(dialog, text.c_str(), FromAnsi(kAppTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

INT_PTR OnNoteCommand(HWND dialog, Window& window, WORD code) {
    if (code == EN_CHANGE) OnNoteChanged(dialog, window);
    if (code == EN_KILLFOCUS) SaveNote(dialog, window);
    return code == EN_CHANGE || code == EN_KILLFOCUS;
}

void Close(HWND dialog, Window& window, int result) {
    SaveNote(dialog, window);
    EndDialog(dialog, result);
}

void OnInitDialog(HWND dialog, Window& window) {
    AddColumns(dialog, window.controls.Dpi());
    SetAccessibleName(Item(dialog, IDC_JOURNAL_LIST), L"Readings");
    // No limit of the box's own: it would cut a paste with no word, between the halves of a
    // character; the note is held to its room as it changes.
    SendMessageW(Item(dialog, IDC_JOURNAL_NOTE), EM_SETLIMITTEXT, 0, 0);
    FillList(dialog, window);
    SetFocus(Item(dialog, IDC_JOURNAL_LIST));
}

INT_PTR CALLBACK JournalProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogLook look;
    auto* window = DialogPreamble<Window>(dialog, message, wParam, lParam, look);
    if (!window) return FALSE;
    if (look.answered) {
        if (message == WM_DPICHANGED) SetColumnWidths(dialog, HIWORD(wParam));
        if (message == WM_SIZE) FillLastColumn(dialog);
        return look.result;
    }
    switch (message) {
        case WM_INITDIALOG: OnInitDialog(dialog, *window); return FALSE;  // the focus is set
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (window->shown >= 0)
                DrawHexagramFigure(item.hDC, item.rcItem,
                                   window->entries[static_cast<std::size_t>(window->shown)].hexagram);
            else
                FillRect(item.hDC, &item.rcItem, window->controls.Brush(ThemeColor(ColorRole::Ground)));
            return TRUE;
        }
        case WM_NOTIFY: return OnNotify(dialog, *window, *reinterpret_cast<const NMHDR*>(lParam));
        // A reading was just drawn: listed once the message that drew it is handled.
        case WM_APP_NEW_READING: PostMessageW(dialog, WM_APP_REFRESH, 0, 0); return TRUE;
        case WM_APP_REFRESH: FillList(dialog, *window); return TRUE;
        case WM_APP_NOTE_CUT: OnNoteCut(dialog, *window, wParam, static_cast<std::size_t>(lParam)); return TRUE;
        case WM_TIMER:
            if (wParam != kNoteSaveTimer) return FALSE;
            SaveNote(dialog, *window);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_JOURNAL_NOTE) return OnNoteCommand(dialog, *window, HIWORD(wParam));
            switch (LOWORD(wParam)) {
                case IDC_JOURNAL_EXPORT: Export(dialog, *window); return TRUE;
                case IDOK:
                case IDCANCEL: Close(dialog, *window, LOWORD(wParam)); return TRUE;
                default: return FALSE;
            }
        case WM_CLOSE: Close(dialog, *window, IDCANCEL); return TRUE;
        // The session ends: the program may be gone before the window is closed.
        case WM_ENDSESSION:
            if (wParam) SaveNote(dialog, *window);
            return TRUE;
        case WM_DESTROY:
            // Destroyed with the main window, without a close of its own.
            SaveNote(dialog, *window);
            return FALSE;
        default: return FALSE;
    }
}

void Open(const WindowContext& context) {
    Window window(context);
    RunDialogWindow(window, L"Hexalune Journal", &JournalProc, true);
}

const bool kOpens = RegisterWindow(WindowId::Journal, &Open);

}  // namespace

}  // namespace hexalune::win32
