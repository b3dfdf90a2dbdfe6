#include "convert/rinex/RinexNav.h"

#include <cmath>

#include "convert/rinex/RinexFormat.h"
#include "rawdata/GpsConstants.h"

using namespace rinex;

int ResolveUtcWeek(unsigned WNt, unsigned referenceWeek) {
    if (referenceWeek == 0) return static_cast<int>(WNt);
    const int diff = static_cast<int>(WNt & 0xFFu) - static_cast<int>(referenceWeek);
    return static_cast<int>(referenceWeek) + SymmetricRemainder(diff, 256);
}

RinexNavHeader MakeNavHeader(const IonoUtc& ionoUtc, const CalendarTime& now) {
    RinexNavHeader h;
    h.creationDate = now;
    h.alpha[0] = ionoUtc.alpha0;
    h.alpha[1] = ionoUtc.alpha1;
    h.alpha[2] = ionoUtc.alpha2;
    h.alpha[3] = ionoUtc.alpha3;
    h.beta[0] = ionoUtc.beta0;
    h.beta[1] = ionoUtc.beta1;
    h.beta[2] = ionoUtc.beta2;
    h.beta[3] = ionoUtc.beta3;
    h.A0 = ionoUtc.A0;
    h.A1 = ionoUtc.A1;
    // tot lies within a week; anything else (a corrupt record) is written as 0.
    h.T = std::isfinite(ionoUtc.tot) && std::fabs(ionoUtc.tot) < 1e9 ? static_cast<int>(ionoUtc.tot) : 0;
    h.W = ResolveUtcWeek(ionoUtc.WNt, ionoUtc.time.week);
    h.leapSeconds = ionoUtc.deltaTLS;
    h.messageValid = ionoUtc.valid != 0;
    return h;
}

std::string NavHeaderText(const RinexNavHeader& header) {
    std::string out = VersionTypeRecord(header) + ProgramRecord(header);
    std::string alpha = text(2, "");
    std::string beta = text(2, "");
    for (int i = 0; i < 4; ++i) {
        AppendExponent(alpha, 12, 4, header.alpha[i]);
        AppendExponent(beta, 12, 4, header.beta[i]);
    }
    out += HeaderRecord(alpha, "ION ALPHA");
    out += HeaderRecord(beta, "ION BETA");
    out += HeaderRecord(text(3, "") + exponent(19, 12, header.A0) + exponent(19, 12, header.A1) +
                            integer(9, header.T) + integer(9, header.W),
                        "DELTA-UTC: A0,A1,T,W");
    out += HeaderRecord(integer(6, header.leapSeconds), "LEAP SECONDS");
    out += EndOfHeader();
    return out;
}

GpsTime ClockReferenceTime(const Ephemeris& eph) {
    int week = eph.toeTime.week;
    const double d = eph.toc - eph.toeTime.seconds;
    if (d > GpsTime::kSecondsPerWeek / 2) --week;
    if (d < -GpsTime::kSecondsPerWeek / 2) ++week;
    return GpsTime(static_cast<uint16_t>(week), eph.toc);
}

namespace {

// One broadcast-orbit line: indent blanks, four exponent(19, 12) values, blanks to
// column 80, CR LF.
void AppendOrbitLine(std::string& out, int indent, double a, double b, double c, double d) {
    AppendBlanks(out, indent);
    AppendExponent(out, 19, 12, a);
    AppendExponent(out, 19, 12, b);
    AppendExponent(out, 19, 12, c);
    AppendExponent(out, 19, 12, d);
    AppendBlanks(out, 80 - indent - 4 * 19);
    out.append(kLineEnd);
}

}  // namespace

void AppendBroadcastOrbits(std::string& out, const Ephemeris& eph, int indent) {
    AppendOrbitLine(out, indent, eph.IODE, eph.Crs, eph.deltaN, eph.M0);
    AppendOrbitLine(out, indent, eph.Cuc, eph.e, eph.Cus, eph.sqrtA);
    AppendOrbitLine(out, indent, eph.toe, eph.Cic, eph.Omega0, eph.Cis);
    AppendOrbitLine(out, indent, eph.i0, eph.Crc, eph.omega, eph.OmegaDot);
    AppendOrbitLine(out, indent, eph.IDOT, eph.codesOnL2, eph.week, eph.l2PDataFlag);
    AppendOrbitLine(out, indent, eph.accuracy, eph.health, eph.TGD, eph.IODC);
    // The fit interval is left blank (unknown).
    AppendBlanks(out, indent);
    AppendExponent(out, 19, 12, eph.recordTime.seconds);
    AppendBlanks(out, 80 - indent - 19);
    out.append(kLineEnd);
}

std::string NavRecordText(const Ephemeris& eph) {
    std::string out;
    out.reserve(8 * 82);
    const RinexDateTime d = SplitTime(ClockReferenceTime(eph), 1);
    AppendInteger(out, 2, eph.satellite + 1);
    AppendInteger(out, 3, d.year % 100);
    AppendInteger(out, 3, d.month);
    AppendInteger(out, 3, d.day);
    AppendInteger(out, 3, d.hour);
    AppendInteger(out, 3, d.minute);
    AppendFixed(out, 5, 1, d.seconds);
    AppendExponent(out, 19, 12, eph.af0);
    AppendExponent(out, 19, 12, eph.af1);
    AppendExponent(out, 19, 12, eph.af2);
    AppendBlanks(out, 1);
    out.append(kLineEnd);
    AppendBroadcastOrbits(out, eph, 3);
    return out;
}

std::string NavRecordsText(const EphemerisStore& store) {
    std::string out;
    for (const Ephemeris* e = store.First(); e != nullptr; e = store.Next(*e)) out += NavRecordText(*e);
    return out;
}
