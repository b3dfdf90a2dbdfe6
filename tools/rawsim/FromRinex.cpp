#include "tools/rawsim/FromRinex.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "rawdata/GpsConstants.h"
#include "tools/rawsim/RinexReader.h"

namespace {

// Indices of the observation types used, -1 when the file lacks them.
struct TypeIndex {
    int c1, p1, p2, l1, l2, d1, d2;
};

const RinexValue* Value(const RinexSatObs& s, int index) {
    if (index < 0 || index >= static_cast<int>(s.values.size()) || !s.values[index].present) return nullptr;
    return &s.values[index];
}

const RinexSatObs* Find(const RinexObsEpoch& e, int prn) {
    for (const RinexSatObs& s : e.sats) {
        if (s.prn == prn) return &s;
    }
    return nullptr;
}

// Phase rate (cycles/s) of one signal at epoch cur from its neighbours: centred when
// both neighbours hold the phase without a loss of lock in between, else one-sided.
bool PhaseRate(const RinexObsEpoch* prev, const RinexObsEpoch& cur, const RinexObsEpoch* next, int prn, int index,
               double& rate) {
    const RinexValue* c = Value(*Find(cur, prn), index);
    if (!c) return false;
    const RinexValue* p = nullptr;
    const RinexValue* n = nullptr;
    if (prev && !(c->lli & 1)) {
        if (const RinexSatObs* s = Find(*prev, prn)) p = Value(*s, index);
    }
    if (next) {
        if (const RinexSatObs* s = Find(*next, prn)) {
            n = Value(*s, index);
            if (n && (n->lli & 1)) n = nullptr;
        }
    }
    if (p && n) {
        rate = (n->value - p->value) / next->time.Difference(prev->time);
    } else if (n) {
        rate = (n->value - c->value) / next->time.Difference(cur.time);
    } else if (p) {
        rate = (c->value - p->value) / cur.time.Difference(prev->time);
    } else {
        return false;
    }
    return std::isfinite(rate);
}

// The raw event of a RINEX event record (flags 2 to 5) at time t; false when it has none:
// 2 kinematic data follow (site type 2), 3 new site (type 1 with the MARKER NAME),
// 4 header information (an antenna height when it holds ANTENNA: DELTA H/E/N),
// 5 external event (a time event).
bool EventOf(const RinexObsEpoch& e, const GpsTime& t, SimEvent& out) {
    out = SimEvent();
    out.time = t;
    auto labelled = [&](const char* label, std::string& line) {
        for (const std::string& l : e.special) {
            if (l.size() > 60 && l.compare(60, std::string::npos, label, 0, std::strlen(label)) == 0) {
                line = l;
                return true;
            }
        }
        return false;
    };
    std::string line;
    switch (e.flag) {
    case 2:
        out.type = SimEventType::Site;
        out.siteType = 2;
        return true;
    case 3:
        out.type = SimEventType::Site;
        out.siteType = 1;
        if (labelled("MARKER NAME", line)) {
            std::string name = line.substr(0, 60);
            while (!name.empty() && name.back() == ' ') name.pop_back();
            out.markerName = name.substr(0, 12);
        }
        return true;
    case 4:
        if (!labelled("ANTENNA: DELTA H/E/N", line)) return false;
        out.type = SimEventType::AntennaHeight;
        out.height = std::strtod(line.substr(0, 14).c_str(), nullptr);
        return true;
    case 5:
        if (!e.hasTime) return false;
        out.type = SimEventType::TimeEvent;
        return true;
    default:
        return false;
    }
}

}  // namespace

int Cn0OfStrength(int digit, int fallback) {
    static const int kCn0[10] = {0, 29, 30, 31, 32, 33, 36, 39, 44, 52};
    return digit >= 1 && digit <= 9 ? kCn0[digit] : fallback;
}

