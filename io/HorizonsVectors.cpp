#include "io/HorizonsVectors.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "core/TextBytes.h"

namespace {

constexpr double kAstronomicalUnit = 149597870700.0;  // m (IAU 2012, resolution B2)
constexpr double kDay = 86400.0;

struct Units {
    double length = 0.0;  // m per unit; 0 = not stated yet
    double time = 0.0;    // s per unit
};

std::string Trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The text after "key:" when the line starts with the key, else nothing.
bool HeaderValue(const std::string& line, const char* key, std::string& value) {
    const std::string t = Trim(line);
    const std::string k = key;
    if (t.compare(0, k.size(), k) != 0) return false;
    const size_t colon = t.find(':', k.size());
    if (colon == std::string::npos) return false;
    value = Trim(t.substr(colon + 1));
    return true;
}

// "Mars (499)   {source: mar097}" -> "Mars".
std::string TargetName(std::string v) {
    if (size_t brace = v.find('{'); brace != std::string::npos) v = v.substr(0, brace);
    v = Trim(v);
    if (!v.empty() && v.back() == ')')
        if (size_t open = v.rfind('('); open != std::string::npos && open > 0) v = Trim(v.substr(0, open));
    return v;
}

bool ParseNumber(const char* p, double& out, const char** end) {
    char* e = nullptr;
    out = std::strtod(p, &e);
    if (e == p || !std::isfinite(out)) return false;
    if (end) *end = e;
    return true;
}

// A number after the '=' that follows position `from`, as in "GM, km^3/s^2 = 42828.37+-0.1".
bool NumberAfterEquals(const std::string& line, size_t from, double& out) {
    const size_t eq = line.find('=', from);
    if (eq == std::string::npos) return false;
    return ParseNumber(line.c_str() + eq + 1, out, nullptr);
}

// Physical data: GM in km^3/s^2 and a radius in km, wherever on the line they stand
// (the header sets two columns side by side). Uncertainties ("GM 1-sigma") are not GM.
void ReadPhysicalData(const std::string& line, HorizonsBody& b) {
    const std::string up = Upper(line);
    for (size_t at = up.find("GM"); at != std::string::npos; at = up.find("GM", at + 2)) {
        if (at > 0 && std::isalnum(static_cast<unsigned char>(up[at - 1]))) continue;
        const size_t eq = up.find('=', at);
        if (eq == std::string::npos) break;
        const std::string label = up.substr(at, eq - at);
        // Small bodies write a bare "GM=", in km^3/s^2 as well.
        const bool bare = Trim(label) == "GM";
        if (label.find("SIGMA") != std::string::npos || (!bare && label.find("KM^3/S^2") == std::string::npos)) continue;
        double gm;
        if (!b.hasGM && NumberAfterEquals(line, at, gm) && gm >= 0.0) {
            b.gm = gm * 1e9;
            b.hasGM = true;
        }
    }
    for (size_t at = up.find("RADIUS"); at != std::string::npos; at = up.find("RADIUS", at + 6)) {
        const size_t eq = up.find('=', at);
        if (eq == std::string::npos) break;
        const std::string label = up.substr(at, eq - at);
        if (label.find("KM") == std::string::npos || label.find("SIGMA") != std::string::npos) continue;
        double r;
        if (b.radius == 0.0 && NumberAfterEquals(line, at, r) && r > 0.0) b.radius = r * 1000.0;
    }
}

bool ReadUnits(const std::string& value, Units& u) {
    const std::string v = Upper(value);
    if (v.rfind("KM-S", 0) == 0) u = {1000.0, 1.0};
    else if (v.rfind("KM-D", 0) == 0) u = {1000.0, kDay};
    else if (v.rfind("AU-D", 0) == 0) u = {kAstronomicalUnit, kDay};
    else return false;
    return true;
}

// One record being gathered from the rows of a table.
struct Record {
    double jd = 0.0;
    double value[6] = {};
    bool have[6] = {};
    bool started = false;
    int firstLine = 0;
    bool Complete() const {
        for (bool h : have)
            if (!h) return false;
        return true;
    }
};
const char* const kComponents[6] = {"X", "Y", "Z", "VX", "VY", "VZ"};

struct Table {
    HorizonsBody body;
    Units units;
    bool csv = false;
    int csvColumn[7] = {0, 2, 3, 4, 5, 6, 7};  // JD, X..VZ in the standard column order
    bool haveFirst = false;
    Record record;
    int rows = 0;
};

struct BadRow {
    int line;
    std::string why;
};

std::string At(int line, const std::string& why) { return "line " + std::to_string(line) + ": " + why; }

// Column positions from a header such as "JDTDB, Calendar Date (TDB), X, Y, Z, VX, VY, VZ, LT, RG, RR,".
void ReadCsvHeader(const std::string& line, Table& t) {
    std::vector<std::string> cells;
    std::stringstream ss(line);
    for (std::string cell; std::getline(ss, cell, ',');) cells.push_back(Upper(Trim(cell)));
    int found[7] = {-1, -1, -1, -1, -1, -1, -1};
    for (int c = 0; c < int(cells.size()); ++c) {
        if (cells[size_t(c)].rfind("JD", 0) == 0) found[0] = c;
        for (int k = 0; k < 6; ++k)
            if (cells[size_t(c)] == kComponents[k]) found[k + 1] = c;
    }
    for (int k = 0; k < 7; ++k)
        if (found[k] < 0) return;
    for (int k = 0; k < 7; ++k) t.csvColumn[k] = found[k];
}

void FinishRecord(Table& t, int line) {
    Record& r = t.record;
    if (!r.started) return;
    for (int k = 0; k < 6; ++k)
        if (!r.have[k])
            throw BadRow{r.firstLine, std::string("the row of JD ") + std::to_string(r.jd) + " has no " + kComponents[k] +
                                          " (it ends before line " + std::to_string(line) + ")"};
    if (!t.haveFirst) {
        for (int n = 0; n < 3; ++n) {
            t.body.pos[n] = r.value[n] * t.units.length;
            t.body.vel[n] = r.value[n + 3] * t.units.length / t.units.time;
        }
        t.body.jdTdb = r.jd;
        t.haveFirst = true;
    }
    ++t.rows;
    r = Record{};
}

// Labelled rows: "2451545.0 = A.D. 2000-Jan-01 12:00:00.0000 TDB" opens a record,
// then "X =-2.05E+07 Y = 1.3E+08 Z =…" and "VX=… VY=… VZ=…"; LT, RG and RR are read and dropped.
void ReadLabelledRow(const std::string& line, int lineNo, Table& t) {
    const char* p = line.c_str();
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (std::isdigit(static_cast<unsigned char>(*p))) {
        const char* end;
        double jd;
        if (!ParseNumber(p, jd, &end)) throw BadRow{lineNo, "the epoch is not a number"};
        while (*end == ' ') ++end;
        if (*end != '=') throw BadRow{lineNo, "expected \"JD = date\" to open a row"};
        FinishRecord(t, lineNo);
        t.record.started = true;
        t.record.jd = jd;
        t.record.firstLine = lineNo;
        return;
    }
    if (!t.record.started) throw BadRow{lineNo, "a vector row before its epoch line"};
    bool any = false;
    while (*p) {
        if (std::isspace(static_cast<unsigned char>(*p))) {
            ++p;
            continue;
        }
        std::string key;
        while (std::isalpha(static_cast<unsigned char>(*p))) key += char(std::toupper(static_cast<unsigned char>(*p++)));
        while (*p == ' ') ++p;
        if (key.empty() || *p != '=') throw BadRow{lineNo, "expected NAME = number, found " + QuotedForMessage(Trim(line))};
        ++p;
        double v;
        const char* end;
        if (!ParseNumber(p, v, &end)) throw BadRow{lineNo, key + " is not a finite number"};
        p = end;
        for (int k = 0; k < 6; ++k)
            if (key == kComponents[k]) {
                if (t.record.have[k]) throw BadRow{lineNo, key + " is given twice in one row"};
                t.record.value[k] = v;
                t.record.have[k] = true;
            }
        any = true;
    }
    if (!any) throw BadRow{lineNo, "an empty vector row"};
}

void ReadCsvRow(const std::string& line, int lineNo, Table& t) {
    std::vector<std::string> cells;
    std::stringstream ss(line);
    for (std::string cell; std::getline(ss, cell, ',');) cells.push_back(Trim(cell));
    Record& r = t.record;
    r = Record{};
    r.started = true;
    r.firstLine = lineNo;
    for (int k = 0; k < 7; ++k) {
        const size_t c = size_t(t.csvColumn[k]);
        const char* what = k == 0 ? "the epoch" : kComponents[k - 1];
        if (c >= cells.size()) throw BadRow{lineNo, std::string("the row has no ") + what + " column"};
        const char* end;
        double v;
        if (!ParseNumber(cells[c].c_str(), v, &end) || *end != '\0')
            throw BadRow{lineNo, std::string(what) + " is not a finite number (" + QuotedForMessage(cells[c]) + ")"};
        if (k == 0) r.jd = v;
        else r.value[k - 1] = v, r.have[k - 1] = true;
    }
    FinishRecord(t, lineNo);
}

}  // namespace

