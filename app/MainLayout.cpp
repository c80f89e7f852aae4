#include "app/MainLayout.h"

#include "core/ControlIds.h"
#include "links/ProgramTexts.h"

namespace hexalune {

namespace {

using K = ControlKind;
constexpr TextColor kRed = TextColor::Red;
constexpr TextColor kBlue = TextColor::Blue;
constexpr TextColor kBlack = TextColor::Black;
constexpr Align kCenter = Align::Center;
constexpr Align kLeft = Align::Left;

// Containers come before their children; the order within a container is the tab order.
// The name and changing-lines labels are wider than the classic layout had them, so that
// the longest name ("Corners of the Mouth (Providing Nourishment)") and six lines fit.
const ControlSpec kLayout[] = {
    {IDC_LABEL61, 0, K::LinkLabel, kForumLinkText, 360, 120, 6600, 465, kLightPink, kBlack, kCenter},
    {IDC_FRARUNE, 0, K::Frame, "I Ching Hexagram For The Day", 60, 600, 7125, 5805, kWhite},
    {IDC_FRASETTINGS, 0, K::Frame, "Hexalune Settings", 60, 600, 7125, 5805, kWhite},
    {IDC_CMDEXIT, 0, K::Button, "&Exit", 60, 6435, 7125, 495},
    {IDC_FRAME5, 0, K::Frame, "", 60, 6960, 7125, 855},
    {IDC_LBLFULLBRAND, IDC_FRAME5, K::LinkLabel, kFullBrandLinkText, 120, 160, 6945, 615, kLightPink, kBlue, kCenter},
    {IDC_LBLCOBRAND, IDC_FRAME5, K::LinkLabel, kCoBrandLinkText, 120, 160, 6945, 615, kLightPink, kBlue, kCenter},

    // Hexagram view
    {IDC_PICCARD, IDC_FRARUNE, K::Figure, "", 3000, 360, 1215, 1155},
    {IDC_LBLCARDNAME, IDC_FRARUNE, K::Label, "", 240, 1560, 6645, 210, kWhite, kRed, kCenter},
    {IDC_SHAPE1, IDC_FRARUNE, K::Shape, "", 120, 240, 6885, 1575},
    {IDC_SHAPE3, IDC_FRARUNE, K::Shape, "", 120, 1800, 6885, 3405},
    {IDC_PICTURE1, IDC_FRARUNE, K::Panel, "", 120, 1800, 6855, 3375},
    {IDC_LABEL10, IDC_PICTURE1, K::Label, "Changing Lines", 120, 60, 1470, 195},
    {IDC_LBLCHANGINGLINES, IDC_PICTURE1, K::Label, "", 1680, 60, 1500, 195},
    {IDC_LABEL3, IDC_PICTURE1, K::Label, "Judgment Description", 120, 360, 2115, 195},
    {IDC_TXTJUDGMENTDESCRIPTION, IDC_PICTURE1, K::TextBox, "", 120, 600, 3255, 1215},
    {IDC_LABEL9, IDC_PICTURE1, K::Label, "Image Description", 3480, 360, 1800, 195},
    {IDC_TXTIMAGEDESCRIPTION, IDC_PICTURE1, K::TextBox, "", 3480, 600, 3255, 1215},
    {IDC_LABEL4, IDC_PICTURE1, K::Label, "Judgment Poem", 120, 1800, 1545, 195},
    {IDC_TXTJUDGMENTPOEM, IDC_PICTURE1, K::TextBox, "", 120, 2040, 3255, 1215},
    {IDC_LABEL8, IDC_PICTURE1, K::Label, "Image Poem", 3480, 1800, 1230, 195},
    {IDC_TXTIMAGEPOEM, IDC_PICTURE1, K::TextBox, "", 3480, 2040, 3255, 1215},
    {IDC_CMDSETTINGS, IDC_FRARUNE, K::Button, "&Settings", 120, 5240, 6885, 495},

    // Settings view
    {IDC_SETTINGSLABEL1, IDC_FRASETTINGS, K::Label,
     "Let Hexalune show your lucky Hexagram for the day! Set the date and time settings here.", 480, 240, 6120, 495,
     kWhite},
    {IDC_PICCARD2, IDC_FRASETTINGS, K::Figure, "", 3008, 1200, 1215, 1155},
    {IDC_SHAPE2, IDC_FRASETTINGS, K::Shape, "", 120, 840, 6885, 1815},
    {IDC_SHAPE4, IDC_FRASETTINGS, K::Shape, "", 120, 2640, 6885, 3165},
    {IDC_PICTURE2, IDC_FRASETTINGS, K::Panel, "", 120, 2640, 6855, 3135},
    {IDC_FRAME4, IDC_PICTURE2, K::Frame, "Display Time", 120, 120, 6480, 975},
    {IDC_LABEL5, IDC_FRAME4, K::Label, "Hour", 600, 240, 1200, 195},
    {IDC_CBOHOUR, IDC_FRAME4, K::ComboList, "", 600, 480, 1200, 315},
    {IDC_LABEL7, IDC_FRAME4, K::Label, "Minute", 2640, 240, 1200, 195},
    {IDC_CBOMINUTE, IDC_FRAME4, K::ComboList, "", 2640, 480, 1200, 315},
    {IDC_LABEL6, IDC_FRAME4, K::Label, "Second", 4680, 240, 1200, 195},
    {IDC_CBOSECOND, IDC_FRAME4, K::ComboList, "", 4680, 480, 1200, 315},
    {IDC_FRAME3, IDC_PICTURE2, K::Frame, "Display Mode", 120, 1200, 6480, 1095},
    {IDC_OPTRUN, IDC_FRAME3, K::Option, "Run at start-up", 360, 300, 2700, 255},
    {IDC_OPTDONTRUN, IDC_FRAME3, K::Option, "Don't run at start-up", 3480, 300, 2880, 255},
    {IDC_CHKSYSTRAY, IDC_FRAME3, K::CheckBox, "Start at system tray", 720, 660, 2880, 255},
    {IDC_CMDCALCULATEMOONPHASE, IDC_PICTURE2, K::Button, "Show &I Ching Hexagram", 120, 2400, 6615, 615},

    // Below the visible area: used by the code, never seen.
    {IDC_FRAME6, 0, K::Frame, "Display Session", 60, 8040, 7125, 735},
    {IDC_OPTDISPLAYOPTION1, IDC_FRAME6, K::Option, "Display every 24 hours", 120, 300, 3300, 255},
    {IDC_OPTDISPLAYOPTION2, IDC_FRAME6, K::Option, "Display every 1 hour", 3600, 300, 3300, 255},
    {IDC_CBODATE, 0, K::ComboList, "", 60, 8880, 1200, 315},
    {IDC_CBOMONTH, 0, K::ComboList, "", 1320, 8880, 1800, 315},
    {IDC_CBOYEAR, 0, K::ComboList, "", 3180, 8880, 1200, 315},
    {IDC_PICHOOK, 0, K::Hook, "", 4440, 8880, 480, 480},
};

}  // namespace

std::span<const ControlSpec> MainLayout() { return kLayout; }

const ControlSpec* FindControl(int id) {
    for (const ControlSpec& item : kLayout) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

}  // namespace hexalune
