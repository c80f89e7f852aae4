// The program's look in one place: every color, the font face and the font sizes. A window
// names roles (the ground, a name, a link, a title); this file says what they look like.
#pragma once

namespace hexalune::theme {

// A color as Windows stores it, 0x00BBGGRR.
constexpr unsigned long Color(int red, int green, int blue) {
    return static_cast<unsigned long>(red) | static_cast<unsigned long>(green) << 8 |
           static_cast<unsigned long>(blue) << 16;
}

enum class ColorRole {
    Ground,  // the windows, frames and text boxes: light pink
    Page,    // the two views: white
    Text,    // ordinary text: black
    Name,    // a hexagram's name: red
    Link,    // a link: blue
};

constexpr unsigned long ColorOf(ColorRole role) {
    switch (role) {
        case ColorRole::Ground: return Color(255, 192, 192);
        case ColorRole::Page: return Color(255, 255, 255);
        case ColorRole::Text: return Color(0, 0, 0);
        case ColorRole::Name: return Color(255, 0, 0);
        case ColorRole::Link: return Color(0, 0, 255);
    }
    return Color(0, 0, 0);
}

// The hexagram figure: white bars on black.
inline constexpr unsigned long kFigureGround = Color(0, 0, 0);
inline constexpr unsigned long kFigureBar = Color(255, 255, 255);

inline constexpr wchar_t kFontFace[] = L"Verdana";

enum class FontRole {
    None,   // the control keeps the system's font (pictures, rules)
    Body,   // 8.25 pt
    Bold,   // 8.25 pt bold: headings, the About box's OK and promotion
    Title,  // 9.75 pt bold: titles and hexagram names in dialogs
    Link,   // 8.25 pt bold and underlined: the About box's links
};

struct FontLook {
    int hundredthsOfPoint;
    bool bold;
    bool underline;
};

constexpr FontLook FontOf(FontRole role) {
    switch (role) {
        case FontRole::Bold: return {825, true, false};
        case FontRole::Title: return {975, true, false};
        case FontRole::Link: return {825, true, true};
        case FontRole::None:
        case FontRole::Body: break;
    }
    return {825, false, false};
}

}  // namespace hexalune::theme
