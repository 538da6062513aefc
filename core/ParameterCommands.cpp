#include "core/ParameterCommands.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/Dialogs.h"
#include "core/Limits.h"
#include "core/Records.h"
#include "core/Strings.h"
#include "core/Units.h"
#include "imagery/Stars.h"
#include "io/FileFolders.h"
#include "io/FileTypes.h"
#include "render/StereoDepth.h"
#include "render/Camera.h"
#include "sim/Bodies.h"

namespace {

constexpr double kDegreesPerRadian = 180.0 / M_PI;

// An entry outside its range, or no number at all, is refused with a message
// that names the range; nothing is stored.
struct Range {
    double low, high;
    bool lowOpen;         // low itself is outside (a time step of 0 is no step)
    const char* message;  // names the range
};

bool Refused(const double* values, int n, const Range& range) {
    for (int i = 0; i < n; ++i) {
        const double v = values[i];
        const bool inside = std::isfinite(v) && (range.lowOpen ? v > range.low : v >= range.low) && v <= range.high;
        if (!inside) {
            Platform().CautionAlert(range.message);
            return true;
        }
    }
    return false;
}

constexpr double kHuge = 1.0e300;
const Range kPowerLawRange{-10.0, 10.0, false, "The power law must be a number from -10 to 10."};
const Range kAngleRange{-360.0, 360.0, false, "The angle must be a number of degrees from -360 to 360."};
const Range kTimeStepRange{0.0, kMaxTimeStepSeconds, true,
                           "The time step must be a number greater than 0 and at most 1e12 seconds."};
const Range kViewAngleRange{0.5, 175.0, false, "The field of view must be a number from 0.5 to 175 degrees."};
const Range kSeparationRange{0.0, 1000.0, false, "The eye separation must be a number from 0 to 1000 pixels."};
const Range kAutoRotationRange{-180.0, 180.0, false,
                               "The automatic rotation must be a number from -180 to 180 degrees per frame."};
// Whole numbers: below the least they are held at it (as the menus always did), above the most refused.
const Range kPushesRange{-kHuge, double(kMaxPushesPerFrame), false, "Pushes per frame must be a number from 1 to 1000000."};
const Range kPointSizeRange{-kHuge, double(kMaxMinPointSize), false, "The smallest body size must be a number from 1 to 1000 pixels."};
const Range kTrailRange{-kHuge, double(kMaxTrailLength), false, "The trail length must be a number from 0 to 100000 points."};

// One number through the simple sheet; true when the user chose OK with an accepted number.
bool AskOne(double& value, int16_t promptList, int16_t promptItem, int16_t unitsItem, int32_t lines, int16_t digits,
            const Range& range) {
    const std::vector<std::string> prompts{GetIndString(promptList, promptItem)};
    const std::vector<std::string> units{unitsItem ? GetIndString(promptList, unitsItem) : std::string()};
    double entry = value;
    if (DoSimpleDialogSheet(&entry, prompts, unitsItem ? &units : nullptr, lines, 1, digits) != 1) return false;
    if (Refused(&entry, 1, range)) return false;
    value = entry;
    return true;
}

// Whole-number settings: truncated, then held at their least value.
int32_t TruncateAtLeast(double entry, int32_t least) {
    const double t = std::trunc(entry);
    if (t < least) return least;
    if (t > 2147483647.0) return 2147483647;
    return int32_t(t);
}

// A whole-number setting through the sheet: truncated and held at its least before comparing.
void EditWholeNumber(int32_t& field, int16_t list, int16_t prompt, int16_t units, int32_t lines, int32_t least,
                     const Range& range) {
    double entry = field;
    if (!AskOne(entry, list, prompt, units, lines, 0, range)) return;
    const int32_t stored = TruncateAtLeast(entry, least);
    if (stored != field) field = stored;
}

}  // namespace

void EditGravitationalConstantMenuItem() {
    double g = set.gravConstant;
    static const Range kGravRange{-kHuge, kHuge, false, "The gravitational constant must be a finite number."};
    if (DoGravitationalConstantDialog(&g) && !Refused(&g, 1, kGravRange)) set.gravConstant = g;
}

