#include "reading/Reading.h"

#include <array>
#include <cmath>

#include "core/BenchPhases.h"
#include "core/ValueForms.h"
#include "reading/Catalogue.h"

namespace hexalune {

int DrawWholeNumber(float r, int bound) {
    return static_cast<int>(std::floor(static_cast<double>(r) * static_cast<double>(bound))) + 1;
}

Reading DrawRandomReading(IRandom& random) {
    Reading reading;
    reading.hexagram = DrawWholeNumber(random.Next(), kHexagramCount);
    const int lineCount = DrawWholeNumber(random.Next(), 6);

    // Slot 0 stays 0, which no draw produces; slots 1..lineCount take the lines in order.
    std::array<short, 7> drawnLines{};
    for (int i = 1; i <= lineCount;) {
        const short x = static_cast<short>(DrawWholeNumber(random.Next(), 6));
        bool seen = false;
        for (int slot = 0; slot <= 5; ++slot) {
            if (drawnLines[slot] == x) {
                seen = true;
                break;
            }
        }
        if (seen) continue;  // draw again for the same line
        drawnLines[i] = x;
        ++i;
    }

    for (int i = 1; i <= lineCount; ++i) {
        if (!reading.changingLines.empty()) reading.changingLines += ',';
        reading.changingLines += std::to_string(drawnLines[i]);
    }
    return reading;
}

void ReadingService::DrawReading() {
    const LocalDateTime drawnAt = calendar_.Now();
    const Reading reading = DrawRandomReading(random_);
    HEXALUNE_PHASE("reading drawn");
    view_.ShowReading(reading.hexagram, reading.changingLines);
    settings_.WriteSetting(keys::kCard, std::to_string(reading.hexagram));
    settings_.WriteSetting(keys::kChangingLines, reading.changingLines);
    HEXALUNE_PHASE("reading stored");
    // Last, so that a journal that cannot be written leaves the reading shown and stored.
    if (log_) log_->ReadingDrawn(reading, drawnAt);
    HEXALUNE_PHASE("reading written to the journal");
}

void ReadingService::ShowStoredReading() {
    const auto hexagram = ParseWholeNumber(settings_.ReadSetting(keys::kCard), 1, kHexagramCount);
    if (!hexagram) {
        DrawReading();
        return;
    }
    const std::string lines = settings_.ReadSetting(keys::kChangingLines);
    view_.ShowReading(*hexagram, lines);
    settings_.WriteSetting(keys::kCard, std::to_string(*hexagram));
    settings_.WriteSetting(keys::kChangingLines, lines);
}

bool IsReadingDue(const std::optional<CivilDate>& stored, const CivilDate& today) {
    if (!stored) return true;
    const long days = DaysBetween(today, *stored);
    return days <= 0 || days > 1;
}

bool ReadingService::RenewReadingIfDue() {
    const CivilDate today = calendar_.Now().date;
    if (!IsReadingDue(calendar_.TextToDate(settings_.ReadSetting(keys::kDate)), today)) return false;
    settings_.WriteSetting(keys::kDate, calendar_.DateToText(AddDays(today, 1)));
    DrawReading();
    return true;
}

}  // namespace hexalune
