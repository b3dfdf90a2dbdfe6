#include "convert/rinex/Rinex3Nav.h"

#include "convert/rinex/Rinex3ObsHeader.h"
#include "convert/rinex/RinexFormat.h"

using namespace rinex;

namespace rinex3 {

namespace {

// One broadcast-orbit line: 4 blanks, four exponent(19, 12) values, CR LF.
void AppendOrbitLine(std::string& out, double a, double b, double c, double d) {
    AppendBlanks(out, 4);
    AppendExponent(out, 19, 12, a);
    AppendExponent(out, 19, 12, b);
    AppendExponent(out, 19, 12, c);
    AppendExponent(out, 19, 12, d);
    out.append(kLineEnd);
}

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
    AppendOrbitLine(out, eph.IODE, eph.Crs, eph.deltaN, eph.M0);
    AppendOrbitLine(out, eph.Cuc, eph.e, eph.Cus, eph.sqrtA);
    AppendOrbitLine(out, eph.toe, eph.Cic, eph.Omega0, eph.Cis);
    AppendOrbitLine(out, eph.i0, eph.Crc, eph.omega, eph.OmegaDot);
    AppendOrbitLine(out, eph.IDOT, eph.codesOnL2, eph.week, eph.l2PDataFlag);
    AppendOrbitLine(out, eph.accuracy, eph.health, eph.TGD, eph.IODC);
    // The fit interval is left blank (unknown), as in the RINEX 2 file.
    AppendBlanks(out, 4);
    AppendExponent(out, 19, 12, eph.recordTime.seconds);
    AppendBlanks(out, 57);
    out.append(kLineEnd);
    return out;
}

std::string NavRecordsText(const EphemerisStore& store) {
    std::string out;
    for (const Ephemeris* e = store.First(); e != nullptr; e = store.Next(*e)) out += rinex3::NavRecordText(*e);
    return out;
}

}  // namespace rinex3
