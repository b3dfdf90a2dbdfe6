#pragma once
#include <string>

#include "convert/rinex/RinexNav.h"
#include "convert/rinex/RinexObsHeader.h"

// RINEX 4.01 files of a GPS receiver. The observation file is the RINEX 3 one
// (rinex3::EpochText records and event records) under a 4.01 header, which no
// longer carries SYS / PHASE SHIFT. The navigation file holds the same ephemerides
// as the RINEX 2 and 3 ones, in the same order and dating, each as an EPH record;
// the ionosphere and UTC values move from the header into an ION and an STO
// record, and the header keeps LEAP SECONDS. Every navigation line is 80 columns.
namespace rinex4 {

// The observation header: rinex3::ObsHeaderText with version 4.01 and without
// SYS / PHASE SHIFT.
std::string ObsHeaderText(const RinexObsHeader& h);

// The navigation header: RINEX VERSION / TYPE (4.01, "N: GNSS NAV DATA",
// "G: GPS"), PGM / RUN BY / DATE, LEAP SECONDS (integer(6)) and END OF HEADER.
std::string NavHeaderText(const RinexNavHeader& header);

// The records of the ionosphere/UTC message of header, none without one
// (messageValid false). Both are sent by header.messageSatellite (Gnn):
//   "> ION Gnn LNAV"; 4 blanks, the message time as "yyyy mm dd hh mm ss",
//   alpha0..alpha2; 4 blanks, alpha3, beta0..beta2; 4 blanks, beta3
//   (each exponent(19, 12)).
//   "> STO Gnn LNAV"; 4 blanks, the UTC reference time (W, T) as
//   "yyyy mm dd hh mm ss", 1 blank, text(18, "GPUT"), 1 blank, 18 blanks (no
//   SBAS identifier), 1 blank, text(18, "UTC(USNO)"); 4 blanks, the transmission time (s of
//   the week of the message time), A0, A1 and A2 = 0 (each exponent(19, 12)).
std::string NavMessagesText(const RinexNavHeader& header);

// One ephemeris: "> EPH Gnn LNAV", then the eight lines of rinex3::NavRecordText.
std::string NavRecordText(const Ephemeris& eph);

}  // namespace rinex4
