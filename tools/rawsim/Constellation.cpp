#include "tools/rawsim/Constellation.h"

#include <algorithm>
#include <cmath>

#include "tools/rawsim/RawWriter.h"

namespace {

constexpr double kPiExact = 3.14159265358979323846;
constexpr double kGM = 3.986005e14;

// The broadcast ephemeris prepared for the orbit model; false when it does not fit.
bool Prepare(const Ephemeris& broadcast, Ephemeris& prepared) {
    if (!QuantiseEphemeris(broadcast, prepared)) return false;
    prepared.satellite = broadcast.satellite;
    prepared.valid = 1;
    PrepareEphemeris(prepared);
    return true;
}

}  // namespace

EphemerisList::EphemerisList(const std::vector<Ephemeris>& ephemerides) {
    for (int& l : last_) l = -1;
    for (const Ephemeris& e : ephemerides) {
        if (e.satellite > 31 || e.health != 0) continue;
        Entry entry;
        entry.broadcast = e;
        if (!Prepare(e, entry.prepared)) {
            ++unfit_;
            continue;
        }
        std::vector<Entry>& list = bySat_[e.satellite];
        bool duplicate = false;
        for (const Entry& x : list) {
            if (std::fabs(x.prepared.toeTime.Difference(entry.prepared.toeTime)) < 0.1) duplicate = true;
        }
        if (duplicate) continue;
        list.push_back(entry);
    }
    for (auto& list : bySat_) {
        std::stable_sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) {
            return a.prepared.toeTime < b.prepared.toeTime;
        });
    }
}

const Ephemeris* EphemerisList::Select(int prn, const GpsTime& t) {
    if (prn < 1 || prn > 32) return nullptr;
    const std::vector<Entry>& list = bySat_[prn - 1];
    if (list.empty()) return nullptr;
    size_t best = 0;
    double bestDistance = std::fabs(list[0].prepared.toeTime.Difference(t));
    for (size_t k = 1; k < list.size(); ++k) {
        const double d = std::fabs(list[k].prepared.toeTime.Difference(t));
        if (!(d < bestDistance)) break;
        best = k;
        bestDistance = d;
    }
    // Beyond four hours from its toe an ephemeris is no longer used.
    if (bestDistance > 4 * 3600.0) return nullptr;
    last_[prn - 1] = static_cast<int>(best);
    return &list[best].prepared;
}

const Ephemeris* EphemerisList::Broadcast(int prn) const {
    if (prn < 1 || prn > 32 || last_[prn - 1] < 0) return nullptr;
    return &bySat_[prn - 1][last_[prn - 1]].broadcast;
}

GpsTime EphemerisList::FirstToe() const {
    GpsTime first;
    bool any = false;
    for (const auto& list : bySat_) {
        if (!list.empty() && (!any || list.front().prepared.toeTime < first)) {
            first = list.front().prepared.toeTime;
            any = true;
        }
    }
    return first;
}

const std::vector<int>& NominalConstellation::Prns() {
    static const std::vector<int> prns = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                          16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 32};
    return prns;
}

NominalConstellation::NominalConstellation(const GpsTime& reference) : reference_(reference) {}

