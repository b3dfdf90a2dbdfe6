#pragma once
#include <functional>

#include "positioning/GeoPosition.h"
#include "positioning/SatelliteModel.h"
#include "positioning/SatelliteSet.h"
#include "rawdata/EpochTracker.h"
#include "rawdata/GpsTime.h"

// The usable slots of models whose line of sight is higher than the 5 deg mask.
SatelliteSet SelectAboveMask(const SatelliteModels& models, const SatelliteSet& usable);

// Runs fix (1: a fix, 0: none); a failure of the matrix library inside it (an operation
// without any result, or a recorded fault) gives 0 too, and nothing leaves it.
int WithoutMatrixFailure(const std::function<int()>& fix);

// True when every position correction (m) is within the 100 m convergence bound.
bool WithinConvergence(double dNorth, double dEast, double dUp);

// Receiver position and clock bias, epoch by epoch, from the C/A-code measurements:
// a closed-form fix without prior position and an iterative weighted least-squares
// refinement in the local north/east/up frame of the last position.
class PositionSolver {
public:
    static constexpr double kElevationMask = 0.08726646259972;  // 5 deg, rad
    static constexpr double kConvergence = 100.0;               // m per axis
    static constexpr int kMaxPasses = 3;

    // Time zero, default position, empty sets, zero models, raw code ranges.
    PositionSolver() = default;

    // Clears all 32 models and both sets and chooses raw (false) or carrier-smoothed
    // (true) ranges; time, position, clock and the ambiguity references stay.
    void Reset(bool useSmoothed);

    // Fills the usable set from the tracker's current and previous epochs and
    // selected ephemerides; returns its size.
    int SelectSatellites(const EpochTracker& tracker);
    // Fills the above-mask set with the usable satellites higher than 5 deg; returns its size.
    int SelectAboveMask();

    // Closed-form fix of the current epoch: 1 with time and position set, else 0 (also
    // when the matrix library fails inside it).
    int InitialFix(const EpochTracker& tracker);
    // Least-squares refinement from the current position: 1 with time, position and
    // clock set, else 0 with them unchanged.
    int RefineFix(const EpochTracker& tracker);

    const GpsTime& Time() const { return time_; }
    const GeoPosition& Position() const { return position_; }
    double Clock() const { return clock_; }  // s
    bool UseSmoothed() const { return useSmoothed_; }
    const SatelliteSet& Usable() const { return usable_; }
    const SatelliteSet& AboveMask() const { return aboveMask_; }
    const SatelliteModel& Model(int slot) const { return models_[slot]; }
    const AmbiguityReferences& References() const { return references_; }

    // Start position for the next refinement, for a caller that knows one.
    void SetPosition(const GeoPosition& position) { position_ = position; }

private:
    template <class Fix>
    int Guarded(Fix&& fix);
    int ComputeInitialFix(const EpochTracker& tracker);
    int ComputeRefineFix(const EpochTracker& tracker);

    GpsTime time_;
    GeoPosition position_;
    double clock_ = 0.0;
    SatelliteSet usable_;
    SatelliteSet aboveMask_;
    SatelliteModels models_ = {};
    bool useSmoothed_ = false;
    // Travel-time references of the satellite-dated models; they persist across epochs
    // and conversions for as long as the solver lives.
    AmbiguityReferences references_;
};
