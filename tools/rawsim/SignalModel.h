#pragma once
#include "positioning/GeoPosition.h"
#include "rawdata/Ephemeris.h"
#include "rawdata/GpsTime.h"
#include "rawdata/IonoUtc.h"

// The receiver clock: offset (s) at a reference time, growing linearly with the drift (s/s).
struct ReceiverClock {
    double offset = 0;
    double drift = 0;
    GpsTime epoch;
    // Offset of the receiver clock from GPS time at GPS time t, s.
    double At(const GpsTime& t) const { return offset + drift * t.Difference(epoch); }
};

// Station, atmosphere and receiver clock of a simulation.
struct SignalContext {
    GeoPosition station;
    IonoUtc iono;
    ReceiverClock clock;
};

// One signal of one satellite, in the raw conventions: travel times are receiver clock
// reading at reception minus the satellite's time stamp, so they contain the receiver
// clock offset, minus the satellite clock correction, the geometric range with the earth's
// rotation and the delays.
struct SignalSample {
    double codeTime = 0;    // C/A and P code on L1, s
    double phaseTime = 0;   // L1 carrier (ionosphere advances it), s
    double codeTime2 = 0;   // P code on L2, s
    double phaseTime2 = 0;  // L2 carrier, s
    double range = 0;       // m
    double satelliteClock = 0;  // s
    double tropo = 0;       // m
    double iono = 0;        // L1, m
    double elevation = 0;   // rad
    double azimuth = 0;     // rad
};

// Ratio of the L2 to the L1 ionospheric delay used by the models.
inline constexpr double kIonoL2Factor = 1.65;

// The signal whose satellite time stamp is ts (satellite-dated epochs). False when the
// ephemeris is not valid.
bool SampleSatelliteDated(const SignalContext& context, const Ephemeris& eph, const GpsTime& ts,
                          SignalSample& out);
// The signal that reaches the receiver when its clock reads tr (receiver-dated epochs).
// tauGuess: a close guess of the code travel time (s), 0 when none.
bool SampleReceiverDated(const SignalContext& context, const Ephemeris& eph, const GpsTime& tr,
                         SignalSample& out, double tauGuess = 0);

// L1 phase rate (Hz, positive when the range grows) with respect to the receiver's time
// of the signal sampled at ts (satellite-dated) or tr (receiver-dated), by central
// differences over +-0.5 s; rate2 receives the L2 phase rate. tau: the code travel
// time at tr, a guess for the neighbouring samples.
bool PhaseRateSatelliteDated(const SignalContext& context, const Ephemeris& eph, const GpsTime& ts,
                             double& rate1, double& rate2);
bool PhaseRateReceiverDated(const SignalContext& context, const Ephemeris& eph, const GpsTime& tr,
                            double tau, double& rate1, double& rate2);
