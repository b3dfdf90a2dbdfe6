#include "convert/rinex/Rinex4.h"

#include <initializer_list>

#include "convert/rinex/Rinex3Nav.h"
#include "convert/rinex/Rinex3ObsHeader.h"
#include "convert/rinex/RinexFormat.h"

using namespace rinex;

namespace rinex4 {

namespace {

constexpr double kVersion = 4.01;

// Pads the line begun at start to 80 columns and ends it.
void EndLine(std::string& out, size_t start) {
    const size_t used = out.size() - start;
    if (used < static_cast<size_t>(kLineWidth)) AppendBlanks(out, kLineWidth - static_cast<int>(used));
    out.append(kLineEnd);
}

// "> TYPE Gnn LNAV": the record type line of a message of satellite prn (1..32).
void AppendRecordType(std::string& out, const char* type, int prn) {
    const size_t start = out.size();
    out += "> ";
    out += type;
    out += " G";
    AppendTwoDigits(out, prn);
    out += " LNAV";
    EndLine(out, start);
}

// 4 blanks and t as "yyyy mm dd hh mm ss" (seconds rounded).
void AppendEpoch(std::string& out, const GpsTime& t) {
    const RinexDateTime d = SplitTime(t, 0);
    AppendBlanks(out, 4);
    AppendInteger(out, 4, d.year);
    for (const int field : {d.month, d.day, d.hour, d.minute, static_cast<int>(d.seconds)}) {
        out.push_back(' ');
        AppendTwoDigits(out, field);
    }
}

// A line of 4 blanks and the given values as exponent(19, 12), padded to 80.
void AppendValues(std::string& out, std::initializer_list<double> values) {
    const size_t start = out.size();
    AppendBlanks(out, 4);
    for (const double v : values) AppendExponent(out, 19, 12, v);
    EndLine(out, start);
}

}  // namespace

std::string ObsHeaderText(const RinexObsHeader& h) { return rinex3::ObsHeaderText(h, kVersion, false); }

std::string NavHeaderText(const RinexNavHeader& header) {
    std::string out = rinex3::VersionTypeRecord("N: GNSS NAV DATA", kVersion) + rinex3::ProgramRecord(header);
    out += HeaderRecord(integer(6, header.leapSeconds), "LEAP SECONDS");
    out += EndOfHeader();
    return out;
}

std::string NavMessagesText(const RinexNavHeader& header) {
    std::string out;
    if (!header.messageValid) return out;
    AppendRecordType(out, "ION", header.messageSatellite);
    size_t start = out.size();
    AppendEpoch(out, header.messageTime);
    for (int i = 0; i < 3; ++i) AppendExponent(out, 19, 12, header.alpha[i]);
    EndLine(out, start);
    AppendValues(out, {header.alpha[3], header.beta[0], header.beta[1], header.beta[2]});
    AppendValues(out, {header.beta[3]});

    AppendRecordType(out, "STO", header.messageSatellite);
    start = out.size();
    AppendEpoch(out, GpsTime(static_cast<uint16_t>(header.W), header.T));
    out.push_back(' ');
    AppendText(out, 18, "GPUT");
    AppendBlanks(out, 20);  // 1 blank, no SBAS identifier, 1 blank
    AppendText(out, 18, "UTC(USNO)");
    EndLine(out, start);
    AppendValues(out, {header.messageTime.seconds, header.A0, header.A1, 0.0});
    return out;
}

std::string NavRecordText(const Ephemeris& eph) {
    std::string out;
    AppendRecordType(out, "EPH", eph.satellite + 1);
    out += rinex3::NavRecordText(eph);
    return out;
}

}  // namespace rinex4
