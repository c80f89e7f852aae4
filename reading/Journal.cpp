#include "reading/Journal.h"

#include <algorithm>
#include <cstdint>

#include "reading/Catalogue.h"
#include "reading/ChangingLines.h"
#include "core/ValueForms.h"

namespace hexalune {

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kColumnCount = 7;
// A note at the limit takes at most 12,000 bytes of UTF-8 with its quotes doubled. A quoted
// field much longer than that is a quote left open, not a note.
constexpr std::size_t kLongestQuotedField = 16 * 1024;

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

// The length in UTF-16 code units of text that is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing past U+10FFFF) and holds no NUL; nothing for any other text.
std::optional<std::size_t> TextLength(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;  // the bounds of the second byte
        if (b < 0x80) {
            if (b == 0) return std::nullopt;
            ++units;
            ++i;
            continue;
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
            return std::nullopt;
        }
        if (i + length > text.size()) return std::nullopt;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return std::nullopt;
        }
        units += length == 4 ? 2 : 1;
        i += length;
    }
    return units;
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
    const CivilDate date{number(0, 4), number(5, 2), number(8, 2)};
    const LocalDateTime t{date, number(11, 2), number(14, 2), number(17, 2)};
    if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return std::nullopt;
    if (CivilFromDays(DaysFromCivil(date)) != date) return std::nullopt;  // 2026-02-30 and the like
    if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
    return t;
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
            } else if (text_[at_] == '\n') {
                ++at_;
                return true;
            } else if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') {
                at_ += 2;
                return true;
            } else {
                // Text after a closing quote, or a carriage return alone.
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
        const std::size_t lineEnd = text_.find('\n', at_);
        at_ = lineEnd == std::string_view::npos ? text_.size() : lineEnd + 1;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

std::optional<int> HexagramNumber(std::string_view text) { return ParseWholeNumber(std::string(text), 1, kHexagramCount); }

// The entry a record holds; with `keep` false only checked, its texts left out.
std::optional<JournalEntry> EntryFromRecord(const Record& record, bool keep) {
    if (record.bad || record.count != kColumnCount) return std::nullopt;
    std::size_t noteLength = 0;
    for (std::string_view field : record.fields) {
        const auto length = TextLength(field);
        if (!length) return std::nullopt;
        noteLength = *length;  // the note is the last field
    }
    JournalEntry entry;
    const auto drawnAt = ParseJournalTime(record.fields[0]);
    const auto hexagram = HexagramNumber(record.fields[1]);
    if (!drawnAt || !hexagram || !IsChangingLinesText(record.fields[3])) return std::nullopt;
    entry.drawnAt = *drawnAt;
    entry.hexagram = *hexagram;
    if (keep) entry.changingLines = record.fields[3];
    // The relating hexagram follows from the figure and the lines; the column must still
    // be a hexagram number exactly when there are lines.
    const std::string_view leadingTo = record.fields[4];
    if (record.fields[3].empty() ? !leadingTo.empty() : !HexagramNumber(leadingTo)) return std::nullopt;
    if (noteLength > kJournalNoteLimit) return std::nullopt;
    if (!keep) return entry;
    entry.relating = RelatingFor(entry.hexagram, entry.changingLines);
    entry.note = record.fields[6];
    return entry;
}

bool IsHeader(const Record& record) {
    if (record.bad || record.count != kColumnCount) return false;
    std::string joined;
    for (std::string_view field : record.fields) {
        if (!joined.empty()) joined += ',';
        joined += field;
    }
    return joined == kJournalHeader;
}

// The newest entry in `entries` that is this reading, or nullptr.
JournalEntry* FindReading(std::vector<JournalEntry>& entries, const JournalEntry& which) {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (SameReading(*it, which)) return &*it;
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
    return a.drawnAt == b.drawnAt && a.hexagram == b.hexagram && a.changingLines == b.changingLines;
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
    row += "\r\n";
    return row;
}

std::string JournalCsv(const std::vector<JournalEntry>& entries) {
    std::string text = JournalCsvHeader();
    for (const JournalEntry& entry : entries) text += JournalCsvRow(entry);
    return text;
}

JournalContents ParseJournalCsv(std::string_view bytes, bool withEntries) {
    JournalContents contents;
    if (bytes.substr(0, 3) == kByteOrderMark) bytes.remove_prefix(3);
    CsvReader reader(bytes);
    Record record;
    bool first = true;
    while (reader.Next(record)) {
        if (!record.ended) contents.damaged = true;  // torn, or the last row end taken out by hand
        if (first) {
            first = false;
            if (IsHeader(record)) continue;
            contents.damaged = true;  // another header, or none: the row may still be an entry
        }
        if (auto entry = EntryFromRecord(record, withEntries)) {
            if (withEntries) contents.entries.push_back(std::move(*entry));
        } else {
            contents.damaged = true;
        }
    }
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
    if (!Sync(false, &fileEntries)) fileEntries = ParseJournalCsv(current_).entries;
    std::vector<JournalEntry> entries = WithUnwritten(std::move(fileEntries));
    std::reverse(entries.begin(), entries.end());
    ShowWaitingMessages();
    return entries;
}

void Journal::SetNote(const JournalEntry& which, std::string_view note) {
    std::string text = CutToUtf16Length(note, kJournalNoteLimit);
    if (text == which.note) return;
    if (JournalEntry* entry = FindReading(pending_, which)) {
        entry->note = std::move(text);  // not written yet: it goes out whole, with its note
    } else {
        std::erase_if(pendingNotes_, [&](const auto& set) { return SameReading(set.first, which); });
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
        JournalContents contents = ParseJournalCsv(current_, fileEntries != nullptr);
        state_ = contents.damaged ? State::Damaged : State::Intact;
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
        if (canWrite && rewrite) {
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
