#pragma once

// What ReadRecord found: the kind of the next record of a raw data file. The two
// epoch record kinds also name the raw-data kind a conversion turns into RINEX
// (kRecordNone before it is chosen).
enum RecordKind : int {
    kRecordEnd = -1,            // end of data
    kRecordNone = 0,            // no record: no raw-data kind chosen yet
    kRecordOther = 1,           // a record of another type (skipped)
    kRecordI = 2,               // ASCII "I" (not decoded)
    kRecordG = 3,               // ASCII "G" (not decoded)
    kRecordL = 5,               // ASCII "L" (not decoded)
    kRecordSatelliteDated = 6,  // "R": epoch time-tagged at transmission
    kRecordReceiverDated = 7,   // "Q": epoch time-tagged at reception
    kRecordEphemeris = 8,       // "E"
    kRecordA = 9,               // "A" (not decoded)
    kRecordSiteEvent = 10,      // binary "M"/"m", ASCII "M"/"T"
    kRecordAntennaHeight = 11,  // binary "H", ASCII "V"
    kRecordIonoUtc = 12,        // "U"
};

// Size of the record buffers of ReadRecord and its callers.
inline constexpr int kRecordBufferSize = 32768;
