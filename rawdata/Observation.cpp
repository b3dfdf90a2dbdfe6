#include "rawdata/Observation.h"

#include <cmath>
#include <initializer_list>

namespace {

// fmod(x, m) for m > 0; a value already below m in magnitude is its own remainder.
double Remainder(double x, double m) { return std::fabs(x) < m ? x : std::fmod(x, m); }

}  // namespace

void ObservationEpoch::Normalise() {
    for (auto& s : sat) {
        if (s.typeMask == 0) continue;
        for (int k : {kC1, kP1, kP2})
            if (s.Has(k)) s.value[k] = Remainder(s.value[k], 0.1);
        for (int k : {kL1, kL2})
            if (s.Has(k)) s.value[k] = Remainder(s.value[k], 10000.0);
    }
}
