#pragma once
#include <cstdint>
#include <memory>

#include "rawdata/Ephemeris.h"
#include "rawdata/IonoUtc.h"
#include "rawdata/Observation.h"
#include "rawdata/SiteEvent.h"

// The decoder of one raw format: turns a record delivered by ReadRecord into the
// shared records. Each operation takes the record as ReadRecord returned it
// (binary: still escaped, unescaped in place by the operation; ASCII: followed by a
// terminating zero byte) and its length in bytes, and never reads outside
// [record, record + length] (plus the ASCII terminating zero, when there is one).
//
// referenceWeek is the driver's GPS week for the pass: operations of records that
// carry a week and time of week write it; the ephemeris and iono/UTC operations
// read it to complete truncated weeks and to date the UTC parameters.
// An invalid record is reported through the result only (0, or -1 for ephemerides);
// the output may then be partly filled.
class CDecodeGpsData {
public:
    virtual ~CDecodeGpsData() = default;
    // Forgets the state kept between records (start of a pass).
    virtual void Reset() {}
    // Decodes an epoch record ("R"/"Q"); the epoch's observation-type mask, 0 when invalid.
    virtual uint16_t DecodeObservation(uint8_t* /*record*/, int /*length*/, ObservationEpoch& /*out*/,
                                       uint16_t& /*referenceWeek*/) {
        return 0;
    }
    // Decodes an ephemeris record ("E"); the satellite index 0..31, -1 when invalid.
    virtual int DecodeEphemeris(uint8_t* /*record*/, int /*length*/, Ephemeris& /*out*/,
                                uint16_t& /*referenceWeek*/) {
        return -1;
    }
    // Decodes an ionosphere/UTC record ("U"); non-zero when valid, 0 when invalid.
    virtual int DecodeIonoUtc(uint8_t* /*record*/, int /*length*/, IonoUtc& /*out*/,
                              uint16_t& /*referenceWeek*/) {
        return 0;
    }
    // Decodes a site or time-event record; 1 when valid, 0 when invalid.
    virtual int DecodeSiteEvent(uint8_t* /*record*/, int /*length*/, SiteEvent& /*out*/,
                                uint16_t& /*referenceWeek*/) {
        return 0;
    }
    // Decodes an antenna-height record (kind 41, value in metres); 1 when valid, 0 when invalid.
    virtual int DecodeAntennaHeight(uint8_t* /*record*/, int /*length*/, SiteEvent& /*out*/,
                                    uint16_t& /*referenceWeek*/) {
        return 0;
    }
};

class CDecodeKBinGpsData;     // binary format (rawdata/DecodeKBinGpsData.h)
class CDecodeKolmarGpsData;   // ASCII fixed-column layout (rawdata/DecodeKolmarGpsData.h)
class CDecodeKVarGpsData;     // ASCII, both layouts (rawdata/DecodeKVarGpsData.h)

// Creates the decoder of a format index (0 ASCII, 1 binary); null for any other index.
std::unique_ptr<CDecodeGpsData> CreateDecoder(int formatIndex);
