#pragma once
#include <memory>
#include <vector>

#include "rawdata/Ephemeris.h"
#include "rawdata/Observation.h"

// How far from its toe an ephemeris is used (s): the four-hour broadcast fit
// interval with margin.
inline constexpr double kMaxEphemerisAge = 4 * 3600.0;

// Per-satellite lists of owned ephemerides in ascending toeTime order, with the
// time until which the current selection stays valid.
class EphemerisStore {
public:
    EphemerisStore() = default;
    EphemerisStore(const EphemerisStore&) = delete;
    EphemerisStore& operator=(const EphemerisStore&) = delete;

    // Stores a healthy ephemeris (taking ownership) and numbers it from the
    // store's sequence counter. Returns false, leaving eph with the caller, when it is
    // unhealthy or its toe lies within 0.1 s of one already stored.
    bool Add(std::unique_ptr<Ephemeris>& eph);
    // Removes every ephemeris whose toe is before first - 7200 s or after
    // last + 7200 s; count is decremented once per removal.
    void Prune(const GpsTime& first, const GpsTime& last, int& count);
    // Copies into selected[] the ephemeris nearest t of each satellite when t
    // reaches the reselection time. One whose toe lies more than kMaxEphemerisAge
    // from t is copied invalid: its orbit and clock are not to be used there.
    void Select(const GpsTime& t, Ephemeris selected[kSatelliteCount]);
    // The first ephemeris in navigation-file order (toe, then satellite), or null.
    const Ephemeris* First() const;
    // The ephemeris after e in navigation-file order, or null.
    const Ephemeris* Next(const Ephemeris& e) const;
    // Total number of stored ephemerides.
    int Count() const;
    // Deletes every stored ephemeris; the sequence counter goes on.
    void Clear();

    const std::vector<std::unique_ptr<Ephemeris>>& List(int sat) const { return lists_[sat]; }

    GpsTime validUntil;

    // The last sequence number handed out by this store (0 before any). The counter
    // is never reset, so the numbers of two conversions on one store never collide.
    int LastSequence() const { return sequence_; }

private:
    int sequence_ = 0;
    std::vector<std::unique_ptr<Ephemeris>> lists_[kSatelliteCount];
};