void EditPowerLawMenuItem() {
    double p = set.powerLaw;
    if (!AskOne(p, 1026, 1, 0, 2, 5, kPowerLawRange) || p == set.powerLaw) return;
    set.powerLaw = p;
    DeallocBodyRT();  // the next push stage starts again from the initial conditions
}

void EditStarInclinationMenuItem() {
    double angles[2] = {set.starInclination * kDegreesPerRadian, set.starAzimuth * kDegreesPerRadian};
    const double shown[2] = {angles[0], angles[1]};
    const std::vector<std::string> prompts{GetIndString(1029, 14), GetIndString(1029, 15)};
    const std::vector<std::string> units{GetIndString(1029, 16), GetIndString(1029, 16)};
    if (DoSimpleDialogSheet(angles, prompts, &units, 1, 2, 6) != 1 || Refused(angles, 2, kAngleRange)) return;
    if (angles[0] == shown[0] && angles[1] == shown[1]) return;
    set.starInclination = angles[0] / kDegreesPerRadian;
    set.starAzimuth = angles[1] / kDegreesPerRadian;
    SetRunTimeViewingVariables();
}

void EditTimeStepMenuItem() {
    double step = set.timeStep;
    if (!DoSimpleEntryFlipUnitsDialog(RotateTimeUnit, &step, 1, 16, 1026, GetIndString(1028, 3),
                                      GetIndString(1028, 4)) ||
        Refused(&step, 1, kTimeStepRange))
        return;
    if (step != set.timeStep) set.timeStep = step;
}

void EditPushesPerFrameMenuItem() { EditWholeNumber(set.pushesPerFrame, 1028, 5, 0, 2, 1, kPushesRange); }

void EditViewAngleMenuItem() {
    double angle = set.viewAngle;
    if (!AskOne(angle, 1029, 3, 4, 1, 1, kViewAngleRange) || angle == set.viewAngle) return;
    set.viewAngle = angle;
    SetRunTimeViewingVariables();
}

void EditEyeRadiusMenuItem() {
    if (set.displayFlags & kStereoOnFlag) {  // stereo on: the item only turns it off
        set.displayFlags &= ~kStereoOnFlag;
        return;
    }
    // No separation would show a grey picture without depth: propose one the scene shows.
    double separation = 2.0 * (set.eyeRadius > 0 ? set.eyeRadius : ProposedEyeRadius());
    if (!AskOne(separation, 1029, 5, 6, 1, 0, kSeparationRange)) return;
    if (separation != 2.0 * set.eyeRadius)
        set.eyeRadius = int32_t(std::trunc(separation * 0.5));
    set.displayFlags |= kStereoOnFlag;
}

void EditMinimumPointSizeMenuItem() { EditWholeNumber(set.minPointSize, 1029, 1, 2, 1, 1, kPointSizeRange); }

void EditAutoRotationMenuItem() {
    double degrees = set.autoRotation * kDegreesPerRadian;
    const double shown = degrees;
    if (!AskOne(degrees, 1029, 9, 10, 1, 8, kAutoRotationRange) || degrees == shown) return;
    set.autoRotation = degrees / kDegreesPerRadian;
}

void EditTrailLengthMenuItem() { EditWholeNumber(set.trailLength, 1029, 7, 8, 1, 0, kTrailRange); }

bool ReplaceStarListFromFile(const std::string& path) {
    std::string why;
    const Handle list = GetStarListFromFS(path, &why);
    if (!list) {
        Platform().StopAlert("The star data file \"" + path + "\" could not be read: " + why + ".");
        return false;
    }
    StarListHandleLocking(rt.starListH, 0);
    DisposeStarListHandle(rt.starListH);
    rt.starListH = list;
    MoveHHiStarListHandle(list);
    StarListHandleLocking(list, 1);
    return true;
}

void UserGetFileStarData() {
    std::string path;
    if (ChooseFileRemembered({kStarDataFileType}, path)) ReplaceStarListFromFile(path);
}
