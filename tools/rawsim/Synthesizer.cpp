#include "tools/rawsim/Synthesizer.h"

#include <algorithm>
#include <cmath>

#include "positioning/LineOfSight.h"
#include "positioning/SatelliteState.h"
#include "rawdata/GpsConstants.h"

namespace {

constexpr double kL2Frequency = 1227.6e6;  // Hz
constexpr double kDegree = 3.14159265358979323846 / 180.0;

// Tracking state of one satellite.
struct Track {
    bool active = false;
    double n1 = 0, n2 = 0;     // integer phase offsets of the current lock, cycles
    uint8_t lock1 = 0, lock2 = 0;
    bool slipped = false;      // loss of lock at this epoch
    int jump1 = 0, jump2 = 0;  // cycles added without a loss of lock at this epoch
    GpsTime writtenToe;        // toe of the last ephemeris record written
    bool written = false;
    double tau = 0;            // last receiver-dated code travel time, s
    double elevation = 0;
};

struct Candidate {
    int prn;
    double elevation;
    bool active;
};

// The events of a recording with events, spread over its epochs (antenna height first).
struct PlannedEvent {
    long long afterEpoch;
    SimEvent event;
};

std::vector<PlannedEvent> PlanEvents(const SynthOptions& o, RawLayout layout, long long epochs) {
    std::vector<SimEvent> list;
    auto site = [](int type, const char* name, const char* t1, const char* t2, const char* t3, const char* t4,
                   const char* t5) {
        SimEvent e;
        e.type = SimEventType::Site;
        e.siteType = type;
        e.markerName = name;
        e.text[0] = t1;
        e.text[1] = t2;
        e.text[2] = t3;
        e.text[3] = t4;
        e.text[4] = t5;
        return e;
    };
    auto timeEvent = [](char letter, const char* text) {
        SimEvent e;
        e.type = SimEventType::TimeEvent;
        e.asciiLetter = letter;
        e.asciiText = text;
        return e;
    };
    SimEvent height;
    height.type = SimEventType::AntennaHeight;
    height.height = o.antennaHeight + 0.125;
    if (layout == RawLayout::Binary) {
        list.push_back(site(1, "SIM1", "N35 40 51.1", "E139 46 1.2", "", "", ""));
        list.push_back(timeEvent('M', ""));
        list.push_back(site(2, "", "", "", "", "", ""));
        list.push_back(site(4, "SIM4", "", "", "GEO-4", "", "SIM4.DAT"));
        list.push_back(height);
        list.push_back(site(4, "", "", "", "", "", ""));
        list.push_back(site(5, "SIM5", "  A  ", "B ,", "GEO-5", "07 2.3", "SIM005.JRS"));
        list.push_back(site(6, "", "", "", "", "", ""));
        list.push_back(site(3, "SIM3", "IGNORED", "", "", "", ""));
        list.push_back(timeEvent('M', ""));
    } else {
        list.push_back(timeEvent('T', ""));
        list.push_back(timeEvent('M', "EVENT-0001"));
        list.push_back(height);
        list.push_back(timeEvent('T', ""));
    }
    std::vector<PlannedEvent> plan;
    const long long count = static_cast<long long>(list.size());
    for (long long i = 0; i < count; ++i) {
        PlannedEvent p;
        p.afterEpoch = std::min(epochs - 1, (i + 1) * epochs / (count + 1));
        p.event = list[static_cast<size_t>(i)];
        plan.push_back(p);
    }
    return plan;
}

}  // namespace

