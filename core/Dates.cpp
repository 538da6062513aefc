#include "core/Dates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr double kDay = 86400.0;
constexpr double kJ2000FromMidnight = 0.5;  // J2000 is noon of 2000-01-01

// Days from 2000-01-01 to y-m-d of the Gregorian calendar (H. Hinnant's days_from_civil).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + long(doe) - 719468 - 10957;  // 10957 days from 1970 to 2000
}

void CivilFromDays(long z, long& y, unsigned& m, unsigned& d) {
    z += 719468 + 10957;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = long(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kDays[m - 1];
}

// TAI − UTC from 1972 (IERS Bulletin C): the day each value starts, as days since 2000-01-01.
struct LeapStep {
    int y, m, taiMinusUtc;
};
const LeapStep kLeaps[] = {{1972, 1, 10}, {1972, 7, 11}, {1973, 1, 12}, {1974, 1, 13}, {1975, 1, 14}, {1976, 1, 15},
                           {1977, 1, 16}, {1978, 1, 17}, {1979, 1, 18}, {1980, 1, 19}, {1981, 7, 20}, {1982, 7, 21},
                           {1983, 7, 22}, {1985, 7, 23}, {1988, 1, 24}, {1990, 1, 25}, {1991, 1, 26}, {1992, 7, 27},
                           {1993, 7, 28}, {1994, 7, 29}, {1996, 1, 30}, {1997, 7, 31}, {1999, 1, 32}, {2006, 1, 33},
                           {2009, 1, 34}, {2012, 7, 35}, {2015, 7, 36}, {2017, 1, 37}};

// The year with its fraction, as the ΔT polynomials take it.
double YearOf(double daysSince2000) { return 2000.0 + daysSince2000 / 365.2425; }

// ΔT = TT − UT1 before 1972 (Espenak & Meeus, "Five Millennium Canon of Solar Eclipses", 2006).
double DeltaTBefore1972(double y) {
    if (y < 1860) {
        const double t = y - 1800;
        return 13.72 - 0.332447 * t + 0.0068612 * t * t + 0.0041116 * std::pow(t, 3) - 0.00037436 * std::pow(t, 4) +
               0.0000121272 * std::pow(t, 5) - 0.0000001699 * std::pow(t, 6) + 0.000000000875 * std::pow(t, 7);
    }
    if (y < 1900) {
        const double t = y - 1860;
        return 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * std::pow(t, 3) - 0.0004473624 * std::pow(t, 4) +
               std::pow(t, 5) / 233174;
    }
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * std::pow(t, 3) - 0.000197 * std::pow(t, 4);
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * std::pow(t, 3);
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + std::pow(t, 3) / 2547;
    }
    const double t = y - 1975;
    return 45.45 + 1.067 * t - t * t / 260 - std::pow(t, 3) / 718;
}
}  // namespace

bool ParseCalendarTime(const std::string& text, CalendarTime& out) {
    CalendarTime t;
    int consumed = 0;
    char sep = 'T';
    const int n = std::sscanf(text.c_str(), "%5d-%2d-%2d%n%c%2d:%2d%n", &t.year, &t.month, &t.day, &consumed, &sep,
                              &t.hour, &t.minute, &consumed);
    if (n == 3) {
        t.hour = t.minute = 0;
    } else if (n != 6 || (sep != 'T' && sep != ' ')) {
        return false;
    }
    const char* rest = text.c_str() + consumed;
    if (n == 6 && *rest == ':') {
        char* end = nullptr;
        t.second = std::strtod(rest + 1, &end);
        if (end == rest + 1) return false;
        rest = end;
    }
    while (*rest == ' ') ++rest;
    if (*rest != '\0' && std::string(rest) != "UTC" && std::string(rest) != "Z") return false;
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) || t.hour < 0 ||
        t.hour > 23 || t.minute < 0 || t.minute > 59 || !(t.second >= 0.0 && t.second < 61.0))
        return false;
    out = t;
    return true;
}

