#include "positioning/LineOfSight.h"

#include <cmath>

#include "rawdata/GpsConstants.h"

namespace {

// Station-to-satellite vector (m) and its length after the passes for the earth's rotation.
struct SightVector {
    double dx = 0, dy = 0, dz = 0;
    double range = 22500000.0;
};

SightVector ComputeSightVector(const GeoPosition& station, const SatelliteState& sat) {
    const GpsConstants& k = Constants();
    SightVector v;
    for (int pass = 0; pass < 2; ++pass) {
        const double theta = k.earthRotationRate * v.range / k.speedOfLight;
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        v.dx = sat.x - (c * station.X() - s * station.Y());
        v.dy = sat.y - (s * station.X() + c * station.Y());
        v.dz = sat.z - station.Z();
        v.range = std::sqrt(v.dx * v.dx + v.dy * v.dy + v.dz * v.dz);
    }
    return v;
}

}  // namespace

double GeometricRange(const GeoPosition& station, const SatelliteState& sat) {
    return ComputeSightVector(station, sat).range;
}

LineOfSight ComputeLineOfSight(const GeoPosition& station, const SatelliteState& sat) {
    LineOfSight los;
    const SightVector v = ComputeSightVector(station, sat);
    double dx = v.dx, dy = v.dy, dz = v.dz;
    const double range = v.range;
    if (range != 0.0) {
        dx /= range;
        dy /= range;
        dz /= range;
    }
    const double t = dx * station.CosLon() + dy * station.SinLon();
    los.north = dz * station.CosLat() - t * station.SinLat();
    los.east = dy * station.CosLon() - dx * station.SinLon();
    los.up = dz * station.SinLat() + t * station.CosLat();
    los.range = range;
    const double h = std::sqrt(los.north * los.north + los.east * los.east);
    los.elevation = h == 0.0 ? kHalfPi : std::atan2(los.up, h);
    if (los.north == 0.0) {
        los.azimuth = 0.0;
    } else {
        los.azimuth = std::atan2(los.east, los.north);
        while (los.azimuth < 0.0) los.azimuth += kTwoPi;
    }
    return los;
}
