#include "windows/RelativeMotion.h"

#include <cmath>

#include "sim/DominantAttractor.h"

RelativeMotion MotionAboutAttractor(const BodyRTListStruct* list, int32_t index) {
    RelativeMotion m;
    if (!list || index < 0 || index >= list->count) return m;
    const BodyRTStruct& b = list->body[index];
    m.attractor = DominantAttractor(list, index, set.powerLaw);
    double dv[3], dx[3];
    for (int n = 0; n < 3; ++n) {
        dv[n] = b.vel[n] - (m.attractor >= 0 ? list->body[m.attractor].vel[n] : 0.0);
        dx[n] = b.pos[n] - (m.attractor >= 0 ? list->body[m.attractor].pos[n] : 0.0);
    }
    m.speed = std::hypot(dv[0], dv[1], dv[2]);
    m.distance = std::hypot(dx[0], dx[1], dx[2]);
    return m;
}

void AppendRelativeTo(std::string& out, const BodyRTListStruct* list, int32_t attractor) {
    out.append("rel. ");
    if (!list || attractor < 0 || attractor >= list->count) {
        out.append("barycentre");
        return;
    }
    const uint8_t* name = list->body[attractor].name;
    out.append(reinterpret_cast<const char*>(name + 1), name[0] > 31 ? 31 : name[0]);
}
