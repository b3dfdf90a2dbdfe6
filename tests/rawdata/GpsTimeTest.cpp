#include "rawdata/GpsTime.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectTime(const GpsTime& t, unsigned week, double seconds) {
    EXPECT_EQ(t.week, week);
    EXPECT_DOUBLE_EQ(t.seconds, seconds);
}

void ExpectCalendar(const CalendarTime& c, int y, int mo, int d, int h, int mi, int s) {
    EXPECT_EQ(c.year, y);
    EXPECT_EQ(c.month, mo);
    EXPECT_EQ(c.day, d);
    EXPECT_EQ(c.hour, h);
    EXPECT_EQ(c.minute, mi);
    EXPECT_EQ(c.second, s);
}

CalendarTime Cal(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    CalendarTime c;
    c.year = y;
    c.month = mo;
    c.day = d;
    c.hour = h;
    c.minute = mi;
    c.second = s;
    return c;
}

TEST(GpsTime, DefaultIsTheOrigin) {
    const GpsTime t;
    ExpectTime(t, 0, 0.0);
}

TEST(GpsTime, AddingCarriesTheWeekForward) {
    ExpectTime(GpsTime(10, 0.0).AddSeconds(604800.0), 11, 0.0);
    ExpectTime(GpsTime(10, 604799.5).AddSeconds(0.5), 11, 0.0);
    ExpectTime(GpsTime(10, 604799.0).AddSeconds(2.0 * 604800.0 + 3.0), 13, 2.0);
    ExpectTime(GpsTime(10, 100.0).AddSeconds(0.0), 10, 100.0);
    GpsTime t(1315, 604790.0);
    t += 20.0;
    ExpectTime(t, 1316, 10.0);
}

TEST(GpsTime, SubtractingBorrowsFromTheWeek) {
    ExpectTime(GpsTime(10, 0.0).AddSeconds(-0.5), 9, 604799.5);
    ExpectTime(GpsTime(10, 0.0).SubtractSeconds(0.5), 9, 604799.5);
    ExpectTime(GpsTime(10, 5.0).SubtractSeconds(604800.0 * 2), 8, 5.0);
    GpsTime t(1316, 10.0);
    t -= 20.0;
    ExpectTime(t, 1315, 604790.0);
    // Subtracting a negative amount adds.
    ExpectTime(GpsTime(10, 604799.0).SubtractSeconds(-2.0), 11, 1.0);
}

TEST(GpsTime, WeekZeroWrapsToTheLastWeek) {
    ExpectTime(GpsTime(0, 0.0).AddSeconds(-1.0), 65535, 604799.0);
    ExpectTime(GpsTime(65535, 604799.0).AddSeconds(1.0), 0, 0.0);
}

TEST(GpsTime, OnlyTheSignOfTheStepSelectsTheNormalisation) {
    // A positive step does not repair seconds that were already negative.
    ExpectTime(GpsTime(10, -5.0).AddSeconds(1.0), 10, -4.0);
    // A negative step does not reduce seconds beyond one week.
    ExpectTime(GpsTime(10, 604810.0).AddSeconds(-1.0), 10, 604809.0);
}

TEST(GpsTime, StepsOfManyWeeksCarryEveryWeek) {
    // 20000 weeks and 5.5 s forward: week 10 + 20000, the seconds exact.
    ExpectTime(GpsTime(10, 0.0).AddSeconds(604800.0 * 20000 + 5.5), 20010, 5.5);
    // 20000 weeks and 0.5 s back from week 10: week 10 - 20001 wrapped in 16 bits.
    ExpectTime(GpsTime(10, 0.0).AddSeconds(-(604800.0 * 20000 + 0.5)), 45545, 604799.5);
    // 65536 weeks forward wrap the week all the way round.
    ExpectTime(GpsTime(1316, 7.0).AddSeconds(604800.0 * 65536), 1316, 7.0);
}

TEST(GpsTime, ExtremeStepsEndWithSecondsInTheWeekOrNotANumber) {
    // Steps far beyond any real span (from corrupt values) still end, with the
    // seconds inside one week.
    for (double dt : {1e300, -1e300, 1e25, -1e25}) {
        const GpsTime t = GpsTime(1316, 100.0).AddSeconds(dt);
        EXPECT_GE(t.seconds, 0.0) << dt;
        EXPECT_LT(t.seconds, 604800.0) << dt;
    }
    // A step that is not a finite number has no weeks to carry.
    const GpsTime inf = GpsTime(1316, 100.0).AddSeconds(HUGE_VAL);
    EXPECT_EQ(inf.week, 1316);
    EXPECT_FALSE(std::isfinite(inf.seconds));
    const GpsTime minusInf = GpsTime(1316, 100.0).AddSeconds(-HUGE_VAL);
    EXPECT_EQ(minusInf.week, 1316);
    EXPECT_FALSE(std::isfinite(minusInf.seconds));
    const GpsTime nan = GpsTime(1316, 100.0).AddSeconds(std::nan(""));
    EXPECT_EQ(nan.week, 1316);
    EXPECT_TRUE(std::isnan(nan.seconds));
}

