// The main window's controls as data, from which the Win32 window builds itself.
#pragma once

#include <span>

#include "core/Layout.h"

namespace hexalune {

// Client area of the main window in twips.
inline constexpr int kClientWidthTwips = 7230;
inline constexpr int kClientHeightTwips = 7845;

std::span<const ControlSpec> MainLayout();
// Whether the control lies below the window's client area (in a container that does): the
// code uses it, nobody sees it.
bool IsBelowClientArea(const ControlSpec& item);

}  // namespace hexalune
