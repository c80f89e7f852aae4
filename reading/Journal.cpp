#include "reading/Journal.h"

#include <algorithm>
#include <cstdint>

#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"
#include "core/ValueForms.h"

namespace hexalune {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD";  // U+FFFD, for what cannot be read
constexpr std::size_t kColumnCount = 10;
// A file from before questions were asked: its rows end at the note.
constexpr std::size_t kOldColumnCount = 7;
constexpr std::string_view kOldJournalHeader =
    "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note";
enum Column : std::size_t { kDrawnAt, kNumber, kName, kLines, kLeadingTo, kLeadingToName, kNote, kQuestion, kMethod, kLineValues };
// A note written elsewhere may be longer than the box allows, and is kept whole. A quoted
// field longer than a megabyte is a quote left open, not a note.
constexpr std::size_t kLongestQuotedField = 1024 * 1024;

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

void AppendField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

// The length of the well-formed UTF-8 character at `i` (no overlong form, no surrogate,
// nothing past U+10FFFF); 0 when the bytes there are none.
std::size_t CharacterLength(std::string_view text, std::size_t i) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;  // the bounds of the second byte
    if (b < 0x80) {
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(text[i + k]);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        // Plain ASCII, which is most of a journal, a word at a time would be faster; a byte
        // at a time is fast enough for the largest.
        const std::size_t length = CharacterLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

// Text as far as it can be read: each byte that is no part of a UTF-8 character, and each
// NUL, becomes U+FFFD.
std::string ReadableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = CharacterLength(text, i);
        if (length == 0 || text[i] == '\0') {
            out += kReplacementCharacter;
            ++i;
        } else {
            out += text.substr(i, length);
            i += length;
        }
    }
    return out;
}

// The length in UTF-16 code units of UTF-8 text.
std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
    }
    return units;
}

// A time the program could have written: a real day of a year from 1 to 9999, a real time of day.
bool IsPossible(const LocalDateTime& t) {
    const CivilDate& date = t.date;
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31)
        return false;
    if (CivilFromDays(DaysFromCivil(date)) != date) return false;  // 2026-02-30 and the like
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

std::optional<LocalDateTime> ParseJournalTime(std::string_view text) {
    // "yyyy-mm-dd hh:mm:ss"
    constexpr std::string_view kForm = "0000-00-00 00:00:00";
    if (text.size() != kForm.size()) return std::nullopt;
    for (std::size_t i = 0; i < kForm.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kForm[i] == '0' ? !digit : text[i] != kForm[i]) return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
        return value;
    };
    const LocalDateTime t{{number(0, 4), number(5, 2), number(8, 2)}, number(11, 2), number(14, 2), number(17, 2)};
    if (!IsPossible(t)) return std::nullopt;
    return t;
}

// The six values of a cast, bottom first ("789768"), or nothing.
bool IsLineValuesText(std::string_view text) {
    return text.empty() ||
           (text.size() == 6 && text.find_first_not_of("6789") == std::string_view::npos);
}

// "4,1,6": distinct lines 1..6 joined by commas, or nothing.
bool IsChangingLinesText(std::string_view text) {
    if (text.empty()) return true;
    if (text.size() % 2 == 0 || text.size() > 11) return false;
    unsigned seen = 0;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        if (text[i] < '1' || text[i] > '6') return false;
        const unsigned bit = 1U << (text[i] - '1');
        if (seen & bit) return false;
        seen |= bit;
        if (i + 1 < text.size() && text[i + 1] != ',') return false;
    }
    return true;
}

int RelatingFor(int hexagram, const std::string& changingLines) {
    return changingLines.empty() ? 0 : RelatingHexagram(hexagram, LineNumbers(changingLines));
}

// One record's fields, viewing the file's bytes where they can (a quoted field that held
// doubled quotes is kept unescaped beside them). Only the first kColumnCount are kept;
// `count` says how many there were.
struct Record {
    std::string_view fields[kColumnCount];
    std::string unescaped[kColumnCount];
    std::size_t count = 0;
    bool bad = false;
    bool ended = true;  // it had its row end
};

