#include "reading/Journal.h"

#include <algorithm>
#include <functional>

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

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;  // the bounds of the second byte
        if (b < 0x80) {
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
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
        }
        i += length;
    }
    return true;
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

struct Record {
    std::vector<std::string> fields;
    bool bad = false;
    bool ended = true;  // it had its row end
};

// RFC 4180 records, one after another. A record that breaks the form is marked bad and
// reading goes on with the next line, so that one stray quote costs one row, not the rest.
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text) {}

    bool Next(Record& record) {
        record.fields.clear();
        record.bad = false;
        record.ended = true;
        if (at_ >= text_.size()) return false;
        const std::size_t start = at_;
        for (;;) {
            std::string field;
            if (at_ < text_.size() && text_[at_] == '"') {
                if (!ReadQuoted(field)) {
                    // Left open: the record is bad, and the next one starts on the next line.
                    at_ = start;
                    SkipLine();
                    record.fields.clear();
                    record.bad = true;
                    return true;
                }
            } else {
                while (at_ < text_.size() && text_[at_] != ',' && text_[at_] != '\r' && text_[at_] != '\n') {
                    if (text_[at_] == '"') record.bad = true;  // a quote inside a field that is not quoted
                    field += text_[at_++];
                }
            }
            record.fields.push_back(std::move(field));
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
    // From an opening quote to its closing quote; false when none comes in reach.
    bool ReadQuoted(std::string& field) {
        const std::size_t end = std::min(text_.size(), at_ + kLongestQuotedField);
        for (std::size_t i = at_ + 1; i < end; ++i) {
            if (text_[i] != '"') {
                field += text_[i];
            } else if (i + 1 < text_.size() && text_[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                at_ = i + 1;
                return true;
            }
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

std::optional<JournalEntry> EntryFromRecord(const Record& record) {
    if (record.bad || record.fields.size() != kColumnCount) return std::nullopt;
    for (const std::string& field : record.fields) {
        if (!IsUtf8(field) || field.find('\0') != std::string::npos) return std::nullopt;
    }
    JournalEntry entry;
    const auto drawnAt = ParseJournalTime(record.fields[0]);
    const auto hexagram = ParseWholeNumber(record.fields[1], 1, kHexagramCount);
    if (!drawnAt || !hexagram || !IsChangingLinesText(record.fields[3])) return std::nullopt;
    entry.drawnAt = *drawnAt;
    entry.hexagram = *hexagram;
    entry.changingLines = record.fields[3];
    // The relating hexagram follows from the figure and the lines; the column must still
    // be a hexagram number exactly when there are lines.
    const std::string& leadingTo = record.fields[4];
    if (entry.changingLines.empty() ? !leadingTo.empty() : !ParseWholeNumber(leadingTo, 1, kHexagramCount))
        return std::nullopt;
    entry.relating = RelatingFor(entry.hexagram, entry.changingLines);
    if (Utf16Length(record.fields[6]) > kJournalNoteLimit) return std::nullopt;
    entry.note = record.fields[6];
    return entry;
}

bool IsHeader(const Record& record) {
    if (record.bad || record.fields.size() != kColumnCount) return false;
    std::string joined;
    for (const std::string& field : record.fields) {
        if (!joined.empty()) joined += ',';
        joined += field;
    }
    return joined == kJournalHeader;
}

bool SameReading(const JournalEntry& a, const JournalEntry& b) {
    return a.drawnAt == b.drawnAt && a.hexagram == b.hexagram && a.changingLines == b.changingLines;
}

// The newest entry in `entries` that is this reading, or nullptr.
JournalEntry* FindReading(std::vector<JournalEntry>& entries, const JournalEntry& which) {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (SameReading(*it, which)) return &*it;
    }
    return nullptr;
}

std::string CopyAsideName(const LocalDateTime& t) {
    std::string name = "Journal-";
    name += std::to_string(t.date.year);
    AppendTwoDigits(name, t.date.month);
    AppendTwoDigits(name, t.date.day);
    name += '-';
    AppendTwoDigits(name, t.hour);
    AppendTwoDigits(name, t.minute);
    AppendTwoDigits(name, t.second);
    return name + ".bad.csv";
}

}  // namespace

JournalEntry EntryForReading(const Reading& reading, const LocalDateTime& at) {
    JournalEntry entry;
    entry.drawnAt = at;
    entry.hexagram = reading.hexagram;
    entry.changingLines = reading.changingLines;
    entry.relating = RelatingFor(reading.hexagram, reading.changingLines);
    return entry;
}

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

JournalContents ParseJournalCsv(std::string_view bytes) {
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
        if (auto entry = EntryFromRecord(record))
            contents.entries.push_back(std::move(*entry));
        else
            contents.damaged = true;
    }
    return contents;
}

std::size_t Utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;  // a character beyond U+FFFF is a surrogate pair
    }
    return units;
}

