#pragma once
#include <cstdint>
#include <string>

#include "convert/rinex/RinexEpoch.h"
#include "rawdata/Observation.h"

// Per-satellite whole-cycle offsets that keep written carrier phases continuous
// and small; one table per frequency and raw-data kind. They start at zero and
// live as long as their owner (the application's conversion state).
struct PhaseOffsetTables {
    int32_t satelliteDatedL1[kSatelliteCount] = {};
    int32_t satelliteDatedL2[kSatelliteCount] = {};
    int32_t receiverDatedL1[kSatelliteCount] = {};
    int32_t receiverDatedL2[kSatelliteCount] = {};
};

// Signal-strength digit (1..9) of raw value kind k of a satellite: from the data
// quality indicator of the value's status byte when that byte was written, else
// from the carrier-to-noise density.
int SignalStrengthDigit(const SatObservation& sat, int k);
// Signal-strength digit (1..9) of a carrier-to-noise density in dB-Hz.
int Cn0Digit(int cn0);
// Loss-of-lock digit of raw value kind k: 1 for a phase whose lock counter
// changed since the previous raw epoch (when that epoch has the phase), 4 on P1,
// P2, L2 and D2 under anti-spoofing, 0 otherwise.
int LliDigit(const SatObservation& current, const SatObservation& previous, int k);

// Transit time in seconds of a raw code (travel time modulo 0.1 s) once the
// receiver clock offset (s) is removed, folded into [0.025, 0.125] s.
double TransitTime(double rawCode, double clockOffset);

// The output epoch of satellite-dated raw data brought to reception time
// Tr = Ts + tx (s), with the receiver clock offset (s) removed; Dopplers written
// with the RINEX sign (positive for an approaching satellite).
RinexEpoch BuildSatelliteDated(const ObservationEpoch& current, const ObservationEpoch& previous,
                               double clockOffset, double tx, bool smoothedDopplers,
                               const RinexEpoch& previousOutput, PhaseOffsetTables& tables);

// The output epoch of receiver-dated raw data, scaled to RINEX units; Dopplers
// written with the RINEX sign.
RinexEpoch BuildReceiverDated(const ObservationEpoch& current, const ObservationEpoch& previous,
                              const RinexEpoch& previousOutput, PhaseOffsetTables& tables);

// The COMMENT text that tells how satellite-dated data were extrapolated.
std::string ExtrapolationComment(double tx, bool smoothedDopplers);