// RFC 4180 records, one after another. A record that breaks the form is marked bad and
// reading goes on with the next line, so that one stray quote costs one row, not the rest.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    bool Next(Record& record) {
        record.count = 0;
        record.bad = false;
        record.ended = true;
        if (at_ >= text_.size()) return false;
        const std::size_t start = at_;
        for (;;) {
            std::string_view field;
            if (at_ < text_.size() && text_[at_] == '"') {
                std::string* storage = record.count < kColumnCount ? &record.unescaped[record.count] : nullptr;
                if (!ReadQuoted(field, storage)) {
                    // Left open: the record is bad, and the next one starts on the next line.
                    at_ = start;
                    SkipLine();
                    record.count = 0;
                    record.bad = true;
                    return true;
                }
            } else {
                std::size_t end = at_;
                while (end < text_.size() && text_[end] != ',' && text_[end] != '\r' && text_[end] != '\n') {
                    if (text_[end] == '"') record.bad = true;  // a quote inside a field that is not quoted
                    ++end;
                }
                field = text_.substr(at_, end - at_);
                at_ = end;
            }
            if (record.count < kColumnCount) record.fields[record.count] = field;
            ++record.count;
            if (at_ >= text_.size()) {
                record.ended = false;
                return true;
            }
            if (text_[at_] == ',') {
                ++at_;
            } else if (text_[at_] == '\n' || text_[at_] == '\r') {
                SkipLineEnd();  // CR LF, LF, or CR alone as older Mac programs write
                return true;
            } else {
                // Text after a closing quote.
                record.bad = true;
                SkipLine();
                return true;
            }
        }
    }

private:
    // From an opening quote to its closing quote; false when none comes in reach. Doubled
    // quotes are undone in `storage` (none: the field is past the columns kept).
    bool ReadQuoted(std::string_view& field, std::string* storage) {
        const std::size_t first = at_ + 1;
        const std::size_t end = std::min(text_.size(), first + kLongestQuotedField);
        bool doubled = false;
        for (std::size_t i = first; i < end; ++i) {
            i = text_.find('"', i);
            if (i >= end) break;
            if (i + 1 < text_.size() && text_[i + 1] == '"') {
                doubled = true;
                ++i;
                continue;
            }
            field = text_.substr(first, i - first);
            at_ = i + 1;
            if (doubled && storage) {
                storage->clear();
                for (std::size_t k = 0; k < field.size(); ++k) {
                    *storage += field[k];
                    if (field[k] == '"') ++k;
                }
                field = *storage;
            }
            return true;
        }
        return false;
    }

    void SkipLine() {
        at_ = std::min(text_.find_first_of("\r\n", at_), text_.size());
        SkipLineEnd();
    }

    void SkipLineEnd() {
        if (at_ < text_.size() && text_[at_] == '\r') ++at_;
        if (at_ < text_.size() && text_[at_] == '\n') ++at_;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

std::optional<int> HexagramNumber(std::string_view text) { return ParseWholeNumber(std::string(text), 1, kHexagramCount); }

// What a row's reading says beyond its form: that it was read in another form.
struct RowForm {
    bool foreign = false;  // not as the program writes it, but read: a local date, text not UTF-8
};

// The entry a record holds; with `keep` false only checked, its texts left out.
std::optional<JournalEntry> EntryFromRecord(const Record& record, bool keep, const ICalendar* regional, RowForm& form) {
    if (record.bad || (record.count != kColumnCount && record.count != kOldColumnCount)) return std::nullopt;
    const std::string_view drawnAtText = record.fields[kDrawnAt];
    std::optional<LocalDateTime> drawnAt = ParseJournalTime(drawnAtText);
    if (!drawnAt && regional && drawnAtText.size() <= 64) {
        // Saved again by a spreadsheet program: the user's own date and time form.
        drawnAt = regional->TextToDateTime(std::string(drawnAtText));
        if (drawnAt && !IsPossible(*drawnAt)) drawnAt.reset();
        form.foreign = true;
    }
    const auto hexagram = HexagramNumber(record.fields[kNumber]);
    if (!drawnAt || !hexagram || !IsChangingLinesText(record.fields[kLines])) return std::nullopt;
    // The relating hexagram follows from the figure and the lines; the column must still
    // be a hexagram number exactly when there are lines.
    const std::string_view leadingTo = record.fields[kLeadingTo];
    if (record.fields[kLines].empty() ? !leadingTo.empty() : !HexagramNumber(leadingTo)) return std::nullopt;
    // The names are not read back; the reader's words are kept as far as they can be read.
    if (!IsUtf8(record.fields[kName]) || !IsUtf8(record.fields[kLeadingToName])) form.foreign = true;
    JournalEntry entry;
    entry.drawnAt = *drawnAt;
    entry.hexagram = *hexagram;
    const bool asked = record.count == kColumnCount;
    const auto readable = [](std::string_view text) {
        return IsUtf8(text) && text.find('\0') == std::string_view::npos;
    };
    if (!readable(record.fields[kNote]) ||
        (asked && (!readable(record.fields[kQuestion]) || !readable(record.fields[kMethod]) ||
                   !IsLineValuesText(record.fields[kLineValues]))))
        form.foreign = true;
    if (!keep) return entry;
    entry.changingLines = record.fields[kLines];
    entry.relating = RelatingFor(entry.hexagram, entry.changingLines);
    entry.note = ReadableText(record.fields[kNote]);
    if (asked) {
        entry.question = ReadableText(record.fields[kQuestion]);
        entry.method = ReadableText(record.fields[kMethod]);
        if (IsLineValuesText(record.fields[kLineValues])) entry.lineValues = record.fields[kLineValues];
    }
    return entry;
}

// The header row of the present form, or of the form from before questions were asked.
enum class Header { None, Present, Old };

Header HeaderOf(const Record& record) {
    if (record.bad || (record.count != kColumnCount && record.count != kOldColumnCount)) return Header::None;
    std::string joined;
    for (std::size_t i = 0; i < record.count; ++i) {
        if (i > 0) joined += ',';
        joined += record.fields[i];
    }
    if (joined == kJournalHeader) return Header::Present;
    return joined == kOldJournalHeader ? Header::Old : Header::None;
}

// The newest entry in `entries` that is this one, with the same note, or nullptr. The note
// tells alike rows apart (the same draw twice, each with its own note); rows that are alike
// in everything, their notes too, are one as much as the other.
JournalEntry* FindReading(std::vector<JournalEntry>& entries, const JournalEntry& which) {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (*it == which) return &*it;
    }
    return nullptr;
}