Ephemeris NominalConstellation::EphemerisAt(int prn, const GpsTime& t) const {
    const std::vector<int>& prns = Prns();
    const int slot = static_cast<int>(std::find(prns.begin(), prns.end(), prn) - prns.begin());
    const int plane = slot / 5;
    const int inPlane = slot % 5;

    // toe on the even hour nearest to t, and its offset from the reference.
    const double sinceWeek = t.seconds;
    GpsTime toeTime(t.week, std::floor((sinceWeek + 3600.0) / 7200.0) * 7200.0);
    toeTime = toeTime.AddSeconds(0.0);
    const double dt = toeTime.Difference(reference_);

    Ephemeris e;
    e.satellite = static_cast<uint16_t>(prn - 1);
    e.week = toeTime.week;
    e.toe = toeTime.seconds;
    e.toc = toeTime.seconds;
    e.sqrtA = 5153.65 + 0.35 * (slot % 5);
    e.e = 0.002 + 0.0011 * (slot % 7);
    e.deltaN = 4.3e-9 + 1e-11 * slot;
    const double n = std::sqrt(kGM / std::pow(e.sqrtA, 6)) + e.deltaN;
    e.OmegaDot = -8.0e-9 - 1e-11 * plane;
    e.IDOT = 1.0e-10 * ((slot % 3) - 1);
    const double inclination = 55.0 * kPiExact / 180.0 + 0.005 * ((slot % 5) - 2);
    const double node = (plane * 60.0 + 17.0) * kPiExact / 180.0;
    const double latitudeArgument = (inPlane * 72.0 + plane * 12.0) * kPiExact / 180.0;
    e.omega = (slot * 37 % 360 - 180) * kPiExact / 180.0;
    const double m0 = latitudeArgument - e.omega + n * dt;
    e.M0 = std::remainder(m0, 2 * kPiExact);
    e.Omega0 = std::remainder(node + e.OmegaDot * dt, 2 * kPiExact);
    e.i0 = inclination + e.IDOT * dt;
    e.Crs = 20.0 + 3.0 * slot;
    e.Crc = 220.0 - 4.0 * slot;
    e.Cus = 6.0e-6;
    e.Cuc = -1.5e-6;
    e.Cis = 6.0e-8;
    e.Cic = -4.0e-8;
    const double af0 = (slot % 2 ? 1 : -1) * (5e-6 + 1.3e-5 * slot);
    e.af1 = (slot % 3 - 1) * 2.0e-12;
    e.af2 = 0;
    e.af0 = af0 + e.af1 * dt;
    e.TGD = -1.0e-9 * (slot % 6);
    e.accuracy = 2.0;
    const long long issue = static_cast<long long>(std::floor(dt / 7200.0));
    e.IODE = static_cast<double>(((issue % 256) + 256 + slot) % 256);
    e.IODC = e.IODE;
    e.codesOnL2 = 1;
    e.l2PDataFlag = 0;
    e.health = 0;
    e.fitInterval = 4;
    e.toeTime = toeTime;
    return e;
}

const Ephemeris* NominalConstellation::Select(int prn, const GpsTime& t) {
    const std::vector<int>& prns = Prns();
    if (std::find(prns.begin(), prns.end(), prn) == prns.end()) return nullptr;
    const int k = prn - 1;
    const Ephemeris wanted = EphemerisAt(prn, t);
    if (!have_[k] || broadcast_[k].toeTime != wanted.toeTime) {
        broadcast_[k] = wanted;
        if (!Prepare(wanted, prepared_[k])) return nullptr;
        have_[k] = true;
    }
    return &prepared_[k];
}

const Ephemeris* NominalConstellation::Broadcast(int prn) const {
    if (prn < 1 || prn > 32 || !have_[prn - 1]) return nullptr;
    return &broadcast_[prn - 1];
}

IonoUtc NominalIonoUtc(uint16_t week) {
    IonoUtc i;
    i.alpha0 = 1.1176e-8;
    i.alpha1 = 7.4506e-9;
    i.alpha2 = -5.9605e-8;
    i.alpha3 = -5.9605e-8;
    i.beta0 = 90112;
    i.beta1 = 0;
    i.beta2 = -196608;
    i.beta3 = -65536;
    i.A0 = -9.3132257462e-10;
    i.A1 = -8.881784197e-15;
    i.tot = 405504;
    i.WNt = static_cast<uint16_t>(week & 0xFF);
    i.deltaTLS = 18;
    i.WNLSF = static_cast<uint16_t>(week & 0xFF);
    i.DN = 7;
    i.deltaTLSF = 18;
    return i;
}
