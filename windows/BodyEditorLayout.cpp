// Layouts of the body dialog and the craft dialog. Both share the top part
// (name, position, velocity, radius, mass, parent); labels are static texts
// numbered from 100 so they never meet the working items.
#include "windows/BodyEditor.h"

namespace {

// Columns: labels, latitude, longitude, mantissa, "x 10^", exponent, unit buttons. A number
// field holds the longest text the fields show (sign, 4 digits, point, 12 decimals) whole.
constexpr int16_t kFieldWidth = 136;
constexpr int16_t kLabelL = 16, kLabelR = 100;
constexpr int16_t kLatL = 106, kLatR = kLatL + kFieldWidth;
constexpr int16_t kLonL = kLatR + 8, kLonR = kLonL + kFieldWidth;
constexpr int16_t kMantL = kLonR + 8, kMantR = kMantL + kFieldWidth;
constexpr int16_t kTimesL = kMantR + 2, kTimesR = kTimesL + 30;
constexpr int16_t kExpL = kTimesR + 2, kExpR = kExpL + 36;
constexpr int16_t kUnitL = kExpR + 8, kUnitMid = kUnitL + 37, kUnitR = kUnitL + 74;
constexpr int16_t kWidth = kUnitR + 16;
// A unit button right of a single field in the first column, and what follows it.
constexpr int16_t kSideUnitL = kLatR + 4, kSideUnitR = kSideUnitL + 50;
constexpr int16_t kRowHeight = 20;

struct LayoutBuilder {
    DialogLayout layout;
    int16_t nextLabel = 100;

    void Add(int16_t number, DialogItemKind kind, int16_t top, int16_t left, int16_t right, std::string text = "",
             int16_t height = kRowHeight, TextJustify justify = TextJustify::Left) {
        DialogItem item;
        item.number = number;
        item.kind = kind;
        item.box = Rect{top, left, int16_t(top + height), right};
        item.text = std::move(text);
        item.justify = justify;
        layout.items.push_back(std::move(item));
    }
    // Labels sit 2 pixels lower than the fields beside them, so the baselines meet.
    void Label(int16_t top, int16_t left, int16_t right, std::string text, TextJustify justify = TextJustify::Right) {
        Add(nextLabel++, DialogItemKind::StaticText, int16_t(top + 2), left, right, std::move(text), 16, justify);
    }
    void Field(int16_t number, int16_t top, int16_t left, int16_t right) {
        Add(number, DialogItemKind::EditText, top, left, right);
    }
    void Button(int16_t number, int16_t top, int16_t left, int16_t right, std::string title) {
        Add(number, DialogItemKind::Button, top, left, right, std::move(title));
    }
    // Latitude, longitude, mantissa and exponent of one vector.
    void Spherical(int16_t first, int16_t top, std::string label) {
        Label(top, kLabelL, kLabelR, std::move(label));
        Field(first, top, kLatL, kLatR);
        Field(int16_t(first + 1), top, kLonL, kLonR);
        MantExp(int16_t(first + 2), top);
    }
    void MantExp(int16_t first, int16_t top) {
        Field(first, top, kMantL, kMantR);
        Label(top, kTimesL, kTimesR, "\u00d7 10^", TextJustify::Center);
        Field(int16_t(first + 1), top, kExpL, kExpR);
    }
};

constexpr int16_t kRowName = 16, kRowHeads = 48, kRowPos = 68, kRowVel = 96, kRowSize = 124, kRowParent = 152;

// The part both dialogs share, down to the parent row.
LayoutBuilder SharedTop(const char* title) {
    LayoutBuilder b;
    b.layout.title = title;
    b.layout.width = kWidth;
    b.layout.defaultItem = kEditOkItem;
    b.layout.cancelItem = kEditCancelItem;
    b.Label(kRowName, kLabelL, kLabelR, "Name:");
    b.Field(kEditNameItem, kRowName, kLatL, kLonR);
    b.Add(kEditNumberItem, DialogItemKind::StaticText, int16_t(kRowName + 2), kMantL, kUnitR, "", 16);
    b.Label(kRowHeads, kLatL, kLatR, "Latitude (\u00b0)", TextJustify::Left);
    b.Label(kRowHeads, kLonL, kLonR, "Longitude (\u00b0)", TextJustify::Left);
    b.Label(kRowHeads, kMantL, kExpR, "Length", TextJustify::Left);
    b.Label(kRowHeads, kUnitL, kUnitR, "Unit", TextJustify::Left);
    b.Spherical(kEditPosItem, kRowPos, "Position:");
    b.Button(kEditPosUnitItem, kRowPos, kUnitL, kUnitR, "km");
    b.Spherical(kEditVelItem, kRowVel, "Velocity:");
    b.Button(kEditVelDistUnitItem, kRowVel, kUnitL, int16_t(kUnitMid - 2), "m");
    b.Button(kEditVelTimeUnitItem, kRowVel, int16_t(kUnitMid + 2), kUnitR, "/s");
    b.Label(kRowSize, kLabelL, kLabelR, "Radius:");
    b.Field(kEditRadiusItem, kRowSize, kLatL, kLatR);
    b.Button(kEditRadiusUnitItem, kRowSize, kSideUnitL, kSideUnitR, "km");
    b.Label(kRowSize, kSideUnitR + 2, kLonR, "Mass:");
    b.MantExp(kEditMassItem, kRowSize);
    b.Button(kEditMassUnitItem, kRowSize, kUnitL, kUnitR, "kg");
    b.Label(kRowParent, kLabelL, kLabelR, "Parent:");
    b.Add(kEditParentItem, DialogItemKind::UserItem, kRowParent, kLatL, kLonR);
    return b;
}

void BottomButtons(LayoutBuilder& b, int16_t top) {
    b.Button(kEditDeleteItem, top, kLabelL, 96, "Delete");
    b.Button(kEditCancelItem, top, kUnitR - 174, kUnitR - 94, "Cancel");
    b.Button(kEditOkItem, top, kUnitR - 80, kUnitR, "OK");
    b.layout.height = int16_t(top + kRowHeight + 16);
}

}  // namespace

