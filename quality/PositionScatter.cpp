#include "quality/PositionScatter.h"

#include "rawdata/GpsConstants.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kScatterQuantile = 0.95;

// Root mean square about the mean of values with sum s and sum of squares ss over n.
double SpreadAboutMean(double s, double ss, long long n) {
    const double mean = s / static_cast<double>(n);
    const double v = ss / static_cast<double>(n) - mean * mean;
    return v > 0.0 ? std::sqrt(v) : 0.0;
}

}  // namespace

bool PositionScatter::Add(double x, double y, double z) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return false;
    if (count_ == 0) first_.SetCartesian(x, y, z);
    double n = 0, e = 0, u = 0;
    Local(x, y, z, n, e, u);
    ++count_;
    sumX_ += x - first_.X();
    sumY_ += y - first_.Y();
    sumZ_ += z - first_.Z();
    sumN_ += n;
    sumE_ += e;
    sumU_ += u;
    sumNN_ += n * n;
    sumEE_ += e * e;
    sumUU_ += u * u;
    horizontal_.Add(n, e);
    vertical_.Add(u, 0.0);
    return true;
}

bool PositionScatter::FromFirst(double x, double y, double z, double& north, double& east, double& up) const {
    if (count_ == 0) return false;
    Local(x, y, z, north, east, up);
    return true;
}

void PositionScatter::Local(double x, double y, double z, double& north, double& east, double& up) const {
    const double dx = x - first_.X(), dy = y - first_.Y(), dz = z - first_.Z();
    const double sl = first_.SinLat(), cl = first_.CosLat(), so = first_.SinLon(), co = first_.CosLon();
    north = -sl * co * dx - sl * so * dy + cl * dz;
    east = -so * dx + co * dy;
    up = cl * co * dx + cl * so * dy + sl * dz;
}

void PositionScatter::MeanFromFirst(double& north, double& east, double& up) const {
    north = east = up = 0.0;
    if (count_ == 0) return;
    const double n = static_cast<double>(count_);
    north = sumN_ / n;
    east = sumE_ / n;
    up = sumU_ / n;
}

PositionQuality PositionScatter::Result() const {
    PositionQuality q;
    q.epochsFixed = count_;
    if (count_ == 0) return q;
    const double n = static_cast<double>(count_);
    GeoPosition mean;
    mean.SetCartesian(first_.X() + sumX_ / n, first_.Y() + sumY_ / n, first_.Z() + sumZ_ / n);
    q.x = mean.X();
    q.y = mean.Y();
    q.z = mean.Z();
    q.latitude = mean.Latitude() * kDegreesPerRadian;
    q.longitude = mean.Longitude() * kDegreesPerRadian;
    q.height = mean.Height();
    q.stdNorth = SpreadAboutMean(sumN_, sumNN_, count_);
    q.stdEast = SpreadAboutMean(sumE_, sumEE_, count_);
    q.stdUp = SpreadAboutMean(sumU_, sumUU_, count_);
    double mn = 0, me = 0, mu = 0;
    MeanFromFirst(mn, me, mu);
    q.p95Horizontal = horizontal_.Quantile(mn, me, kScatterQuantile);
    q.p95Vertical = vertical_.Quantile(mu, 0.0, kScatterQuantile);
    q.resolution = std::max(horizontal_.CellSize(), vertical_.CellSize());
    return q;
}
