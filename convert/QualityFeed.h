#pragma once
#include "convert/rinex/RinexEpoch.h"
#include "positioning/GeoPosition.h"
#include "quality/QualityEpoch.h"
#include "rawdata/Observation.h"

// The quality statistics' view of a written epoch: its values and loss-of-lock digits
// as written, the carrier-to-noise densities (dB-Hz) of the raw epoch it was built
// from, and the fix of the epoch when there is one.
inline QualityEpoch QualityEpochOf(const RinexEpoch& written, const ObservationEpoch& raw, bool fixed,
                                   const GeoPosition& fix) {
    QualityEpoch q;
    q.time = written.time;
    for (int s = 0; s < kSatelliteCount; ++s) {
        const RinexSatValues& w = written.Sat(s);
        if (w.Mask() == 0) continue;
        QualitySatellite& o = q.sat[s];
        for (int k = 0; k < kObservationKinds; ++k)
            if (w.Has(k)) o.SetValue(k, w.value[k], w.lli[k]);
        o.cn0 = raw.Sat(s).cn0;
    }
    q.fixed = fixed;
    if (fixed) {
        q.x = fix.X();
        q.y = fix.Y();
        q.z = fix.Z();
    }
    return q;
}
