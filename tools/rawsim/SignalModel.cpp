#include "tools/rawsim/SignalModel.h"

#include "positioning/LineOfSight.h"
#include "positioning/PropagationDelay.h"
#include "positioning/SatelliteState.h"
#include "rawdata/GpsConstants.h"

namespace {

constexpr double kL2Frequency = 1227.6e6;  // Hz
constexpr double kHalfStep = 0.5;          // s, of the phase-rate differences

// Fills the geometry and delays of out from the satellite state; t dates the delays.
void Geometry(const SignalContext& context, const SatelliteState& state, const GpsTime& t, SignalSample& out) {
    const LineOfSight los = ComputeLineOfSight(context.station, state);
    out.range = los.range;
    out.elevation = los.elevation;
    out.azimuth = los.azimuth;
    out.satelliteClock = state.clock;
    out.tropo = TroposphereDelay(context.station.Height(), los.elevation);
    out.iono = IonosphereDelay(t, context.station, los.elevation, los.azimuth, context.iono);
}

// Travel times from the geometry and the receiver clock offset dtr (s).
void TravelTimes(SignalSample& s, double dtr) {
    const double c = Constants().speedOfLight;
    const double base = dtr - s.satelliteClock;
    s.codeTime = base + (s.range + s.tropo + s.iono) / c;
    s.phaseTime = base + (s.range + s.tropo - s.iono) / c;
    s.codeTime2 = base + (s.range + s.tropo + kIonoL2Factor * s.iono) / c;
    s.phaseTime2 = base + (s.range + s.tropo - kIonoL2Factor * s.iono) / c;
}

}  // namespace

bool SampleSatelliteDated(const SignalContext& context, const Ephemeris& eph, const GpsTime& ts,
                          SignalSample& out) {
    SatelliteState state;
    if (!ComputeSatelliteState(ts, eph, state)) return false;
    Geometry(context, state, ts, out);
    const double c = Constants().speedOfLight;
    // GPS time of reception, as an offset from ts.
    const double travel = -state.clock + (out.range + out.tropo + out.iono) / c;
    TravelTimes(out, context.clock.At(ts.AddSeconds(travel)));
    return true;
}

bool SampleReceiverDated(const SignalContext& context, const Ephemeris& eph, const GpsTime& tr,
                         SignalSample& out, double tauGuess) {
    const double c = Constants().speedOfLight;
    // GPS time of reception: the clock reading minus the clock offset at that time.
    double dtr = context.clock.At(tr);
    dtr = context.clock.At(tr.AddSeconds(-dtr));
    // Satellite time stamp = tr - tau. Each pass shrinks the error of tau by about the
    // range rate over c (1e-5): three passes from 75 ms, two from a close guess.
    double tau = tauGuess > 0 ? tauGuess : 0.075;
    const int passes = tauGuess > 0 ? 2 : 3;
    SatelliteState state;
    for (int pass = 0; pass < passes; ++pass) {
        if (!ComputeSatelliteState(tr.AddSeconds(-tau), eph, state)) return false;
        Geometry(context, state, tr, out);
        tau = dtr - state.clock + (out.range + out.tropo + out.iono) / c;
    }
    TravelTimes(out, dtr);
    return true;
}

bool PhaseRateSatelliteDated(const SignalContext& context, const Ephemeris& eph, const GpsTime& ts,
                             double& rate1, double& rate2) {
    SignalSample a, b;
    if (!SampleSatelliteDated(context, eph, ts.AddSeconds(-kHalfStep), a) ||
        !SampleSatelliteDated(context, eph, ts.AddSeconds(kHalfStep), b)) {
        return false;
    }
    // Receiver time passes by the time stamps' step plus the change of the travel time.
    const double dtReceiver = 2 * kHalfStep + (b.codeTime - a.codeTime);
    rate1 = Constants().f1 * (b.phaseTime - a.phaseTime) / dtReceiver;
    rate2 = kL2Frequency * (b.phaseTime2 - a.phaseTime2) / dtReceiver;
    return true;
}

bool PhaseRateReceiverDated(const SignalContext& context, const Ephemeris& eph, const GpsTime& tr,
                            double tau, double& rate1, double& rate2) {
    SignalSample a, b;
    if (!SampleReceiverDated(context, eph, tr.AddSeconds(-kHalfStep), a, tau) ||
        !SampleReceiverDated(context, eph, tr.AddSeconds(kHalfStep), b, tau)) {
        return false;
    }
    rate1 = Constants().f1 * (b.phaseTime - a.phaseTime) / (2 * kHalfStep);
    rate2 = kL2Frequency * (b.phaseTime2 - a.phaseTime2) / (2 * kHalfStep);
    return true;
}
