// Navigation words from broadcast parameters: hand-checked words of real records, the
// accuracy index, and real navigation files through the ephemeris records of every
// layout back to their RINEX values within the broadcast quantisation.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/rawsim/Constellation.h"
#include "tools/rawsim/NavWords.h"
#include "tools/rawsim/RinexReader.h"

namespace {

RinexNavData ReadNav(const std::string& name) {
    RinexNavData nav;
    std::string error;
    EXPECT_TRUE(ReadRinexNav(TestData(name), nav, error)) << error;
    return nav;
}

TEST(NavWords, FirstRecordOfGeonet0759HasTheseWords) {
    // PRN 1, toc 2005-04-02 02:00 (Saturday, 525600 s), week 1316, IODE 140, IODC 396.
    const RinexNavData nav = ReadNav("07590920.05n");
    ASSERT_FALSE(nav.ephemerides.empty());
    const Ephemeris& e = nav.ephemerides[0];
    ASSERT_EQ(e.satellite, 0);
    EphemerisWords w;
    Ephemeris q;
    ASSERT_TRUE(EncodeEphemeris(e, w, q));
    EXPECT_EQ(w.words[0], 0x491001u);   // week 1316 % 1024 = 0x124, L2 codes 1, URA 0, health 0, IODC 0x1..
    EXPECT_EQ(w.words[1], 0x000000u);   // L2 P data flag 0
    EXPECT_EQ(w.words[4], 0x0000F9u);   // TGD -3.2596e-9 s = -7 x 2^-31
    EXPECT_EQ(w.words[5], 0x8C8052u);   // IODC ..0x8C, toc 525600 / 16 = 0x8052
    EXPECT_EQ(w.words[6], 0x00000Fu);   // af2 0, af1 1.7053e-12 = 15 x 2^-43
    EXPECT_EQ(w.words[7], 0x33FDB0u);   // af0 3.9666e-4 = 851820 x 2^-31, in bits 0..21
    EXPECT_EQ(w.words[8], 0x8CF97Au);   // IODE 140, Crs -52.1875 = -1670 x 2^-5
    EXPECT_EQ(w.words[11], 0xFA6303u);  // Cuc -1437 x 2^-29, e bits 31..24
    EXPECT_EQ(w.words[12], 0x0CE07Du);  // e 5.9576e-3 = 51175549 x 2^-33, low 24 bits
    EXPECT_EQ(w.words[13], 0x08C1A1u);  // Cus 2241 x 2^-29, sqrtA bits 31..24
    EXPECT_EQ(w.words[14], 0x0D1782u);  // sqrtA 5153.636 = 2701989762 x 2^-19, low 24 bits
    EXPECT_EQ(w.words[15], 0x805200u);  // toe 525600 / 16, fit flag 0
    EXPECT_EQ(w.words[23] >> 16, 0x8Cu);  // IODE of subframe 3
    EXPECT_EQ(q.week, 1316);
    EXPECT_DOUBLE_EQ(q.toe, 525600.0);
    EXPECT_DOUBLE_EQ(q.Crs, -52.1875);
    EXPECT_DOUBLE_EQ(q.accuracy, 2.0);
}

TEST(NavWords, IonosphereAndUtcOfGeonet0759HaveTheseWords) {
    // ION ALPHA 1.1180e-8 1.4900e-8 -5.96e-8 -5.96e-8 = 12, 2, -1, -1 steps;
    // ION BETA 88060 16380 -196600 -131100 = 43, 1, -3, -2 steps;
    // A0 -2.79397e-9 = -3 x 2^-30, A1 -5.329e-15 = -6 x 2^-50, tot 61440, week 1061, 13 s.
    const RinexNavData nav = ReadNav("07590920.05n");
    ASSERT_TRUE(nav.hasIonoUtc);
    uint32_t w[8];
    IonoUtc q;
    ASSERT_TRUE(EncodeIonoUtc(nav.ionoUtc, 1316, w, q));
    EXPECT_EQ(w[0], 0x780C02u);  // data ID 1, page 56, alpha0, alpha1
    EXPECT_EQ(w[1], 0xFFFF2Bu);
    EXPECT_EQ(w[2], 0x01FDFEu);
    EXPECT_EQ(w[3], 0xFFFFFAu);
    EXPECT_EQ(w[4], 0xFFFFFFu);
    EXPECT_EQ(w[5], 0xFD0F25u);  // A0 low byte, tot / 4096 = 15, WNt 1061 % 256 = 37
    EXPECT_EQ(w[6], 0x0D2500u);  // deltaTLS 13, WNLSF 37, DN 0
    EXPECT_EQ(w[7], 0x0D0000u);  // deltaTLSF 13
    EXPECT_DOUBLE_EQ(q.beta2, -196608.0);
    EXPECT_EQ(q.time.week, 1316);
    EXPECT_DOUBLE_EQ(q.time.seconds, 61440.0);
}

TEST(NavWords, AccuracyIndexFollowsTheBroadcastRanges) {
    EXPECT_EQ(UraIndex(0.0), 0);
    EXPECT_EQ(UraIndex(2.4), 0);
    EXPECT_EQ(UraIndex(2.8), 1);
    EXPECT_EQ(UraIndex(4.0), 2);
    EXPECT_EQ(UraIndex(5.7), 3);
    EXPECT_EQ(UraIndex(32.0), 7);
    EXPECT_EQ(UraIndex(6144.0), 14);
    EXPECT_EQ(UraIndex(7000.0), 15);
    EXPECT_DOUBLE_EQ(UraMetres(1), 2.8);
    EXPECT_DOUBLE_EQ(UraMetres(15), 32768.0);
}

TEST(NavWords, FieldsOutsideTheirBitsAreReported) {
    const RinexNavData nav = ReadNav("07590920.05n");
    Ephemeris e = nav.ephemerides[0];
    EphemerisWords w;
    Ephemeris q;
    e.af0 = 2e-3;  // beyond 2^21 x 2^-31 s
    EXPECT_FALSE(EncodeEphemeris(e, w, q));
    e = nav.ephemerides[0];
    e.e = -0.1;
    EXPECT_FALSE(EncodeEphemeris(e, w, q));
}

// Half a step of each scale factor, and a little for the 14-digit constants.
void ExpectWithinQuantisation(const Ephemeris& got, const Ephemeris& rinex, const std::string& where) {
    using namespace navscale;
    auto within = [&](double g, double r, double step, const char* name) {
        EXPECT_LE(std::fabs(g - r), 0.5 * step + 1e-13 * std::fabs(r)) << where << " " << name;
    };
    EXPECT_EQ(got.satellite, rinex.satellite) << where;
    EXPECT_EQ(got.week, rinex.week) << where;
    within(got.toe, rinex.toe, 16, "toe");
    within(got.toc, rinex.toc, 16, "toc");
    within(got.af0, rinex.af0, k2m31, "af0");
    within(got.af1, rinex.af1, k2m43, "af1");
    within(got.af2, rinex.af2, k2m55, "af2");
    within(got.TGD, rinex.TGD, k2m31, "TGD");
    within(got.Crs, rinex.Crs, k2m5, "Crs");
    within(got.Crc, rinex.Crc, k2m5, "Crc");
    within(got.deltaN, rinex.deltaN, k2m43pi, "deltaN");
    within(got.M0, rinex.M0, k2m31pi, "M0");
    within(got.Cuc, rinex.Cuc, k2m29, "Cuc");
    within(got.Cus, rinex.Cus, k2m29, "Cus");
    within(got.Cic, rinex.Cic, k2m29, "Cic");
    within(got.Cis, rinex.Cis, k2m29, "Cis");
    within(got.e, rinex.e, k2m33, "e");
    within(got.sqrtA, rinex.sqrtA, k2m19, "sqrtA");
    within(got.Omega0, rinex.Omega0, k2m31pi, "Omega0");
    within(got.i0, rinex.i0, k2m31pi, "i0");
    within(got.omega, rinex.omega, k2m31pi, "omega");
    within(got.OmegaDot, rinex.OmegaDot, k2m43pi, "OmegaDot");
    within(got.IDOT, rinex.IDOT, k2m43pi, "IDOT");
    EXPECT_DOUBLE_EQ(got.IODE, rinex.IODE) << where;
    EXPECT_DOUBLE_EQ(got.IODC, rinex.IODC) << where;
    EXPECT_EQ(got.health, rinex.health) << where;
    EXPECT_EQ(got.codesOnL2, rinex.codesOnL2) << where;
    EXPECT_EQ(got.l2PDataFlag, rinex.l2PDataFlag) << where;
    EXPECT_DOUBLE_EQ(got.accuracy, UraMetres(UraIndex(rinex.accuracy))) << where;
    EXPECT_EQ(got.fitInterval, rinex.fitInterval > 4 ? 6 : 4) << where;
}

struct NavCase {
    const char* file;
    RawLayout layout;
    const char* name;
};

class RealNavigationRecords : public testing::TestWithParam<NavCase> {};

TEST_P(RealNavigationRecords, DecodeBackToTheirRinexValuesWithinTheQuantisation) {
    const NavCase& c = GetParam();
    const RinexNavData nav = ReadNav(c.file);
    ASSERT_GT(nav.ephemerides.size(), 20u);
    std::string raw;
    Truth truth;
    TruthCollector collector(truth);
    RawWriter writer(CreateEncoder(c.layout), FaultPlan(), &collector);
    writer.OpenMemory(&raw);
    for (size_t k = 0; k < nav.ephemerides.size(); ++k) {
        EXPECT_TRUE(writer.WriteEphemeris(nav.ephemerides[k], nav.transmissionTimes[k])) << k;
    }
    ASSERT_TRUE(writer.Close());
    SimTempDir dir;
    const std::string path = dir.File("nav.raw");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(raw.data(), 1, raw.size(), f);
    std::fclose(f);
    const DecodedFile got = ReadRawFile(path, FormatIndex(c.layout), nav.ephemerides[0].week);
    EXPECT_EQ(got.invalid, 0);
    std::vector<const Ephemeris*> healthy;
    for (const Ephemeris& e : nav.ephemerides) {
        if (e.health == 0) healthy.push_back(&e);
    }
    ASSERT_EQ(got.ephemerides.size(), healthy.size());
    EXPECT_EQ(got.unhealthy, static_cast<int>(nav.ephemerides.size() - healthy.size()));
    for (size_t k = 0; k < healthy.size(); ++k) {
        ExpectWithinQuantisation(got.ephemerides[k], *healthy[k], std::string(c.name) + " record " + std::to_string(k));
    }
}

INSTANTIATE_TEST_SUITE_P(Files, RealNavigationRecords,
                         testing::Values(NavCase{"07590920.05n", RawLayout::Binary, "geonet_binary"},
                                         NavCase{"07590920.05n", RawLayout::AsciiCsv, "geonet_csv"},
                                         NavCase{"07590920.05n", RawLayout::AsciiFixed, "geonet_fixed"},
                                         NavCase{"brdc1820.10n", RawLayout::Binary, "brdc2010_binary"}),
                         [](const testing::TestParamInfo<NavCase>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(NavWords, EveryNominalEphemerisFitsTheBroadcastFieldsAllDayLong) {
    NominalConstellation orbits(NominalStart());
    for (int hour = 0; hour <= 24; hour += 2) {
        const GpsTime t = NominalStart().AddSeconds(hour * 3600.0);
        for (int prn : NominalConstellation::Prns()) {
            EphemerisWords w;
            Ephemeris q;
            EXPECT_TRUE(EncodeEphemeris(orbits.EphemerisAt(prn, t), w, q)) << "PRN " << prn << " hour " << hour;
            EXPECT_NE(orbits.Select(prn, t), nullptr);
        }
    }
    EXPECT_EQ(NominalConstellation::Prns().size(), 30u);
}

TEST(NavWords, AnglesOfHalfATurnWrapToMinusHalfATurn) {
    const RinexNavData nav = ReadNav("07590920.05n");
    Ephemeris e = nav.ephemerides[0];
    e.M0 = 3.14159265358979323846;
    e.omega = -3.14159265358979323846;
    EphemerisWords w;
    Ephemeris q;
    ASSERT_TRUE(EncodeEphemeris(e, w, q));
    EXPECT_EQ(w.words[9] & 0xFF, 0x80u);  // M0 bits 31..24 of -2^31
    EXPECT_EQ(w.words[10], 0u);
    EXPECT_NEAR(q.M0, -3.14159265358979, 1e-12);
    EXPECT_NEAR(q.omega, -3.14159265358979, 1e-12);
}

}  // namespace
