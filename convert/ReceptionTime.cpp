#include "convert/ReceptionTime.h"

#include <algorithm>
#include <cmath>

#include "convert/StringTable.h"
#include "rawdata/GpsConstants.h"

namespace {

constexpr double kPhaseModulus = 10000.0;  // cycles
constexpr double kCodeModulus = 0.1;       // s
constexpr double kCodeCentre = 0.075;      // s, middle of the folded transit times

constexpr int kCodeTable[16] = {9, 9, 9, 8, 8, 8, 8, 8, 7, 7, 7, 7, 6, 6, 6, 1};
constexpr int kPhaseTable[8] = {9, 9, 8, 8, 7, 7, 6, 1};

// Status byte that qualifies raw value kind k.
int StatusByteOf(int k) {
    switch (k) {
        case kL1:
        case kD1:
            return 0;
        case kL2:
        case kD2:
            return 1;
        case kP1:
        case kP2:
            return 2;
        default:
            return 3;  // C1
    }
}

bool StatusWritten(const SatObservation& sat, int byte) { return (sat.Mask() >> (7 + byte)) & 1u; }

// Stores value v of kind k with the digits of raw satellite data.
void Put(RinexSatValues& out, int k, double v, int lli, const SatObservation& raw) {
    out.SetValue(k, v, lli, SignalStrengthDigit(raw, k));
}

// Keeps phase phi (cycles) of kind k (kL1 or kL2) continuous with the previous
// output epoch through the satellite's whole-cycle offset; returns the phase to write.
double ContinuePhase(double phi, int k, int s, int lli, const RinexSatValues& out,
                     const RinexSatValues& previous, int32_t table[kSatelliteCount]) {
    if (!previous.Has(k) || lli == 1) {
        // Only damaged raw data give a phase beyond the table's 32-bit range: it keeps
        // no offset (and is too large to be written anyway).
        if (!(std::fabs(phi) < 2147483647.0)) {
            table[s] = 0;
            return phi;
        }
        table[s] = -static_cast<int32_t>(std::trunc(phi));
        return phi + table[s];
    }
    const double lambda = k == kL1 ? Constants().lambda1 : Constants().lambda2;
    const double shifted = phi + table[s];
    const double codeChange = (out.value[kC1] - previous.value[kC1]) / lambda;  // cycles
    return previous.value[k] +
           SymmetricRemainder(shifted - previous.value[k] - codeChange, kPhaseModulus) + codeChange;
}

// Doppler (Hz, raw sign) used to extrapolate phase kind k over dt seconds:
// the raw Doppler, or the phase change over the interval resolved with it. False
// when smoothing is asked and either epoch lacks the phase or its lock changed.
bool ExtrapolationDoppler(const SatObservation& cur, const SatObservation& prev, int phase,
                          int doppler, double dt, bool smoothed, double& d) {
    const double raw = cur.value[doppler];
    if (!smoothed) {
        d = raw;
        return true;
    }
    const int byte = StatusByteOf(phase);
    if (!cur.Has(phase) || !prev.Has(phase) || cur.LockCounter(byte) != prev.LockCounter(byte))
        return false;
    const double p = raw * dt;
    d = (SymmetricRemainder(cur.value[phase] - prev.value[phase] - p, kPhaseModulus) + p) / dt;
    return true;
}

// Loss-of-lock digit of phase kind k (kL1 or kL2) of satellite s: the raw digit,
// or 1 when the phase starts again after an output epoch without it (its
// whole-cycle offset is chosen afresh, so the arc cannot be joined to the earlier
// one). The first output epoch of a pass starts every phase without a flag.
int PhaseLli(const SatObservation& cur, const SatObservation& prev, int k, int s, const RinexEpoch& previousOutput) {
    if (previousOutput.time != GpsTime() && !previousOutput.Sat(s).Has(k)) return 1;
    return LliDigit(cur, prev, k);
}

// Stores phase phi (cycles) of kind k (kL1 or kL2) of satellite s into out with its
// loss-of-lock and signal-strength digits, kept continuous through table; out must
// already hold the satellite's C1 (m).
void PutPhase(RinexEpoch& out, int k, int s, double phi, const SatObservation& cur, const SatObservation& prev,
              const RinexEpoch& previousOutput, int32_t table[kSatelliteCount]) {
    RinexSatValues& o = out.Sat(s);
    const int lli = PhaseLli(cur, prev, k, s, previousOutput);
    Put(o, k, ContinuePhase(phi, k, s, lli, o, previousOutput.Sat(s), table), lli, cur);
}

// Range (m) at reception time Tr of a code of the given transit time (s, without
// the receiver clock offset), moved by delta (s) at the Doppler d (Hz) of a carrier of
// wavelength lambda (m).
double RangeAtReception(double transit, double delta, double d, double lambda) {
    return transit * Constants().speedOfLight - delta * d * lambda;
}

// The same of a raw code (travel time modulo 0.1 s).
double CodeAtReception(double rawCode, double clockOffset, double delta, double d, double lambda) {
    return RangeAtReception(TransitTime(rawCode, clockOffset), delta, d, lambda);
}

}  // namespace

int Cn0Digit(int n) {
    if (n <= 33) return std::max(1, n - 28);
    return std::min(9, static_cast<int>((1.0 - std::exp((33.0 - n) / 11.5)) * 5.0 + 5.0));
}

