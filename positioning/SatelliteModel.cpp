#include "positioning/SatelliteModel.h"

#include "rawdata/GpsConstants.h"

namespace {
constexpr double kCodeAmbiguity = 0.1;       // s, travel times are known modulo this
constexpr double kNominalTravelTime = 0.075; // s
constexpr double kPhaseAmbiguity = 10000.0;  // cycles, phases are known modulo this
constexpr double kMaxSmoothingSpan = 600.0;  // s
}  // namespace

void SatelliteModel::Clear() {
    codeRange = 0;
    carrierRaw = 0;
    carrierRange = 0;
    smoothedRange = 0;
    codeMinusCarrier = 0;
    smoothCount = 0;
    smoothSpan = 0;
    smoothWeight = 0;
}

void ModelInitial(SatelliteModel& model, const GpsTime& t, const SatObservation& obs,
                  const Ephemeris& eph, bool first, bool receiverDated, double& reference) {
    const double c = Constants().speedOfLight;
    double tau;
    if (receiverDated) {
        tau = obs.value[kC1];
        ComputeSatelliteState(t.SubtractSeconds(tau), eph, model.satellite);
    } else {
        ComputeSatelliteState(t, eph, model.satellite);
        if (first) reference = kNominalTravelTime - model.satellite.clock;
        tau = SymmetricRemainder(obs.value[kC1] - reference, kCodeAmbiguity) + reference;
        if (first) reference = tau;
    }
    model.codeRange = c * (tau + model.satellite.clock);
}

namespace {

// Satellite-dated data: shifts both ranges of model to the common reception time,
// the transmission time plus the nominal travel time.
void ShiftToReception(SatelliteModel& model, const GpsTime& t, const SatObservation& cur, const Ephemeris& eph,
                      const GeoPosition& station) {
    const GpsConstants& k = Constants();
    const double c = k.speedOfLight;
    const double rate = cur.value[kD1] * k.lambda1;
    const double delta = model.lineOfSight.range / c - model.satellite.clock - kNominalTravelTime;
    SatelliteState shifted = model.satellite;
    ComputeSatelliteState(t.AddSeconds(delta), eph, shifted);
    const double w = rate * delta - (GeometricRange(station, shifted) - model.lineOfSight.range);
    model.codeRange -= w;
    model.carrierRange -= w;
}

// Carrier smoothing of the code range: a growing mean up to 600 s, then an
// exponential average; dt is the time since the previous epoch (s).
void SmoothCode(SatelliteModel& model, double dt) {
    if (model.smoothCount != 0) {
        if (model.smoothSpan < kMaxSmoothingSpan) {
            ++model.smoothCount;
            model.smoothSpan += dt;
            model.smoothWeight = 1.0 / model.smoothCount;
        }
        model.codeMinusCarrier +=
            (model.codeRange - model.carrierRange - model.codeMinusCarrier) * model.smoothWeight;
    } else {
        model.smoothCount = 1;
        model.smoothSpan = 0.0;
        model.smoothWeight = 1.0;
        model.codeMinusCarrier = model.codeRange - model.carrierRange;
    }
}

}  // namespace

void ModelFull(SatelliteModel& model, const GpsTime& t, const SatObservation& cur,
               const GpsTime& tPrev, const SatObservation& prev, const Ephemeris& eph,
               const IonoUtc& iono, const GeoPosition& station, bool first, bool receiverDated,
               double& reference) {
    const GpsConstants& k = Constants();
    const double c = k.speedOfLight;

    // 1. Satellite, line of sight, corrections and resolved travel time.
    double tau;
    if (receiverDated) {
        tau = cur.value[kC1];
        ComputeSatelliteState(t.SubtractSeconds(tau), eph, model.satellite);
        model.lineOfSight = ComputeLineOfSight(station, model.satellite);
        model.corrections = ComputeCorrections(t, station, model.lineOfSight, iono);
    } else {
        ComputeSatelliteState(t, eph, model.satellite);
        model.lineOfSight = ComputeLineOfSight(station, model.satellite);
        model.corrections = ComputeCorrections(t, station, model.lineOfSight, iono);
        if (first) reference = model.lineOfSight.range / c - model.satellite.clock;
        tau = SymmetricRemainder(cur.value[kC1] - reference, kCodeAmbiguity) + reference;
        if (first) reference = tau;
    }

    // 2. Corrected code range.
    model.codeRange = c * (tau + model.satellite.clock) + model.corrections.codeL1;

    // 3-4. Accumulated carrier range; the phase step is resolved modulo 10000 cycles
    // around the Doppler prediction.
    double dt = 0.0;
    if (model.smoothCount != 0) {
        dt = t.Difference(tPrev);
        const double predicted = cur.value[kD1] * dt;
        const double step =
            SymmetricRemainder(cur.value[kL1] - prev.value[kL1] - predicted, kPhaseAmbiguity) +
            predicted;
        model.carrierRaw += step * k.lambda1;
    } else {
        model.carrierRaw = model.codeRange - model.corrections.phaseL1;
    }
    model.carrierRange = model.carrierRaw + model.corrections.phaseL1;

    // 5. Satellite-dated: shift both ranges to the common reception time.
    if (!receiverDated) ShiftToReception(model, t, cur, eph, station);

    // 6-7. Carrier smoothing.
    SmoothCode(model, dt);
    model.smoothedRange = model.carrierRange + model.codeMinusCarrier;
}

void ModelAllInitial(SatelliteModels& models, const ObservationEpoch& epoch,
                     const Ephemeris (&ephemerides)[kSatelliteCount], const SatelliteSet& set,
                     bool receiverDated, AmbiguityReferences& references) {
    bool first = true;
    for (int k = 0; k < kSatelliteCount; ++k) {
        if (set.Contains(k)) {
            ModelInitial(models[k], epoch.time, epoch.sat[k], ephemerides[k], first, receiverDated,
                         references.initial);
            first = false;
        } else {
            models[k].codeRange = 0.0;
        }
    }
}

void ModelAllFull(SatelliteModels& models, const ObservationEpoch& current,
                  const ObservationEpoch& previous, const Ephemeris (&ephemerides)[kSatelliteCount],
                  const IonoUtc& iono, const GeoPosition& station, const SatelliteSet& set,
                  bool receiverDated, AmbiguityReferences& references) {
    bool first = true;
    for (int k = 0; k < kSatelliteCount; ++k) {
        if (set.Contains(k)) {
            ModelFull(models[k], current.time, current.sat[k], previous.time, previous.sat[k],
                      ephemerides[k], iono, station, first, receiverDated, references.full);
            first = false;
        } else {
            models[k].Clear();
        }
    }
}

void RefreshLineOfSight(SatelliteModels& models, const GeoPosition& station,
                        const SatelliteSet& set) {
    for (int k = set.First(); k >= 0; k = set.Next(k))
        models[k].lineOfSight = ComputeLineOfSight(station, models[k].satellite);
}
