#include "rawdata/Observation.h"

#include <cmath>
#include <initializer_list>

#include "rawdata/GpsConstants.h"

void ObservationEpoch::Normalise() {
    for (auto& s : sat) {
        if (s.typeMask == 0) continue;
        for (int k : {kC1, kP1, kP2})
            if (s.Has(k)) s.value[k] = Fmod(s.value[k], 0.1);
        for (int k : {kL1, kL2})
            if (s.Has(k)) s.value[k] = Fmod(s.value[k], 10000.0);
    }
}
