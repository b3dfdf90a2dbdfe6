#pragma once
#include <string>

#include "rawdata/IonoUtc.h"
#include "tools/rawsim/Constellation.h"
#include "tools/rawsim/RawWriter.h"
#include "tools/rawsim/SignalModel.h"
#include "tools/rawsim/Truth.h"

// Settings of a synthetic recording.
struct SynthOptions {
    bool receiverDated = true;     // write "Q" epochs
    bool satelliteDated = false;   // write "R" epochs
    GpsTime start;                 // first epoch (receiver clock for "Q", satellite time for "R")
    double duration = 600;         // s
    double interval = 1;           // s between epochs (at least 0.1)
    double station[3] = {-3976219.5082, 3382372.5671, 3652512.9849};  // ECEF, m
    double clockOffset = 2.5e-4;   // receiver clock offset at start, s
    double clockDrift = 2e-9;      // s/s
    bool dual = false;             // L2, P1, P2, D2 as well
    bool antiSpoofing = false;     // flag anti-spoofing on the dual-frequency blocks
    bool events = false;           // site, time-event and antenna-height records
    double antennaHeight = 1.543;  // m, the first antenna-height record (with events)
    double elevationMask = 5.0;    // degrees
    int maxSatellites = 12;
    int slipEvery = 0;             // epochs between simulated losses of lock, 0 = none
    // Epochs between whole-cycle phase jumps (5 to 50 cycles, either sign) that leave the
    // lock counters alone, i.e. slips the receiver did not notice; 0 = none. Single
    // frequency: on L1; dual: in turn on L1, on L2, and the same count on both.
    int unflaggedSlipEvery = 0;
    double tx = 0.075;             // s, output time offset of satellite-dated truth
};

// What Synthesize did.
struct SynthSummary {
    long long epochs = 0;        // epoch instants (each may give an "R" and a "Q" record)
    int minSatellites = 99;
    int maxSatellites = 0;
};

// Writes a synthetic recording through writer: ephemeris records as satellites come
// into use, one ionosphere/UTC record after the first epoch, epoch records at every
// interval, and on request events and losses of lock. Records stream out one epoch at
// a time. truthHeader receives the station, clock and tx. False with a message when
// nothing can be written.
bool Synthesize(const SynthOptions& options, EphemerisSource& orbits, const IonoUtc& iono, RawWriter& writer,
                Truth& truthHeader, SynthSummary& summary, std::string& error);
