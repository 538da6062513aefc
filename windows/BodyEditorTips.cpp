#include "windows/BodyEditorTips.h"

#include <utility>

#include "windows/BodyEditorItems.h"

namespace {

struct UnitNames {
    const char* label;
    const char* name;
};

constexpr UnitNames kUnitNames[] = {
    {"m", "metres"},   {"km", "kilometres"},      {"mi", "miles"},           {"cm", "centimetres"},
    {"in", "inches"},  {"ft", "feet"},            {"s", "seconds"},          {"min", "minutes"},
    {"h", "hours"},    {"days", "days"},          {"kg", "kilograms"},       {"g", "grams"},
    {"lb", "pounds"},  {"/s", "per second"},      {"/min", "per minute"},    {"/h", "per hour"},
    {"/day", "per day"}, {"N", "newtons"},        {"lbf", "pounds-force"},   {"dyn", "dynes"},
};

const std::string kTimesTen = " (the number before \u00d7 10^)";
const std::string kNextUnit = "; click for the next unit (the value is converted)";

struct Tipper {
    ModalDialog& d;
    std::string Unit(int16_t button) { return UnitLongName(d.ItemText(button)); }
    std::string Speed(int16_t distance, int16_t time) { return Unit(distance) + " " + Unit(time); }
    void Tip(int16_t item, const std::string& text) { d.SetItemTip(item, text); }
    void UnitButton(int16_t button, const std::string& of) {
        Tip(button, "Unit of " + of + ", now " + Unit(button) + kNextUnit);
    }
};

void SharedTips(Tipper& t, bool craft) {
    const std::string what = craft ? "craft" : "body";
    t.Tip(kEditOkItem, "Keep the changes and close the editor");
    t.Tip(kEditCancelItem, "Close the editor without changing anything");
    t.Tip(kEditDeleteItem, craft ? "Delete the craft and its thrust schedule" : "Delete this body from the scenario");
    t.Tip(kEditNameItem,
          "Name of the " + what + ", shown in the object list and beside it in the view (at most 31 bytes)");
    t.Tip(kEditPosItem, "Position: latitude of its direction from the parent body (or the origin), in degrees, "
                        "\u221290 to 90");
    t.Tip(kEditPosItem + 1, "Position: longitude of its direction from the parent body (or the origin), in degrees");
    t.Tip(kEditPosItem + 2,
          "Position: distance from the parent body (or the origin), in " + t.Unit(kEditPosUnitItem) + kTimesTen);
    t.Tip(kEditPosItem + 3, "Position: power of ten of the distance");
    t.UnitButton(kEditPosUnitItem, "the position's distance");
    t.Tip(kEditVelItem, "Velocity: latitude of the direction of motion, in degrees, \u221290 to 90");
    t.Tip(kEditVelItem + 1, "Velocity: longitude of the direction of motion, in degrees");
    t.Tip(kEditVelItem + 2, "Velocity: speed relative to the parent body (or the origin), in " +
                                t.Speed(kEditVelDistUnitItem, kEditVelTimeUnitItem) + kTimesTen);
    t.Tip(kEditVelItem + 3, "Velocity: power of ten of the speed");
    t.UnitButton(kEditVelDistUnitItem, "distance of the speed");
    t.UnitButton(kEditVelTimeUnitItem, "time of the speed");
    t.Tip(kEditRadiusItem, "Radius of the " + what + ", in " + t.Unit(kEditRadiusUnitItem));
    t.UnitButton(kEditRadiusUnitItem, "the radius");
    t.Tip(kEditMassItem, "Mass of the " + what + ", in " + t.Unit(kEditMassUnitItem) + kTimesTen);
    t.Tip(kEditMassItem + 1, "Mass: power of ten");
    t.UnitButton(kEditMassUnitItem, "the mass");
    t.Tip(kEditParentItem, "Parent body: position and velocity are measured from it. Click to choose one of the "
                           "bodies earlier in the list, or none");
}

void BodyTips(Tipper& t) {
    t.Tip(kBodyColorItem, "Colour of the body; click to choose another");
    t.Tip(kBodyPictureCheckItem,
          "Map a picture onto the sphere: click to choose a picture file, or to drop the picture");
    t.Tip(kBodyPictureItem, "The picture mapped onto the sphere");
    t.Tip(kBodyPeriodItem, "Rotation period: the time of one turn about the axis, in " + t.Unit(kBodyPeriodUnitItem) +
                               "; 0 for no spin");
    t.UnitButton(kBodyPeriodUnitItem, "the rotation period");
    t.Tip(kBodyRingsCheckItem, "Rings around the body: click to choose a picture for their profile, or to drop them");
    t.Tip(kBodyRingItem, "The profile of the rings");
    t.Tip(kBodyRingRatioItem, "Outer radius of the rings as a multiple of the body's radius (more than 1)");
    t.Tip(kBodyTiltItem, "Tilt of the spin axis, in degrees");
    t.Tip(kBodyAzimuthItem, "Azimuth toward which the spin axis tilts, in degrees");
}

void CraftTips(Tipper& t) {
    t.Tip(kCraftForceItem, "Force of the craft's engine, fired with the arrow keys, in " + t.Unit(kCraftForceUnitItem));
    t.UnitButton(kCraftForceUnitItem, "the engine force");
    t.Tip(kCraftDeltaVItem, "Speed change of this entry of the thrust schedule, in " +
                                t.Speed(kCraftDeltaVDistUnitItem, kCraftDeltaVTimeUnitItem));
    t.UnitButton(kCraftDeltaVDistUnitItem, "distance of the speed change");
    t.UnitButton(kCraftDeltaVTimeUnitItem, "time of the speed change");
    t.Tip(kCraftPushIndexItem, "Push at which this entry fires, a whole number from 1");
    t.Tip(kCraftPrevEntryItem, "Show the previous entry of the thrust schedule, keeping this one");
    t.Tip(kCraftNextEntryItem, "Show the next entry, keeping this one (a new entry needs a speed change and a push)");
    t.Tip(kCraftDeleteEntryItem, "Delete this entry from the thrust schedule");
}

}  // namespace

std::string UnitLongName(const std::string& label) {
    for (const UnitNames& u : kUnitNames)
        if (label == u.label) return u.name;
    return label;  // a unit we have no long name for is named as the button shows it
}

void ShowBodyEditorTips(ModalDialog& dialog, bool craft) {
    Tipper t{dialog};
    SharedTips(t, craft);
    if (craft) CraftTips(t);
    else BodyTips(t);
}
