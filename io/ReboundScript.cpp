#include "io/ReboundScript.h"

#include <charconv>
#include <cstdio>

#include "core/Strings.h"

namespace {
// Python reads this back as the very same double (shortest round-trip form).
std::string Py(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, r.ptr);
    if (s.find_first_of(".en") == std::string::npos) s += ".0";  // stays a float, not an int
    return s;
}

// A Python string literal: ASCII only, everything else escaped.
std::string PyString(const std::string& text) {
    std::string s = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') s += '\\', s += char(c);
        else if (c >= 0x20 && c < 0x7F) s += char(c);
        else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            s += buf;
        }
    }
    return s + "\"";
}
}  // namespace

const char* ReboundIntegratorFor(int32_t pushMethod) {
    // Gravitas has no Wisdom–Holman method; every fixed-step method maps to the symplectic leapfrog.
    return pushMethod == kPushGaussRadau ? "ias15" : "leapfrog";
}

std::string ReboundScript(const SettingsStruct& settings, const BodyRTListStruct* list, double duration,
                          const std::string& source) {
    std::string s;
    s += "# Written by gravitas-sim from " + PyString(source) + ".\n";
    s += "# SI units throughout: metres, kilograms, seconds.\n";
    if (settings.powerLaw != -2.0)
        s += "# Gravitas ran this with a force law r^" + Py(settings.powerLaw) +
             "; REBOUND's gravity is the inverse square.\n";
    s += "import rebound\n\n";
    s += "sim = rebound.Simulation()\n";
    s += "sim.G = " + Py(settings.gravConstant) + "\n";
    s += "sim.integrator = \"" + std::string(ReboundIntegratorFor(settings.pushMethod)) + "\"\n";
    s += "sim.dt = " + Py(settings.timeStep) + "\n";
    if (settings.onCrash == kCrashMerge) s += "sim.collision = \"direct\"\nsim.collision_resolve = \"merge\"\n";
    else if (settings.onCrash == kCrashStop) s += "sim.collision = \"direct\"\nsim.collision_resolve = \"halt\"\n";
    s += "\n";
    if (list)
        for (int32_t i = 0; i < list->count; ++i) {
            const BodyRTStruct& b = list->body[i];
            if (b.statusFlags & kAbsorbedStatus) continue;  // merged away: no longer a body of its own
            s += "sim.add(m=" + Py(b.mass) + ", r=" + Py(b.radius) + ", x=" + Py(b.pos[0]) + ", y=" + Py(b.pos[1]) +
                 ", z=" + Py(b.pos[2]) + ", vx=" + Py(b.vel[0]) + ", vy=" + Py(b.vel[1]) + ", vz=" + Py(b.vel[2]) +
                 ", hash=" + PyString(PToCStr(b.name)) + ")\n";
        }
    s += "\nsim.integrate(" + Py(duration) + ")\n";
    s += "for i, p in enumerate(sim.particles):\n";
    s += "    print(i, p.x, p.y, p.z, p.vx, p.vy, p.vz)\n";
    return s;
}
