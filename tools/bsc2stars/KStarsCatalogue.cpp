#include "tools/bsc2stars/KStarsCatalogue.h"

#include <cmath>
#include <cstdlib>

namespace {

bool Number(const std::string& line, size_t at, size_t length, double& out) {
    if (line.size() < at + length) return false;
    const std::string field = line.substr(at, length);
    if (field.find_first_not_of(' ') == std::string::npos) return false;
    char* end = nullptr;
    out = std::strtod(field.c_str(), &end);
    while (end && *end == ' ') ++end;
    return end && *end == '\0' && std::isfinite(out);
}

// "hhmmss.ss" or "±ddmmss.s" as hours or degrees.
bool Sexagesimal(const std::string& line, size_t at, size_t length, double& out) {
    double packed;
    if (!Number(line, at, length, packed)) return false;
    const bool negative = line[at] == '-';
    packed = std::fabs(packed);
    const double whole = std::floor(packed / 10000.0);
    const double minutes = std::floor((packed - whole * 10000.0) / 100.0);
    const double seconds = packed - whole * 10000.0 - minutes * 100.0;
    if (minutes >= 60 || seconds >= 60) return false;
    out = whole + minutes / 60.0 + seconds / 3600.0;
    if (negative) out = -out;
    return true;
}

}  // namespace

bool ParseKStarsLine(const std::string& line, CatalogueStar& star) {
    if (line.empty() || line[0] == '#') return false;
    if (!Sexagesimal(line, 0, 9, star.raHours) || !Sexagesimal(line, 10, 9, star.decDegrees)) return false;
    if (star.raHours < 0 || star.raHours >= 24 || std::fabs(star.decDegrees) > 90) return false;
    if (!Number(line, 45, 6, star.magnitude)) return false;
    star.hasColour = Number(line, 51, 5, star.bMinusV);
    return true;
}
