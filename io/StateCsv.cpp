#include "io/StateCsv.h"

#include <charconv>

#include "core/Strings.h"

namespace {
// Shortest text that reads back as the same double.
void AppendNumber(std::string& out, double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// RFC 4180: a name holding a comma, quote or line break is quoted, its quotes doubled.
void AppendName(std::string& out, const std::string& name) {
    if (name.find_first_of(",\"\r\n") == std::string::npos) {
        out += name;
        return;
    }
    out += '"';
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}
}  // namespace

std::string StateCsvHeader() { return "time,name,x,y,z,vx,vy,vz\n"; }

void AppendStateCsvRows(std::string& out, const BodyRTListStruct* list, double time) {
    if (!list) return;
    for (int32_t i = 0; i < list->count; ++i) {
        const BodyRTStruct& b = list->body[i];
        AppendNumber(out, time);
        out += ',';
        AppendName(out, PToCStr(b.name));
        for (const double* v : {b.pos, b.vel})
            for (int n = 0; n < 3; ++n) {
                out += ',';
                AppendNumber(out, v[n]);
            }
        out += '\n';
    }
}
