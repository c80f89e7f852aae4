// Where a window the user sizes opens again: its remembered place, kept in reach.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace hexalune {

// A rectangle in screen pixels; right and bottom lie just outside it.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// A window's remembered place, with the DPI it had then.
struct WindowPlace {
    ScreenRect rect;
    int dpi = 96;
};

// "left top right bottom dpi", as stored; nothing for any other text or an empty rectangle.
std::string WindowPlaceText(const WindowPlace& place);
std::optional<WindowPlace> ParseWindowPlace(const std::string& text);

// A remembered place on the monitors there are now (their work areas). It stays where it is
// while its caption can be reached on one of them; else it goes onto the nearest one, whole,
// and no larger than that work area.
ScreenRect KeepWithinReach(const ScreenRect& place, std::span<const ScreenRect> workAreas);

}  // namespace hexalune
