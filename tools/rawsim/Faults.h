#pragma once
#include <string>
#include <vector>

// The defects the simulator can put into a raw file on request. Every defective record
// is an extra record (or extra bytes) beside the genuine one, so a correct reader of
// the file still obtains every genuine record and nothing else.
enum class FaultType {
    Checksum,   // binary: a copy with altered values and a wrong checksum
    Escape,     // binary: a copy with an escape pair 0xFD 0x05
    Prn,        // a copy with PRN 0 or 33 (fixed-column epochs: an extra line instead)
    Cut,        // the first half of a copy, without its end byte
    Garbage,    // bytes between records
    Unhealthy,  // ephemerides: a copy with health 1 and the same toe
    Iode,       // ephemerides: a copy whose subframe 3 IODE differs from subframe 2
};

// Name of a fault type as used on the command line and in the truth file.
const char* FaultName(FaultType type);

// Which faults to put in, and how often.
struct FaultPlan {
    std::vector<FaultType> types;  // in rotation order
    int every = 10;                // one record fault every this many epoch/ephemeris records

    bool Has(FaultType type) const;
    bool Empty() const { return types.empty(); }
};

// Parses a comma-separated list of fault names ("checksum,escape,prn,cut,garbage,
// unhealthy,iode" or "all"); false with a message on an unknown name.
bool ParseFaultList(const std::string& list, FaultPlan& plan, std::string& error);
