#pragma once
#include <string>

#include "convert/rinex/RinexNav.h"

// The RINEX 3.04 GPS navigation file, from the same header values (MakeNavHeader)
// and ephemerides as the RINEX 2 one, in the same order and with the same toc
// dating (ClockReferenceTime) and full UTC week. Every line is 80 columns.
namespace rinex3 {

// The navigation header: version ("N: GNSS NAV DATA", "G: GPS"), program,
// IONOSPHERIC CORR GPSA and GPSB ("GPSA", 1 blank, four exponent(12, 4)),
// TIME SYSTEM CORR GPUT ("GPUT", 1 blank, exponent(17, 10, A0),
// exponent(16, 9, A1), 1 blank, integer(6, T), 1 blank, integer(4, W)),
// LEAP SECONDS (integer(6)) and END OF HEADER.
std::string NavHeaderText(const RinexNavHeader& header);

// The eight lines of one ephemeris: 'G', the PRN with two digits, the date of toc
// as "yyyy mm dd hh mm ss" and the clock polynomial (three exponent(19, 12));
// six broadcast-orbit lines of 4 blanks and four exponent(19, 12) values; the
// transmission time line (4 blanks and exponent(19, 12)), all blank-padded to 80.
std::string NavRecordText(const Ephemeris& eph);

// The records of every stored ephemeris in the store's First/Next order.
std::string NavRecordsText(const EphemerisStore& store);

}  // namespace rinex3
