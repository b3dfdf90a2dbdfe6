#pragma once
#include <string>

#include "convert/rinex/RinexObsHeader.h"
#include "rawdata/Ephemeris.h"
#include "rawdata/EphemerisStore.h"
#include "rawdata/IonoUtc.h"

// The RINEX navigation file header: the shared header fields (file type 'N',
// "AVIGATION DATA", no satellite system) and the ionosphere and UTC values.
struct RinexNavHeader : RinexFileHeader {
    double alpha[4] = {0, 0, 0, 0};  // s, s/semicircle, s/semicircle^2, s/semicircle^3
    double beta[4] = {0, 0, 0, 0};   // s, s/semicircle, s/semicircle^2, s/semicircle^3
    double A0 = 0.0;                 // s
    double A1 = 0.0;                 // s/s
    int T = 0;                       // UTC reference time, s of week
    int W = 0;                       // UTC reference week, full GPS week
    int leapSeconds = 0;             // s
    // The ionosphere/UTC message the values come from (RINEX 4 writes it as
    // records of its own): whether one was received, when, and the satellite
    // (PRN 1..32) named as its sender.
    bool messageValid = false;
    GpsTime messageTime;
    int messageSatellite = 1;

    RinexNavHeader() {
        fileType = 'N';
        fileTypeText = "AVIGATION DATA";
        satelliteSystem = ' ';
        satelliteSystemText.clear();
    }
};

// Full GPS week of the 8-bit UTC reference week WNt: the week nearest
// referenceWeek equal to WNt modulo 256. With no reference week (0) WNt is kept.
int ResolveUtcWeek(unsigned WNt, unsigned referenceWeek);

// A navigation header dated `now` with the values of the kept ionosphere/UTC
// record: T = tot truncated toward zero, W = WNt resolved against the record's
// reference week (IonoUtc::time.week), leap seconds = deltaTLS, messageValid =
// the record is valid.
RinexNavHeader MakeNavHeader(const IonoUtc& ionoUtc, const CalendarTime& now);

// The navigation header: version, program, ION ALPHA, ION BETA,
// DELTA-UTC: A0,A1,T,W, LEAP SECONDS and END OF HEADER.
std::string NavHeaderText(const RinexNavHeader& header);

// Clock reference time of an ephemeris: toc in the week of its toeTime, moved a
// week back or ahead when toc lies more than half a week from toe.
GpsTime ClockReferenceTime(const Ephemeris& eph);

// The eight lines of one ephemeris: PRN, date of the clock reference time toc and
// the clock polynomial, six broadcast-orbit lines and the transmission time.
std::string NavRecordText(const Ephemeris& eph);

// The records of every stored ephemeris in the store's First/Next order
// (ascending toeTime, then PRN).
std::string NavRecordsText(const EphemerisStore& store);

// The seven broadcast-orbit lines of a navigation record (RINEX 2: indent 3,
// RINEX 3: indent 4): four exponent(19, 12) fields a line, the transmission time
// alone on the last (fit interval blank), blanks to column 80, CR LF.
void AppendBroadcastOrbits(std::string& out, const Ephemeris& eph, int indent);
