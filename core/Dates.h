// Calendar dates and the time scales between them: UTC as the user gives it, TT and
// TDB as the ephemerides count. Gregorian calendar throughout (proleptic before 1582).
#pragma once
#include <cstddef>
#include <string>

struct CalendarTime {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0;
    double second = 0.0;
};

// "YYYY-MM-DDTHH:MM" or "YYYY-MM-DD HH:MM[:SS]", or a bare date (midnight); false when malformed.
bool ParseCalendarTime(const std::string& text, CalendarTime& out);
// Days since 2000-01-01 00:00 of the same scale, fraction included.
double DaysSince2000(const CalendarTime& t);
CalendarTime CalendarFromDaysSince2000(double days);

// TT − UTC in seconds: before 1972 the Espenak & Meeus (2006) polynomials for ΔT (UT1
// is taken for UTC), from 1972 32.184 s plus the leap seconds (IERS Bulletin C), the
// last of 2017-01-01 kept for later dates.
double TTMinusUTC(double yearFraction, double daysSince2000Utc);
// TDB − TT in seconds (USNO Circular 179, eq. 2.6): a periodic 1.7 ms.
double TDBMinusTT(double tdbSecondsSinceJ2000);

// UTC calendar time to TDB seconds since J2000 (2000-01-01 12:00:00 TDB), and back.
double TdbSecondsFromUtc(const CalendarTime& utc);
CalendarTime UtcFromTdbSeconds(double tdbSeconds);

// The dates a solar-system universe may be carried to: the years the state vectors and
// the approximate elements that check them are good for, and the ΔT tables reach.
constexpr int kFirstDateYear = 1800, kLastDateYear = 2200;
// Parses a UTC date of that range; false with a message naming the problem.
bool ParseUtcDateInRange(const std::string& text, double& tdbSeconds, std::string& error);

// "2031-06-21 00:01:09 TDB" for TDB seconds since J2000, written into buf (no allocation).
size_t FormatTdbDate(double tdbSeconds, char* buf, size_t size);
