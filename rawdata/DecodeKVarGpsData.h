#pragma once
#include "rawdata/DecodeKolmarGpsData.h"

// Decoder of the ASCII raw format: the comma-separated layout, and the fixed-column
// layout (records with "%" or "#" at index 3) through its base class.
class CDecodeKVarGpsData : public CDecodeKolmarGpsData {
public:
    uint16_t DecodeObservation(uint8_t* record, int length, ObservationEpoch& out,
                               uint16_t& referenceWeek) override;
    int DecodeEphemeris(uint8_t* record, int length, Ephemeris& out,
                        uint16_t& referenceWeek) override;
    int DecodeIonoUtc(uint8_t* record, int length, IonoUtc& out, uint16_t& referenceWeek) override;
    int DecodeSiteEvent(uint8_t* record, int length, SiteEvent& out,
                        uint16_t& referenceWeek) override;
};
