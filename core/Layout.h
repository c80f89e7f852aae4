// A window's controls as data: what each is, where it sits in its container (in twips), and
// how it looks. Every window of the program is made from a table of these by one factory
// (core/win32/WindowKit.h), which also lays it out again for another DPI.
#pragma once

#include <span>

#include "core/Theme.h"
#include "core/Twips.h"

namespace hexalune {

enum class ControlKind {
    Frame,          // container with a caption drawn as a group box (no caption: a plain border)
    Panel,          // container without border, holding other controls
    Label,
    LinkLabel,      // label that opens a web page on a single click, with the hand pointer
    KeyboardLink,   // a link that also takes the keyboard focus and opens on Enter
    Button,
    DefaultButton,  // a dialog's button that Enter presses
    Figure,         // a hexagram picture, or any picture the window paints itself
    TextBox,        // multi-line, read-only reading text
    SearchBox,      // one line the user types into
    List,           // a list box to choose one item from
    Table,          // rows in columns, one chosen at a time; the window gives each cell's text on demand
    NoteBox,        // multi-line text the user writes: Enter starts a new line
    Shape,          // outline rectangle
    Rule,           // etched line across; two pixels high whatever its height
    ComboList,      // drop-down selection list; its height is the open list's
    Option,         // option (radio) button
    CheckBox,
    Hook,           // invisible receiver of messages meant for the window (the tray icon's)
};

enum class Align { Left, Center };

// Flags of a control.
inline constexpr unsigned kHidden = 1;        // made, never shown
inline constexpr unsigned kStartsGroup = 2;   // starts a group of its own (arrow keys stop here)
inline constexpr unsigned kSetByProgram = 4;  // an option the program checks itself, on every real change
// How a control of a window the user can resize takes the room gained over its laid-out size.
inline constexpr unsigned kFollowsRight = 8;   // keeps its distance to the right edge
inline constexpr unsigned kFollowsBottom = 16; // keeps its distance to the bottom edge
inline constexpr unsigned kGrowsWide = 32;     // its width takes the extra width
inline constexpr unsigned kGrowsTall = 64;     // its height takes the extra height

using theme::ColorRole;
using theme::FontRole;

struct ControlSpec {
    int id;
    int parent;  // 0 = the window itself
    ControlKind kind;
    const char* caption;
    int left, top, width, height;  // twips, relative to the container
    ColorRole ground = ColorRole::Ground;  // a container's or text box's own ground
    ColorRole text = ColorRole::Text;
    Align align = Align::Left;
    FontRole font = FontRole::Body;
    unsigned flags = 0;
};

// Short names for the layout tables: `using namespace layout_names;` in a window's file.
namespace layout_names {
using K = ControlKind;
inline constexpr ColorRole kGround = ColorRole::Ground;
inline constexpr ColorRole kPage = ColorRole::Page;
inline constexpr ColorRole kText = ColorRole::Text;
inline constexpr ColorRole kName = ColorRole::Name;
inline constexpr ColorRole kLinkColor = ColorRole::Link;
inline constexpr Align kLeft = Align::Left;
inline constexpr Align kCenter = Align::Center;
}  // namespace layout_names

// Whether the control's top-level container starts at or below `clientHeightTwips`: then it
// lies outside the window's client area, where the code uses it and nobody sees it.
bool IsBelowClientArea(std::span<const ControlSpec> layout, const ControlSpec& item, int clientHeightTwips);

}  // namespace hexalune