std::string CutToUtf16Length(std::string_view utf8, std::size_t limit) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if ((b & 0xC0) == 0x80) continue;
        units += b >= 0xF0 ? 2 : 1;
        if (units > limit) return std::string(utf8.substr(0, i));
    }
    return std::string(utf8);
}

void Journal::ReadingDrawn(const Reading& reading, const LocalDateTime& at) { Append(EntryForReading(reading, at)); }

void Journal::Append(const JournalEntry& entry) {
    pending_.push_back(entry);
    Sync(true);
}

std::vector<JournalEntry> Journal::Entries() {
    Sync(false);
    std::vector<JournalEntry> newestFirst(pending_.rbegin(), pending_.rend());
    newestFirst.insert(newestFirst.end(), entries_.rbegin(), entries_.rend());
    return newestFirst;
}

bool Journal::SetNote(const JournalEntry& which, std::string_view note) {
    std::string text = CutToUtf16Length(note, kJournalNoteLimit);
    if (JournalEntry* entry = FindReading(pending_, which)) {
        // Not written yet: it goes out whole, with its note, on the next write.
        if (entry->note == text) return true;
        entry->note = std::move(text);
        Sync(true);
        return true;
    }
    JournalEntry* entry = FindReading(entries_, which);
    if (!entry) return false;
    if (entry->note == text) return true;
    entry->note = text;
    pendingNotes_.emplace_back(*entry, std::move(text));
    rewrite_ = true;
    Sync(true);
    return true;
}

std::string Journal::ExportCsv() {
    Sync(false);
    std::vector<JournalEntry> all = entries_;
    all.insert(all.end(), pending_.begin(), pending_.end());
    return JournalCsv(all);
}

void Journal::ApplyNotes() {
    for (const auto& [which, note] : pendingNotes_) {
        if (JournalEntry* entry = FindReading(entries_, which)) {
            entry->note = note;
        } else if (JournalEntry* waiting = FindReading(pending_, which)) {
            waiting->note = note;
        } else {
            // Taken out of the file meanwhile: the entry comes back rather than lose the words.
            JournalEntry back = which;
            back.note = note;
            pending_.push_back(std::move(back));
        }
    }
}

bool Journal::Sync(bool mustWrite) {
    std::vector<std::string> messages;
    std::string bytes;
    const FileRead read = file_.ReadAll(bytes);
    // What the file holds cannot be known: nothing may be written over it.
    bool canWrite = read != FileRead::Failed;
    if (read == FileRead::Missing) bytes.clear();

    if (canWrite && !(known_ && *known_ == bytes)) {
        // First look at the file, or it changed outside the program.
        JournalContents contents = ParseJournalCsv(bytes);
        entries_ = std::move(contents.entries);
        ApplyNotes();
        if (contents.damaged) {
            known_.reset();
            rewrite_ = true;
            const std::size_t hash = std::hash<std::string_view>{}(bytes) ^ bytes.size();
            if (setAside_ != hash) {
                const std::string name = CopyAsideName(calendar_.Now());
                if (file_.CopyAside(name)) {
                    setAside_ = hash;
                    messages.push_back(
                        "Part of the Hexalune journal could not be read: the file is damaged or was changed outside "
                        "Hexalune.\n\nThe file as it was is kept, unchanged, as\n" +
                        file_.PathOf(name) +
                        "\n\nThe entries that could be read stay in the journal, and new readings are added to it as "
                        "before.");
                } else {
                    canWrite = false;  // never written over before it is kept elsewhere
                }
            }
        } else {
            known_ = bytes;
        }
    }

    bool written = true;
    if (mustWrite || rewrite_ || !pending_.empty()) {
        written = false;
        if (canWrite) {
            std::string out;
            if (rewrite_) {
                std::vector<JournalEntry> all = entries_;
                all.insert(all.end(), pending_.begin(), pending_.end());
                out = JournalCsv(all);
            } else {
                // The file is as last read or written: the new rows go after it.
                out = bytes.empty() ? JournalCsvHeader() : std::move(bytes);
                for (const JournalEntry& entry : pending_) out += JournalCsvRow(entry);
            }
            if (file_.ReplaceAll(out)) {
                written = true;
                known_ = std::move(out);
                entries_.insert(entries_.end(), pending_.begin(), pending_.end());
                pending_.clear();
                pendingNotes_.clear();
                rewrite_ = false;
                failureShown_ = false;
            }
        }
        if (!written && !failureShown_) {
            failureShown_ = true;
            messages.push_back("Hexalune cannot save its journal to\n" + file_.PathOf(kJournalFileName) +
                               "\n\nThe file or its folder may be read-only, the disk may be full, or another "
                               "program, such as a spreadsheet, may have the file open.\n\nThe reading is shown as "
                               "usual, and Hexalune will try again with the next reading or note while it is "
                               "running.");
        }
    }

    // Last: a message box lets other events run, and one of them may add to the journal.
    for (const std::string& text : messages) messages_.ShowMessage(text, kAppTitle, MsgButtons::Ok, MsgIcon::Exclamation);
    return written;
}

}  // namespace hexalune
