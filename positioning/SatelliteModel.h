#pragma once
#include <cstdint>

#include "positioning/GeoPosition.h"
#include "positioning/LineOfSight.h"
#include "positioning/PropagationDelay.h"
#include "positioning/SatelliteSet.h"
#include "positioning/SatelliteState.h"
#include "rawdata/Ephemeris.h"
#include "rawdata/IonoUtc.h"
#include "rawdata/Observation.h"

// Measurement model of one satellite slot: corrected code range, accumulated carrier
// range and carrier smoothing state, with the satellite state, line of sight and
// propagation corrections they were computed with.
struct SatelliteModel {
    // Smoothing state.
    double codeRange = 0;         // corrected C/A-code range of the current epoch, m
    double carrierRaw = 0;        // accumulated L1 carrier range, uncorrected, m
    double carrierRange = 0;      // carrierRaw + phase correction (- extrapolation), m
    double smoothedRange = 0;     // carrier-smoothed code range, m
    double codeMinusCarrier = 0;  // running mean of codeRange - carrierRange, m
    uint32_t smoothCount = 0;     // epochs in the smoothing, 0 = no history
    double smoothSpan = 0;        // time covered by the smoothing, s
    double smoothWeight = 0;      // 1 / smoothCount as last set
    // Geometry of the current epoch.
    SatelliteState satellite;
    LineOfSight lineOfSight;
    PropagationCorrections corrections;

    // Zeroes the smoothing state; satellite, line of sight and corrections stay.
    void Clear();
};

// The travel-time references that resolve the 0.1 s ambiguity of satellite-dated
// code measurements: each holds the resolved travel time (s) of the first satellite
// modelled in the latest satellite-dated epoch, one for the closed-form model and one
// for the full model. Kept by the owner of the models (the position solver) so that
// they persist from epoch to epoch and between conversions.
struct AmbiguityReferences {
    double initial = 0.0;  // used by ModelInitial
    double full = 0.0;     // used by ModelFull
};

// Epoch of 32 model slots: one per satellite index.
using SatelliteModels = SatelliteModel[kSatelliteCount];

// Closed-form model (no station known, no propagation corrections): satellite state
// and corrected code range (m). reference is the initial-model ambiguity reference (s),
// set afresh from the first satellite of a satellite-dated epoch.
void ModelInitial(SatelliteModel& model, const GpsTime& t, const SatObservation& obs,
                  const Ephemeris& eph, bool first, bool receiverDated, double& reference);

// Full model at station: satellite state, line of sight, corrections, corrected code
// and carrier ranges, carrier smoothing and, for satellite-dated epochs, the shift to
// the common reception time. reference is the full-model ambiguity reference (s).
void ModelFull(SatelliteModel& model, const GpsTime& t, const SatObservation& cur,
               const GpsTime& tPrev, const SatObservation& prev, const Ephemeris& eph,
               const IonoUtc& iono, const GeoPosition& station, bool first, bool receiverDated,
               double& reference);

// ModelInitial for every slot of set in ascending order (first = lowest slot); the
// other slots get codeRange 0.
void ModelAllInitial(SatelliteModels& models, const ObservationEpoch& epoch,
                     const Ephemeris (&ephemerides)[kSatelliteCount], const SatelliteSet& set,
                     bool receiverDated, AmbiguityReferences& references);

// ModelFull for every slot of set in ascending order (first = lowest slot); the other
// slots are cleared, so their smoothing restarts when they return.
void ModelAllFull(SatelliteModels& models, const ObservationEpoch& current,
                  const ObservationEpoch& previous, const Ephemeris (&ephemerides)[kSatelliteCount],
                  const IonoUtc& iono, const GeoPosition& station, const SatelliteSet& set,
                  bool receiverDated, AmbiguityReferences& references);

// Recomputes the line of sight of every slot of set from its stored satellite state.
void RefreshLineOfSight(SatelliteModels& models, const GeoPosition& station,
                        const SatelliteSet& set);
