#include "quality/Multipath.h"

#include "rawdata/GpsConstants.h"

namespace {

constexpr double kL2Frequency = 1227.6e6;  // Hz

}  // namespace

double FrequencyRatioSquared() {
    const double ratio = Constants().f1 / kL2Frequency;
    return ratio * ratio;
}

double Multipath1(double p1, double l1, double l2) {
    const double a = FrequencyRatioSquared();
    const double k = 2.0 / (a - 1.0);
    return p1 - (1.0 + k) * Constants().lambda1 * l1 + k * Constants().lambda2 * l2;
}

double Multipath2(double p2, double l1, double l2) {
    const double a = FrequencyRatioSquared();
    const double k = 2.0 * a / (a - 1.0);
    return p2 - k * Constants().lambda1 * l1 + (k - 1.0) * Constants().lambda2 * l2;
}

double IonosphericResidual(double l1, double l2) {
    return Constants().lambda1 * l1 - Constants().lambda2 * l2;
}

double CodeCarrierL1(double l1, double c1) { return Constants().lambda1 * l1 - c1; }
