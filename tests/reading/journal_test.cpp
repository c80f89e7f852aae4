// The journal's file form, its store over a file that may be damaged or unwritable, and
// the hexagram search.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fakes/Fakes.h"
#include "reading/ChangingLines.h"
#include "reading/HexagramSearch.h"
#include "reading/Journal.h"
#include "reading/JournalView.h"
#include "reading/Catalogue.h"

namespace hexalune {
namespace {

using testing::FakeCalendar;
using testing::FakeJournalFile;
using testing::FakeMessageBox;

JournalEntry Entry(int day, int hexagram, const std::string& lines, const std::string& note = "") {
    JournalEntry entry = EntryForReading(Reading{hexagram, lines}, LocalDateTime{{2026, 12, day}, 7, 0, 3});
    entry.note = note;
    return entry;
}

JournalEntry Asked(int day, const std::string& question, const std::string& method, const std::string& values) {
    JournalEntry entry = Entry(day, 55, "3,5");
    entry.question = question;
    entry.method = method;
    entry.lineValues = values;
    return entry;
}

const std::vector<JournalEntry> kAwkwardNotes = {
    Entry(1, 46, "4,1,6", "Commas, \"quotes\", and \"\"doubled\"\" ones"),
    Asked(1, "Move, or \"stay\"?\r\nAsk again\nlater: caf\xC3\xA9 \xE6\x97\xA5\xE8\xA8\x98 \xF0\x9F\x8C\x99", "Own cast", "789768"),
    Asked(2, "", "Yarrow", "969696"),
    Entry(2, 1, "1,2,3,4,5,6", "First line\r\nsecond line\nthird after a lone LF\n"),
    Entry(3, 64, "5", "Caf\xC3\xA9, \xE6\x97\xA5\xE8\xA8\x98, \xF0\x9F\x8C\x99 moon"),
    Entry(4, 2, "2", ""),
    Entry(5, 30, "", "no changing lines"),
};

TEST(JournalCsv, AwkwardNotesAndTenYearsOfEntriesReadBackAsWritten) {
    std::vector<JournalEntry> entries = kAwkwardNotes;
    for (int i = 0; i < 3650; ++i) {
        JournalEntry e = EntryForReading(Reading{i % 64 + 1, std::to_string(i % 6 + 1)},
                                         LocalDateTime{CivilFromDays(20000 + i), i % 24, i % 60, 59 - i % 60});
        e.note = "Day " + std::to_string(i) + ", as it went:\r\n\"fine\"";
        entries.push_back(e);
    }
    const JournalContents read = ParseJournalCsv(JournalCsv(entries));
    EXPECT_FALSE(read.damaged);
    ASSERT_EQ(read.entries.size(), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) ASSERT_EQ(read.entries[i], entries[i]) << "row " << i;
}

TEST(JournalCsv, ColumnsAreWhatASpreadsheetShows) {
    EXPECT_EQ(JournalCsv({Entry(8, 46, "4,1,6", "Rain, then sun")}),
              "\xEF\xBB\xBF"
              "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note,Question,Method,"
              "Line values\r\n"
              "2026-12-08 07:00:03,46,Pushing Upward,\"4,1,6\",14,Possession in Great Measure,\"Rain, then sun\",,,\r\n");
    EXPECT_EQ(JournalCsvRow(Entry(8, 30, "")), "2026-12-08 07:00:03,30,The Clinging Fire,,,,,,,\r\n");
    EXPECT_EQ(JournalCsvRow(Asked(8, "Which way, \"left\"?", "Coins", "789768")),
              "2026-12-08 07:00:03,55,Abundance (Fullness),\"3,5\",17,Following,,\"Which way, \"\"left\"\"?\",Coins,789768\r\n");
}

TEST(JournalCsv, NamesInTheFileAreNotTrustedTheNumberIs) {
    const std::string file = JournalCsvHeader() + "2026-12-08 07:00:03,46,Anything at all,\"4,1,6\",14,?,\r\n";
    const JournalContents read = ParseJournalCsv(file);
    EXPECT_FALSE(read.damaged);
    ASSERT_EQ(read.entries.size(), 1u);
    EXPECT_EQ(read.entries[0], Entry(8, 46, "4,1,6"));
}

struct DamageCase {
    const char* name;
    std::string file;
    std::vector<int> readHexagrams;
};

const std::string kGood = JournalCsv({Entry(1, 11, "1", "a"), Entry(2, 12, "2", "b"), Entry(3, 13, "3", "c")});

// The text up to `marker`, and `more` bytes of it.
std::string Cut(const std::string& text, const std::string& marker, std::size_t more) {
    return text.substr(0, text.find(marker) + more);
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

class DamagedFileTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedFileTest, KeepsTheReadableRowsAndSaysItIsDamaged) {
    const JournalContents read = ParseJournalCsv(GetParam().file);
    EXPECT_TRUE(read.damaged);
    std::vector<int> hexagrams;
    for (const JournalEntry& e : read.entries) hexagrams.push_back(e.hexagram);
    EXPECT_EQ(hexagrams, GetParam().readHexagrams);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedFileTest,
    ::testing::Values(
        DamageCase{"TornInAQuotedNote", Cut(JournalCsv({Entry(1, 11, "1"), Entry(2, 12, "2", "x, y\r\nz")}), "y\r\n", 3),
                   {11}},
        DamageCase{"LastRowEndTakenOut", kGood.substr(0, kGood.size() - 2), {11, 12, 13}},
        DamageCase{"RowWithAFieldMissing", Replaced(kGood, ",12,", ","), {11, 13}},
        DamageCase{"ImpossibleDate", Replaced(kGood, "2026-12-02", "2026-02-30"), {11, 13}},
        DamageCase{"ImpossibleHexagram", Replaced(kGood, ",12,", ",65,"), {11, 13}},
        DamageCase{"ImpossibleLine", Replaced(kGood, ",2,", ",7,"), {11, 13}},
        // A note as far as it can be read keeps its reading.
        DamageCase{"NotUtf8", Replaced(kGood, ",b,", ",caf\xE9,"), {11, 12, 13}},
        DamageCase{"NotUtf8InAName", Replaced(kGood, "Standstill", "Standst\xFFll"), {11, 12, 13}},
        DamageCase{"QuoteLeftOpen", Replaced(kGood, ",a,", ",\"a,"), {12, 13}},
        DamageCase{"HeaderTakenOut", kGood.substr(JournalCsvHeader().size()), {11, 12, 13}},
        DamageCase{"SomethingElse", std::string("\xFF\xFE") + "D\0a\0", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JournalCsv, AnyMangledFileReadsWithoutHarmAndOnlyAsValidEntries) {
    std::mt19937 random(18);
    std::string source;
    for (const JournalEntry& e : kAwkwardNotes) source += JournalCsvRow(e);
    source = JournalCsvHeader() + source;
    for (int round = 0; round < 3000; ++round) {
        std::string file = source;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < edits; ++k) {
            const std::size_t at = random() % (file.size() + 1);
            const char byte = "\",\r\n\"x\xC3\0"[random() % 8] ^ static_cast<char>(random() % 3 == 0 ? random() : 0);
            switch (random() % 3) {
                case 0: file.insert(at, 1, byte); break;
                case 1: if (at < file.size()) file.erase(at, 1); break;
                default: if (at < file.size()) file[at] = byte; break;
            }
        }
        if (round % 10 == 0) {
            file.resize(random() % 200);
            for (char& c : file) c = static_cast<char>(random());
        }
        for (const JournalEntry& e : ParseJournalCsv(file).entries) {
            // Whatever is read is an entry the program could have written itself.
            const JournalContents again = ParseJournalCsv(JournalCsv({e}));
            ASSERT_FALSE(again.damaged);
            ASSERT_EQ(again.entries, std::vector<JournalEntry>{e});
        }
    }
}

// A journal over an in-memory file, a clock and message boxes.
class JournalStoreTest : public ::testing::Test {
protected:
    std::vector<int> FileHexagrams() const {
        std::vector<int> hexagrams;
        for (const JournalEntry& e : ParseJournalCsv(file.bytes.value_or("")).entries) hexagrams.push_back(e.hexagram);
        return hexagrams;
    }
    FakeJournalFile file;
    FakeCalendar calendar;
    FakeMessageBox messages;
    Journal journal{file, calendar, messages};
};

TEST_F(JournalStoreTest, ADamagedFileIsSetAsideOnceThenWrittenCleanWithItsReadableRows) {
    const std::string broken = Replaced(kGood, ",12,", ",65,");
    file.bytes = broken;
    file.failing = true;  // a spreadsheet has it open: it can be copied, not replaced
    calendar.Set(2026, 12, 8, 7, 0, 3);
    journal.Append(Entry(8, 40, "4"));
    ASSERT_EQ(file.aside.size(), 1u);
    const auto& [name, copy] = *file.aside.begin();
    EXPECT_EQ(copy, broken);
    ASSERT_EQ(messages.shown.size(), 2u);  // where the copy is, and that the journal cannot be saved
    EXPECT_NE(messages.shown[0].text.find("C:\\Journal folder\\" + name), std::string::npos);
    EXPECT_EQ(messages.shown[0].text.find("added to it as before"), std::string::npos);
    EXPECT_EQ(file.bytes, broken);

    // The next session finds the same broken file: it is not set aside again, nor told again.
    FakeMessageBox later;
    Journal again{file, calendar, later};
    again.Append(Entry(8, 40, "4"));
    EXPECT_EQ(file.aside.size(), 1u);
    EXPECT_EQ(later.shown.size(), 1u);  // only that it cannot be saved

    calendar.Set(2026, 12, 9, 7, 0, 3);
    journal.Append(Entry(9, 41, "1"));
    file.failing = false;
    journal.Append(Entry(10, 42, "1"));
    journal.Append(Entry(11, 43, "1"));
    EXPECT_EQ(file.aside.size(), 1u);
    EXPECT_EQ(messages.shown.size(), 2u);
    const JournalContents clean = ParseJournalCsv(file.bytes.value_or(""));
    EXPECT_FALSE(clean.damaged);
    EXPECT_EQ(FileHexagrams(), (std::vector<int>{11, 13, 40, 41, 42, 43}));
}

TEST_F(JournalStoreTest, ADamagedFileThatCannotBeSetAsideIsNotWrittenOver) {
    const std::string broken = Cut(kGood, "2026-12-02", 5);
    file.bytes = broken;
    file.failingCopy = true;  // the folder is full
    journal.Append(Entry(8, 40, "4"));
    journal.Append(Entry(9, 41, "4"));
    EXPECT_EQ(file.bytes, broken);
    EXPECT_TRUE(file.aside.empty());
    EXPECT_EQ(messages.shown.size(), 1u);  // that it cannot be saved, once

    // The copy aside and the clean file come with the first write that can be made.
    file.failingCopy = false;
    journal.Append(Entry(10, 42, "4"));
    ASSERT_EQ(file.aside.size(), 1u);
    EXPECT_EQ(file.aside.begin()->second, broken);
    EXPECT_EQ(FileHexagrams(), (std::vector<int>{11, 40, 41, 42}));
}

TEST_F(JournalStoreTest, AnUnwritableFileIsReportedOnceAndItsEntriesComeWithTheNextWriteThatSucceeds) {
    journal.Append(Entry(1, 11, "1"));
    file.failing = true;
    journal.Append(Entry(2, 12, "2"));
    journal.Append(Entry(3, 13, "3"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("C:\\Journal folder\\Journal.csv"), std::string::npos);
    EXPECT_EQ(FileHexagrams(), (std::vector<int>{11}));
    EXPECT_EQ(journal.Entries().size(), 3u);  // shown all the same

    file.failing = false;
    journal.Append(Entry(4, 14, "4"));
    EXPECT_EQ(FileHexagrams(), (std::vector<int>{11, 12, 13, 14}));

    file.failing = true;  // a new failure after a success is reported again
    journal.Append(Entry(5, 15, "5"));
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST_F(JournalStoreTest, AFileThatCannotBeReadIsNeverWrittenOver) {
    file.bytes = kGood;
    file.unreadable = true;  // locked by another program
    journal.Append(Entry(8, 40, "4"));
    EXPECT_EQ(file.writes, 0);
    EXPECT_EQ(messages.shown.size(), 1u);
    file.unreadable = false;
    journal.Append(Entry(9, 41, "4"));
    EXPECT_EQ(FileHexagrams(), (std::vector<int>{11, 12, 13, 40, 41}));
}

TEST_F(JournalStoreTest, AppendingKeepsTheFileAsItWasAndFollowsChangesMadeOutside) {
    // Written by hand with LF row ends and a note the program would quote: left as it is.
    const std::string byHand = JournalCsvHeader() + "2026-12-01 07:00:03,11,x,1,46,x,\n";
    file.bytes = byHand;
    journal.Append(Entry(2, 12, "2"));
    EXPECT_EQ(file.bytes->substr(0, byHand.size()), byHand);
    EXPECT_EQ(FileHexagrams(), (std::vector<int>{11, 12}));

    // Changed outside while the program runs: the next entry goes after the new content.
    file.bytes = kGood;
    journal.Append(Entry(4, 14, "4"));
    EXPECT_EQ(FileHexagrams(), (std::vector<int>{11, 12, 13, 14}));
    EXPECT_EQ(journal.Entries().size(), 4u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(JournalStoreTest, ANoteGoesToItsEntryEvenWhenAReadingCameInMeanwhile) {
    journal.Append(Entry(1, 11, "1"));
    journal.Append(Entry(2, 12, "2"));
    const std::vector<JournalEntry> listed = journal.Entries();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].hexagram, 12);  // newest first

    journal.Append(Entry(3, 13, "3"));  // the display time, while the window is open
    journal.SetNote(listed[1], "Long day.\r\nWorth it.");
    const JournalContents read = ParseJournalCsv(*file.bytes);
    ASSERT_EQ(read.entries.size(), 3u);
    EXPECT_EQ(read.entries[0].note, "Long day.\r\nWorth it.");
    EXPECT_EQ(read.entries[2].note, "");

    journal.SetNote(listed[0], std::string(kJournalNoteLimit + 5, 'n'));
    EXPECT_EQ(ParseJournalCsv(*file.bytes).entries[1].note.size(), kJournalNoteLimit);
}

TEST_F(JournalStoreTest, AlikeRowsKeepTheirOwnNotesThroughAnEditOfEither) {
    file.bytes = JournalCsv({Entry(8, 40, "4", "A"), Entry(8, 40, "4", "B")});  // the same draw twice
    std::vector<JournalEntry> listed = journal.Entries();
    ASSERT_EQ(listed.size(), 2u);
    journal.SetNote(listed[1], "A +EDITED");  // the older
    listed[1].note = "A +EDITED";
    journal.SetNote(listed[1], "A +EDITED twice");
    std::vector<std::string> notes;
    for (const JournalEntry& e : ParseJournalCsv(*file.bytes).entries) notes.push_back(e.note);
    EXPECT_EQ(notes, (std::vector<std::string>{"A +EDITED twice", "B"}));
    journal.SetNote(listed[0], "B +EDITED");
    notes.clear();
    for (const JournalEntry& e : ParseJournalCsv(*file.bytes).entries) notes.push_back(e.note);
    EXPECT_EQ(notes, (std::vector<std::string>{"A +EDITED twice", "B +EDITED"}));
}

// A reading drawn while a note is typed: the entry on show is found again as the very row,
// so the window leaves its note box, the text and the caret, as they are.
TEST_F(JournalStoreTest, AReadingDrawnWhileANoteIsTypedFindsTheEntryOnShowAsItWas) {
    file.bytes = JournalCsv({Entry(8, 40, "4", "A"), Entry(8, 40, "4", "B")});
    JournalEntry shown = journal.Entries()[1];  // the older
    journal.SetNote(shown, "first note");       // saved in a pause of the typing
    shown.note = "first note";
    journal.Append(Entry(9, 41, "1"));
    const std::vector<JournalEntry> listed = journal.Entries();
    ASSERT_EQ(ListedIndex(listed, shown), 2);
    EXPECT_EQ(listed[2], shown);
    shown.note = "changed outside";
    EXPECT_EQ(ListedIndex(listed, shown), 1);  // the same reading, shown afresh
}

TEST_F(JournalStoreTest, AFileFromBeforeQuestionsGainsTheColumnsAtItsFirstWriteWithEveryNote) {
    const std::string old =
        "\xEF\xBB\xBF" "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note\r\n"
        "2026-12-01 07:00:03,11,Peace,1,46,Pushing Upward,\"first, \"\"quoted\"\"\r\nnote\"\r\n"
        "2026-12-02 07:00:03,30,The Clinging Fire,,,,second\r\n";
    file.bytes = old;
    EXPECT_EQ(journal.Entries().size(), 2u);
    EXPECT_EQ(file.bytes, old);  // only read
    journal.Append(Asked(3, "Where to?", "Coins", "789768"));
    const JournalContents read = ParseJournalCsv(*file.bytes);
    EXPECT_FALSE(read.damaged || read.outdated);
    EXPECT_EQ(read.entries, (std::vector<JournalEntry>{Entry(1, 11, "1", "first, \"quoted\"\r\nnote"),
                                                       Entry(2, 30, "", "second"), Asked(3, "Where to?", "Coins", "789768")}));
    EXPECT_TRUE(file.aside.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(JournalStoreTest, ASpreadsheetSavedJournalAndACrOnlyOneAreReadInFullThenWrittenInTheJournalsForm) {
    // Saved again by a spreadsheet program: no byte-order mark, the ANSI code page, the user's
    // own dates without seconds; one note too long for the box and one not readable in full.
    const std::string longNote(kJournalNoteLimit + 100, 'w');
    const std::string spreadsheet =
        "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note\r\n"
        "11/1/2026 7:00,46,Pushing Upward,\"4,1,6\",14,Possession in Great Measure,Caf\xE9 au lait\r\n"
        "11/2/2026 7:00:09,30,The Clinging Fire,,,,\"two\r\nlines\"\r\n"
        "2026-11-03 07:00:03,2,The Receptive,2,7,The Army," + longNote + "\r\n";
    file.bytes = spreadsheet;
    const std::vector<JournalEntry> listed = journal.Entries();
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[2].drawnAt, (LocalDateTime{{2026, 11, 1}, 7, 0, 0}));
    EXPECT_EQ(listed[2].note, "Caf\xC3\xA9 au lait");
    EXPECT_EQ(listed[1].note, "two\r\nlines");
    EXPECT_TRUE(listed[0].note == longNote);
    ASSERT_EQ(file.aside.size(), 1u);
    EXPECT_EQ(file.aside.begin()->second, spreadsheet);
    const JournalContents written = ParseJournalCsv(*file.bytes);
    EXPECT_FALSE(written.damaged);
    EXPECT_EQ(written.entries.size(), 3u);
    // Edited, the long note stays whole.
    std::string edited = longNote;
    edited.back() = '!';
    journal.SetNote(listed[0], edited);
    EXPECT_TRUE(ParseJournalCsv(*file.bytes).entries[2].note == edited);

    // Written with CR alone after every row; a note that is not UTF-8 keeps its reading.
    calendar.Set(2026, 12, 8, 12, 0, 1);
    file.bytes = "\xEF\xBB\xBF" "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note\r"
                 "2026-11-01 07:00:03,46,x,\"4,1,6\",14,x,a\r"
                 "2026-11-02 07:00:03,30,x,,,,\"b\rc\"\r"
                 "2026-11-03 07:00:03,2,x,2,7,x,caf\xE9\r";
    std::vector<std::string> notes;
    for (const JournalEntry& e : journal.Entries()) notes.push_back(e.note);
    EXPECT_EQ(notes, (std::vector<std::string>{"caf\xEF\xBF\xBD", "b\rc", "a"}));
    EXPECT_EQ(file.aside.size(), 2u);
}

TEST_F(JournalStoreTest, EntriesAreListedByTheirDatesNewestFirst) {
    file.bytes = JournalCsv({Entry(5, 11, "1"), Entry(28, 12, "2"), Entry(3, 13, "3"), Entry(6, 14, "4")});
    std::vector<int> hexagrams;
    for (const JournalEntry& e : journal.Entries()) hexagrams.push_back(e.hexagram);
    EXPECT_EQ(hexagrams, (std::vector<int>{12, 14, 11, 13}));  // the 28th is ahead of today, the 8th
}

TEST_F(JournalStoreTest, WhatALockedFileHoldsBackIsKeptBesideItAndWrittenAtTheNextStart) {
    file.bytes = kGood;
    std::vector<JournalEntry> listed = journal.Entries();
    file.unreadable = true;  // held open with no sharing, for the rest of the session
    journal.ReadingDrawn(Reading{40, "4"}, LocalDateTime{{2026, 12, 8}, 7, 0, 3});
    journal.SetNote(listed[0], "kept");
    // The draw's message waits for the controller (the reader may be presenting); the
    // note's comes at once, and it is the same cause, told once.
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(journal.HasWaitingMessages());
    calendar.Set(2026, 12, 8, 12, 0, 59);
    journal.RetryIfDue();  // within the minute: not tried
    calendar.Set(2026, 12, 8, 12, 1, 0);
    const int reads = file.reads;
    journal.RetryIfDue();
    EXPECT_EQ(file.reads, reads + 1);
    journal.Flush();  // the end of the session: still locked
    EXPECT_EQ(file.bytes, kGood);

    file.unreadable = false;
    FakeMessageBox next;
    Journal started{file, calendar, next};
    started.Flush();
    const JournalContents read = ParseJournalCsv(*file.bytes);
    ASSERT_EQ(read.entries.size(), 4u);
    EXPECT_EQ(read.entries[2].note, "kept");
    EXPECT_EQ(read.entries[3].hexagram, 40);
    EXPECT_TRUE(file.beside.empty());
    EXPECT_TRUE(next.shown.empty());
}

TEST_F(JournalStoreTest, AFileGoneFromUnderTheProgramIsNotAnEmptyJournal) {
    file.bytes = kGood;
    journal.Append(Entry(8, 40, "4"));
    file.bytes.reset();
    journal.Append(Entry(9, 41, "4"));
    EXPECT_EQ(FileHexagrams(), (std::vector<int>{11, 12, 13, 40, 41}));
}

TEST_F(JournalStoreTest, AJournalTooLargeToOpenIsLeftAsItIsAndNewReadingsAreKeptBesideIt) {
    file.bytes = kGood;
    file.tooLarge = true;
    journal.Append(Entry(8, 40, "4"));
    journal.Append(Entry(9, 41, "4"));
    EXPECT_EQ(file.writes, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("too large"), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find("C:\\Journal folder\\Journal.unsaved.csv"), std::string::npos);
    EXPECT_EQ(ParseJournalCsv(file.beside[kUnsavedRowsFileName]).entries.size(), 2u);
}

TEST(HexagramSearch, FindsByNumberOrByAnyPartOfTheName) {
    EXPECT_EQ(FindHexagrams("").size(), 64u);
    EXPECT_EQ(FindHexagrams("   ").size(), 64u);
    EXPECT_EQ(FindHexagrams(" 30 "), std::vector<int>{30});
    EXPECT_EQ(FindHexagrams("clinging"), std::vector<int>{30});
    EXPECT_EQ(FindHexagrams("GREAT"), (std::vector<int>{14, 26, 28, 34}));
    EXPECT_EQ(FindHexagrams("power of"), (std::vector<int>{9, 26, 34}));
    EXPECT_TRUE(FindHexagrams("65").empty());
    EXPECT_TRUE(FindHexagrams("0").empty());
}

// The trigram words the list shows find their hexagrams too; text nothing holds finds none.
TEST(HexagramSearch, FindsTheTrigramsShownAndNothingElse) {
    EXPECT_EQ(HexagramTrigrams(29), "Water over Water");
    EXPECT_EQ(HexagramTrigrams(46), "Earth over Wind");
    EXPECT_EQ(FindHexagrams("moun"), (std::vector<int>{4, 15, 18, 22, 23, 26, 27, 31, 33, 39, 41, 52, 53, 56, 62}));
    EXPECT_EQ(FindHexagrams("earth over wi"), std::vector<int>{46});
    EXPECT_TRUE(FindHexagrams("xyz").empty());
    EXPECT_EQ(HexagramTitle(46), "46 Pushing Upward");
}

// The Journal window shows an entry's own reading: the lines it drew and where they lead,
// and the note's first line however its line breaks were written.
TEST(JournalView, ShowsTheEntrysOwnReadingAndTheNotesFirstLine) {
    JournalEntry entry = EntryForReading(Reading{46, "4,1,6"}, LocalDateTime{{2026, 12, 8}, 7, 0, 3});
    const std::string text = EntryReadingText(entry);
    EXPECT_EQ(text.rfind(HexagramFourTexts(46), 0), 0u);
    EXPECT_NE(text.find(DescribeChangingLines(46, "4,1,6").text), std::string::npos);
    EXPECT_NE(text.find("Leading to 14 Possession in Great Measure\n" +
                        std::string(Hexagram(14).judgmentDescription)),
              std::string::npos);
    entry.changingLines.clear();
    EXPECT_EQ(EntryReadingText(entry), HexagramFourTexts(46));

    EXPECT_EQ(NoteFirstLine("Rain by noon.\r\nCalled Ana."), "Rain by noon.");
    EXPECT_EQ(NoteFirstLine("Rain\nby noon"), "Rain");
    EXPECT_EQ(NoteFirstLine("One line"), "One line");
}

}  // namespace
}  // namespace hexalune
