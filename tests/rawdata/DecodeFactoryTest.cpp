// Creation of the decoder by format index and the results of the common interface.
#include <gtest/gtest.h>

#include "rawdata/DecodeKBinGpsData.h"
#include "rawdata/DecodeKVarGpsData.h"

TEST(DecodeFactory, DecoderByFormatIndex) {
    auto ascii = CreateDecoder(0);
    auto binary = CreateDecoder(1);
    ASSERT_NE(ascii, nullptr);
    ASSERT_NE(binary, nullptr);
    EXPECT_NE(dynamic_cast<CDecodeKVarGpsData*>(ascii.get()), nullptr);
    EXPECT_NE(dynamic_cast<CDecodeKBinGpsData*>(binary.get()), nullptr);
    EXPECT_EQ(CreateDecoder(2), nullptr);
    EXPECT_EQ(CreateDecoder(-1), nullptr);
}

TEST(DecodeFactory, CommonInterfaceRejectsEverything) {
    CDecodeGpsData base;
    uint8_t record[] = {0xFE, 'R', 0, 0, 0xFF};
    ObservationEpoch e;
    Ephemeris eph;
    IonoUtc u;
    SiteEvent ev;
    uint16_t week = 1590;
    base.Reset();
    EXPECT_EQ(base.DecodeObservation(record, 5, e, week), 0);
    EXPECT_EQ(base.DecodeEphemeris(record, 5, eph, week), -1);
    EXPECT_EQ(base.DecodeIonoUtc(record, 5, u, week), 0);
    EXPECT_EQ(base.DecodeSiteEvent(record, 5, ev, week), 0);
    EXPECT_EQ(base.DecodeAntennaHeight(record, 5, ev, week), 0);
    EXPECT_EQ(week, 1590);
}

TEST(DecodeFactory, EmptyAndNullRecordsRejected) {
    for (int format : {0, 1}) {
        auto d = CreateDecoder(format);
        ObservationEpoch e;
        Ephemeris eph;
        IonoUtc u;
        SiteEvent ev;
        uint16_t week = 1590;
        EXPECT_EQ(d->DecodeObservation(nullptr, 0, e, week), 0);
        EXPECT_EQ(d->DecodeEphemeris(nullptr, 0, eph, week), -1);
        EXPECT_EQ(d->DecodeIonoUtc(nullptr, 0, u, week), 0);
        EXPECT_EQ(d->DecodeSiteEvent(nullptr, 0, ev, week), 0);
        EXPECT_EQ(d->DecodeAntennaHeight(nullptr, 0, ev, week), 0);
        EXPECT_EQ(week, 1590);
    }
}