DialogLayout BodyDialogLayout() {
    LayoutBuilder b = SharedTop("Body");
    b.Label(kRowParent, kMantL, kMantL + 58, "Colour:", TextJustify::Left);
    b.Add(kBodyColorItem, DialogItemKind::UserItem, kRowParent, kMantL + 64, kExpR);
    constexpr int16_t kRowSpin = 184, kRowAxis = 212, kRowChecks = 244, kPreviewTop = 270;
    b.Label(kRowSpin, kLabelL, kLabelR, "Spin period:");
    // Periods run to ten digits before the point in seconds: the field spans two columns.
    b.Field(kBodyPeriodItem, kRowSpin, kLatL, kLonR);
    b.Button(kBodyPeriodUnitItem, kRowSpin, kLonR + 4, kLonR + 54, "s");
    b.Label(kRowAxis, kLabelL, kLabelR, "Axis tilt (\u00b0):");
    b.Field(kBodyTiltItem, kRowAxis, kLatL, kLatR);
    b.Label(kRowAxis, kLonL, kLonR, "Azimuth (\u00b0):");
    b.Field(kBodyAzimuthItem, kRowAxis, kMantL, kMantR);
    b.Add(kBodyPictureCheckItem, DialogItemKind::CheckBox, kRowChecks, kLabelL, 200, "Surface picture");
    b.Add(kBodyPictureItem, DialogItemKind::UserItem, kPreviewTop, kLabelL, 216, "", 100);
    b.Add(kBodyRingsCheckItem, DialogItemKind::CheckBox, kRowChecks, kMantL, kMantR, "Rings");
    b.Add(kBodyRingItem, DialogItemKind::UserItem, kPreviewTop, kMantL, kUnitR, "", 30);
    b.Label(int16_t(kPreviewTop + 42), kMantL, kMantL + 78, "Ring ratio:", TextJustify::Left);
    b.Field(kBodyRingRatioItem, int16_t(kPreviewTop + 42), kMantL + 84, kExpR);
    BottomButtons(b, 392);
    return b.layout;
}

DialogLayout CraftDialogLayout() {
    LayoutBuilder b = SharedTop("Craft");
    constexpr int16_t kRowForce = 184, kRowCaption = 216, kRowEntry = 244, kRowSteps = 276;
    b.Label(kRowForce, kLabelL, kLabelR, "Engine force:");
    b.Field(kCraftForceItem, kRowForce, kLatL, kLatR);
    b.Button(kCraftForceUnitItem, kRowForce, kSideUnitL, kSideUnitR, "N");
    b.Label(kRowCaption, kLabelL, kLabelR, "Timed thrust:");
    b.Add(kCraftEntryCaptionItem, DialogItemKind::StaticText, int16_t(kRowCaption + 2), kLatL, kUnitR, "", 16);
    b.Label(kRowEntry, kLabelL, kLabelR, "Speed change:");
    b.Field(kCraftDeltaVItem, kRowEntry, kLatL, kLatR);
    b.Button(kCraftDeltaVDistUnitItem, kRowEntry, kSideUnitL, kSideUnitL + 46, "km");
    b.Button(kCraftDeltaVTimeUnitItem, kRowEntry, kSideUnitL + 48, kSideUnitL + 94, "/s");
    b.Label(kRowEntry, kMantL, kMantR, "at push:");
    b.Field(kCraftPushIndexItem, kRowEntry, kTimesL, kExpR);
    b.Button(kCraftPrevEntryItem, kRowSteps, kLatL, kLatR, "\u25c0 Previous");
    b.Button(kCraftNextEntryItem, kRowSteps, kLonL, kLonR, "Next \u25b6");
    b.Button(kCraftDeleteEntryItem, kRowSteps, kMantL, kMantR, "Delete Entry");
    BottomButtons(b, 316);
    return b.layout;
}
