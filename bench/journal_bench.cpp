// Time to open a journal of ten years, with the program's own journal code and file.
//
// Writes a journal of 3,650 entries (one reading a day for ten years), each with a note of
// up to 800 characters (commas, quotes, line breaks, accented letters among them), where the
// program keeps the journal for an executable of this name:
// %APPDATA%\Hexalune\journal_bench\Journal.csv. Then times, each over several runs with a
// fresh Journal as a new process would have it:
//   open            Journal::Entries(): the whole file read and parsed (what the Journal window does)
//   startup append  Journal::Append() of a first reading in a process: read, parse, write, replace
//   later append    a second Append() in the same process: read, compare, write, replace
//   set note        Journal::SetNote(): the whole file written anew
// and the parts of an open on their own (reading the file, parsing it). The same open is
// timed once more with every note at the 4,000-character limit, and the processor time of
// one open is taken over opens one after another.
//
// With --rows N it measures one journal of N entries instead, in a process of its own: the
// time of an open and the memory it takes (working set above the process's before it, at the
// peak and once open with the entries listed, as the Journal window holds them), then the peak
// above that while a note is saved.
//
// Usage: journal_bench [--runs N] [--out FILE]
//        journal_bench --rows N [--out FILE]
// FILE receives key=value lines (appended with --rows); the same lines go to standard output.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Timing.h"
#include "core/win32/Win32Platform.h"
#include "reading/Journal.h"
#include "reading/win32/JournalFile.h"

