#pragma once
#include <cstdint>

#include "rawdata/GpsTime.h"

// Ionosphere and UTC parameters as broadcast.
struct IonoUtc {
    int32_t valid = 0;
    GpsTime time;        // reference week of the decoding and tot
    uint16_t WNt = 0;    // UTC reference week, 8 bits as broadcast
    double tot = 0;      // s
    double alpha0 = 0, alpha1 = 0, alpha2 = 0, alpha3 = 0;
    double beta0 = 0, beta1 = 0, beta2 = 0, beta3 = 0;
    double A0 = 0;       // s
    double A1 = 0;       // s/s
    int16_t deltaTLS = 0;
    uint16_t WNLSF = 0;
    uint16_t DN = 0;
    int16_t deltaTLSF = 0;

    void Clear() { *this = IonoUtc(); }
};