// "2026-12-08 07:00:03"
std::string JournalTimeText(const LocalDateTime& t) {
    std::string text;
    const int year = t.date.year;
    for (int divisor : {1000, 100}) text += static_cast<char>('0' + year / divisor % 10);
    AppendTwoDigits(text, year);
    text += '-';
    AppendTwoDigits(text, t.date.month);
    text += '-';
    AppendTwoDigits(text, t.date.day);
    text += ' ';
    AppendTwoDigits(text, t.hour);
    text += ':';
    AppendTwoDigits(text, t.minute);
    text += ':';
    AppendTwoDigits(text, t.second);
    return text;
}

// A stable fingerprint of the bytes (FNV-1a), the same in every session.
std::uint64_t Fingerprint(std::string_view bytes) {
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001B3ULL;
    }
    return hash ^ bytes.size();
}

// "Journal-0123456789abcdef.bad.csv": one name for one damaged file, whichever session sets it aside.
std::string CopyAsideName(std::uint64_t fingerprint) {
    std::string name = "Journal-";
    for (int shift = 60; shift >= 0; shift -= 4) name += "0123456789abcdef"[(fingerprint >> shift) & 0xF];
    return name + ".bad.csv";
}

}  // namespace

bool SameReading(const JournalEntry& a, const JournalEntry& b) {
    return a.drawnAt == b.drawnAt && a.hexagram == b.hexagram && a.changingLines == b.changingLines &&
           a.question == b.question && a.method == b.method && a.lineValues == b.lineValues;
}

JournalEntry EntryForReading(const Reading& reading, const LocalDateTime& at) {
    JournalEntry entry;
    entry.drawnAt = at;
    entry.hexagram = reading.hexagram;
    entry.changingLines = reading.changingLines;
    entry.relating = RelatingFor(reading.hexagram, reading.changingLines);
    return entry;
}

std::string JournalCsvHeader() { return std::string(kByteOrderMark) + kJournalHeader + "\r\n"; }

