#include "positioning/LineOfSight.h"

#include <cmath>

#include "rawdata/GpsConstants.h"

LineOfSight ComputeLineOfSight(const GeoPosition& station, const SatelliteState& sat) {
    const GpsConstants& k = Constants();
    LineOfSight los;
    double range = 22500000.0;
    double dx = 0, dy = 0, dz = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const double theta = k.earthRotationRate * range / k.speedOfLight;
        const double c = std::cos(theta);
        const double s = std::sin(theta);
        dx = sat.x - (c * station.X() - s * station.Y());
        dy = sat.y - (s * station.X() + c * station.Y());
        dz = sat.z - station.Z();
        range = std::sqrt(dx * dx + dy * dy + dz * dz);
    }
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