double DaysSince2000(const CalendarTime& t) {
    return double(DaysFromCivil(t.year, unsigned(t.month), unsigned(t.day))) +
           (t.hour * 3600.0 + t.minute * 60.0 + t.second) / kDay;
}

CalendarTime CalendarFromDaysSince2000(double days) {
    CalendarTime t;
    const double whole = std::floor(days);
    long y;
    unsigned m, d;
    CivilFromDays(long(whole), y, m, d);
    t.year = int(y), t.month = int(m), t.day = int(d);
    double s = (days - whole) * kDay;
    t.hour = int(s / 3600.0);
    s -= t.hour * 3600.0;
    t.minute = int(s / 60.0);
    t.second = s - t.minute * 60.0;
    return t;
}

double TTMinusUTC(double yearFraction, double daysSince2000Utc) {
    if (yearFraction < 1972.0) return DeltaTBefore1972(yearFraction);
    int tai = kLeaps[0].taiMinusUtc;
    for (const LeapStep& l : kLeaps)
        if (daysSince2000Utc >= double(DaysFromCivil(l.y, unsigned(l.m), 1))) tai = l.taiMinusUtc;
    return 32.184 + tai;
}

double TDBMinusTT(double tdbSecondsSinceJ2000) {
    const double g = (357.53 + 0.98560028 * tdbSecondsSinceJ2000 / kDay) * M_PI / 180.0;
    return 0.001657 * std::sin(g) + 0.000014 * std::sin(2.0 * g);
}

double TdbSecondsFromUtc(const CalendarTime& utc) {
    const double days = DaysSince2000(utc);
    const double tt = (days - kJ2000FromMidnight) * kDay + TTMinusUTC(YearOf(days), days);
    return tt + TDBMinusTT(tt);
}

CalendarTime UtcFromTdbSeconds(double tdbSeconds) {
    // TT − UTC changes slowly: two rounds settle it to well below a millisecond.
    double tt = tdbSeconds - TDBMinusTT(tdbSeconds);
    double days = tt / kDay + kJ2000FromMidnight;
    for (int k = 0; k < 3; ++k) days = (tt - TTMinusUTC(YearOf(days), days)) / kDay + kJ2000FromMidnight;
    return CalendarFromDaysSince2000(days);
}

size_t FormatTdbDate(double tdbSeconds, char* buf, size_t size) {
    if (size == 0) return 0;
    if (!std::isfinite(tdbSeconds) || std::fabs(tdbSeconds) > 3.2e12) {
        buf[0] = '\0';
        return 0;
    }
    // Whole seconds counted from midnight, so that 59.6 s never shows as "60".
    const long long whole = std::llround(tdbSeconds) + 43200;
    const long long day = whole >= 0 ? whole / 86400 : -((-whole + 86399) / 86400);
    const long secOfDay = long(whole - day * 86400);
    long y;
    unsigned m, d;
    CivilFromDays(long(day), y, m, d);
    const int n = std::snprintf(buf, size, "%04ld-%02u-%02u %02ld:%02ld:%02ld TDB", y, m, d, secOfDay / 3600,
                                secOfDay / 60 % 60, secOfDay % 60);
    return n < 0 ? 0 : std::min(size - 1, size_t(n));
}

bool ParseUtcDateInRange(const std::string& text, double& tdbSeconds, std::string& error) {
    CalendarTime t;
    if (!ParseCalendarTime(text, t)) {
        error = "\u201c" + text + "\u201d is not a date and time as YYYY-MM-DD HH:MM (UTC)";
        return false;
    }
    const bool last = t.year == kLastDateYear && (t.month > 1 || t.day > 1 || t.hour > 0 || t.minute > 0 || t.second > 0);
    if (t.year < kFirstDateYear || t.year > kLastDateYear || last) {
        error = "the date must lie between " + std::to_string(kFirstDateYear) + "-01-01 and " +
                std::to_string(kLastDateYear) + "-01-01";
        return false;
    }
    tdbSeconds = TdbSecondsFromUtc(t);
    return true;
}