std::string JournalCsvRow(const JournalEntry& entry) {
    std::string row = JournalTimeText(entry.drawnAt);
    row += ',';
    row += std::to_string(entry.hexagram);
    row += ',';
    AppendField(row, Hexagram(entry.hexagram).name);
    row += ',';
    AppendField(row, entry.changingLines);
    row += ',';
    if (entry.relating != 0) {
        row += std::to_string(entry.relating);
        row += ',';
        AppendField(row, Hexagram(entry.relating).name);
    } else {
        row += ',';
    }
    row += ',';
    AppendField(row, entry.note);
    row += ',';
    AppendField(row, entry.question);
    row += ',';
    AppendField(row, entry.method);
    row += ',';
    AppendField(row, entry.lineValues);
    row += "\r\n";
    return row;
}

std::string JournalCsv(const std::vector<JournalEntry>& entries) {
    std::string text = JournalCsvHeader();
    for (const JournalEntry& entry : entries) text += JournalCsvRow(entry);
    return text;
}

JournalContents ParseJournalCsv(std::string_view bytes, bool withEntries, const ICalendar* regional) {
    JournalContents contents;
    std::string decoded;
    if (bytes.substr(0, 3) == kByteOrderMark) {
        bytes.remove_prefix(3);
    } else if (regional && !IsUtf8(bytes)) {
        // Saved again by a spreadsheet program, in the code page of the user's language.
        decoded = regional->AnsiToUtf8(bytes);
        bytes = decoded;
        contents.damaged = true;
    }
    CsvReader reader(bytes);
    Record record;
    bool first = true;
    RowForm form;
    while (reader.Next(record)) {
        if (!record.ended) contents.damaged = true;  // torn, or the last row end taken out by hand
        if (first) {
            first = false;
            const Header header = HeaderOf(record);
            contents.outdated = header == Header::Old;
            if (header != Header::None) continue;
            contents.damaged = true;  // another header, or none: the row may still be an entry
        }
        if (auto entry = EntryFromRecord(record, withEntries, regional, form)) {
            if (withEntries) contents.entries.push_back(std::move(*entry));
        } else {
            contents.damaged = true;
        }
    }
    if (form.foreign) contents.damaged = true;
    if (contents.damaged) contents.outdated = false;
    return contents;
}

std::string CutToUtf16Length(std::string_view utf8, std::size_t limit) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if ((b & 0xC0) == 0x80) continue;
        units += b >= 0xF0 ? 2 : 1;  // a character beyond U+FFFF takes two
        if (units > limit) return std::string(utf8.substr(0, i));
    }
    return std::string(utf8);
}

std::string KeptNote(std::string_view listed, std::string_view typed) {
    return CutToUtf16Length(typed, std::max(kJournalNoteLimit, Utf16Length(listed)));
}

void Journal::ReadingDrawn(const Reading& reading, const LocalDateTime& at) {
    pending_.push_back(EntryForReading(reading, at));
    Sync(true);
}

void Journal::Append(const JournalEntry& entry) {
    pending_.push_back(entry);
    Sync(true);
    ShowWaitingMessages();
}

std::vector<JournalEntry> Journal::Entries() {
    std::vector<JournalEntry> fileEntries;
    if (!Sync(false, &fileEntries)) fileEntries = Parse(current_).entries;
    std::vector<JournalEntry> entries = WithUnwritten(std::move(fileEntries));
    // Newest first by date (a row dated ahead, by its date); rows of one moment newest in the file first.
    std::reverse(entries.begin(), entries.end());
    std::stable_sort(entries.begin(), entries.end(), [](const JournalEntry& a, const JournalEntry& b) {
        return LocalSeconds(a.drawnAt) > LocalSeconds(b.drawnAt);
    });
    ShowWaitingMessages();
    return entries;
}

void Journal::SetNote(const JournalEntry& which, std::string_view note) {
    std::string text = KeptNote(which.note, note);
    if (text == which.note) return;
    if (JournalEntry* entry = FindReading(pending_, which)) {
        entry->note = std::move(text);  // not written yet: it goes out whole, with its note
    } else {
        // A note changed again before it could be written: the row is the one it was set for.
        const auto set = std::find_if(pendingNotes_.begin(), pendingNotes_.end(), [&](const auto& set) {
            return SameReading(set.first, which) && set.second == which.note;
        });
        if (set != pendingNotes_.end())
            set->second = std::move(text);
        else
            pendingNotes_.emplace_back(which, std::move(text));
    }
    Sync(true);
    ShowWaitingMessages();
}

std::string Journal::ExportCsv() {
    Sync(false);
    ShowWaitingMessages();
    return JournalCsv(AllEntries());
}

