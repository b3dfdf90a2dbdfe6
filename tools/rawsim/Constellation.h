#pragma once
#include <vector>

#include "rawdata/Ephemeris.h"
#include "rawdata/GpsTime.h"
#include "rawdata/IonoUtc.h"

// Where the simulator takes its orbits from: the broadcast ephemerides of a navigation
// file, or a built-in nominal constellation.
class EphemerisSource {
public:
    virtual ~EphemerisSource() = default;
    // The ephemeris of prn (1..32) a receiver uses at time t: the healthy one with the
    // nearest toe, quantised as broadcast and prepared for the orbit model (valid 1).
    // Null when there is none.
    virtual const Ephemeris* Select(int prn, const GpsTime& t) = 0;
    // The broadcast fields of the ephemeris that Select returned last for prn (what an
    // ephemeris record carries).
    virtual const Ephemeris* Broadcast(int prn) const = 0;
};

// Orbits from a list of broadcast ephemerides (for example a RINEX navigation file).
// Unhealthy ones and those that do not fit the broadcast fields are left out.
class EphemerisList : public EphemerisSource {
public:
    explicit EphemerisList(const std::vector<Ephemeris>& ephemerides);
    const Ephemeris* Select(int prn, const GpsTime& t) override;
    const Ephemeris* Broadcast(int prn) const override;
    // Earliest toe of the list (zero when empty).
    GpsTime FirstToe() const;
    // Ephemerides left out because a field does not fit its broadcast bits.
    int Unfit() const { return unfit_; }

private:
    struct Entry {
        Ephemeris broadcast;
        Ephemeris prepared;
    };
    std::vector<Entry> bySat_[32];  // ascending toe
    int last_[32];
    int unfit_ = 0;
};

// A nominal 30-satellite constellation: six planes 60 degrees apart, 55 degrees
// inclination, five satellites per plane, with small eccentricities, harmonic
// corrections and clock terms. A new ephemeris (IODE + 1) every two hours, toe on even
// hours, continuing the same orbit and clock.
class NominalConstellation : public EphemerisSource {
public:
    // reference: the time at which the orbits are laid out.
    explicit NominalConstellation(const GpsTime& reference);
    const Ephemeris* Select(int prn, const GpsTime& t) override;
    const Ephemeris* Broadcast(int prn) const override;
    // PRNs of the constellation, ascending.
    static const std::vector<int>& Prns();
    // The broadcast fields of prn for the toe nearest to t (unquantised).
    Ephemeris EphemerisAt(int prn, const GpsTime& t) const;

private:
    GpsTime reference_;
    Ephemeris broadcast_[32];
    Ephemeris prepared_[32];
    bool have_[32] = {};
};

// Typical broadcast ionosphere and UTC parameters (for the nominal constellation).
IonoUtc NominalIonoUtc(uint16_t week);
