#pragma once
#include <cstdint>

#include "rawdata/GpsTime.h"

// Broadcast ephemeris and clock parameters of one satellite, with the block of
// values derived once when the ephemeris is stored (PrepareEphemeris).
struct Ephemeris {
    int32_t valid = 0;      // 1 when decoded and healthy
    int32_t sequence = -1;  // unique number given when stored
    uint16_t satellite = 0; // satellite index 0..31 (PRN - 1)
    GpsTime toeTime;        // week and toe: the ordering key of the store
    GpsTime recordTime;     // time tag of the ASCII record that carried it; zero for binary
    uint16_t week = 0;      // full GPS week
    double toe = 0;         // s of week
    double A = 0;           // m
    double sqrtA = 0;       // m^1/2
    double omega = 0;       // rad
    double M0 = 0;          // rad
    double e = 0;
    double i0 = 0;          // rad
    double IDOT = 0;        // rad/s
    double Omega0 = 0;      // rad
    double OmegaDot = 0;    // rad/s
    double deltaN = 0;      // rad/s
    double Crs = 0;         // m
    double Crc = 0;         // m
    double Cis = 0;         // rad
    double Cic = 0;         // rad
    double Cus = 0;         // rad
    double Cuc = 0;         // rad
    double toc = 0;         // s of week
    double af0 = 0;         // s
    double af1 = 0;         // s/s
    double af2 = 0;         // s/s^2
    double TGD = 0;         // s
    double accuracy = 0;    // m
    double IODE = 0;
    double IODC = 0;
    uint16_t codesOnL2 = 0;
    uint16_t l2PDataFlag = 0;
    uint16_t health = 0;
    uint16_t fitInterval = 0;  // h
    // Derived block.
    double n = 0;                  // corrected mean motion, rad/s
    double Omega0Corrected = 0;    // rad
    double OmegaDotCorrected = 0;  // rad/s
    double series[5] = {0, 0, 0, 0, 0};  // eccentric-anomaly series coefficients
    double relativity = 0;         // F e sqrt(A), s
    double sqrtOneMinusE2 = 0;
    double Ae = 0;                 // m
};

// Fills the derived block of an ephemeris from its broadcast fields.
void PrepareEphemeris(Ephemeris& eph);
