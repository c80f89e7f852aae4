// Drawing, showing, keeping and renewing the reading of the day.
#pragma once

#include <string>

#include "core/Platform.h"
#include "core/SettingsStore.h"

namespace hexalune {

struct Reading {
    int hexagram = 1;               // hexagram number, 1..64
    std::string changingLines;  // e.g. "4,1,6": distinct lines 1..6 in the order drawn
};

// floor(r * bound) + 1 with the product in double precision, so that the largest
// single-precision r below 1 still gives at most `bound`.
int DrawWholeNumber(float r, int bound);

// Draws a hexagram, the number of changing lines, then the lines themselves,
// redrawing any line already drawn.
Reading DrawRandomReading(IRandom& random);

// The window's controls that show a reading: both pictures, the name, the four
// texts and the changing lines.
class IReadingView {
public:
    virtual ~IReadingView() = default;
    virtual void ShowReading(int hexagram, const std::string& changingLines) = 0;
};

// Told of every reading drawn, at the moment it is drawn (the journal).
class IReadingLog {
public:
    virtual ~IReadingLog() = default;
    virtual void ReadingDrawn(const Reading& reading, const LocalDateTime& at) = 0;
};

class ReadingService {
public:
    ReadingService(ISettingsStore& settings, const ICalendar& calendar, IRandom& random, IReadingView& view,
                   IReadingLog* log = nullptr)
        : settings_(settings), calendar_(calendar), random_(random), view_(view), log_(log) {}

    // Draws a new reading, shows it, stores Card and ChangingLines, then tells the log.
    void DrawReading();
    // Shows the stored reading and writes it back. A stored Card that is no hexagram
    // number (edited by hand, or missing) draws a new reading instead.
    void ShowStoredReading();
    // When a reading is due, stores tomorrow as Date and draws; returns whether it drew.
    bool RenewReadingIfDue();

private:
    ISettingsStore& settings_;
    const ICalendar& calendar_;
    IRandom& random_;
    IReadingView& view_;
    IReadingLog* log_;
};

// Whether a new reading is due on `today` given the stored Date text. The program only
// ever stores today or tomorrow, so a date further ahead (clock set back, hand edit,
// other regional settings) is due as well, and so is a text that is no date.
bool IsReadingDue(const std::optional<CivilDate>& stored, const CivilDate& today);

}  // namespace hexalune
