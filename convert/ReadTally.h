#pragma once
#include <cstdint>
#include <map>

#include "rawdata/GpsTime.h"
#include "rawdata/RecordKind.h"

// Shortest step from one epoch to the next that the observation pass accepts, s.
inline constexpr double kMinEpochStep = 0.05;

// Epoch statistics of one raw-data kind in the read pass.
struct KindStatistics {
    int count = 0;
    GpsTime first;
    GpsTime last;
    uint16_t typeMask = 0;
    std::map<long long, int> spacings;  // epoch spacing in tenths of a second -> occurrences
    bool cn0 = false;                   // an epoch carries a carrier-to-noise density
    int selected = 0;                   // epochs of the written selection (time window, interval)
    GpsTime firstSelected;
    GpsTime lastSelected;

    // Counts an epoch of time t with observation-type mask mask; selected: it is
    // one of the epochs to write; hasCn0: a satellite of it has a carrier-to-noise density.
    // An epoch less than kMinEpochStep after the last one counted is not counted
    // (false): the observation pass refuses it too (files spliced with an overlap,
    // a clock that went back).
    bool Add(const GpsTime& t, uint16_t mask, bool isSelected, bool hasCn0 = false);
    // The most frequent epoch spacing, s, rounded to a tenth (the shorter one of
    // equally frequent spacings); 0 when there is none. Gaps of missing epochs do
    // not change it.
    double Interval() const;
};

// What the read pass counted in the whole source.
struct ReadTally {
    KindStatistics satelliteDated;
    KindStatistics receiverDated;
    int ephemerides = 0;     // stored ephemerides
    int ionoUtcRecords = 0;  // decoded ionosphere/UTC records

    // True when the source holds epochs of both kinds: the person chooses.
    bool BothKinds() const { return satelliteDated.count > 0 && receiverDated.count > 0; }
    // The raw-data kind when the source holds one kind only (kRecordNone without epochs).
    RecordKind OnlyKind() const;
    // The statistics of a raw-data kind.
    const KindStatistics& Of(RecordKind kind) const {
        return kind == kRecordSatelliteDated ? satelliteDated : receiverDated;
    }
    // True when the data of kind suffice for a conversion: receiver-dated epochs
    // need nothing more; satellite-dated ones need an ionosphere/UTC record and
    // four ephemerides kept for their span.
    bool Sufficient(RecordKind kind, int ephemeridesKept) const;
};

// The spacing of the written epochs, s: the multiples of the asked interval among
// epochs of the data's own spacing (both in s, multiples of 0.1 s; data 0: unknown).
double WrittenInterval(double asked, double data);