void Journal::RetryIfDue() {
    if (!HasUnwritten()) return;
    const long long now = LocalSeconds(calendar_.Now());
    // A clock set back counts as time gone.
    if (lastTry_ && now >= *lastTry_ && now - *lastTry_ < kJournalRetrySeconds) return;
    Sync(false);
}

void Journal::Flush() {
    if (!unwrittenLoaded_) LoadUnwritten();
    if (HasUnwritten()) Sync(false);
}

void Journal::ShowWaitingMessages() {
    // Taken first: a message box lets other events run, and one of them may add to the journal.
    std::vector<std::string> texts = std::move(waiting_);
    waiting_.clear();
    for (const std::string& text : texts) messages_.ShowMessage(text, kAppTitle, MsgButtons::Ok, MsgIcon::Exclamation);
}

std::vector<JournalEntry> Journal::WithUnwritten(std::vector<JournalEntry> entries) const {
    entries.insert(entries.end(), pending_.begin(), pending_.end());
    for (const auto& [which, note] : pendingNotes_) {
        if (JournalEntry* entry = FindReading(entries, which)) {
            entry->note = note;
        } else {
            entries.push_back(which);
            entries.back().note = note;
        }
    }
    return entries;
}

void Journal::LoadUnwritten() {
    unwrittenLoaded_ = true;
    std::string bytes;
    std::vector<JournalEntry> rows;
    if (file_.ReadBeside(kUnsavedRowsFileName, bytes) == FileRead::Read) {
        unwrittenKept_ = true;
        rows = ParseJournalCsv(bytes).entries;
    }
    // Older than anything added in this session.
    pending_.insert(pending_.begin(), rows.begin(), rows.end());
    if (file_.ReadBeside(kUnsavedNotesFileName, bytes) == FileRead::Read) {
        unwrittenKept_ = true;
        std::vector<JournalEntry> notes = ParseJournalCsv(bytes).entries;
        std::vector<std::pair<JournalEntry, std::string>> earlier;
        for (std::size_t i = 0; i + 1 < notes.size(); i += 2) {
            const bool setLater = std::any_of(pendingNotes_.begin(), pendingNotes_.end(),
                                              [&](const auto& set) { return SameReading(set.first, notes[i]); });
            if (!setLater) earlier.emplace_back(std::move(notes[i]), std::move(notes[i + 1].note));
        }
        pendingNotes_.insert(pendingNotes_.begin(), earlier.begin(), earlier.end());
    }
}

void Journal::KeepUnwritten() {
    std::string notes = JournalCsvHeader();
    for (const auto& [which, note] : pendingNotes_) {
        JournalEntry set = which;
        set.note = note;
        notes += JournalCsvRow(which);
        notes += JournalCsvRow(set);
    }
    // Each file only while it has something to keep.
    const auto keep = [&](const char* name, bool any, const std::string& bytes) {
        if (any ? file_.WriteBeside(name, bytes) : file_.RemoveBeside(name)) return;
        if (any || !file_.WriteBeside(name, JournalCsvHeader())) unwrittenKept_ = true;  // try again next time
    };
    unwrittenKept_ = false;
    keep(kUnsavedRowsFileName, !pending_.empty(), JournalCsv(pending_));
    keep(kUnsavedNotesFileName, !pendingNotes_.empty(), notes);
    if (HasUnwritten()) unwrittenKept_ = true;
}

void Journal::Tell(Cause cause, std::string text) {
    if (told_ & cause) return;
    told_ |= cause;
    waiting_.push_back(std::move(text));
}

