#include "core/Units.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/Strings.h"

namespace {
const MyReal kDistanceFactors[] = {1.0, 1000.0, 1609.344, 0.01, 0.0254, 0.3048};
const MyReal kTimeFactors[] = {1.0, 60.0, 3600.0, 86400.0};
const MyReal kMassFactors[] = {1.0, 0.001, 0.45359237};
const MyReal kInvTimeFactors[] = {1.0, 1.0 / 60.0, 1.0 / 3600.0, 1.0 / 86400.0};
const MyReal kForceFactors[] = {1.0, 4.44822, 1.0e-5};

template <size_t N>
void Rotate(MyReal* factor, uint8_t* label, const MyReal (&cycle)[N], int16_t list) {
    if (!factor || !label) return;
    size_t next = 0;
    for (size_t k = 0; k < N; ++k)
        if (*factor == cycle[k]) {
            next = (k + 1) % N;
            break;
        }
    *factor = cycle[next];
    CToPStr(*reinterpret_cast<Str255*>(label), GetIndString(list, int16_t(next + 1)));
}

void ToCounted(uint8_t* out, const std::string& s) {
    size_t n = s.size() > 255 ? 255 : s.size();
    out[0] = uint8_t(n);
    std::memcpy(out + 1, s.data(), n);
}
}  // namespace

void RotateDistanceUnit(MyReal* f, uint8_t* l) { Rotate(f, l, kDistanceFactors, kDistanceUnitList); }
void RotateTimeUnit(MyReal* f, uint8_t* l) { Rotate(f, l, kTimeFactors, kTimeUnitList); }
void RotateMassUnit(MyReal* f, uint8_t* l) { Rotate(f, l, kMassFactors, kMassUnitList); }
void RotateInvTimeUnit(MyReal* f, uint8_t* l) { Rotate(f, l, kInvTimeFactors, kInvTimeUnitList); }
void RotateForceUnit(MyReal* f, uint8_t* l) { Rotate(f, l, kForceFactors, kForceUnitList); }