TEST(GpsTime, Difference) {
    EXPECT_DOUBLE_EQ(GpsTime(11, 1.0).Difference(GpsTime(10, 604799.0)), 2.0);
    EXPECT_DOUBLE_EQ(GpsTime(10, 604799.0).Difference(GpsTime(11, 1.0)), -2.0);
    EXPECT_DOUBLE_EQ(GpsTime(1316, 518400.25).Difference(GpsTime(1316, 518400.0)), 0.25);
    EXPECT_DOUBLE_EQ(GpsTime(2048, 0.0).Difference(GpsTime(0, 0.0)), 2048.0 * 604800.0);
    // Week 65535 lies after every real time.
    EXPECT_GT(GpsTime(65535, 0.0).Difference(GpsTime(2400, 604799.0)), 0.0);
}

TEST(GpsTime, ComparisonsHaveNoTolerance) {
    const GpsTime a(100, 10.0);
    const GpsTime b(100, 10.0);
    const GpsTime later(100, 10.000001);
    const GpsTime nextWeek(101, 0.0);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    EXPECT_FALSE(a == later);
    EXPECT_TRUE(a != later);
    EXPECT_TRUE(later > a);
    EXPECT_FALSE(a > b);
    EXPECT_TRUE(a >= b);
    EXPECT_TRUE(a <= b);
    EXPECT_FALSE(a < b);
    EXPECT_TRUE(a < later);
    EXPECT_FALSE(later < a);
    EXPECT_TRUE(later >= a);
    EXPECT_FALSE(later <= a);
    EXPECT_TRUE(GpsTime(100, 604799.0) < nextWeek);
    EXPECT_TRUE(nextWeek > GpsTime(100, 604799.0));
    // Equal instants written differently compare equal in order but not in ==.
    const GpsTime sameInstant(100, 604800.0);
    EXPECT_TRUE(sameInstant >= nextWeek);
    EXPECT_TRUE(sameInstant <= nextWeek);
    EXPECT_FALSE(sameInstant == nextWeek);
}

TEST(GpsTime, DaysSinceTheOrigin) {
    EXPECT_DOUBLE_EQ(GpsTime(0, 0.0).ToDays(), 0.0);
    EXPECT_DOUBLE_EQ(GpsTime(1316, 518400.0).ToDays(), 9218.0);
    EXPECT_DOUBLE_EQ(GpsTime(1590, 390896.0).ToDays(), 11134.0 + 45296.0 / 86400.0);

    GpsTime t;
    t.FromDays(9218.5);
    ExpectTime(t, 1316, 561600.0);
    t.FromDays(7168.0);
    ExpectTime(t, 1024, 0.0);
    t.FromDays(6.75);
    ExpectTime(t, 0, 583200.0);
    t.FromDays(0.0);
    ExpectTime(t, 0, 0.0);
}

TEST(GpsTime, FromCalendarKnownDates) {
    GpsTime t(99, 99.0);
    t.FromCalendar(Cal(1980, 1, 6));
    ExpectTime(t, 0, 0.0);
    t.FromCalendar(Cal(1980, 1, 12, 23, 59, 59));
    ExpectTime(t, 0, 604799.0);
    t.FromCalendar(Cal(1980, 1, 13));
    ExpectTime(t, 1, 0.0);
    t.FromCalendar(Cal(1980, 12, 31, 23, 59, 59));
    ExpectTime(t, 51, 345599.0);
    t.FromCalendar(Cal(1999, 8, 22));
    ExpectTime(t, 1024, 0.0);
    t.FromCalendar(Cal(2000, 1, 1));
    ExpectTime(t, 1042, 518400.0);
    t.FromCalendar(Cal(2000, 2, 29, 23, 59, 59));
    ExpectTime(t, 1051, 259199.0);
    t.FromCalendar(Cal(2005, 4, 2));
    ExpectTime(t, 1316, 518400.0);
    t.FromCalendar(Cal(2010, 7, 1, 12, 34, 56));
    ExpectTime(t, 1590, 390896.0);
    t.FromCalendar(Cal(2019, 4, 7));
    ExpectTime(t, 2048, 0.0);
    t.FromCalendar(Cal(2024, 2, 29, 6, 0, 0));
    ExpectTime(t, 2303, 367200.0);
    t.FromCalendar(Cal(2035, 12, 31, 23, 59, 59));
    ExpectTime(t, 2921, 172799.0);
}

