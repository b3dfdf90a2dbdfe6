#pragma once

#include "positioning/GeoPosition.h"
#include "quality/ScatterGrid.h"

// What the position fixes of a recording tell about the receiver's position.
struct PositionQuality {
    long long epochsFixed = 0;
    double x = 0, y = 0, z = 0;          // mean of the fixes, earth-centred earth-fixed, m
    double latitude = 0, longitude = 0;  // of the mean, WGS-84, degrees
    double height = 0;                   // of the mean, ellipsoidal, m
    double stdNorth = 0, stdEast = 0, stdUp = 0;  // root mean square about the mean, m
    double p95Horizontal = 0;  // smallest horizontal distance from the mean holding 95 % of the fixes, m
    double p95Vertical = 0;    // the same for the height difference, m
    double resolution = 0;     // cell size of the histograms behind the two 95 % figures, m
};

// Streaming statistics of position fixes: sums in the local north/east/up frame of the
// first fix (differences from it, so that nothing cancels) and bounded histograms for
// the 95 % figures. Memory does not grow with the number of fixes.
class PositionScatter {
public:
    // Adds a fix (m); a fix with a coordinate that is not finite is ignored (false).
    bool Add(double x, double y, double z);
    long long Count() const { return count_; }
    // North, east, up (m) of (x, y, z) from the first fix; false before the first fix.
    bool FromFirst(double x, double y, double z, double& north, double& east, double& up) const;
    // Mean north, east, up (m) of the fixes from the first fix; zeros without a fix.
    void MeanFromFirst(double& north, double& east, double& up) const;
    // The statistics of the fixes added so far (zeros without a fix).
    PositionQuality Result() const;

private:
    // North, east, up (m) of (x, y, z) from the first fix in its local frame.
    void Local(double x, double y, double z, double& north, double& east, double& up) const;

    GeoPosition first_;
    long long count_ = 0;
    double sumX_ = 0, sumY_ = 0, sumZ_ = 0;  // differences from the first fix, m
    double sumN_ = 0, sumE_ = 0, sumU_ = 0;
    double sumNN_ = 0, sumEE_ = 0, sumUU_ = 0;
    ScatterGrid horizontal_;
    ScatterGrid vertical_;
};
