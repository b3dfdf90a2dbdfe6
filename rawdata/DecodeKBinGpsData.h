#pragma once
#include "rawdata/Decoder.h"

// Decoder of the binary raw format. Keeps no state between records.
// Every operation frames the record (0xFE ... first 0xFF), computes the checksum on
// the escaped bytes, unescapes it in place and compares the checksum field; a bad
// escape pair, a length that does not match the record's layout or a checksum
// mismatch makes the record invalid.
class CDecodeKBinGpsData : public CDecodeGpsData {
public:
    // "R"/"Q" epoch: C1, L1, D1 and, with the dual-frequency part, P1, P2, L2, D2.
    uint16_t DecodeObservation(uint8_t* record, int length, ObservationEpoch& out,
                               uint16_t& referenceWeek) override;
    // "E": subframes 1 to 3; the truncated week is resolved against referenceWeek.
    int DecodeEphemeris(uint8_t* record, int length, Ephemeris& out,
                        uint16_t& referenceWeek) override;
    // "U": subframe 4 page 18, dated (referenceWeek, tot).
    int DecodeIonoUtc(uint8_t* record, int length, IonoUtc& out, uint16_t& referenceWeek) override;
    // "M" time event (kind 40) or "m" site record (kind by site type).
    int DecodeSiteEvent(uint8_t* record, int length, SiteEvent& out,
                        uint16_t& referenceWeek) override;
    // "H": antenna height in metres (kind 41).
    int DecodeAntennaHeight(uint8_t* record, int length, SiteEvent& out,
                            uint16_t& referenceWeek) override;
};

// Compacts a marker name: leading spaces removed; an inner space is kept only when a
// next character exists and is neither a space nor a comma.
std::string CompactMarkerName(const std::string& text);