bool WriteRawFromRinex(const FromRinexOptions& options, RawWriter& writer, Truth& header, std::string& error) {
    RinexNavData nav;
    if (!ReadRinexNav(options.navPath, nav, error)) return false;
    RinexObsReader obs;
    if (!obs.Open(options.obsPath, error)) return false;
    const RinexObsHeader2& h = obs.Header();
    const TypeIndex ti{obs.TypeIndex("C1"), obs.TypeIndex("P1"), obs.TypeIndex("P2"), obs.TypeIndex("L1"),
                       obs.TypeIndex("L2"), obs.TypeIndex("D1"), obs.TypeIndex("D2")};
    if (ti.c1 < 0) {
        error = "the observation file has no C1";
        return false;
    }
    const bool dual = ti.l2 >= 0 || ti.p2 >= 0 || ti.p1 >= 0;
    for (int k = 0; k < 3; ++k) header.station[k] = h.position[k];
    header.antennaHeight = h.antennaHeight;

    // Ephemerides in the order of their transmission.
    std::vector<size_t> order(nav.ephemerides.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return nav.transmissionTimes[a] < nav.transmissionTimes[b];
    });
    size_t nextEph = 0;

    const double c = Constants().speedOfLight;
    uint8_t lockL1[33] = {}, lockL2[33] = {};
    bool seen[33] = {};

    RinexObsEpoch window[3];
    std::vector<SimEvent> eventsBefore[3];  // events met before the epoch of each slot
    std::vector<SimEvent> pending;
    GpsTime lastTime;
    int filled = 0;
    bool more = true, wroteEpoch = false;
    // Reads the next observation epoch into slot k; the events met on the way go before it.
    auto readObservation = [&](int k) {
        RinexObsEpoch& e = window[k];
        while (obs.Next(e)) {
            if (e.flag <= 1) {
                lastTime = e.time;
                eventsBefore[k] = std::move(pending);
                pending.clear();
                return true;
            }
            SimEvent event;
            if (EventOf(e, e.hasTime ? e.time : lastTime, event)) pending.push_back(event);
        }
        return false;
    };
    // Prime the window with the first two epochs.
    while (filled < 2 && (more = readObservation(filled))) ++filled;
    if (filled == 0) {
        error = "the observation file has no epochs";
        return false;
    }
    SimEvent height;
    height.type = SimEventType::AntennaHeight;
    height.time = window[0].time;
    height.height = h.antennaHeight;
    writer.WriteEvent(height);

    int curIndex = 0;  // index in window of the epoch to write
    const RinexObsEpoch* prev = nullptr;
    RinexObsEpoch prevStore;
    while (true) {
        RinexObsEpoch& cur = window[curIndex];
        const RinexObsEpoch* next = (filled > curIndex + 1) ? &window[curIndex + 1] : nullptr;
        // Ephemerides transmitted up to this epoch (all earlier ones before the first).
        while (nextEph < order.size() && nav.transmissionTimes[order[nextEph]] <= cur.time) {
            const size_t k = order[nextEph++];
            writer.WriteEphemeris(nav.ephemerides[k], nav.transmissionTimes[k]);
        }
        for (const SimEvent& event : eventsBefore[curIndex]) writer.WriteEvent(event);
        SimEpoch epoch;
        epoch.letter = 'Q';
        epoch.time = cur.time;
        epoch.dual = dual;
        TruthEpoch truth;
        truth.kind = 7;
        truth.tag = cur.time;
        truth.outputTime = cur.time;
        for (const RinexSatObs& s : cur.sats) {
            const RinexValue* c1 = Value(s, ti.c1);
            if (!c1) continue;
            SimSatellite sat;
            sat.prn = s.prn;
            sat.c1 = c1->value / c;
            const RinexValue* l1 = Value(s, ti.l1);
            const RinexValue* l2 = Value(s, ti.l2);
            const RinexValue* p1 = Value(s, ti.p1);
            const RinexValue* p2 = Value(s, ti.p2);
            if (seen[s.prn] && l1 && (l1->lli & 1)) lockL1[s.prn] = (lockL1[s.prn] + 1) & 0x1F;
            if (seen[s.prn] && l2 && (l2->lli & 1)) lockL2[s.prn] = (lockL2[s.prn] + 1) & 0x1F;
            seen[s.prn] = true;
            sat.hasL1 = l1 != nullptr;
            sat.l1 = l1 ? l1->value : 0;
            double rate = 0;
            if (const RinexValue* d1 = Value(s, ti.d1)) {
                // RINEX Dopplers are positive for approaching satellites.
                sat.hasD1 = true;
                sat.d1 = -d1->value;
            } else {
                sat.hasD1 = PhaseRate(prev, cur, next, s.prn, ti.l1, rate);
                sat.d1 = rate;
            }
            sat.hasL2 = l2 != nullptr;
            sat.l2 = l2 ? l2->value : 0;
            if (const RinexValue* d2 = Value(s, ti.d2)) {
                sat.hasD2 = true;
                sat.d2 = -d2->value;
            } else {
                sat.hasD2 = ti.l2 >= 0 && PhaseRate(prev, cur, next, s.prn, ti.l2, rate);
                sat.d2 = rate;
            }
            sat.hasP1 = p1 != nullptr;
            sat.p1 = p1 ? p1->value / c : 0;
            sat.hasP2 = p2 != nullptr;
            sat.p2 = p2 ? p2->value / c : 0;
            sat.antiSpoofing = (l2 && (l2->lli & 4)) || (p2 && (p2->lli & 4));
            sat.lockL1 = lockL1[s.prn];
            sat.lockL2 = lockL2[s.prn];
            sat.cn0 = static_cast<uint8_t>(Cn0OfStrength(l1 ? l1->ssi : c1->ssi, options.defaultCn0));
            epoch.sats.push_back(sat);

            TruthSatellite t;
            t.prn = s.prn;
            t.l1 = sat.l1;
            t.l2 = sat.l2;
            t.d1 = -sat.d1;  // RINEX sign
            t.d2 = -sat.d2;
            t.lossOfLockL1 = l1 && (l1->lli & 1);
            t.lossOfLockL2 = l2 && (l2->lli & 1);
            truth.sats.push_back(t);
        }
        writer.WriteEpoch(epoch, truth);
        if (!wroteEpoch) {
            wroteEpoch = true;
            if (nav.hasIonoUtc) writer.WriteIonoUtc(nav.ionoUtc, cur.time.week, cur.time);
        }
        // Slide the window.
        prevStore = cur;
        prev = &prevStore;
        if (!next) break;
        window[0] = window[1];
        eventsBefore[0] = std::move(eventsBefore[1]);
        eventsBefore[1].clear();
        filled = 1;
        if (more && (more = readObservation(1))) filled = 2;
        curIndex = 0;
    }
    for (const SimEvent& event : pending) writer.WriteEvent(event);
    while (nextEph < order.size()) {
        const size_t k = order[nextEph++];
        writer.WriteEphemeris(nav.ephemerides[k], nav.transmissionTimes[k]);
    }
    return true;
}
