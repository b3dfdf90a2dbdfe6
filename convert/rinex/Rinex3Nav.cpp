#include "convert/rinex/Rinex3Nav.h"

#include "convert/rinex/Rinex3ObsHeader.h"
#include "convert/rinex/RinexFormat.h"
#include "convert/rinex/RinexNav.h"

using namespace rinex;

namespace rinex3 {

namespace {

// "IONOSPHERIC CORR" of one set of four coefficients.
std::string IonosphericRecord(const char* name, const double (&v)[4]) {
    std::string c = std::string(name) + " ";
    for (const double x : v) AppendExponent(c, 12, 4, x);
    return HeaderRecord(c, "IONOSPHERIC CORR");
}

}  // namespace

std::string NavHeaderText(const RinexNavHeader& header) {
    std::string out = VersionTypeRecord("N: GNSS NAV DATA") + rinex3::ProgramRecord(header);
    out += IonosphericRecord("GPSA", header.alpha);
    out += IonosphericRecord("GPSB", header.beta);
    out += HeaderRecord("GPUT " + exponent(17, 10, header.A0) + exponent(16, 9, header.A1) + " " +
                            integer(6, header.T) + " " + integer(4, header.W),
                        "TIME SYSTEM CORR");
    out += HeaderRecord(integer(6, header.leapSeconds), "LEAP SECONDS");
    out += EndOfHeader();
    return out;
}

std::string NavRecordText(const Ephemeris& eph) {
    std::string out;
    out.reserve(8 * 82);
    const RinexDateTime d = SplitTime(ClockReferenceTime(eph), 0);
    out.push_back('G');
    AppendTwoDigits(out, eph.satellite + 1);
    out.push_back(' ');
    AppendInteger(out, 4, d.year);
    for (const int field : {d.month, d.day, d.hour, d.minute, static_cast<int>(d.seconds)}) {
        out.push_back(' ');
        AppendTwoDigits(out, field);
    }
    AppendExponent(out, 19, 12, eph.af0);
    AppendExponent(out, 19, 12, eph.af1);
    AppendExponent(out, 19, 12, eph.af2);
    out.append(kLineEnd);
    AppendBroadcastOrbits(out, eph, 4);
    return out;
}

std::string NavRecordsText(const EphemerisStore& store) {
    std::string out;
    for (const Ephemeris* e = store.First(); e != nullptr; e = store.Next(*e)) out += rinex3::NavRecordText(*e);
    return out;
}

}  // namespace rinex3
