#include "app/MainLayout.h"

#include "core/ControlIds.h"
#include "links/ProgramTexts.h"

namespace hexalune {

namespace {

using namespace layout_names;
constexpr FontRole kBody = FontRole::Body;

// Containers come before their children; the order within a container is the tab order.
// The name and changing-lines labels are wide enough for the longest name ("Corners of the
// Mouth (Providing Nourishment)") and for six lines.
const ControlSpec kLayout[] = {
    {IDC_FORUM_LINK, 0, K::LinkLabel, kForumLinkText, 360, 120, 6600, 465, kGround, kText, kCenter},
    {IDC_READING_VIEW, 0, K::Frame, "I Ching Hexagram For The Day", 60, 600, 7125, 5805, kPage},
    {IDC_SETTINGS_VIEW, 0, K::Frame, "Hexalune Settings", 60, 600, 7125, 5805, kPage},
    {IDC_EXIT_BUTTON, 0, K::Button, "&Exit", 60, 6435, 7125, 495},
    {IDC_BRANDING_FRAME, 0, K::Frame, "", 60, 6960, 7125, 855},
    // The full-branding line lies behind the co-branding one on the same spot: never seen, so
    // it must not take the clicks either.
    {IDC_FULLBRAND_LINK, IDC_BRANDING_FRAME, K::LinkLabel, kFullBrandLinkText, 120, 160, 6945, 615, kGround, kLinkColor,
     kCenter, kBody, kHidden},
    {IDC_COBRAND_LINK, IDC_BRANDING_FRAME, K::LinkLabel, kCoBrandLinkText, 120, 160, 6945, 615, kGround, kLinkColor, kCenter},

    // Hexagram view
    {IDC_HEXAGRAM_FIGURE, IDC_READING_VIEW, K::Figure, "", 3000, 360, 1215, 1155},
    {IDC_HEXAGRAM_NAME, IDC_READING_VIEW, K::Label, "", 240, 1560, 6645, 210, kPage, kName, kCenter},
    {IDC_FIGURE_OUTLINE, IDC_READING_VIEW, K::Shape, "", 120, 240, 6885, 1575},
    {IDC_TEXTS_OUTLINE, IDC_READING_VIEW, K::Shape, "", 120, 1800, 6885, 3405},
    {IDC_TEXTS_PANEL, IDC_READING_VIEW, K::Panel, "", 120, 1800, 6855, 3375},
    {IDC_CHANGING_LINES_LABEL, IDC_TEXTS_PANEL, K::Label, "Changing Lines", 120, 60, 1470, 195},
    {IDC_CHANGING_LINES, IDC_TEXTS_PANEL, K::KeyboardLink, "", 1680, 60, 1500, 195, kGround, kLinkColor},
    {IDC_JUDGMENT_DESCRIPTION_LABEL, IDC_TEXTS_PANEL, K::Label, "Judgment Description", 120, 360, 2115, 195},
    {IDC_JUDGMENT_DESCRIPTION, IDC_TEXTS_PANEL, K::TextBox, "", 120, 600, 3255, 1215},
    {IDC_IMAGE_DESCRIPTION_LABEL, IDC_TEXTS_PANEL, K::Label, "Image Description", 3480, 360, 1800, 195},
    {IDC_IMAGE_DESCRIPTION, IDC_TEXTS_PANEL, K::TextBox, "", 3480, 600, 3255, 1215},
    {IDC_JUDGMENT_POEM_LABEL, IDC_TEXTS_PANEL, K::Label, "Judgment Poem", 120, 1800, 1545, 195},
    {IDC_JUDGMENT_POEM, IDC_TEXTS_PANEL, K::TextBox, "", 120, 2040, 3255, 1215},
    {IDC_IMAGE_POEM_LABEL, IDC_TEXTS_PANEL, K::Label, "Image Poem", 3480, 1800, 1230, 195},
    {IDC_IMAGE_POEM, IDC_TEXTS_PANEL, K::TextBox, "", 3480, 2040, 3255, 1215},
    {IDC_SETTINGS_BUTTON, IDC_READING_VIEW, K::Button, "&Settings", 120, 5240, 6885, 495},

    // Settings view
    {IDC_SETTINGS_INTRO, IDC_SETTINGS_VIEW, K::Label,
     "Let Hexalune show your lucky Hexagram for the day! Set the date and time settings here.", 480, 240, 6120, 495,
     kPage},
    {IDC_SETTINGS_FIGURE, IDC_SETTINGS_VIEW, K::Figure, "", 3008, 1200, 1215, 1155},
    {IDC_SETTINGS_FIGURE_OUTLINE, IDC_SETTINGS_VIEW, K::Shape, "", 120, 840, 6885, 1815},
    {IDC_SETTINGS_OUTLINE, IDC_SETTINGS_VIEW, K::Shape, "", 120, 2640, 6885, 3165},
    {IDC_SETTINGS_PANEL, IDC_SETTINGS_VIEW, K::Panel, "", 120, 2640, 6855, 3135},
    {IDC_DISPLAY_TIME_FRAME, IDC_SETTINGS_PANEL, K::Frame, "Display Time", 120, 120, 6480, 975},
    {IDC_HOUR_LABEL, IDC_DISPLAY_TIME_FRAME, K::Label, "Hour", 600, 240, 1200, 195},
    {IDC_HOUR_LIST, IDC_DISPLAY_TIME_FRAME, K::ComboList, "", 600, 480, 1200, 315},
    {IDC_MINUTE_LABEL, IDC_DISPLAY_TIME_FRAME, K::Label, "Minute", 2640, 240, 1200, 195},
    {IDC_MINUTE_LIST, IDC_DISPLAY_TIME_FRAME, K::ComboList, "", 2640, 480, 1200, 315},
    {IDC_SECOND_LABEL, IDC_DISPLAY_TIME_FRAME, K::Label, "Second", 4680, 240, 1200, 195},
    {IDC_SECOND_LIST, IDC_DISPLAY_TIME_FRAME, K::ComboList, "", 4680, 480, 1200, 315},
    {IDC_START_OPTIONS, IDC_SETTINGS_PANEL, K::Frame, "Display Mode", 120, 1200, 6480, 1095},
    // Set by the program itself, so that it sees every real change of the choice.
    {IDC_RUN_AT_STARTUP, IDC_START_OPTIONS, K::Option, "Run at start-up", 360, 300, 2700, 255, kGround, kText,
     Align::Left, kBody, kSetByProgram},
    {IDC_DONT_RUN_AT_STARTUP, IDC_START_OPTIONS, K::Option, "Don't run at start-up", 3480, 300, 2880, 255, kGround,
     kText, Align::Left, kBody, kSetByProgram},
    {IDC_START_IN_TRAY, IDC_START_OPTIONS, K::CheckBox, "Start at system tray", 720, 660, 2880, 255},
    {IDC_SHOW_HEXAGRAM_BUTTON, IDC_SETTINGS_PANEL, K::Button, "Show &I Ching Hexagram", 120, 2400, 6615, 615},

    // Below the visible area, never seen and never reached with the keyboard: the display
    // options, which do nothing, keep the window's behaviour whole; the hook receives the tray
    // icon's messages. (The day, month and year lists, which only the date check reads, are
    // lists in memory with no window: see MainWindow.)
    {IDC_DISPLAY_SESSION_FRAME, 0, K::Frame, "Display Session", 60, 8040, 7125, 735},
    {IDC_DISPLAY_DAILY, IDC_DISPLAY_SESSION_FRAME, K::Option, "Display every 24 hours", 120, 300, 3300, 255},
    {IDC_DISPLAY_HOURLY, IDC_DISPLAY_SESSION_FRAME, K::Option, "Display every 1 hour", 3600, 300, 3300, 255},
    {IDC_TRAY_HOOK, 0, K::Hook, "", 4440, 8880, 480, 480},
};

}  // namespace

std::span<const ControlSpec> MainLayout() { return kLayout; }

bool IsBelowClientArea(const ControlSpec& item) { return IsBelowClientArea(kLayout, item, kClientHeightTwips); }

}  // namespace hexalune
