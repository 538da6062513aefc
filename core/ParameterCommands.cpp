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
#include "io/FileTypes.h"
#include "render/Camera.h"
#include "sim/Bodies.h"

namespace {

constexpr double kDegreesPerRadian = 180.0 / M_PI;

// An entry that is not a number is refused with a beep rather than stored.
bool Refused(const double* values, int n) {
    for (int i = 0; i < n; ++i)
        if (std::isnan(values[i])) {
            SysBeep();
            return true;
        }
    return false;
}

// One number through the simple sheet; true when the user chose OK with a number.
bool AskOne(double& value, int16_t promptList, int16_t promptItem, int16_t unitsItem, int32_t lines, int16_t digits) {
    const std::vector<std::string> prompts{GetIndString(promptList, promptItem)};
    const std::vector<std::string> units{unitsItem ? GetIndString(promptList, unitsItem) : std::string()};
    double entry = value;
    if (DoSimpleDialogSheet(&entry, prompts, unitsItem ? &units : nullptr, lines, 1, digits) != 1) return false;
    if (Refused(&entry, 1)) return false;
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
void EditWholeNumber(int32_t& field, int16_t list, int16_t prompt, int16_t units, int32_t lines, int32_t least) {
    double entry = field;
    if (!AskOne(entry, list, prompt, units, lines, 0)) return;
    const int32_t stored = TruncateAtLeast(entry, least);
    if (stored != field) field = stored;
}

}  // namespace

void EditGravitationalConstantMenuItem() {
    double g = set.gravConstant;
    if (DoGravitationalConstantDialog(&g)) set.gravConstant = g;
}

void EditPowerLawMenuItem() {
    double p = set.powerLaw;
    if (!AskOne(p, 1026, 1, 0, 2, 5) || p == set.powerLaw) return;
    set.powerLaw = p;
    DeallocBodyRT();  // the next push stage starts again from the initial conditions
}

void EditStarInclinationMenuItem() {
    double angles[2] = {set.starInclination * kDegreesPerRadian, set.starAzimuth * kDegreesPerRadian};
    const double shown[2] = {angles[0], angles[1]};
    const std::vector<std::string> prompts{GetIndString(1029, 14), GetIndString(1029, 15)};
    const std::vector<std::string> units{GetIndString(1029, 16), GetIndString(1029, 16)};
    if (DoSimpleDialogSheet(angles, prompts, &units, 1, 2, 6) != 1 || Refused(angles, 2)) return;
    if (angles[0] == shown[0] && angles[1] == shown[1]) return;
    set.starInclination = angles[0] / kDegreesPerRadian;
    set.starAzimuth = angles[1] / kDegreesPerRadian;
    SetRunTimeViewingVariables();
}

void EditTimeStepMenuItem() {
    double step = set.timeStep;
    if (!DoSimpleEntryFlipUnitsDialog(RotateTimeUnit, &step, 1, 16, 1026, GetIndString(1028, 3),
                                      GetIndString(1028, 4)) ||
        Refused(&step, 1))
        return;
    if (step != set.timeStep) set.timeStep = step;
}

void EditPushesPerFrameMenuItem() {
    EditWholeNumber(set.pushesPerFrame, 1028, 5, 0, 2, 1);
    // Held at the bound like the least: more would stall every frame.
    if (set.pushesPerFrame > kMaxPushesPerFrame) set.pushesPerFrame = kMaxPushesPerFrame;
}

void EditViewAngleMenuItem() {
    double angle = set.viewAngle;
    if (!AskOne(angle, 1029, 3, 4, 1, 1)) return;
    angle = std::clamp(angle, 0.5, 175.0);
    if (angle == set.viewAngle) return;
    set.viewAngle = angle;
    SetRunTimeViewingVariables();
}

void EditEyeRadiusMenuItem() {
    if (set.displayFlags & kStereoOnFlag) {  // stereo on: the item only turns it off
        set.displayFlags &= ~kStereoOnFlag;
        return;
    }
    double separation = 2.0 * set.eyeRadius;
    if (!AskOne(separation, 1029, 5, 6, 1, 0)) return;
    if (separation != 2.0 * set.eyeRadius)
        set.eyeRadius = int32_t(std::clamp(std::trunc(separation * 0.5), -1.0e6, 1.0e6));
    set.displayFlags |= kStereoOnFlag;
}

void EditMinimumPointSizeMenuItem() {
    EditWholeNumber(set.minPointSize, 1029, 1, 2, 1, 1);
    if (set.minPointSize > kMaxMinPointSize) set.minPointSize = kMaxMinPointSize;
}

void EditAutoRotationMenuItem() {
    double degrees = set.autoRotation * kDegreesPerRadian;
    const double shown = degrees;
    if (!AskOne(degrees, 1029, 9, 10, 1, 8) || degrees == shown) return;
    set.autoRotation = degrees / kDegreesPerRadian;
}

void EditTrailLengthMenuItem() {
    EditWholeNumber(set.trailLength, 1029, 7, 8, 1, 0);
    if (set.trailLength > kMaxTrailLength) set.trailLength = kMaxTrailLength;
}

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
    if (Platform().ChooseFile({kStarDataFileType}, path)) ReplaceStarListFromFile(path);
}
