// Real records of the RINEX writer tests: the ionosphere/UTC values and the first
// ephemeris of 07590920.05n (GEONET 0759, 2 April 2005).
#pragma once

#include <memory>

#include "rawdata/Ephemeris.h"
#include "rawdata/IonoUtc.h"

namespace rinextest {

// Ionosphere/UTC values of the header of 07590920.05n (GEONET 0759, 2 April 2005),
// with the 8-bit broadcast week of week 1317.
inline IonoUtc RealIonoUtc() {
    IonoUtc u;
    u.valid = 1;
    u.time = GpsTime(1316, 518400.0);
    u.WNt = 37;
    u.tot = 61440.9;
    u.alpha0 = 1.118e-08;
    u.alpha1 = 1.49e-08;
    u.alpha2 = -5.96e-08;
    u.alpha3 = -5.96e-08;
    u.beta0 = 88060.0;
    u.beta1 = 16380.0;
    u.beta2 = -196600.0;
    u.beta3 = -131100.0;
    u.A0 = -2.79396772385e-09;
    u.A1 = -5.3290705182e-15;
    u.deltaTLS = 13;
    return u;
}

// The first record of 07590920.05n: PRN 1, toe = toc = 2 April 2005 02:00:00.
inline Ephemeris RealEphemerisPrn1() {
    Ephemeris e;
    e.satellite = 0;
    e.week = 1316;
    e.toe = 525600.0;
    e.toeTime = GpsTime(1316, 525600.0);
    e.toc = 525600.0;
    e.af0 = 3.96659597754e-04;
    e.af1 = 1.70530256582e-12;
    e.af2 = 0.0;
    e.IODE = 140.0;
    e.Crs = -52.1875;
    e.deltaN = 4.02659638965e-09;
    e.M0 = 2.87153499034;
    e.Cuc = -2.67662107944e-06;
    e.e = 5.95761800651e-03;
    e.Cus = 4.17418777943e-06;
    e.sqrtA = 5153.63647842;
    e.Cic = 1.06170773506e-07;
    e.Omega0 = -2.49318481774;
    e.Cis = -9.31322574615e-08;
    e.i0 = 0.983391914449;
    e.Crc = 309.375;
    e.omega = -1.65049681327;
    e.OmegaDot = -7.88997134293e-09;
    e.IDOT = -8.5717856424e-12;
    e.codesOnL2 = 1;
    e.l2PDataFlag = 0;
    e.accuracy = 1.0;
    e.health = 0;
    e.TGD = -3.25962901115e-09;
    e.IODC = 396.0;
    e.recordTime = GpsTime(1316, 519576.0);
    return e;
}

// A stored ephemeris of a satellite index with its toe.
inline std::unique_ptr<Ephemeris> Stored(int satellite, uint16_t week, double toe) {
    auto e = std::make_unique<Ephemeris>(RealEphemerisPrn1());
    e->satellite = static_cast<uint16_t>(satellite);
    e->week = week;
    e->toe = toe;
    e->toc = toe;
    e->toeTime = GpsTime(week, toe);
    return e;
}

}  // namespace rinextest
