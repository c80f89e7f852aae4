// The journal: every reading drawn, with the reader's own note, kept in a CSV file the
// user owns (Journal.csv). The file is only ever replaced whole, and a file that cannot be
// read in full is copied aside before anything is written over it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Date.h"
#include "core/Platform.h"
#include "reading/Reading.h"

namespace hexalune {

// The longest note, in UTF-16 code units: what a Windows edit control counts as characters.
inline constexpr std::size_t kJournalNoteLimit = 4000;

struct JournalEntry {
    LocalDateTime drawnAt;      // local wall-clock time
    int hexagram = 1;           // 1..64
    std::string changingLines;  // as drawn, e.g. "4,1,6"
    int relating = 0;           // the hexagram the lines lead to; 0 when there are no changing lines
    std::string note;           // UTF-8
    std::string question;       // UTF-8; empty for the day's reading
    std::string method;         // how it was cast: "Coins", "Yarrow", "Own cast"; empty for the day's reading
    std::string lineValues;     // the six values cast, bottom first ("789768"); empty for the day's reading
    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

// Whether two entries are one reading (drawn at the same moment, with the same hexagram and
// lines, for the same question cast the same way), whatever their notes say.
bool SameReading(const JournalEntry& a, const JournalEntry& b);

// The entry for a reading drawn at `at`, with its relating hexagram and an empty note.
JournalEntry EntryForReading(const Reading& reading, const LocalDateTime& at);

// --- The file's form -------------------------------------------------------------------
// RFC 4180 in UTF-8 (with a byte-order mark, so that spreadsheets take it as UTF-8), one
// header row, CR LF after every row, fields quoted only when they hold a comma, a quote or a
// line break. Columns (a file from before questions were asked ends at the note):
//   Drawn at         "2026-12-08 07:00:03", local time
//   Hexagram         the number, 1..64 (what the program reads back)
//   Hexagram name    for the reader of the file; not read back
//   Changing lines   "4,1,6"
//   Leading to       the relating hexagram's number, empty without changing lines
//   Leading to name  for the reader of the file; not read back
//   Note             the reader's words, line breaks kept as typed
//   Question         what the reader asked; empty for the day's reading
//   Method           "Coins", "Yarrow", "Own cast"; empty for the day's reading
//   Line values      the six values cast, bottom first ("789768"); empty for the day's reading
inline constexpr char kJournalHeader[] =
    "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note,Question,Method,Line values";

// The header row, with the byte-order mark in front.
std::string JournalCsvHeader();
// One entry's row, with its row end.
std::string JournalCsvRow(const JournalEntry& entry);
// A whole file: the header, then the entries in the order given.
std::string JournalCsv(const std::vector<JournalEntry>& entries);

struct JournalContents {
    std::vector<JournalEntry> entries;  // in file order, oldest first
    // The file is not as the program writes it, so it is kept aside before it is written
    // anew. Something could not be read: a row with missing or extra fields, an impossible
    // date, hexagram or line, another header, a quote left open, a last row without its row
    // end (a torn file); the rows around it are read all the same. Or it was read, but in
    // another form: saved again by a spreadsheet program (text in the ANSI code page, dates in
    // the user's own form), or with text that is not UTF-8 (a row keeps its reading, and its
    // note and question as far as they can be read).
    bool damaged = false;
    // Read in full, in the form from before questions were asked: the next write writes the
    // whole file, with the new columns.
    bool outdated = false;
};

// Reads a journal file's bytes. Never fails: what cannot be read is left out and flagged.
// Without `withEntries` the file is only checked, and `entries` stays empty. Rows end in
// CR LF, LF or CR. A file without a byte-order mark is UTF-8, or, when its bytes are not
// UTF-8, in the ANSI code page. Dates are in the journal's own form, or in the user's own
// short date and time form as a spreadsheet program writes them. Those last two need
// `regional` (the user's rules); without it such files and rows are not read.
JournalContents ParseJournalCsv(std::string_view bytes, bool withEntries = true, const ICalendar* regional = nullptr);

// UTF-8 text cut to at most `limit` UTF-16 code units, at a character's boundary (never
// between the two halves of a character beyond U+FFFF).
std::string CutToUtf16Length(std::string_view utf8, std::size_t limit);
// The note as the journal keeps it when the reader changes `listed` to `typed`: cut to
// kJournalNoteLimit, or, for a note that was already longer (written elsewhere), to its own length.
std::string KeptNote(std::string_view listed, std::string_view typed);

// --- The store -------------------------------------------------------------------------
// TooLarge: larger than the program can take in. Unchanged: just what the caller holds.
enum class FileRead { Read, Missing, Failed, TooLarge, Unchanged };
enum class AsideCopy { Copied, AlreadyKept, Failed };

// The journal file on disk.
class IJournalFile {
public:
    virtual ~IJournalFile() = default;
    // The whole file: Missing when there is none yet, Failed when it is there but cannot be read.
    // Given `sameAs`, a file that holds just those bytes is only compared with them, a piece
    // at a time, and Unchanged comes back with `bytes` empty: never two copies in memory.
    virtual FileRead ReadAll(std::string& bytes, const std::string* sameAs = nullptr) = 0;
    // Replaces the whole file at once with `head` followed by `tail` (a crash leaves the old
    // file or the new one, never a mixture), making its folder when needed; false when it
    // could not be written.
    virtual bool ReplaceAll(std::string_view head, std::string_view tail) = 0;
    // Copies the file as it is now, flushed to disk, to `fileName` in the same folder;
    // AlreadyKept when a file of that name is there already.
    virtual AsideCopy CopyAside(const std::string& fileName) = 0;
    // A file of the program's own in the journal's folder: read whole, replaced whole, removed
    // (true when it is gone).
    virtual FileRead ReadBeside(const std::string& fileName, std::string& bytes) = 0;
    virtual bool WriteBeside(const std::string& fileName, std::string_view bytes) = 0;
    virtual bool RemoveBeside(const std::string& fileName) = 0;
    // Where a file of this name in the journal's folder is, as the user would type it (UTF-8).
    virtual std::string PathOf(const std::string& fileName) const = 0;
};

inline constexpr char kJournalFileName[] = "Journal.csv";
// What could not be written to the journal yet, kept beside it until it can be: the new
// rows, and the notes (each as the row it belongs to, then that row with its new note).
inline constexpr char kUnsavedRowsFileName[] = "Journal.unsaved.csv";
inline constexpr char kUnsavedNotesFileName[] = "Journal.unsaved-notes.csv";
// How long what could not be written waits before it is tried again, in seconds.
inline constexpr long long kJournalRetrySeconds = 60;

// The journal over its file. Nothing of it is held in memory but the file's bytes as last
// read or written: adding an entry reads the file (and checks it only when it is not what
// was last read or written), then writes those bytes with the new row after them. What
// cannot be written goes at once to the files beside it, which the next write that succeeds
// (in this session or a later one) takes in and removes.
class Journal : public IReadingLog {
public:
    Journal(IJournalFile& file, const ICalendar& calendar, IMessageBox& messages)
        : file_(file), calendar_(calendar), messages_(messages) {}
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    // Adds the entry for a reading just drawn. A message it brings waits for
    // ShowWaitingMessages: the reader may be presenting.
    void ReadingDrawn(const Reading& reading, const LocalDateTime& at) override;
    // Adds one entry at the end and writes the journal.
    void Append(const JournalEntry& entry);
    // Every entry, newest first by the date it was drawn: what the file holds now and what could not be written yet.
    // A damaged file is set aside and written anew here.
    std::vector<JournalEntry> Entries();
    // Gives the entry, as Entries() listed it (with the note it had then, which tells alike
    // rows apart), this note (as KeptNote() cuts it) and writes the journal; nothing happens
    // when the note is the one listed. An entry taken out of the file meanwhile comes back
    // with the note rather than lose the reader's words.
    void SetNote(const JournalEntry& entry, std::string_view note);
    // The whole journal as a CSV file's bytes, for a copy elsewhere.
    std::string ExportCsv();

