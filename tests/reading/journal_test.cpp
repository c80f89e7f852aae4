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

const std::vector<JournalEntry> kAwkwardNotes = {
    Entry(1, 46, "4,1,6", "Commas, \"quotes\", and \"\"doubled\"\" ones"),
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
              "Drawn at,Hexagram,Hexagram name,Changing lines,Leading to,Leading to name,Note\r\n"
              "2026-12-08 07:00:03,46,Pushing Upward,\"4,1,6\",14,Possession in Great Measure,\"Rain, then sun\"\r\n");
    EXPECT_EQ(JournalCsvRow(Entry(8, 30, "")), "2026-12-08 07:00:03,30,The Clinging Fire,,,,\r\n");
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
        DamageCase{"NotUtf8", Replaced(kGood, ",b\r", ",caf\xE9\r"), {11, 13}},
        DamageCase{"QuoteLeftOpen", Replaced(kGood, ",a\r", ",\"a\r"), {12, 13}},
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
    EXPECT_EQ(file.aside["Journal-20261208-070003.bad.csv"], broken);
    ASSERT_EQ(messages.shown.size(), 2u);  // where the copy is, and that the journal cannot be saved
    EXPECT_NE(messages.shown[0].text.find("C:\\Journal folder\\Journal-20261208-070003.bad.csv"), std::string::npos);
    EXPECT_EQ(file.bytes, broken);

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
    file.aside["Journal-20261208-120000.bad.csv"] = "an earlier copy, same second";
    journal.Append(Entry(8, 40, "4"));
    journal.Append(Entry(9, 41, "4"));
    EXPECT_EQ(file.bytes, broken);
    EXPECT_EQ(file.aside["Journal-20261208-120000.bad.csv"], "an earlier copy, same second");
    EXPECT_EQ(messages.shown.size(), 1u);  // that it cannot be saved, once

    // The copy aside and the clean file come with the first write that can be made.
    calendar.Set(2026, 12, 8, 12, 0, 1);
    journal.Append(Entry(10, 42, "4"));
    EXPECT_EQ(file.aside["Journal-20261208-120001.bad.csv"], broken);
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
    JournalEntry entry{{{2026, 12, 8}, 7, 0, 3}, 46, "4,1,6", 14, ""};
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