TEST(GpsTime, ToCalendarKnownDates) {
    ExpectCalendar(GpsTime(0, 0.0).ToCalendar(), 1980, 1, 6, 0, 0, 0);
    ExpectCalendar(GpsTime(51, 345599.0).ToCalendar(), 1980, 12, 31, 23, 59, 59);
    ExpectCalendar(GpsTime(1042, 518400.0).ToCalendar(), 2000, 1, 1, 0, 0, 0);
    ExpectCalendar(GpsTime(1051, 259199.0).ToCalendar(), 2000, 2, 29, 23, 59, 59);
    ExpectCalendar(GpsTime(1316, 518400.0).ToCalendar(), 2005, 4, 2, 0, 0, 0);
    ExpectCalendar(GpsTime(2303, 367200.0).ToCalendar(), 2024, 2, 29, 6, 0, 0);
    ExpectCalendar(GpsTime(2921, 172799.0).ToCalendar(), 2035, 12, 31, 23, 59, 59);
    // Fractions of a second are dropped, not rounded.
    ExpectCalendar(GpsTime(1590, 390896.999).ToCalendar(), 2010, 7, 1, 12, 34, 56);
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Walks every day from 6 January 1980 to the end of 2035 with an independent day
// count and checks both directions at the start and the last second of each day.
TEST(GpsTime, CalendarRoundTripEveryDay1980To2035) {
    long days = 0;
    int failures = 0;
    for (int y = 1980; y <= 2035 && failures < 5; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = (y == 1980 && m == 1) ? 6 : 1; d <= DaysInMonth(y, m); ++d, ++days) {
                for (int secondOfDay : {0, 43200 + 61, 86399}) {
                    const int h = secondOfDay / 3600, mi = secondOfDay / 60 % 60, s = secondOfDay % 60;
                    GpsTime t;
                    t.FromCalendar(Cal(y, m, d, h, mi, s));
                    const unsigned week = static_cast<unsigned>(days / 7);
                    const double sow = static_cast<double>(days % 7) * 86400.0 + secondOfDay;
                    if (t.week != week || t.seconds != sow) {
                        ADD_FAILURE() << y << "-" << m << "-" << d << " " << secondOfDay << ": got "
                                      << t.week << "/" << t.seconds << " want " << week << "/" << sow;
                        ++failures;
                    }
                    const CalendarTime c = GpsTime(static_cast<uint16_t>(week), sow).ToCalendar();
                    if (c.year != y || c.month != m || c.day != d || c.hour != h || c.minute != mi ||
                        c.second != s) {
                        ADD_FAILURE() << "back to calendar " << y << "-" << m << "-" << d << ": got "
                                      << c.year << "-" << c.month << "-" << c.day << " " << c.hour
                                      << ":" << c.minute << ":" << c.second;
                        ++failures;
                    }
                }
            }
        }
    }
    EXPECT_EQ(days, 20449);  // 6 Jan 1980 .. 31 Dec 2035 inclusive
}

TEST(GpsTime, ResolveWeekNearestTheReference) {
    EXPECT_EQ(ResolveWeek(5, 1030), 1029);
    EXPECT_EQ(ResolveWeek(6, 1030), 1030);
    EXPECT_EQ(ResolveWeek(7, 1030), 1031);
    EXPECT_EQ(ResolveWeek(292, 1316), 1316);
    EXPECT_EQ(ResolveWeek(566, 1590), 1590);
    EXPECT_EQ(ResolveWeek(1023, 1024), 1023);
    EXPECT_EQ(ResolveWeek(0, 2047), 2048);
    EXPECT_EQ(ResolveWeek(1000, 2000), 2024);
    EXPECT_EQ(ResolveWeek(24, 1000), 1048);
}

TEST(GpsTime, ResolveWeekLeavesExactlyHalfARolloverUncorrected) {
    // Difference exactly +512 or -512: no correction.
    EXPECT_EQ(ResolveWeek(612, 100), 612);
    EXPECT_EQ(ResolveWeek(100, 612), 100);
    // One more and the other rollover is nearer.
    EXPECT_EQ(ResolveWeek(613, 100), static_cast<uint16_t>(613 - 1024));
    EXPECT_EQ(ResolveWeek(99, 612), 1123);
    EXPECT_EQ(ResolveWeek(512, 1024), 512);
    EXPECT_EQ(ResolveWeek(511, 1024), 1535);
}

}  // namespace