bool Synthesize(const SynthOptions& o, EphemerisSource& orbits, const IonoUtc& ionoIn, RawWriter& writer,
                Truth& header, SynthSummary& summary, std::string& error) {
    if (!o.receiverDated && !o.satelliteDated) {
        error = "no epoch kind chosen";
        return false;
    }
    if (o.interval < 0.1 || o.duration < o.interval) {
        error = "the interval must be at least 0.1 s and not longer than the duration";
        return false;
    }
    if (o.receiverDated && o.satelliteDated && !writer.Encoder().MixesKinds()) {
        error = "the fixed-column layout cannot hold both epoch kinds in one file";
        return false;
    }
    const double c = Constants().speedOfLight;
    const double f1 = Constants().f1;

    SignalContext context;
    context.station.SetCartesian(o.station[0], o.station[1], o.station[2]);
    uint32_t words[8];
    if (!EncodeIonoUtc(ionoIn, o.start.week, words, context.iono)) {
        error = "ionosphere/UTC parameters out of range";
        return false;
    }
    context.clock.offset = o.clockOffset;
    context.clock.drift = o.clockDrift;
    context.clock.epoch = o.start;
    SignalContext ideal = context;  // a receiver without clock error, for satellite-dated truth
    ideal.clock = ReceiverClock();

    for (int k = 0; k < 3; ++k) header.station[k] = o.station[k];
    header.clockOffset = o.clockOffset;
    header.clockDrift = o.clockDrift;
    header.clockEpoch = o.start;
    header.tx = o.tx;
    header.antennaHeight = o.events ? o.antennaHeight : 0;

    const long long epochs = static_cast<long long>(std::floor(o.duration / o.interval + 1e-9));
    const long long stepTenths = std::llround(o.interval * 10.0);
    std::vector<PlannedEvent> plan;
    if (o.events) plan = PlanEvents(o, writer.Encoder().Layout(), epochs);
    size_t nextEvent = 0;

    Track track[33];
    std::vector<Candidate> candidates;
    std::vector<int> chosen;
    SimEpoch epochR, epochQ;
    epochR.letter = 'R';
    epochQ.letter = 'Q';
    epochR.dual = epochQ.dual = o.dual;
    const double mask = o.elevationMask * kDegree;
    constexpr double kLookInterval = 10.0;  // s between searches for satellites in view
    GpsTime lastLook;

    for (long long k = 0; k < epochs; ++k) {
        const GpsTime t = o.start.AddSeconds(static_cast<double>(k * stepTenths) / 10.0);
        // Satellites in view, those already tracked first, then by elevation; looked
        // for every 10 s (elevations change by less than 0.01 degree meanwhile).
        if (k == 0 || t.Difference(lastLook) >= kLookInterval - 1e-6) {
            lastLook = t;
            candidates.clear();
            for (int prn = 1; prn <= 32; ++prn) {
                const Ephemeris* eph = orbits.Select(prn, t);
                if (!eph) continue;
                SatelliteState state;
                if (!ComputeSatelliteState(t, *eph, state)) continue;
                const LineOfSight los = ComputeLineOfSight(context.station, state);
                if (los.elevation < mask) continue;
                candidates.push_back({prn, los.elevation, track[prn].active});
            }
            std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
                if (a.active != b.active) return a.active;
                return a.elevation > b.elevation;
            });
            if (static_cast<int>(candidates.size()) > o.maxSatellites) candidates.resize(o.maxSatellites);
            chosen.clear();
            for (const Candidate& cand : candidates) chosen.push_back(cand.prn);
            std::sort(chosen.begin(), chosen.end());
            for (int prn = 1; prn <= 32; ++prn) {
                if (std::find(chosen.begin(), chosen.end(), prn) == chosen.end()) {
                    track[prn].active = false;
                    track[prn].tau = 0;
                }
            }
        }
        summary.minSatellites = std::min(summary.minSatellites, static_cast<int>(chosen.size()));
        summary.maxSatellites = std::max(summary.maxSatellites, static_cast<int>(chosen.size()));

        // Ephemeris records of the ephemerides coming into use.
        for (int prn : chosen) {
            const Ephemeris* eph = orbits.Select(prn, t);
            Track& tr = track[prn];
            if (!tr.written || tr.writtenToe != eph->toeTime) {
                if (const Ephemeris* b = orbits.Broadcast(prn)) writer.WriteEphemeris(*b, t);
                tr.written = true;
                tr.writtenToe = eph->toeTime;
            }
        }
        if (k == 0 && o.events) {
            SimEvent height;
            height.type = SimEventType::AntennaHeight;
            height.time = t;
            height.height = o.antennaHeight;
            writer.WriteEvent(height);
        }
        // A loss of lock now and then.
        for (int prn : chosen) {
            track[prn].slipped = false;
            track[prn].jump1 = track[prn].jump2 = 0;
        }
        if (o.slipEvery > 0 && k > 0 && k % o.slipEvery == 0 && !chosen.empty()) {
            const int prn = chosen[static_cast<size_t>((k / o.slipEvery) % static_cast<long long>(chosen.size()))];
            Track& tr = track[prn];
            if (tr.active) {
                tr.slipped = true;
                tr.lock1 = (tr.lock1 + 1) & 0x1F;
                tr.lock2 = (tr.lock2 + 1) & 0x1F;
                tr.n1 += 7 + prn;
                tr.n2 += 3 + prn;
            }
        }
        // Now and then a whole-cycle jump the receiver misses: a satellite tracked in the
        // epoch before (another choice than the losses of lock) gains 5 to 50 cycles.
        // Equal counts on both carriers still move the ionospheric residual
        // lambda1 L1 - lambda2 L2 by at least 5 * 0.054 m.
        if (o.unflaggedSlipEvery > 0 && k > 0 && k % o.unflaggedSlipEvery == 0 && !chosen.empty()) {
            const long long n = k / o.unflaggedSlipEvery;
            const int prn = chosen[static_cast<size_t>((3 * n + 1) % static_cast<long long>(chosen.size()))];
            Track& tr = track[prn];
            if (tr.active && !tr.slipped) {
                const int cycles = (5 + static_cast<int>((17 * n + prn) % 46)) * (n % 2 ? 1 : -1);
                const int carriers = o.dual ? static_cast<int>(n % 3) : 0;  // 0: L1, 1: L2, 2: both
                tr.jump1 = carriers != 1 ? cycles : 0;
                tr.jump2 = carriers != 0 ? cycles : 0;
                tr.n1 += tr.jump1;
                tr.n2 += tr.jump2;
            }
        }

        epochR.time = t;
        epochQ.time = t;
        epochR.sats.clear();
        epochQ.sats.clear();
        TruthEpoch truthR, truthQ;
        truthR.kind = 6;
        truthR.tag = t;
        truthR.outputTime = t.AddSeconds(o.tx);
        truthQ.kind = 7;
        truthQ.tag = t;
        truthQ.outputTime = t;
        for (int prn : chosen) {
            const Ephemeris* eph = orbits.Select(prn, t);
            Track& tr = track[prn];
            SignalSample q, r;
            double q1 = 0, q2 = 0, r1 = 0, r2 = 0;
            const bool haveQ = o.receiverDated && SampleReceiverDated(context, *eph, t, q, tr.tau) &&
                               PhaseRateReceiverDated(context, *eph, t, q.codeTime, q1, q2);
            const bool haveR = o.satelliteDated && SampleSatelliteDated(context, *eph, t, r) &&
                               PhaseRateSatelliteDated(context, *eph, t, r1, r2);
            if (haveQ) tr.tau = q.codeTime;
            if (!tr.active) {
                // A new lock: phases start near a small whole number of cycles.
                const SignalSample& s = haveQ ? q : r;
                tr.n1 = -std::floor(f1 * s.phaseTime) + 1000.0 * prn;
                tr.n2 = -std::floor(kL2Frequency * s.phaseTime2) + 700.0 * prn;
                tr.active = true;
            }
            auto measure = [&](const SignalSample& s, double rate1, double rate2) {
                SimSatellite m;
                m.prn = prn;
                m.c1 = s.codeTime;
                m.l1 = f1 * s.phaseTime + tr.n1;
                m.d1 = rate1;
                if (o.dual) {
                    m.p1 = s.codeTime;
                    m.p2 = s.codeTime2;
                    m.l2 = kL2Frequency * s.phaseTime2 + tr.n2;
                    m.d2 = rate2;
                    m.hasP1 = m.hasP2 = m.hasL2 = m.hasD2 = true;
                    m.antiSpoofing = o.antiSpoofing;
                }
                m.lockL1 = tr.lock1;
                m.lockL2 = tr.lock2;
                m.cn0 = static_cast<uint8_t>(std::clamp(30.0 + 22.0 * std::sin(s.elevation), 26.0, 57.0));
                return m;
            };
            auto truthOf = [&](const SignalSample& s) {
                TruthSatellite ts;
                ts.prn = prn;
                ts.range = s.range;
                ts.satelliteClock = s.satelliteClock;
                ts.tropo = s.tropo;
                ts.iono = s.iono;
                ts.elevation = s.elevation;
                ts.azimuth = s.azimuth;
                ts.lossOfLockL1 = tr.slipped;
                ts.lossOfLockL2 = tr.slipped && o.dual;
                ts.slipL1 = tr.jump1;
                ts.slipL2 = tr.jump2;
                return ts;
            };
            if (haveQ) {
                epochQ.sats.push_back(measure(q, q1, q2));
                TruthSatellite ts = truthOf(q);
                ts.l1 = epochQ.sats.back().l1;
                ts.l2 = epochQ.sats.back().l2;
                truthQ.sats.push_back(ts);
            }
            if (haveR) {
                epochR.sats.push_back(measure(r, r1, r2));
                TruthSatellite ts = truthOf(r);
                // What an ideal receiver would measure at the output time.
                SignalSample at;
                if (SampleReceiverDated(ideal, *eph, truthR.outputTime, at, r.codeTime)) {
                    ts.c1 = at.codeTime * c;
                    ts.p1 = at.codeTime * c;
                    ts.p2 = at.codeTime2 * c;
                    ts.l1 = f1 * at.phaseTime + tr.n1;
                    ts.l2 = kL2Frequency * at.phaseTime2 + tr.n2;
                }
                ts.d1 = -r1;  // RINEX sign: positive for an approaching satellite
                ts.d2 = -r2;
                truthR.sats.push_back(ts);
            }
        }
        truthQ.receiverClock = context.clock.At(t);
        truthR.receiverClock = context.clock.At(t.AddSeconds(0.075));
        if (o.satelliteDated) writer.WriteEpoch(epochR, truthR);
        if (o.receiverDated) writer.WriteEpoch(epochQ, truthQ);
        if (k == 0) writer.WriteIonoUtc(ionoIn, t.week, t);
        while (nextEvent < plan.size() && plan[nextEvent].afterEpoch <= k) {
            SimEvent ev = plan[nextEvent].event;
            const double after = ev.type == SimEventType::TimeEvent ? 0.3456789 : 0.5;
            ev.time = t.AddSeconds(std::min(after, o.interval / 2));
            writer.WriteEvent(ev);
            ++nextEvent;
        }
        ++summary.epochs;
    }
    return true;
}
