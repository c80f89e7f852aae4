#include "core/WindowPlace.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace hexalune {

namespace {

// How much of the caption must lie on a monitor for the user to take hold of it.
constexpr int kReachable = 40;  // pixels
constexpr int kCaption = 20;

long long Gap(int low, int high, int areaLow, int areaHigh) {
    if (high <= areaLow) return areaLow - high;
    if (low >= areaHigh) return low - areaHigh;
    return 0;
}

}  // namespace

std::string WindowPlaceText(const WindowPlace& place) {
    const ScreenRect& r = place.rect;
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom) + " " + std::to_string(place.dpi);
}

std::optional<WindowPlace> ParseWindowPlace(const std::string& text) {
    WindowPlace place;
    ScreenRect& r = place.rect;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d %d %d %d %d %c", &r.left, &r.top, &r.right, &r.bottom, &place.dpi, &rest) != 5)
        return std::nullopt;
    if (r.right <= r.left || r.bottom <= r.top || place.dpi < 48 || place.dpi > 960) return std::nullopt;
    return place;
}

ScreenRect KeepWithinReach(const ScreenRect& place, std::span<const ScreenRect> workAreas) {
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const ScreenRect* nearest = nullptr;
    long long nearestGap = LLONG_MAX;
    for (const ScreenRect& area : workAreas) {
        // The caption strip, at the window's top.
        const int across = std::min(place.right, area.right) - std::max(place.left, area.left);
        const int down = std::min(place.top + kCaption, area.bottom) - std::max(place.top, area.top);
        if (across >= std::min(kReachable, width) && down > 0) return place;
        const long long dx = Gap(place.left, place.right, area.left, area.right);
        const long long dy = Gap(place.top, place.bottom, area.top, area.bottom);
        if (dx * dx + dy * dy < nearestGap) {
            nearestGap = dx * dx + dy * dy;
            nearest = &area;
        }
    }
    if (!nearest) return place;
    const ScreenRect& area = *nearest;
    const int w = std::min(width, area.right - area.left);
    const int h = std::min(height, area.bottom - area.top);
    const int left = std::clamp(place.left, area.left, area.right - w);
    const int top = std::clamp(place.top, area.top, area.bottom - h);
    return {left, top, left + w, top + h};
}

}  // namespace hexalune
