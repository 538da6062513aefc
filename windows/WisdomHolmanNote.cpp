#include "windows/WisdomHolmanNote.h"

#include "core/Records.h"
#include "sim/WisdomHolmanPush.h"

bool WisdomHolmanNote(std::string& first, std::string& second) {
    if (set.pushMethod != kPushWisdomHolman || rt.pushCount <= 0) return false;
    const WisdomHolmanHealthStruct& h = WisdomHolmanHealth();
    switch (h.fallback) {
        case WisdomHolmanFallback::kForceLaw:
            first = "Wisdom\u2013Holman needs 1/r\u00B2:", second = "pushing with Gauss\u2013Radau";
            return true;
        case WisdomHolmanFallback::kRelativity:
            first = "Wisdom\u2013Holman: relativity on,", second = "pushing with Gauss\u2013Radau";
            return true;
        case WisdomHolmanFallback::kNoAttractor:
            first = "Wisdom\u2013Holman: no mass to orbit,", second = "pushing with Euler";
            return true;
        case WisdomHolmanFallback::kNone: break;
    }
    if (h.unsoundPushes == 0) return false;
    // Short lines: the window is narrow.
    first = "Wisdom\u2013Holman inexact:";
    second = std::to_string(h.unsoundPushes);
    second += h.unsoundPushes == 1 ? " push" : " pushes";
    if (h.closeEncounters == 0 && h.nearCentre == 0) second += ", none now";
    if (h.closeEncounters > 0) second += "; ", second += std::to_string(h.closeEncounters), second += " close";
    if (h.nearCentre > 0) second += h.closeEncounters > 0 ? ", " : "; ", second += std::to_string(h.nearCentre), second += " near centre";
    return true;
}
