#pragma once
#include <cstdint>

#include "rawdata/EphemerisStore.h"
#include "rawdata/IonoUtc.h"
#include "rawdata/Observation.h"
#include "rawdata/RecordKind.h"


// The observation pass's two-epoch working window with its ephemeris selection.
struct EpochTracker {
    GpsTime time;
    RecordKind rawKind = kRecordReceiverDated;  // kRecordSatelliteDated or kRecordReceiverDated
    ObservationEpoch current;
    ObservationEpoch previous;
    Ephemeris selected[kSatelliteCount];
    IonoUtc ionoUtc;
    EphemerisStore store;

    // Takes the first epoch of a pass and selects its ephemerides afresh.
    void Start(const ObservationEpoch& epoch);
    // Moves the window on to epoch; refused (false, nothing changed) when it is
    // less than 0.05 s after the current one.
    bool Advance(const ObservationEpoch& epoch);
};
