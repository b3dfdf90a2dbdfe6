#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "convert/rinex/RinexLongName.h"

namespace {

// GPS time of a calendar date-time plus a fraction of a second.
GpsTime At(int year, int month, int day, int hour, int minute, int second, double fraction = 0.0) {
    GpsTime t;
    t.FromCalendar(CalendarTime{year, month, day, hour, minute, second});
    return t.AddSeconds(fraction);
}

}  // namespace

TEST(RinexLongName, PeriodFromTheSpanOfTheData) {
    const struct {
        double span;  // s
        const char* code;
    } cases[] = {{0.0, "15M"},       {900.0, "15M"},        {901.0, "01H"},      {3570.0, "01H"},
                 {3600.0, "01H"},    {86370.0, "01D"},      {86400.0, "01D"},    {86401.0, "01Y"},
                 {366 * 86400.0, "01Y"}, {366 * 86400.0 + 1, "00U"}, {NAN, "00U"}};
    for (const auto& c : cases) EXPECT_EQ(RinexPeriodCode(c.span), c.code) << c.span;
}

TEST(RinexLongName, FrequencyFromTheInterval) {
    const struct {
        double interval;  // s
        const char* code;
    } cases[] = {{30.0, "30S"},  {1.0, "01S"},    {15.0, "15S"},    {90.0, "90S"},  {60.0, "01M"},
                 {300.0, "05M"}, {130.0, "02M"},  {3600.0, "01H"},  {86400.0, "01D"}, {0.5, "02Z"},
                 {0.1, "10Z"},   {0.05, "20Z"},   {0.01, "01C"},    {0.0, "00U"},   {-1.0, "00U"},
                 {NAN, "00U"},   {INFINITY, "00U"}};
    for (const auto& c : cases) EXPECT_EQ(RinexFrequencyCode(c.interval), c.code) << c.interval;
}

TEST(RinexLongName, ObservationAndNavigationNames) {
    const struct {
        const char* marker;
        const char* country;
        GpsTime first;
        double span;
        double interval;
        RinexFileKind kind;
        const char* name;
    } cases[] = {
        {"0759", "JPN", At(2005, 4, 2, 0, 0, 0), 86370.0, 30.0, RinexFileKind::Observation,
         "075900JPN_R_20050920000_01D_30S_GO.rnx"},
        {"0759", "JPN", At(2005, 4, 2, 0, 0, 0), 86370.0, 30.0, RinexFileKind::Navigation,
         "075900JPN_R_20050920000_01D_GN.rnx"},
        // Day 160 of a leap year; lower case made upper case; the start keeps its minutes.
        {"algonquin", "can", At(2012, 6, 8, 10, 17, 30), 3570.0, 1.0, RinexFileKind::Observation,
         "ALGO00CAN_R_20121601017_01H_01S_GO.rnx"},
        // A short name and characters a file name cannot hold become X; a country
        // code that is not three letters becomes XXX.
        {"A/b", "J1N", At(2005, 4, 2, 0, 0, 0), 600.0, 0.1, RinexFileKind::Observation,
         "AXBX00XXX_R_20050920000_15M_10Z_GO.rnx"},
        {"", "JAPN", At(2005, 4, 2, 0, 0, 0), 0.0, 0.0, RinexFileKind::Navigation,
         "XXXX00XXX_R_20050920000_15M_GN.rnx"},
        // A first epoch a hair below midnight of 31 December starts the next year.
        {"0759", "JPN", At(2004, 12, 31, 23, 59, 59, 0.99999999), 900.0, 30.0, RinexFileKind::Observation,
         "075900JPN_R_20050010000_15M_30S_GO.rnx"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RinexLongName(c.marker, c.country, c.first, c.span, c.interval, c.kind), c.name);
}