bool ReadHorizonsVectors(const std::string& text, HorizonsImport& out, std::string& error) {
    out = HorizonsImport{};
    Table t;
    bool inTable = false;
    int soeLine = 0, lineNo = 0;
    std::string lastLine, centre;
    try {
        std::stringstream in(text);
        for (std::string line; std::getline(in, line);) {
            ++lineNo;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const std::string trimmed = Trim(line);
            if (inTable) {
                if (trimmed == "$$EOE") {
                    FinishRecord(t, lineNo);
                    if (t.rows == 0) throw BadRow{lineNo, "the table of " + t.body.name + " holds no rows"};
                    if (out.bodies.empty()) out.jdTdb = t.body.jdTdb;
                    else if (t.body.jdTdb != out.jdTdb)
                        throw BadRow{soeLine, "the table of " + t.body.name + " starts at JD " + std::to_string(t.body.jdTdb) +
                                                  ", not at JD " + std::to_string(out.jdTdb) + " as the first"};
                    out.bodies.push_back(t.body);
                    t = Table{};  // the next output repeats its own header
                    inTable = false;
                } else if (!trimmed.empty()) {
                    t.csv ? ReadCsvRow(trimmed, lineNo, t) : ReadLabelledRow(trimmed, lineNo, t);
                }
                continue;
            }
            std::string value;
            if (trimmed == "$$SOE") {
                if (t.units.length == 0.0) throw BadRow{lineNo, "the table's units are not stated (no \"Output units\" line)"};
                if (t.body.name.empty()) t.body.name = "Body " + std::to_string(out.bodies.size() + 1);
                if (Upper(lastLine).find("JD") != std::string::npos && lastLine.find(',') != std::string::npos) {
                    t.csv = true;
                    ReadCsvHeader(lastLine, t);
                }
                inTable = true;
                soeLine = lineNo;
            } else if (trimmed == "$$EOE") {
                throw BadRow{lineNo, "$$EOE without $$SOE"};
            } else if (HeaderValue(line, "Target body name", value)) {
                t.body.name = TargetName(value);
            } else if (HeaderValue(line, "Center body name", value)) {
                const std::string c = TargetName(value);
                if (centre.empty()) centre = c;
                else if (c != centre) throw BadRow{lineNo, "the centre is " + c + ", not " + centre + " as before"};
            } else if (HeaderValue(line, "Output units", value)) {
                if (!ReadUnits(value, t.units)) throw BadRow{lineNo, "units " + QuotedForMessage(value) + " (expected KM-S, KM-D or AU-D)"};
            } else if (HeaderValue(line, "CSV format", value)) {
                // The column header before $$SOE tells the layout; nothing to keep here.
            } else {
                ReadPhysicalData(line, t.body);
            }
            if (!trimmed.empty() && trimmed.find_first_not_of('*') != std::string::npos) lastLine = trimmed;
        }
        if (inTable) throw BadRow{soeLine, "$$SOE without $$EOE"};
        if (out.bodies.empty()) throw BadRow{lineNo, "no $$SOE \xE2\x80\xA6 $$EOE table"};
    } catch (const BadRow& bad) {
        out = HorizonsImport{};
        error = At(bad.line, bad.why);
        return false;
    }
    out.centre = centre;
    error.clear();
    return true;
}