int SignalStrengthDigit(const SatObservation& sat, int k) {
    const int byte = StatusByteOf(k);
    if (!StatusWritten(sat, byte)) return Cn0Digit(sat.cn0);
    const int dqi = sat.Quality(byte);
    return byte < 2 ? kPhaseTable[dqi & 7] : kCodeTable[dqi & 15];
}

int LliDigit(const SatObservation& current, const SatObservation& previous, int k) {
    if (k == kL1 || k == kL2) {
        const int byte = StatusByteOf(k);
        if (previous.Has(k) && current.LockCounter(byte) != previous.LockCounter(byte)) return 1;
    }
    if (current.antiSpoofing && (k == kP1 || k == kP2 || k == kL2 || k == kD2)) return 4;
    return 0;
}

double TransitTime(double rawCode, double clockOffset) {
    return SymmetricRemainder(rawCode - clockOffset - kCodeCentre, kCodeModulus) + kCodeCentre;
}

RinexEpoch BuildSatelliteDated(const ObservationEpoch& current, const ObservationEpoch& previous,
                               double clockOffset, double tx, bool smoothedDopplers,
                               const RinexEpoch& previousOutput, PhaseOffsetTables& tables) {
    const double c = Constants().speedOfLight;
    const double lambda1 = Constants().lambda1;
    const double lambda2 = Constants().lambda2;
    RinexEpoch out;
    out.time = current.time.AddSeconds(tx);
    const double dt = current.time.Difference(previous.time);
    for (int s = 0; s < kSatelliteCount; ++s) {
        const SatObservation& cur = current.Sat(s);
        const SatObservation& prev = previous.Sat(s);
        if (!cur.Has(kC1) || !cur.Has(kD1)) continue;
        double d = 0;
        if (!ExtrapolationDoppler(cur, prev, kL1, kD1, dt, smoothedDopplers, d)) continue;
        RinexSatValues& o = out.Sat(s);
        // s from the reception of the measurement back to Tr
        const double transit = TransitTime(cur.value[kC1], clockOffset);
        const double delta = transit - tx;
        Put(o, kC1, RangeAtReception(transit, delta, d, lambda1), 0, cur);
        if (cur.Has(kL1)) {
            PutPhase(out, kL1, s, cur.value[kL1] - clockOffset * c / lambda1 - delta * d, cur, prev, previousOutput,
                     tables.satelliteDatedL1);
        }
        Put(o, kD1, -cur.value[kD1], 0, cur);
        if (cur.Has(kP1)) {
            Put(o, kP1, CodeAtReception(cur.value[kP1], clockOffset, delta, d, lambda1), LliDigit(cur, prev, kP1),
                cur);
        }
        double d2 = 0;
        if (!cur.Has(kD2) || !ExtrapolationDoppler(cur, prev, kL2, kD2, dt, smoothedDopplers, d2)) continue;
        if (cur.Has(kL2)) {
            PutPhase(out, kL2, s, cur.value[kL2] - clockOffset * c / lambda2 - delta * d2, cur, prev, previousOutput,
                     tables.satelliteDatedL2);
        }
        Put(o, kD2, -cur.value[kD2], LliDigit(cur, prev, kD2), cur);
        if (cur.Has(kP2)) {
            Put(o, kP2, CodeAtReception(cur.value[kP2], clockOffset, delta, d2, lambda2), LliDigit(cur, prev, kP2),
                cur);
        }
    }
    return out;
}

RinexEpoch BuildReceiverDated(const ObservationEpoch& current, const ObservationEpoch& previous,
                              const RinexEpoch& previousOutput, PhaseOffsetTables& tables) {
    const double c = Constants().speedOfLight;
    RinexEpoch out;
    out.time = current.time;
    for (int s = 0; s < kSatelliteCount; ++s) {
        const SatObservation& cur = current.Sat(s);
        const SatObservation& prev = previous.Sat(s);
        if (!cur.Has(kC1)) continue;
        RinexSatValues& o = out.Sat(s);
        Put(o, kC1, cur.value[kC1] * c, 0, cur);
        if (cur.Has(kL1)) PutPhase(out, kL1, s, cur.value[kL1], cur, prev, previousOutput, tables.receiverDatedL1);
        if (cur.Has(kD1)) Put(o, kD1, -cur.value[kD1], 0, cur);
        if (cur.Has(kP1)) Put(o, kP1, cur.value[kP1] * c, LliDigit(cur, prev, kP1), cur);
        if (cur.Has(kL2)) PutPhase(out, kL2, s, cur.value[kL2], cur, prev, previousOutput, tables.receiverDatedL2);
        if (cur.Has(kD2)) Put(o, kD2, -cur.value[kD2], LliDigit(cur, prev, kD2), cur);
        if (cur.Has(kP2)) Put(o, kP2, cur.value[kP2] * c, LliDigit(cur, prev, kP2), cur);
    }
    return out;
}

std::string ExtrapolationComment(double tx, bool smoothedDopplers) {
    const long ms = static_cast<long>(std::floor(tx * 1000.0 + 0.5));
    return FormatString(kStrExtrapolation,
                        {std::to_string(ms), std::string(LoadString(smoothedDopplers ? kStrSmoothed : kStrInstantaneous))});
}
