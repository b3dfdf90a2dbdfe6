// RINEX 3.04 navigation header and records, line by line as written by hand from
// the format's column definitions and the real record of 07590920.05n.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/rinex/Rinex3Nav.h"
#include "tests/convert/rinex/RinexLines.h"
#include "tests/convert/rinex/RinexRealRecords.h"

namespace {

using rinextest::L;
using rinextest::Lines;
using rinextest::RealEphemerisPrn1;
using rinextest::RealIonoUtc;

}  // namespace

TEST(Rinex3NavHeaderText, IonosphereTimeSystemAndLeapSecondRecords) {
    IonoUtc u = RealIonoUtc();
    u.A0 = -2.7939677238e-09;  // ten decimals, so that D17.10 needs no rounding
    u.A1 = -5.329070518e-15;
    // tot 61440.9 is written as 61440; the 8-bit week 37 of reference week 1316 as 1317.
    EXPECT_EQ(rinex3::NavHeaderText(MakeNavHeader(u, CalendarTime{2005, 4, 2, 9, 30, 0})),
              L("     3.04           N: GNSS NAV DATA    G: GPS              RINEX VERSION / TYPE") +
                  L("QERN TO RINEX 3.30  QERN                20050402 093000 LCL PGM / RUN BY / DATE ") +
                  L("GPSA   1.1180D-08  1.4900D-08 -5.9600D-08 -5.9600D-08       IONOSPHERIC CORR    ") +
                  L("GPSB   8.8060D+04  1.6380D+04 -1.9660D+05 -1.3110D+05       IONOSPHERIC CORR    ") +
                  L("GPUT -2.7939677238D-09-5.329070518D-15  61440 1317          TIME SYSTEM CORR    ") +
                  L("    13                                                      LEAP SECONDS        ") +
                  L("                                                            END OF HEADER       "));
}

TEST(Rinex3NavRecordText, RealEphemerisInThe3xLayout) {
    EXPECT_EQ(rinex3::NavRecordText(RealEphemerisPrn1()),
              L("G01 2005 04 02 02 00 00 3.966595977540D-04 1.705302565820D-12 0.000000000000D+00") +
                  L("     1.400000000000D+02-5.218750000000D+01 4.026596389650D-09 2.871534990340D+00") +
                  L("    -2.676621079440D-06 5.957618006510D-03 4.174187779430D-06 5.153636478420D+03") +
                  L("     5.256000000000D+05 1.061707735060D-07-2.493184817740D+00-9.313225746150D-08") +
                  L("     9.833919144490D-01 3.093750000000D+02-1.650496813270D+00-7.889971342930D-09") +
                  L("    -8.571785642400D-12 1.000000000000D+00 1.316000000000D+03 0.000000000000D+00") +
                  L("     1.000000000000D+00 0.000000000000D+00-3.259629011150D-09 3.960000000000D+02") +
                  L("     5.195760000000D+05                                                         "));
}

TEST(Rinex3NavRecordText, TocDatedAcrossTheWeekBoundary) {
    struct Case {
        uint16_t week;
        double toe;  // s of week
        double toc;  // s of week
        const char* start;
    };
    const Case cases[] = {
        {1317, 0.0, 604784.0, "G05 2005 04 02 23 59 44"},  // toc 16 s before a toe that opens a week
        {1316, 604000.0, 16.0, "G05 2005 04 03 00 00 16"},  // toc 16 s into the next week
        {1316, 518400.0, 525600.0, "G05 2005 04 02 02 00 00"},
    };
    for (const Case& c : cases) {
        Ephemeris e = RealEphemerisPrn1();
        e.satellite = 4;
        e.week = c.week;
        e.toe = c.toe;
        e.toeTime = GpsTime(c.week, c.toe);
        e.toc = c.toc;
        EXPECT_EQ(Lines(rinex3::NavRecordText(e))[0].substr(0, 23), c.start);
    }
}
