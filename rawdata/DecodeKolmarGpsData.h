#pragma once
#include "rawdata/Decoder.h"

// Decoder of the ASCII raw format's fixed-column layout. Keeps, per satellite, the
// raw L1 phase of the previous epoch to derive L1 Dopplers from phase differences.
// Records are the text STX ... ETX; reading stops at the given length or at the
// first zero byte, whichever comes first.
class CDecodeKolmarGpsData : public CDecodeGpsData {
public:
    CDecodeKolmarGpsData() { Reset(); }
    // Forgets the previous epoch and every satellite's previous L1 phase.
    void Reset() override;
    // "R"/"Q": C1, L1, cn0 and, from the second epoch on, D1 from the L1 change;
    // an epoch less than 0.05 s after the previous accepted one is refused.
    uint16_t DecodeObservation(uint8_t* record, int length, ObservationEpoch& out,
                               uint16_t& referenceWeek) override;
    // "E": PRN and three rows of eight hexadecimal navigation words.
    int DecodeEphemeris(uint8_t* record, int length, Ephemeris& out,
                        uint16_t& referenceWeek) override;
    // "U": eight hexadecimal words of subframe 4 page 18.
    int DecodeIonoUtc(uint8_t* record, int length, IonoUtc& out, uint16_t& referenceWeek) override;
    // "M"/"T": time event (kind 40) within the 10-second interval of the time header.
    int DecodeSiteEvent(uint8_t* record, int length, SiteEvent& out,
                        uint16_t& referenceWeek) override;
    // "V": antenna height given in millimetres (kind 41, value in metres).
    int DecodeAntennaHeight(uint8_t* record, int length, SiteEvent& out,
                            uint16_t& referenceWeek) override;

private:
    double previousL1_[kSatelliteCount];   // raw L1 of the previous epoch, millicycles
    int32_t hasPrevious_[kSatelliteCount]; // 1 when previousL1_ of the satellite is usable
    GpsTime previousTime_;                 // previous accepted epoch; zero = none
};

// Folds a difference of raw L1 phases (millicycles) by whole 1e11 steps into
// [-5e10, 5e10].
double FoldPhaseDifference(double delta);
