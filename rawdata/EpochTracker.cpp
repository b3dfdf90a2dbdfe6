#include "rawdata/EpochTracker.h"

void EpochTracker::Start(const ObservationEpoch& epoch) {
    time = epoch.time;
    current = epoch;
    store.validUntil = GpsTime();
    for (auto& s : selected) s = Ephemeris();
    store.Select(time, selected);
}

bool EpochTracker::Advance(const ObservationEpoch& epoch) {
    if (epoch.time < time.AddSeconds(0.05)) return false;
    time = epoch.time;
    previous = current;
    current = epoch;
    store.Select(time, selected);
    return true;
}
