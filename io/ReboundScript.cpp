#include "io/ReboundScript.h"

#include <charconv>
#include <cstdint>
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

// A Python string literal in ASCII: UTF-8 letters become \u escapes, bytes that are
// not UTF-8 the replacement character.
std::string PyString(const std::string& text) {
    std::string s = "\"";
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            if (c == '"' || c == '\\') s += '\\';
            char buf[8];
            if (c >= 0x20 && c < 0x7F) s += char(c);
            else std::snprintf(buf, sizeof buf, "\\x%02x", unsigned(c)), s += buf;
            ++i;
            continue;
        }
        const int extra = c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2 : c >= 0xF0 && c < 0xF5 ? 3 : 0;
        uint32_t cp = extra == 3 ? c & 7u : extra == 2 ? c & 15u : c & 31u;
        bool ok = extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + size_t(k) >= n || (p[i + size_t(k)] & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (p[i + size_t(k)] & 0x3Fu);
        }
        const uint32_t least = extra == 3 ? 0x10000 : extra == 2 ? 0x800 : 0x80;  // shorter forms are not UTF-8
        if (!ok || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
            cp = 0xFFFD;
            ++i;
        } else {
            i += size_t(extra) + 1;
        }
        char buf[16];
        std::snprintf(buf, sizeof buf, cp > 0xFFFF ? "\\U%08x" : "\\u%04x", unsigned(cp));
        s += buf;
    }
    return s + "\"";
}
}  // namespace

const char* ReboundIntegratorFor(int32_t pushMethod) {
    // The other fixed-step methods map to the symplectic leapfrog.
    if (pushMethod == kPushGaussRadau) return "ias15";
    return pushMethod == kPushWisdomHolman ? "whfast" : "leapfrog";
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
