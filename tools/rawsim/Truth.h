#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "rawdata/Ephemeris.h"
#include "rawdata/IonoUtc.h"
#include "rawdata/Observation.h"
#include "rawdata/SiteEvent.h"
#include "tools/rawsim/SimRecords.h"

// What a raw file written by the simulator holds, and what a correct reading and
// conversion of it must give.

// Model values of one satellite in one epoch.
struct TruthSatellite {
    int prn = 0;
    double range = 0;          // geometric range with the earth's rotation, m
    double satelliteClock = 0; // satellite clock correction, s
    double tropo = 0;          // tropospheric delay, m
    double iono = 0;           // L1 ionospheric delay, m
    double elevation = 0;      // rad
    double azimuth = 0;        // rad
    // The values a correct conversion writes for this satellite at the epoch's output
    // time (RINEX units: metres, cycles, Hz). Receiver-dated: the decoded codes times c,
    // the phases without their 10000-cycle reduction, the Dopplers. Satellite-dated: the
    // measurements an ideal receiver without clock error would make at the output time.
    // Dopplers carry the RINEX sign (positive for an approaching satellite), the
    // opposite of the raw records' sign.
    double c1 = 0, l1 = 0, d1 = 0, p1 = 0, p2 = 0, l2 = 0, d2 = 0;
    bool lossOfLockL1 = false;  // the lock counter changed since the previous epoch
    bool lossOfLockL2 = false;
    int slipL1 = 0;  // whole cycles the phase jumped by at this epoch without a loss of lock
    int slipL2 = 0;
};

// One epoch record and its truth.
struct TruthEpoch {
    int kind = 7;                // record kind: 6 satellite-dated "R", 7 receiver-dated "Q"
    GpsTime tag;                 // time tag written in the record
    GpsTime outputTime;          // epoch time of a correct conversion (tag, or tag + Tx)
    double receiverClock = 0;    // receiver clock offset at reception, s
    ObservationEpoch decoded;    // what a correct decoder returns for the record
    std::vector<TruthSatellite> sats;
};

// One event record and what a correct decoder returns for it.
struct TruthEvent {
    int recordKind = 10;  // 10 site/time event, 11 antenna height
    char letter = 'M';
    SiteEvent expected;
};

// One defective record put in on request.
struct TruthFault {
    std::string type;   // fault name
    char letter = 0;    // type letter of the genuine record it copies
    GpsTime time;       // time of the genuine record (epochs), toe (ephemerides)
};

// Counts of the genuine records written.
struct TruthCounts {
    long long satelliteDated = 0, receiverDated = 0, ephemerides = 0, ionoUtc = 0, events = 0;
    long long faults = 0;
    long long bytes = 0;
};

// Receives the truth of every record as it is written.
class TruthSink {
public:
    virtual ~TruthSink() = default;
    virtual void OnEpoch(const TruthEpoch&) {}
    // An ephemeris as a correct decoder returns it (valid 1, derived block zero).
    virtual void OnEphemeris(const Ephemeris&) {}
    virtual void OnIonoUtc(const IonoUtc&) {}
    virtual void OnEvent(const TruthEvent&) {}
    virtual void OnFault(const TruthFault&) {}
};

// Everything about one simulated file, kept in memory.
struct Truth {
    std::string layout;          // "binary", "csv" or "fixed"
    double station[3] = {0, 0, 0};  // ECEF, m
    double clockOffset = 0;      // receiver clock offset at clockEpoch, s
    double clockDrift = 0;       // s/s
    GpsTime clockEpoch;
    double tx = 0.075;           // nominal travel time of the satellite-dated output times, s
    double antennaHeight = 0;    // m, from the first antenna-height record
    std::vector<TruthEpoch> epochs;
    std::vector<Ephemeris> ephemerides;
    std::vector<IonoUtc> ionoUtc;
    std::vector<TruthEvent> events;
    std::vector<TruthFault> faults;
    TruthCounts counts;
};

// A sink that keeps everything in a Truth (for tests; holds every epoch in memory).
class TruthCollector : public TruthSink {
public:
    explicit TruthCollector(Truth& truth) : truth_(truth) {}
    void OnEpoch(const TruthEpoch& e) override { truth_.epochs.push_back(e); }
    void OnEphemeris(const Ephemeris& e) override { truth_.ephemerides.push_back(e); }
    void OnIonoUtc(const IonoUtc& i) override { truth_.ionoUtc.push_back(i); }
    void OnEvent(const TruthEvent& e) override { truth_.events.push_back(e); }
    void OnFault(const TruthFault& f) override { truth_.faults.push_back(f); }

private:
    Truth& truth_;
};

// A sink that streams the truth as JSON: epochs as they come (every n-th one), the
// small lists at Finish. Memory stays constant apart from ephemerides and events.
class TruthJsonWriter : public TruthSink {
public:
    TruthJsonWriter() = default;
    ~TruthJsonWriter() override;
    TruthJsonWriter(const TruthJsonWriter&) = delete;
    TruthJsonWriter& operator=(const TruthJsonWriter&) = delete;

    // Opens path and writes the file's head from the header fields of truth (layout,
    // station, clock, tx). epochEvery: keep one epoch of each kind in that many. False
    // on failure.
    bool Open(const std::string& path, const Truth& header, int epochEvery = 1);
    void OnEpoch(const TruthEpoch& e) override;
    void OnEphemeris(const Ephemeris& e) override { ephemerides_.push_back(e); }
    void OnIonoUtc(const IonoUtc& i) override { ionoUtc_.push_back(i); }
    void OnEvent(const TruthEvent& e) override { events_.push_back(e); }
    void OnFault(const TruthFault& f) override;
    // Writes the lists and the counts and closes the file; false on a write failure.
    bool Finish(const TruthCounts& counts, double antennaHeight);

private:
    std::FILE* fp_ = nullptr;
    int every_ = 1;
    long long seen_[2] = {0, 0};  // satellite-dated, receiver-dated epochs seen
    long long written_ = 0;
    std::vector<Ephemeris> ephemerides_;
    std::vector<IonoUtc> ionoUtc_;
    std::vector<TruthEvent> events_;
    std::vector<TruthFault> faults_;
};

// Forwards every record to two sinks.
class TruthTee : public TruthSink {
public:
    TruthTee(TruthSink* a, TruthSink* b) : a_(a), b_(b) {}
    void OnEpoch(const TruthEpoch& e) override { if (a_) a_->OnEpoch(e); if (b_) b_->OnEpoch(e); }
    void OnEphemeris(const Ephemeris& e) override { if (a_) a_->OnEphemeris(e); if (b_) b_->OnEphemeris(e); }
    void OnIonoUtc(const IonoUtc& i) override { if (a_) a_->OnIonoUtc(i); if (b_) b_->OnIonoUtc(i); }
    void OnEvent(const TruthEvent& e) override { if (a_) a_->OnEvent(e); if (b_) b_->OnEvent(e); }
    void OnFault(const TruthFault& f) override { if (a_) a_->OnFault(f); if (b_) b_->OnFault(f); }

private:
    TruthSink* a_;
    TruthSink* b_;
};

// Layout name used in the truth file and on the command line.
const char* LayoutName(RawLayout layout);
