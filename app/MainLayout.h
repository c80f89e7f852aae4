// The main window's controls as data: kind, container, caption and rectangle in twips
// (1440 per inch; 15 per pixel at 96 DPI). The Win32 window builds itself from this table.
#pragma once

#include <span>

#include "core/LayoutUnits.h"

namespace hexalune {

enum class ControlKind {
    Frame,       // container with a caption drawn as a group box (no caption: a plain border)
    Panel,       // container without border ("picture box" holding other controls)
    Label,
    LinkLabel,   // label that opens a web page on a single click, with the hand pointer
    Button,
    Figure,      // the hexagram picture
    TextBox,     // multi-line, read-only reading text
    Shape,       // outline rectangle
    ComboList,   // drop-down selection list
    Option,      // option button
    CheckBox,
    Hook,        // invisible receiver of the tray icon's messages
    KeyboardLink,  // a link that also takes the keyboard focus and opens on Enter or Space
};

enum class TextColor { Black, Red, Blue };
enum class Align { Left, Center };

struct ControlSpec {
    int id;
    int parent;  // 0 = the window itself
    ControlKind kind;
    const char* caption;
    int left, top, width, height;  // twips, relative to the container
    unsigned long background = kLightPink;  // containers, text boxes
    TextColor color = TextColor::Black;
    Align align = Align::Left;
};

// Client area of the main window in twips.
inline constexpr int kClientWidthTwips = 7230;
inline constexpr int kClientHeightTwips = 7845;

std::span<const ControlSpec> MainLayout();
const ControlSpec* FindControl(int id);
// Whether the control lies below the window's client area (in a container that does): the
// code uses it, nobody sees it.
bool IsBelowClientArea(const ControlSpec& item);

}  // namespace hexalune
