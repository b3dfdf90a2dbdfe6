#include "positioning/GeoPosition.h"

#include <cmath>

#include "rawdata/GpsConstants.h"

namespace {
// Safety bound on the latitude iteration; each pass shrinks the error by about e^2,
// so real positions need fewer than five. Only points deep inside the earth could
// otherwise keep it going.
constexpr int kMaxGeodeticPasses = 100;
}  // namespace

GeoPosition::GeoPosition() { ToCartesian(); }

void GeoPosition::SetGeodetic(double latitude, double longitude, double height) {
    latitude_ = latitude;
    longitude_ = longitude;
    height_ = height;
    ToCartesian();
}

void GeoPosition::SetCartesian(double x, double y, double z) {
    x_ = x;
    y_ = y;
    z_ = z;
    ToGeodetic();
}

void GeoPosition::OffsetLocal(double dNorth, double dEast, double dUp) {
    latitude_ += dNorth / meridianRadius_;
    longitude_ += dEast / parallelRadius_;
    height_ += dUp;
    ToCartesian();
}

void GeoPosition::ToCartesian() {
    const GpsConstants& k = Constants();
    sinLat_ = std::sin(latitude_);
    sinLon_ = std::sin(longitude_);
    cosLat_ = std::cos(latitude_);
    cosLon_ = std::cos(longitude_);
    const double w2 = 1.0 - sinLat_ * sinLat_ * k.e2;
    const double n = k.semiMajorAxis / std::sqrt(w2);
    meridianRadius_ = n * k.oneMinusE2 / w2 + height_;
    parallelRadius_ = (n + height_) * cosLat_;
    x_ = parallelRadius_ * cosLon_;
    y_ = parallelRadius_ * sinLon_;
    z_ = (n * k.oneMinusE2 + height_) * sinLat_;
}

void GeoPosition::ToGeodetic() {
    const GpsConstants& k = Constants();
    const double a = k.semiMajorAxis;
    longitude_ = std::atan2(y_, x_);
    sinLon_ = std::sin(longitude_);
    cosLon_ = std::cos(longitude_);
    const double p2 = x_ * x_ + y_ * y_;
    passes_ = 0;
    if (z_ == 0.0) {
        latitude_ = 0.0;
        sinLat_ = 0.0;
        cosLat_ = 1.0;
        height_ = std::sqrt(p2) - a;
    } else {
        double zi = z_;
        for (;;) {
            const double s = zi / std::sqrt(zi * zi + p2);
            const double next = s * k.e2 * (a / std::sqrt(1.0 - s * s * k.e2)) + z_;
            const double change = std::fabs(next - zi);
            zi = next;
            ++passes_;
            // A NaN change ends the loop as well.
            if (!(change >= 0.001) || passes_ >= kMaxGeodeticPasses) break;
        }
        sinLat_ = zi / std::sqrt(p2 + zi * zi);
        if (std::fabs(sinLat_) == 1.0) {
            cosLat_ = 0.0;
            latitude_ = sinLat_ * kHalfPi;
        } else {
            cosLat_ = std::sqrt(1.0 - sinLat_ * sinLat_);
            latitude_ = std::atan2(sinLat_, cosLat_);
        }
        height_ = zi / sinLat_ - a / std::sqrt(1.0 - sinLat_ * sinLat_ * k.e2);
    }
    const double w2 = 1.0 - sinLat_ * sinLat_ * k.e2;
    const double n = a / std::sqrt(w2);
    meridianRadius_ = n * k.oneMinusE2 / w2 + height_;
    parallelRadius_ = (height_ + n) * cosLat_;
}

bool GeoPosition::IsFinite() const {
    const double v[] = {x_, y_, z_, latitude_, longitude_, height_, parallelRadius_,
                        meridianRadius_, sinLat_, cosLat_, sinLon_, cosLon_};
    for (double d : v)
        if (!std::isfinite(d)) return false;
    return true;
}