namespace {

using namespace hexalune;
using namespace hexalune::win32;
using namespace hexalune::bench;

double Max(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

class CountingMessages final : public IMessageBox {
public:
    MsgAnswer ShowMessage(const std::string& text, const std::string&, MsgButtons, MsgIcon) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        ++shown;
        return MsgAnswer::Ok;
    }
    int shown = 0;
};

// A note of `length` characters made of words, with a comma, a quote or a line break now and then.
std::string Note(unsigned& seed, std::size_t length) {
    static const char* const kWords[] = {"the", "morning", "was", "quiet,", "\"steady\"", "caf\xC3\xA9", "work",
                                         "waited", "friend", "rain.", "and", "it", "\r\n", "went", "well"};
    std::string note;
    while (note.size() < 2 * length + 8) {  // at least `length` characters
        seed = seed * 1103515245U + 12345U;
        note += kWords[(seed >> 16) % (sizeof(kWords) / sizeof(kWords[0]))];
        note += ' ';
    }
    return CutToUtf16Length(note, length);
}

std::vector<JournalEntry> Days(int count, bool longestNotes) {
    std::vector<JournalEntry> entries;
    unsigned seed = 18;
    const long firstDay = DaysFromCivil(CivilDate{2016, 12, 8});
    for (int day = 0; day < count; ++day) {
        seed = seed * 1103515245U + 12345U;
        const int hexagram = static_cast<int>((seed >> 16) % 64) + 1;
        const std::string lines = std::to_string((seed >> 8) % 6 + 1) + "," + std::to_string((seed >> 4) % 6 + 1);
        JournalEntry entry =
            EntryForReading(Reading{hexagram, lines[0] == lines[2] ? lines.substr(0, 1) : lines},
                            LocalDateTime{CivilFromDays(firstDay + day), 7, 0, static_cast<int>(seed % 60)});
        entry.note = Note(seed, longestNotes ? kJournalNoteLimit : (seed >> 20) % 801);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<JournalEntry> TenYears(bool longestNotes) { return Days(3650, longestNotes); }

// The process's working set now and at its peak, in MB.
std::pair<double, double> MemoryMb() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return {counters.WorkingSetSize / 1048576.0, counters.PeakWorkingSetSize / 1048576.0};
}

int MeasureRows(int rows, const std::wstring& outPath) {
    const std::wstring path = JournalPath(ExecutableBaseName());
    JournalFile file(path);
    Win32Calendar calendar;
    CountingMessages messages;
    std::size_t bytes = 0;
    {
        const std::string csv = JournalCsv(Days(rows, false));
        bytes = csv.size();
        if (!ReplaceFileContents(path, csv, {}, true)) return 1;
    }
    const double before = MemoryMb().first;
    Journal journal(file, calendar, messages);
    double t = NowMs();
    const std::vector<JournalEntry> entries = journal.Entries();
    const double openMs = NowMs() - t;
    const auto [open, openPeak] = MemoryMb();
    t = NowMs();
    journal.SetNote(entries[entries.size() / 2], "A note set in the benchmark, \"quoted\".");
    const double noteMs = NowMs() - t;
    const double notePeak = MemoryMb().second;
    DeleteFileW(path.c_str());
    if (entries.size() != static_cast<std::size_t>(rows) || messages.shown != 0) return 1;

    char text[1024];
    std::snprintf(text, sizeof(text),
                  "journal_%d_bytes=%zu\njournal_%d_open_ms=%.1f\njournal_%d_open_peak_mb=%.1f\n"
                  "journal_%d_open_held_mb=%.1f\njournal_%d_set_note_ms=%.1f\njournal_%d_set_note_peak_mb=%.1f\n",
                  rows, bytes, rows, openMs, rows, openPeak - before, rows, open - before, rows, noteMs, rows,
                  notePeak > openPeak ? notePeak - open : 0.0);
    std::fputs(text, stdout);
    if (!outPath.empty()) {
        FILE* out = _wfopen(outPath.c_str(), L"a");
        if (!out) return 2;
        std::fputs(text, out);
        std::fclose(out);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = 20;
    int rows = 0;
    std::wstring outPath;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--runs" && i + 1 < argc) {
            runs = _wtoi(argv[++i]);
        } else if (arg == L"--rows" && i + 1 < argc) {
            rows = _wtoi(argv[++i]);
        } else if (arg == L"--out" && i + 1 < argc) {
            outPath = argv[++i];
        } else {
            std::fprintf(stderr, "usage: journal_bench [--runs N | --rows N] [--out FILE]\n");
            return 2;
        }
    }
    if (rows > 0) return MeasureRows(rows, outPath);
    if (runs < 1) return 2;

    const std::wstring path = JournalPath(ExecutableBaseName());
    JournalFile file(path);
    Win32Calendar calendar;
    CountingMessages messages;
    const std::string tenYears = JournalCsv(TenYears(false));
    const std::string tenYearsLongest = JournalCsv(TenYears(true));
    const Reading reading{46, "4,1,6"};

    std::vector<double> openMs, readMs, parseMs, startupAppendMs, laterAppendMs, setNoteMs, longestOpenMs;
    std::size_t listed = 0;
    for (int run = 0; run <= runs; ++run) {  // run 0 warms the caches and is not counted
        if (!ReplaceFileContents(path, tenYears, {}, true)) {
            std::fprintf(stderr, "the journal could not be written to %ls\n", path.c_str());
            return 1;
        }
        double t = NowMs();
        std::string bytes;
        file.ReadAll(bytes);
        const double read = NowMs() - t;
        t = NowMs();
        const JournalContents contents = ParseJournalCsv(bytes);
        const double parse = NowMs() - t;
        if (contents.damaged || contents.entries.size() != 3650) {
            std::fprintf(stderr, "the journal did not read back whole\n");
            return 1;
        }

        Journal opened(file, calendar, messages);
        t = NowMs();
        const std::vector<JournalEntry> entries = opened.Entries();
        const double open = NowMs() - t;
        listed = entries.size();

        Journal started(file, calendar, messages);
        t = NowMs();
        started.ReadingDrawn(reading, calendar.Now());
        const double startupAppend = NowMs() - t;
        t = NowMs();
        started.ReadingDrawn(reading, calendar.Now());
        const double laterAppend = NowMs() - t;
        t = NowMs();
        started.SetNote(entries[entries.size() / 2], "A note set in the benchmark, \"quoted\".");
        const double setNote = NowMs() - t;

        ReplaceFileContents(path, tenYearsLongest);
        Journal longest(file, calendar, messages);
        t = NowMs();
        const std::size_t longestListed = longest.Entries().size();
        const double longestOpen = NowMs() - t;
        if (listed != 3650 || longestListed != 3650) {
            std::fprintf(stderr, "the journal listed %zu and %zu entries, not 3,650\n", listed, longestListed);
            return 1;
        }
        if (run == 0) continue;
        openMs.push_back(open);
        readMs.push_back(read);
        parseMs.push_back(parse);
        startupAppendMs.push_back(startupAppend);
        laterAppendMs.push_back(laterAppend);
        setNoteMs.push_back(setNote);
        longestOpenMs.push_back(longestOpen);
    }
    // Opens one after another, for the processor time of one (the clock's steps are too coarse
    // for a single open, and wall time on a busy machine counts other programs' turns too).
    ReplaceFileContents(path, tenYears);
    const double cpuStart = ThreadMs();
    const double wallStart = NowMs();
    for (int run = 0; run < runs; ++run) {
        Journal opened(file, calendar, messages);
        if (opened.Entries().size() != 3650) return 1;
    }
    const double openCpuMs = (ThreadMs() - cpuStart) / runs;
    const double openBatchMs = (NowMs() - wallStart) / runs;
    DeleteFileW(path.c_str());

    char text[2048];
    std::snprintf(text, sizeof(text),
                  "journal_runs=%d\njournal_entries=%zu\njournal_bytes=%zu\njournal_longest_bytes=%zu\n"
                  "journal_open_ms_median=%.2f\njournal_open_ms_max=%.2f\n"
                  "journal_read_ms_median=%.2f\njournal_parse_ms_median=%.2f\n"
                  "journal_startup_append_ms_median=%.2f\njournal_later_append_ms_median=%.2f\n"
                  "journal_set_note_ms_median=%.2f\njournal_longest_open_ms_median=%.2f\n"
                  "journal_open_cpu_ms_mean=%.2f\njournal_open_batch_ms_mean=%.2f\njournal_messages=%d\n",
                  runs, listed, tenYears.size(), tenYearsLongest.size(), Median(openMs), Max(openMs), Median(readMs),
                  Median(parseMs), Median(startupAppendMs), Median(laterAppendMs), Median(setNoteMs),
                  Median(longestOpenMs), openCpuMs, openBatchMs, messages.shown);
    std::fputs(text, stdout);
    if (!outPath.empty()) {
        FILE* out = _wfopen(outPath.c_str(), L"w");
        if (!out) return 2;
        std::fputs(text, out);
        std::fclose(out);
    }
    return messages.shown == 0 ? 0 : 1;
}