bool Journal::Sync(bool mustWrite, std::vector<JournalEntry>* fileEntries) {
    if (!unwrittenLoaded_) LoadUnwritten();
    const std::size_t told = waiting_.size();  // the messages from before
    bool parsed = false;
    const FileRead read = file_.ReadAll(scratch_, state_ == State::Intact ? &current_ : nullptr);
    const bool unchanged = read == FileRead::Unchanged;
    // What the file holds cannot be known: nothing may be written over it.
    bool canWrite = read == FileRead::Read || read == FileRead::Missing || unchanged;
    // A file gone from under the program is not an empty journal: what it held is written again.
    const bool gone =
        read == FileRead::Missing && state_ != State::Unread && current_.size() > JournalCsvHeader().size();
    if (read == FileRead::Missing) scratch_.clear();
    if (gone) mustWrite = true;
    if (read == FileRead::TooLarge) {
        Tell(kTooLarge, "The Hexalune journal\n" + file_.PathOf(kJournalFileName) +
                            "\nis too large for Hexalune to open. It is left as it is.\n\nNew readings and notes are "
                            "kept in\n" + file_.PathOf(kUnsavedRowsFileName) + "\nand\n" +
                            file_.PathOf(kUnsavedNotesFileName) + "\nbeside it.");
    }

    std::string setAsideAt;  // where a damaged file was copied just now
    if (canWrite && !gone && !unchanged && !(state_ == State::Intact && scratch_ == current_)) {
        // The first look at the file, or it changed outside the program.
        std::swap(current_, scratch_);
        JournalContents contents = Parse(current_, fileEntries != nullptr);
        state_ = contents.damaged ? State::Damaged : contents.outdated ? State::Outdated : State::Intact;
        if (fileEntries) {
            *fileEntries = std::move(contents.entries);
            parsed = true;
        }
        const std::uint64_t fingerprint = Fingerprint(current_);
        if (state_ == State::Damaged && setAside_ != fingerprint) {
            const std::string name = CopyAsideName(fingerprint);
            switch (file_.CopyAside(name)) {
                case AsideCopy::Copied: setAsideAt = file_.PathOf(name); [[fallthrough]];
                case AsideCopy::AlreadyKept: setAside_ = fingerprint; break;  // told when it was copied
                case AsideCopy::Failed: canWrite = false; break;  // never written over before it is kept elsewhere
            }
        }
    }
    // Only one copy of the file's bytes is kept.
    if (scratch_.size() > 1024 * 1024) scratch_ = std::string();

    const bool rewrite = state_ == State::Damaged || !pendingNotes_.empty();
    bool written = false;
    if (mustWrite || rewrite || HasUnwritten()) {
        if (canWrite && (rewrite || state_ == State::Outdated)) {
            // Each note's memory goes as its row is made: the entries and the new bytes are
            // never both whole in memory beside the file's.
            std::vector<JournalEntry> entries = AllEntries();
            std::string all;
            all.reserve(current_.size() + current_.size() / 64 + 64 * 1024);
            all += JournalCsvHeader();
            for (JournalEntry& entry : entries) {
                all += JournalCsvRow(entry);
                entry.note = std::string();
            }
            entries = {};
            written = file_.ReplaceAll(all, {});
            if (written) current_ = std::move(all);
        } else if (canWrite) {
            // The file is as last read or written: the new rows go after it.
            std::string rows;
            for (const JournalEntry& entry : pending_) rows += JournalCsvRow(entry);
            if (current_.empty() || current_ == kByteOrderMark) current_ = JournalCsvHeader();
            written = file_.ReplaceAll(current_, rows);
            if (written) current_ += rows;
        }
        if (written) {
            parsed = false;  // the entries read are no longer all the file holds
            state_ = State::Intact;
            pending_.clear();
            pendingNotes_.clear();
            told_ = 0;
            lastTry_.reset();
            if (unwrittenKept_) KeepUnwritten();
        } else {
            if (HasUnwritten()) {
                lastTry_ = LocalSeconds(calendar_.Now());
                KeepUnwritten();
            }
            if (read != FileRead::TooLarge) {
                Tell(kCannotWrite,
                     "Hexalune cannot save its journal to\n" + file_.PathOf(kJournalFileName) +
                         "\n\nThe file or its folder may be read-only, the disk may be full, or another program, such "
                         "as a spreadsheet, may have the file open.\n\nThe reading is shown as usual. What could not "
                         "be saved is kept beside the journal, and Hexalune adds it to the journal as soon as it can.");
            }
        }
    }
    if (!setAsideAt.empty()) {
        // Before the message that the journal cannot be saved, when it comes to that.
        waiting_.insert(waiting_.begin() + static_cast<std::ptrdiff_t>(told),
                        "Part of the Hexalune journal could not be read: the file is damaged or was changed outside "
                        "Hexalune.\n\nThe file as it was is kept, unchanged, as\n" + setAsideAt +
                            (written ? "\n\nThe entries that could be read stay in the journal, and new readings are "
                                       "added to it as before."
                                     : "\n\nThe entries that could be read stay in the journal."));
    }
    return parsed;
}

}  // namespace hexalune
