#include "tests/positioning/SyntheticSky.h"

#include <cmath>

#include "positioning/LineOfSight.h"
#include "positioning/PropagationDelay.h"
#include "positioning/SatelliteState.h"

namespace testsky {
namespace {
constexpr double kC = 299792458.0;
constexpr double kLambda1 = 299792458.0 / 1575.42e6;

struct Signal {
    bool visible = false;
    double code = 0;   // m, receiver clock reading minus satellite clock reading, times c
    double phase = 0;  // m
};

// Signal of satellite k received at GPS time tGps.
Signal ReceivedAt(const Sky& sky, int k, const GpsTime& tGps) {
    Signal s;
    const Ephemeris& eph = sky.ephemerides[k];
    SatelliteState state;
    double travel = 0.075, clock = 0.0;
    LineOfSight los;
    for (int i = 0; i < 6; ++i) {
        const GpsTime svTime = tGps.AddSeconds(-travel + clock);
        if (!ComputeSatelliteState(svTime, eph, state)) return s;
        clock = state.clock;
        los = ComputeLineOfSight(sky.station, state);
        travel = los.range / kC;
    }
    if (los.elevation < sky.minElevation) return s;
    const PropagationCorrections pc =
        ComputeCorrections(tGps, sky.station, los, sky.iono);
    const double tropo = sky.delays ? pc.tropo : 0.0;
    const double iono = sky.delays ? pc.ionoL1 : 0.0;
    s.visible = true;
    const double clocks = kC * (sky.ReceiverClock(tGps) - clock);
    s.code = los.range + clocks + tropo + iono;
    s.phase = los.range + clocks + tropo - iono + 1234567.0 * kLambda1 * (k + 1);
    return s;
}

// Signal of satellite k sent at satellite time T, with the GPS time of its reception.
Signal SentAt(const Sky& sky, int k, const GpsTime& T, GpsTime& tReceived) {
    Signal s;
    SatelliteState state;
    if (!ComputeSatelliteState(T, sky.ephemerides[k], state)) return s;
    const LineOfSight los = ComputeLineOfSight(sky.station, state);
    if (los.elevation < sky.minElevation) return s;
    tReceived = T.AddSeconds(-state.clock + los.range / kC);
    const PropagationCorrections pc = ComputeCorrections(T, sky.station, los, sky.iono);
    const double tropo = sky.delays ? pc.tropo : 0.0;
    const double iono = sky.delays ? pc.ionoL1 : 0.0;
    s.visible = true;
    // Receiver clock reading at reception minus T.
    const double travel = tReceived.Difference(T) + sky.ReceiverClock(tReceived);
    s.code = kC * travel + tropo + iono;
    s.phase = kC * travel + tropo - iono + 1234567.0 * kLambda1 * (k + 1);
    return s;
}

void Store(SatObservation& o, const Signal& s, double rate, uint8_t cn0) {
    o.SetValue(kC1, s.code / kC);
    o.SetValue(kL1, s.phase / kLambda1);
    o.SetValue(kD1, rate / kLambda1);
    o.SetStatus(0, 0);
    o.SetCn0(cn0);
}
}  // namespace

ObservationEpoch ReceiverDated(const Sky& sky, const GpsTime& tGps) {
    ObservationEpoch ep;
    ep.time = tGps.AddSeconds(sky.ReceiverClock(tGps));
    for (int k = 0; k < kSatelliteCount; ++k) {
        const Signal s = ReceivedAt(sky, k, tGps);
        if (!s.visible) continue;
        const Signal before = ReceivedAt(sky, k, tGps.AddSeconds(-0.05));
        const Signal after = ReceivedAt(sky, k, tGps.AddSeconds(0.05));
        Store(ep.sat[k], s, (after.code - before.code) / 0.1, sky.cn0);
        ep.AddToMask(ep.sat[k].Mask());
    }
    ep.Normalise();
    return ep;
}

ObservationEpoch SatelliteDated(const Sky& sky, const GpsTime& T) {
    ObservationEpoch ep;
    ep.time = T;
    for (int k = 0; k < kSatelliteCount; ++k) {
        GpsTime tr, trBefore, trAfter;
        const Signal s = SentAt(sky, k, T, tr);
        if (!s.visible) continue;
        const Signal before = SentAt(sky, k, T.AddSeconds(-0.05), trBefore);
        const Signal after = SentAt(sky, k, T.AddSeconds(0.05), trAfter);
        // Range rate per second of reception time.
        const double rate = (after.code - before.code) / trAfter.Difference(trBefore);
        Store(ep.sat[k], s, rate, sky.cn0);
        ep.AddToMask(ep.sat[k].Mask());
    }
    ep.Normalise();
    return ep;
}

}  // namespace testsky
