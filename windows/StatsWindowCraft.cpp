#include "windows/StatsWindowCraft.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/Control.h"
#include "core/Strings.h"
#include "core/Units.h"
#include "sim/Bodies.h"
#include "windows/RelativeMotion.h"
#include "windows/SideWindowPen.h"

namespace {

constexpr int16_t kStatsTexts = 1033;
std::string line;  // keeps its room from frame to frame

void Append(int16_t item) {
    Str255 text;
    GetIndString(text, kStatsTexts, item);
    AppendPStr(line, text);
}

void AppendNumber(double value, int16_t digits) {
    Str255 text;
    if (std::fabs(value) < 1e15) MyRealFixed2String(&value, text, digits);
    else MyRealToSciNotString(value, text);
    AppendPStr(line, text);
}

// "v rel. Sun = 29785 m/s", with `lead` before it ("Craft ").
// The body's speed about what it orbits; a body that orbits nothing gets the line only when
// `always` asks for it. Returns whether the line was drawn.
bool DrawRelativeSpeed(const BodyRTListStruct* list, int32_t index, const char* lead, int32_t x, int32_t baseline,
                       bool always) {
    const RelativeMotion m = MotionAboutAttractor(list, index);
    if (m.attractor < 0 && !always) return false;
    line.assign(lead);
    line.append("v ");
    AppendRelativeTo(line, list, m.attractor);
    line.append(" = ");
    AppendNumber(m.speed, 0);
    Append(16);
    DrawTextAtBaseline(x, baseline, line, 12);
    return true;
}

// Which way the engine pushed in the latest push, or that a timed thrust fired lately.
void AppendEngineState() {
    const bool firing = rt.pushCount > 0 && rt.engineFiredPush == rt.pushCount;
    const int64_t recent = int64_t(std::max(set.pushesPerFrame, 1)) * 30;  // about half a second
    if (firing) {
        const uint32_t k = rt.engineKeys;
        line.append("firing ");
        line.append(k & kEngineForward ? "forward" : k & kEngineBackward ? "back" : "");
        if ((k & (kEngineForward | kEngineBackward)) && (k & (kEngineInward | kEngineOutward))) line.append("+");
        line.append(k & kEngineInward ? "in" : k & kEngineOutward ? "out" : "");
    } else if (rt.timedThrustPush > 0 && rt.pushCount - rt.timedThrustPush < recent) {
        line.append("timed thrust");
    } else {
        line.append("off");
    }
}

}  // namespace

int32_t DrawMotionLines(int32_t baseline, int32_t left) {
    const BodyRTListStruct* list = BodyRTList();
    if (!list) return baseline;
    const int32_t selected = rt.selectedBody;
    // The heaviest body orbits nothing: its speed is the v line's.
    if (selected >= 0 && selected < list->count && DrawRelativeSpeed(list, selected, "", left, baseline, false)) baseline += 16;
    const int32_t craft = GetCraftIndex();
    if (craft < 0 || craft >= list->count) return baseline;
    line.assign("Engine ");
    AppendEngineState();
    DrawTextAtBaseline(left, baseline, line, 12);
    line.assign("\u0394v so far = ");
    AppendNumber(rt.craftDeltaV, 1);
    Append(16);
    DrawTextAtBaseline(left, baseline + 16, line, 12);
    baseline += 32;
    if (craft != selected && DrawRelativeSpeed(list, craft, "Craft ", left, baseline, true)) baseline += 16;
    return baseline;
}
