#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "rawdata/GpsTime.h"

// The records the simulator writes, in physical units before any layout quantises them.

// The three output layouts of a raw data file.
enum class RawLayout { Binary, AsciiCsv, AsciiFixed };

// Format index of the converter for a layout (0 ASCII, 1 binary).
inline int FormatIndex(RawLayout layout) { return layout == RawLayout::Binary ? 1 : 0; }

// Measurements of one satellite at one epoch.
struct SimSatellite {
    int prn = 0;            // 1..32 (other values only for fault records)
    double c1 = 0;          // C/A code travel time, s (reduced modulo 0.1 s when written)
    double l1 = 0;          // L1 phase, cycles, grows with the range (unbounded)
    double d1 = 0;          // L1 Doppler, Hz: phase rate, positive when the range grows
    double p1 = 0, p2 = 0;  // P code travel times, s
    double l2 = 0;          // L2 phase, cycles
    double d2 = 0;          // L2 Doppler, Hz
    bool hasL1 = true, hasD1 = true;
    bool hasP1 = false, hasP2 = false, hasL2 = false, hasD2 = false;
    uint8_t lockL1 = 0, lockL2 = 0;       // lock counters 0..31; a change is a loss of lock
    uint8_t qualityL1 = 0, qualityL2 = 0; // 3-bit phase quality indicators
    uint8_t qualityCode = 0;              // 4-bit code quality indicator
    uint8_t cn0 = 45;                     // dB-Hz
    bool antiSpoofing = false;
};

// One epoch record: "R" (satellite-dated) or "Q" (receiver-dated).
struct SimEpoch {
    char letter = 'Q';
    GpsTime time;           // time tag (transmission time for "R", reception time for "Q")
    bool dual = false;      // every block carries the dual-frequency part
    std::vector<SimSatellite> sats;
};

// Kinds of event records.
enum class SimEventType {
    Site,           // binary "m" with a site type code
    TimeEvent,      // binary "M", ASCII "M" or "T"
    AntennaHeight,  // binary "H", ASCII "V"
};

// One site, time-event or antenna-height record.
struct SimEvent {
    SimEventType type = SimEventType::TimeEvent;
    GpsTime time;             // event time (the header time of a site record)
    int siteType = 1;         // site type code of a site record
    std::string markerName;   // at most 12 characters
    std::string text[5];      // T1..T5 of a site record, at most 12 characters each
    double height = 0;        // antenna height, m
    char asciiLetter = 'T';   // ASCII time events: 'M' or 'T'
    std::string asciiText;    // ASCII "M": 11 characters of free text
};