namespace {
// The numbers in files, fields and labels read the same whatever the user's
// locale: the charconv routines never consult it (printf and strtod would
// write and expect "2,5" under de_DE).
int FixedText(MyReal value, int digits, char* buf, size_t room) {
    const auto [end, ec] = std::to_chars(buf, buf + room - 1, value, std::chars_format::fixed, std::clamp(digits, 0, 40));
    if (ec != std::errc()) {  // too long for the room (|value| near 1e300): scientific instead of nothing
        const auto r = std::to_chars(buf, buf + room - 1, value, std::chars_format::scientific, 12);
        *r.ptr = 0;
        return int(r.ptr - buf);
    }
    *end = 0;
    return int(end - buf);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::string MyRealFixed2String(MyReal value, int digits) {
    char buf[400];
    const int n = FixedText(value, digits, buf, sizeof buf);
    return std::string(buf, size_t(n));
}

void MyRealFixed2String(const MyReal* value, uint8_t* out, int16_t digits) {
    if (!value || !out) return;
    ToCounted(out, MyRealFixed2String(*value, digits));
}

MyReal String2MyReal(const std::string& text) {
    // Longest valid prefix: sign, digits, optional fraction, optional exponent.
    size_t i = 0, n = text.size();
    const bool negative = i < n && text[i] == '-';
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t start = i;  // from_chars takes no sign of its own
    size_t digits = 0;
    while (i < n && IsDigit(text[i])) ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return std::numeric_limits<MyReal>::quiet_NaN();
    size_t end = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t k = i + 1;
        if (k < n && (text[k] == '+' || text[k] == '-')) ++k;
        if (k < n && IsDigit(text[k])) {
            while (k < n && IsDigit(text[k])) ++k;
            end = k;
        }
    }
    MyReal value = 0.0;
    const auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + end, value);
    // Beyond the double range from_chars reports the overflow and leaves value alone.
    if (ec == std::errc::result_out_of_range) {
        size_t e = text.find_first_of("eE", start);
        const bool tiny = e < end && text[e + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<MyReal>::infinity();
    } else if (ec != std::errc() || ptr != text.data() + end) {
        return std::numeric_limits<MyReal>::quiet_NaN();
    }
    return negative ? -value : value;
}

MyReal String2MyReal(const uint8_t* counted) { return String2MyReal(PToCStr(counted, 255)); }

namespace {
// Writes the short scientific form into buf (room for 64 characters); returns its length.
// No heap: the labels beside the bodies are formatted every frame.
int SciNot(MyReal x, char* buf) {
    // The exponent below is an integer conversion of log10, undefined for these.
    if (!std::isfinite(x)) {  // "nan", "inf", "-inf"
        const char* name = std::isnan(x) ? "nan" : x < 0 ? "-inf" : "inf";
        std::strcpy(buf, name);
        return int(std::strlen(name));
    }
    int e = x != 0.0 ? int(std::log10(std::fabs(x))) : 0;
    const double m = x * std::exp(-e * std::log(10.0));
    char mant[48];
    int n = FixedText(m, 1, mant, sizeof mant);
    const int sign = mant[0] == '-' ? 1 : 0;  // -10.0 carries as 10.0 does
    if (n >= sign + 2 && mant[sign] == '1' && mant[sign + 1] == '0') {  // 10.0 rounds up to the next decade
        std::memmove(mant + sign + 1, mant + sign + 2, size_t(n - sign - 1));
        --n;
        e += 1;
    }
    const int len = std::snprintf(buf, 64, "%.*se%c%d", n, mant, e < 0 ? '-' : '+', std::abs(e));
    return len < 0 ? 0 : std::min(len, 63);
}
}  // namespace

namespace {
constexpr int16_t kStatsTexts = 1033;

void AppendItem(std::string& out, int16_t item) {
    Str255 text;
    GetIndString(text, kStatsTexts, item);
    AppendPStr(out, text);
}

void AppendWhole(std::string& out, double value) {
    char buf[400];
    const int n = std::snprintf(buf, sizeof buf, "%.0f", value);
    if (n > 0) out.append(buf, size_t(std::min<int>(n, int(sizeof buf) - 1)));
}
}  // namespace

void AppendElapsedTime(std::string& out, double t) {
    double d = 0, h = 0, m = 0, sec = t;
    if (std::isfinite(t)) {
        d = std::trunc(t / 86400.0);
        h = std::trunc(t / 3600.0 - 24.0 * d);
        m = std::trunc(t / 60.0 - 60.0 * (24.0 * d + h));
        sec = t - 60.0 * (60.0 * (24.0 * d + h) + m);
    }
    if (d != 0) AppendWhole(out, d), AppendItem(out, 2);
    if (h != 0 || d != 0) AppendWhole(out, h), AppendItem(out, 3);
    if (m != 0 || h != 0 || d != 0) AppendWhole(out, m), AppendItem(out, 4);
    Str255 text;
    MyRealFixed2String(&sec, text, int16_t(d != 0 ? 0 : h != 0 ? 1 : m != 0 ? 2 : 6));
    AppendPStr(out, text);
    AppendItem(out, 5);
}

std::string ElapsedTimeText(double seconds) {
    std::string out;
    AppendElapsedTime(out, seconds);
    return out;
}

std::string MyRealToSciNotString(MyReal x) {
    char buf[64];
    const int n = SciNot(x, buf);
    return std::string(buf, size_t(n));
}

void MyRealToSciNotString(MyReal value, uint8_t* out) {
    if (!out) return;
    char buf[64];
    const int n = SciNot(value, buf);
    out[0] = uint8_t(n);
    std::memcpy(out + 1, buf, size_t(n));
}

bool MantExpToStrings(MyReal x, std::string& mantissa, std::string& exponent) {
    if (!std::isfinite(x)) return false;
    int e = 0;
    double m = 0.0;
    if (x != 0.0) {
        e = int(std::log10(std::fabs(x)));
        m = x * std::pow(10.0, -e);
        if (std::fabs(m) < 1) { e -= 1; m *= 10; }
        if (std::fabs(m) >= 10) { e += 1; m *= 0.1; }
        m += 1e-13;
    }
    std::string t = MyRealFixed2String(m, 12);
    if (t == MyRealFixed2String(10.0, 12)) {
        e += 1;
        t[1] = '.';
        t[2] = '0';
    }
    mantissa = t;
    exponent = std::to_string(e);
    return true;
}

MyReal StringsToMantExp(const std::string& mantissa, const std::string& exponent) {
    MyReal m = String2MyReal(mantissa), e = String2MyReal(exponent);
    return m * std::exp(e * std::log(10.0));
}

bool SphericalToStrings(const MyReal v[3], std::string texts[4]) {
    double r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    double lon = std::atan2(v[1], v[0]) * 57.29577951308232;
    if (lon < 0) lon += 360;
    double lat = r == 0 ? 0.0 : 90 - std::acos(v[2] / r) * 57.29577951308232;
    texts[0] = MyRealFixed2String(lat, 12);
    texts[1] = MyRealFixed2String(lon, 12);
    return MantExpToStrings(r, texts[2], texts[3]);
}

int32_t StringsToSpherical(const std::string texts[4], MyReal out[3]) {
    double theta = (90 - String2MyReal(texts[0])) * M_PI / 180;
    double phi = String2MyReal(texts[1]) * M_PI / 180;
    double r = StringsToMantExp(texts[2], texts[3]);
    out[0] = r * std::sin(theta) * std::cos(phi);
    out[1] = r * std::sin(theta) * std::sin(phi);
    out[2] = r * std::cos(theta);
    return (std::isnan(out[0]) || std::isnan(out[1]) || std::isnan(out[2])) ? 0 : 1;
}
