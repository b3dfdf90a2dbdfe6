#include "rawdata/EphemerisStore.h"

#include <cmath>

bool EphemerisStore::Add(std::unique_ptr<Ephemeris>& eph) {
    if (!eph || eph->satellite >= kSatelliteCount) return false;
    if (eph->health > 0) {
        eph->valid = 0;
        return false;
    }
    eph->valid = 1;
    PrepareEphemeris(*eph);
    eph->sequence = ++sequence_;
    auto& list = lists_[eph->satellite];
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (std::fabs((*it)->toeTime.Difference(eph->toeTime)) < 0.1) return false;
        if ((*it)->toeTime > eph->toeTime) {
            list.insert(it, std::move(eph));
            return true;
        }
    }
    list.push_back(std::move(eph));
    return true;
}

void EphemerisStore::Prune(const GpsTime& first, const GpsTime& last, int& count) {
    const GpsTime lo = first.SubtractSeconds(7200);
    const GpsTime hi = last.AddSeconds(7200);
    for (auto& list : lists_) {
        for (auto it = list.begin(); it != list.end();) {
            if ((*it)->toeTime < lo || (*it)->toeTime > hi) {
                it = list.erase(it);
                --count;
            } else {
                ++it;
            }
        }
    }
}

void EphemerisStore::Select(const GpsTime& t, Ephemeris selected[kSatelliteCount]) {
    if (t < validUntil) return;
    validUntil = GpsTime(65535, 0);
    for (int sat = 0; sat < kSatelliteCount; ++sat) {
        const auto& list = lists_[sat];
        if (list.empty()) {
            selected[sat].valid = 0;
            continue;
        }
        size_t chosen = 0;
        double best = std::fabs(list[0]->toeTime.Difference(t));
        while (chosen + 1 < list.size()) {
            const double d = std::fabs(list[chosen + 1]->toeTime.Difference(t));
            if (!(d < best)) break;
            best = d;
            ++chosen;
        }
        const Ephemeris& nearest = *list[chosen];
        if (selected[sat].sequence != nearest.sequence || selected[sat].valid != nearest.valid)
            selected[sat] = nearest;
        if (chosen + 1 < list.size()) {
            const GpsTime& a = nearest.toeTime;
            const GpsTime mid = a.AddSeconds(list[chosen + 1]->toeTime.Difference(a) / 2);
            if (mid < validUntil) validUntil = mid;
        }
        // Outside the fit interval the ephemeris is kept but marked unusable; the
        // selection is made again where the epochs enter or leave the interval.
        const double age = t.Difference(nearest.toeTime);
        if (std::fabs(age) > kMaxEphemerisAge) {
            selected[sat].valid = 0;
            if (age < 0) {
                const GpsTime entry = nearest.toeTime.AddSeconds(-kMaxEphemerisAge);
                if (entry < validUntil) validUntil = entry;
            }
        } else {
            const GpsTime exit = nearest.toeTime.AddSeconds(kMaxEphemerisAge + 1e-3);
            if (exit < validUntil) validUntil = exit;
        }
    }
}

const Ephemeris* EphemerisStore::First() const {
    const Ephemeris* best = nullptr;
    for (const auto& list : lists_) {
        if (list.empty()) continue;
        const Ephemeris* cand = list.front().get();
        if (!best || best->toeTime > cand->toeTime.AddSeconds(0.1)) best = cand;
    }
    return best;
}

const Ephemeris* EphemerisStore::Next(const Ephemeris& e) const {
    for (int sat = e.satellite + 1; sat < kSatelliteCount; ++sat) {
        for (const auto& p : lists_[sat])
            if (std::fabs(p->toeTime.Difference(e.toeTime)) < 0.1) return p.get();
    }
    const GpsTime after = e.toeTime.AddSeconds(0.1);
    const Ephemeris* best = nullptr;
    for (const auto& list : lists_) {
        for (const auto& p : list) {
            if (p->toeTime > after) {
                if (!best || best->toeTime > p->toeTime.AddSeconds(0.1)) best = p.get();
                break;
            }
        }
    }
    return best;
}

int EphemerisStore::Count() const {
    int n = 0;
    for (const auto& list : lists_) n += static_cast<int>(list.size());
    return n;
}

void EphemerisStore::Clear() {
    for (auto& list : lists_) list.clear();
}