    // Whether anything added or set is not in the journal file yet.
    bool HasUnwritten() const { return !pending_.empty() || !pendingNotes_.empty(); }
    // Tries again to write what is not in the file yet, once kJournalRetrySeconds have gone
    // since the last try.
    void RetryIfDue();
    // Writes what is not in the file yet, showing nothing: the session or the program ends.
    void Flush();
    // The messages held back (see ReadingDrawn).
    bool HasWaitingMessages() const { return !waiting_.empty(); }
    void ShowWaitingMessages();

private:
    // Outdated: read in full, but in an older form, written whole by the next write.
    enum class State { Unread, Intact, Outdated, Damaged };
    // Why the journal cannot be written; each is told once until a write succeeds.
    enum Cause : unsigned { kCannotWrite = 1, kTooLarge = 2 };

    // Reads the file, sets a damaged one aside, and writes when there is anything to write
    // or `mustWrite`. Messages wait in waiting_. When the file had to be read anew and
    // `fileEntries` is given, its entries go there, and true is returned.
    bool Sync(bool mustWrite, std::vector<JournalEntry>* fileEntries = nullptr);
    // What the file holds, with the notes not yet written, then the entries not yet written.
    std::vector<JournalEntry> AllEntries() const { return WithUnwritten(Parse(current_).entries); }
    // The file's bytes read with the user's own rules for dates and text.
    JournalContents Parse(std::string_view bytes, bool withEntries = true) const {
        return ParseJournalCsv(bytes, withEntries, &calendar_);
    }
    std::vector<JournalEntry> WithUnwritten(std::vector<JournalEntry> entries) const;
    // The files beside the journal: taken in at the first look, kept while anything is unwritten.
    void LoadUnwritten();
    void KeepUnwritten();
    void Tell(Cause cause, std::string text);

    IJournalFile& file_;
    const ICalendar& calendar_;
    IMessageBox& messages_;
    std::string current_;  // the file's bytes as last read or written
    State state_ = State::Unread;
    std::string scratch_;  // each read goes here first, so that its memory is used again
    std::vector<JournalEntry> pending_;  // added, not yet written
    std::vector<std::pair<JournalEntry, std::string>> pendingNotes_;  // set, not yet written
    std::optional<std::size_t> setAside_;  // hash of the damaged bytes already copied aside
    bool unwrittenLoaded_ = false;  // the files beside it were read
    bool unwrittenKept_ = false;    // the files beside it may hold something
    unsigned told_ = 0;             // the causes told since the last write that succeeded
    std::optional<long long> lastTry_;  // local seconds of the last write tried with something unwritten
    std::vector<std::string> waiting_;  // messages not shown yet
};

}  // namespace hexalune
