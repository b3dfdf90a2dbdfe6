#include "convert/LogFile.h"

#include <cstdio>

namespace {

// Appends a printf-formatted text to out, whole whatever its length.
template <typename... Args>
void AppendFormat(std::string& out, const char* format, Args... args) {
    const int n = std::snprintf(nullptr, 0, format, args...);
    if (n <= 0) return;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n) + 1);
    std::snprintf(&out[at], static_cast<size_t>(n) + 1, format, args...);
    out.resize(at + static_cast<size_t>(n));
}

// Appends "\t%.3lf\t%d\t%d" of written value k of an output satellite (0.000 0 0 when absent).
void AppendWritten(std::string& out, const RinexSatValues& o, int k) {
    AppendFormat(out, "\t%.3lf\t%d\t%d", o.value[k], static_cast<int>(o.lli[k]), static_cast<int>(o.strength[k]));
}

}  // namespace

std::string LogHeaderLine(bool longVariant) {
    return longVariant
               ? "T\tSV\tC1\tDQI\tL1\tDQI\tCLCI\tD1\tP1\tP2\tDQI\tL2\tDQI\tCLCI\tD2\tCN0\tAS\tTr0\tC1\tLLI\tSNR\tL1\tLLI"
                 "\tSNR\tD1\tLLI\tSNR\tP1\tLLI\tSNR\tP2\tLLI\tSNR\tL2\tLLI\tSNR\tD2\tLLI\tSNR\r\n"
               : "T\tSV\tC1\tDQI\tL1\tDQI\tCLCI\tD1\tCN0\tTr0\tC1\tLLI\tSNR\tL1\tLLI\tSNR\tD1\tLLI\tSNR\r\n";
}

std::string LogLines(const ObservationEpoch& raw, double clockOffset, const RinexEpoch& output,
                     bool longVariant, bool first) {
    std::string out;
    if (first) out = LogHeaderLine(longVariant);
    for (int s = 0; s < kSatelliteCount; ++s) {
        const SatObservation& r = raw.Sat(s);
        if (!r.Has(kC1)) continue;
        const RinexSatValues& o = output.Sat(s);
        const unsigned dqiC1 = static_cast<uint8_t>(r.Quality(3));
        const unsigned dqiL1 = static_cast<uint8_t>(r.Quality(0));
        AppendFormat(out, "%.1lf\t%d\t%.10lf\t%u\t%.3lf\t%u\t%d\t%.3lf", raw.time.seconds, s + 1, r.value[kC1],
                     dqiC1, r.value[kL1], dqiL1, r.LockCounter(0), r.value[kD1]);
        if (longVariant) {
            AppendFormat(out, "\t%.10lf\t%.10lf\t%u\t%.3lf\t%u\t%d\t%.3lf\t%u\t%u", r.value[kP1], r.value[kP2],
                         static_cast<unsigned>(static_cast<uint8_t>(r.Quality(2))), r.value[kL2],
                         static_cast<unsigned>(static_cast<uint8_t>(r.Quality(1))), r.LockCounter(1), r.value[kD2],
                         static_cast<unsigned>(r.cn0), static_cast<unsigned>(r.antiSpoofing));
        } else {
            AppendFormat(out, "\t%u", static_cast<unsigned>(r.cn0));
        }
        AppendFormat(out, "\t%.10lf", clockOffset);
        AppendWritten(out, o, kC1);
        AppendWritten(out, o, kL1);
        AppendWritten(out, o, kD1);
        if (longVariant) {
            AppendWritten(out, o, kP1);
            AppendWritten(out, o, kP2);
            AppendWritten(out, o, kL2);
            AppendWritten(out, o, kD2);
        }
        out += "\r\n";
    }
    return out;
}

std::string PositionHeaderLine() { return "T\tX geo\tY geo\tZ geo\tTr0\r\n"; }

std::string PositionLine(const GpsTime& solutionTime, double x, double y, double z, double clock, bool first) {
    std::string out;
    if (first) out = PositionHeaderLine();
    AppendFormat(out, "%.1lf\t%.3lf\t%.3lf\t%.3lf\t%.10lf\r\n", solutionTime.seconds, x, y, z, clock);
    return out;
}
