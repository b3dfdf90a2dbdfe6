// Binary "R"/"Q" epoch records: block layouts, scales, absent values, status bytes,
// PRN and checksum checks, escaping, and the reference week.
#include <gtest/gtest.h>

#include "rawdata/DecodeKBinGpsData.h"
#include "tests/rawdata/DecodeTestRecords.h"

using namespace decodetest;

namespace {

// One single-frequency block of an "R" record (14 bytes).
void PutSingleBlock(Bytes& b, int8_t prn, uint32_t c1, uint8_t s, uint32_t l1, int32_t d1, uint8_t st0,
                    uint8_t st3) {
    b.push_back(static_cast<uint8_t>(prn));
    PutBE(b, c1, 4);
    b.push_back(s);
    PutBE(b, l1, 3);
    PutBE(b, static_cast<uint32_t>(d1) & 0xFFFFFF, 3);
    b.push_back(st0);
    b.push_back(st3);
}

// "R" record at week 1590, 345600.1 s: PRN 5 complete, PRN 32 without L1 and D1.
Bytes SingleFrequencyR() {
    Bytes b = TimeHeader(1590, 3456001);
    b.push_back(0x00);  // epoch status: single frequency
    PutSingleBlock(b, 5, 700000000, 0x0A, 0x123456, -1000, 0x41, 0x52);
    PutSingleBlock(b, 32, 1712345678, 0x85, 0x111111, -0x800000, 0x00, 0x00);
    return Frame('R', b);
}

// "Q" record with the dual-frequency part: one block of PRN 7.
Bytes DualFrequencyQ(int8_t prn = 7, uint8_t s = 0x30) {
    Bytes b = TimeHeader(1590, 100);
    PutBE(b, 0xDEADBEEF, 4);  // not interpreted
    b.push_back(0x80);        // epoch status: dual frequency
    b.push_back(static_cast<uint8_t>(prn));
    b.push_back(0xFE);  // not interpreted ("Q" only), escaped on the wire
    PutBE(b, 700000000, 4);
    b.push_back(s);
    PutBE(b, 0xFFFFFF, 3);  // L1 16777.215 cycles
    PutBE(b, 250, 3);       // D1 1.0 Hz
    b.push_back(0x21);
    b.push_back(0x33);
    b.push_back(0x99);                      // not interpreted
    PutBE(b, static_cast<uint16_t>(-5), 2);  // P1 = C1 - 5e-10 s
    PutBE(b, 0x8000, 2);                    // P2 absent
    PutBE(b, 65535, 3);                     // L2 65.535 cycles
    PutBE(b, static_cast<uint32_t>(-250) & 0xFFFFFF, 3);  // D2 -1.0 Hz
    b.push_back(0x44);
    b.push_back(0x55);
    return Frame('Q', b);
}

struct Decoded {
    uint16_t mask;
    ObservationEpoch epoch;
    uint16_t week;
};

Decoded Decode(Bytes record, uint16_t week = 7) {
    CDecodeKBinGpsData decoder;
    Decoded d;
    d.week = week;
    d.mask = decoder.DecodeObservation(record.data(), static_cast<int>(record.size()), d.epoch, d.week);
    return d;
}

}  // namespace

TEST(DecodeKBinObservation, SingleFrequencyBlocksWithAbsentValues) {
    const Decoded d = Decode(SingleFrequencyR());
    ASSERT_EQ(d.mask, 0x499);
    EXPECT_EQ(d.epoch.time.week, 1590);
    EXPECT_DOUBLE_EQ(d.epoch.time.seconds, 345600.1);
    EXPECT_EQ(d.week, 1590);

    const SatObservation& a = d.epoch.Sat(4);
    EXPECT_EQ(a.Mask(), 0x499);  // C1 L1 D1, status 0 and 3
    EXPECT_DOUBLE_EQ(a.value[kC1], 0.07);
    EXPECT_DOUBLE_EQ(a.value[kL1], 1193.046);
    EXPECT_DOUBLE_EQ(a.value[kD1], -4.0);
    EXPECT_EQ(a.status[0], 0x41);
    EXPECT_EQ(a.status[3], 0x52);
    EXPECT_EQ(a.cn0, 36);
    EXPECT_EQ(a.antiSpoofing, 0);

    const SatObservation& b = d.epoch.Sat(31);
    EXPECT_EQ(b.Mask(), 0x488);  // no L1 (S bit 7), no D1 (0x800000)
    EXPECT_NEAR(b.value[kC1], 0.0712345678, 1e-15);  // 0.1712345678 s reduced by 0.1 s
    EXPECT_EQ(b.cn0, 31);
    for (int i = 0; i < 32; ++i) {
        if (i != 4 && i != 31) {
            EXPECT_FALSE(d.epoch.Sat(i).Present()) << i;
        }
    }
}

TEST(DecodeKBinObservation, DualFrequencyBlockOfQRecord) {
    const Decoded d = Decode(DualFrequencyQ());
    ASSERT_EQ(d.mask, 0x7FB);  // everything but P2
    EXPECT_DOUBLE_EQ(d.epoch.time.seconds, 10.0);
    const SatObservation& s = d.epoch.Sat(6);
    EXPECT_DOUBLE_EQ(s.value[kC1], 0.07);
    EXPECT_DOUBLE_EQ(s.value[kP1], 0.0699999995);
    EXPECT_FALSE(s.Has(kP2));
    EXPECT_NEAR(s.value[kL1], 6777.215, 1e-9);  // 16777.215 cycles reduced by 10000
    EXPECT_DOUBLE_EQ(s.value[kL2], 65.535);
    EXPECT_DOUBLE_EQ(s.value[kD1], 1.0);
    EXPECT_DOUBLE_EQ(s.value[kD2], -1.0);
    EXPECT_EQ(s.status[0], 0x21);
    EXPECT_EQ(s.status[1], 0x44);
    EXPECT_EQ(s.status[2], 0x55);
    EXPECT_EQ(s.status[3], 0x33);
    EXPECT_EQ(s.cn0, 16 + 26);
    EXPECT_EQ(s.antiSpoofing, 1);
}

TEST(DecodeKBinObservation, L2AbsentBitAndNoAntiSpoofingWithoutBit5) {
    const Decoded d = Decode(DualFrequencyQ(7, 0x40 | 0x01));
    ASSERT_NE(d.mask, 0);
    const SatObservation& s = d.epoch.Sat(6);
    EXPECT_FALSE(s.Has(kL2));
    EXPECT_TRUE(s.Has(kD2));
    EXPECT_EQ(s.antiSpoofing, 0);
    EXPECT_EQ(s.cn0, 27);
}

TEST(DecodeKBinObservation, AntiSpoofingBitIgnoredWithoutDualFrequencyPart) {
    Bytes b = TimeHeader(1590, 0);
    b.push_back(0x00);
    PutSingleBlock(b, 1, 1000, 0x20, 1, 1, 0, 0);
    const Decoded d = Decode(Frame('R', b));
    ASSERT_NE(d.mask, 0);
    EXPECT_EQ(d.epoch.Sat(0).antiSpoofing, 0);
    EXPECT_EQ(d.epoch.Sat(0).cn0, 26);
}

TEST(DecodeKBinObservation, PrnOutsideRangeInvalidatesRecordAndKeepsWeek) {
    for (int8_t prn : {0, 33, -1}) {
        const Decoded d = Decode(DualFrequencyQ(prn), 7);
        EXPECT_EQ(d.mask, 0) << int(prn);
        EXPECT_EQ(d.week, 7) << int(prn);
    }
}

TEST(DecodeKBinObservation, ChecksumMismatchRejected) {
    Bytes r = SingleFrequencyR();
    r[12] ^= 0x01;  // a C1 byte of the first block
    const Decoded d = Decode(r, 7);
    EXPECT_EQ(d.mask, 0);
    EXPECT_EQ(d.week, 7);
}

TEST(DecodeKBinObservation, BadEscapePairRejected) {
    Bytes r = DualFrequencyQ();
    // The escaped 0xFE of the uninterpreted byte is 0xFD 0x01; make it 0xFD 0x05.
    bool changed = false;
    for (size_t i = 2; i + 1 < r.size(); ++i)
        if (r[i] == 0xFD && r[i + 1] == 0x01) {
            r[i + 1] = 0x05;
            changed = true;
            break;
        }
    ASSERT_TRUE(changed);
    EXPECT_EQ(Decode(r).mask, 0);
}

TEST(DecodeKBinObservation, BlocksMustFillTheRecordExactly) {
    // A block cut short before the checksum: the blocks no longer end at the checksum.
    Bytes b = TimeHeader(1590, 0);
    b.push_back(0x00);
    PutSingleBlock(b, 1, 1000, 0, 1, 1, 0, 0);
    PutSingleBlock(b, 2, 1000, 0, 1, 1, 0, 0);
    b.resize(b.size() - 5);
    EXPECT_EQ(Decode(Frame('R', b)).mask, 0);
    // A dual-frequency status with single-frequency blocks.
    Bytes c = TimeHeader(1590, 0);
    c.push_back(0x80);
    PutSingleBlock(c, 1, 1000, 0, 1, 1, 0, 0);
    PutSingleBlock(c, 2, 1000, 0, 1, 1, 0, 0);
    EXPECT_EQ(Decode(Frame('R', c)).mask, 0);
}

TEST(DecodeKBinObservation, EscapedChecksumBytesAccepted) {
    // Blocks chosen so that the checksum's bytes need escaping: adjust an
    // uninterpreted header byte until the high or the low byte is 0xFD..0xFF.
    int found = 0;
    for (int filler = 0; filler < 256 && found < 2; ++filler) {
        Bytes b = TimeHeader(1590, 0);
        b[0] = static_cast<uint8_t>(filler);
        b.push_back(0x00);
        PutSingleBlock(b, 3, 0xFCFCFCFC, 0x1F, 0xFCFCFC, 0x7CFCFC, 0xFC, 0xFC);
        PutSingleBlock(b, 4, 0xFCFCFCFC, 0x1F, 0xFCFCFC, 0x7CFCFC, 0xFC, 0xFC);
        const Bytes r = Frame('R', b);
        const bool escapedChecksum = r[r.size() - 3] == 0xFD || r[r.size() - 4] == 0xFD;
        if (!escapedChecksum) continue;
        ++found;
        EXPECT_NE(Decode(r).mask, 0) << filler;
    }
    EXPECT_GT(found, 0);
}

TEST(DecodeKBinObservation, TruncatedAndUnframedRecordsRejected) {
    const Bytes r = SingleFrequencyR();
    for (size_t n = 0; n < r.size(); ++n) {
        Bytes cut(r.begin(), r.begin() + static_cast<long>(n));
        ObservationEpoch e;
        uint16_t w = 7;
        CDecodeKBinGpsData decoder;
        EXPECT_EQ(decoder.DecodeObservation(cut.data(), static_cast<int>(n), e, w), 0) << n;
        EXPECT_EQ(w, 7);
    }
    Bytes noSync = r;
    noSync[0] = 0x00;
    EXPECT_EQ(Decode(noSync).mask, 0);
}

TEST(DecodeKBinObservation, OutputClearedBeforeDecoding) {
    ObservationEpoch e;
    e.Sat(9).SetValue(kC1, 0.05);
    e.AddToMask(0x8);
    Bytes r = SingleFrequencyR();
    r[12] ^= 1;  // invalid
    uint16_t w = 0;
    CDecodeKBinGpsData decoder;
    EXPECT_EQ(decoder.DecodeObservation(r.data(), static_cast<int>(r.size()), e, w), 0);
    EXPECT_FALSE(e.Sat(9).Present());
    EXPECT_EQ(e.Mask(), 0);
}

TEST(DecodeKBinObservation, BlockStrideOfEachLetterAndEpochStatus) {
    // "R" with the dual-frequency part: 27-byte blocks.
    Bytes r = TimeHeader(1590, 20);
    r.push_back(0x80);
    for (int prn : {2, 3}) {
        r.push_back(static_cast<uint8_t>(prn));
        PutBE(r, 1000u * prn, 4);
        r.push_back(0x00);
        PutBE(r, 1000u * prn, 3);  // L1
        PutBE(r, 0, 3);            // D1
        r.insert(r.end(), {0, 0, 0});
        PutBE(r, 1, 2);                  // P1
        PutBE(r, 2, 2);                  // P2
        PutBE(r, 2000u * prn, 3);        // L2
        PutBE(r, 0x800000, 3);           // D2 absent
        r.insert(r.end(), {0, 0});
    }
    const Decoded dr = Decode(Frame('R', r));
    ASSERT_EQ(dr.mask, 0x7DF);  // L1 L2 P2 C1 D1 P1 and four status bytes
    EXPECT_DOUBLE_EQ(dr.epoch.Sat(2).value[kL2], 6.0);
    EXPECT_DOUBLE_EQ(dr.epoch.Sat(2).value[kP2], 3002e-10);
    EXPECT_DOUBLE_EQ(dr.epoch.Sat(1).value[kP1], 2001e-10);

    // "Q" without it: 15-byte blocks.
    Bytes q = TimeHeader(1590, 30);
    q.insert(q.end(), {0, 0, 0, 0});
    q.push_back(0x00);
    for (int prn : {4, 5}) {
        q.push_back(static_cast<uint8_t>(prn));
        q.push_back(0xAA);
        PutBE(q, 1000u * prn, 4);
        q.push_back(0x3F);  // AS bit ignored, L2 bit ignored, cn0 31 + 26
        PutBE(q, 1000u * prn, 3);
        PutBE(q, 0x000400, 3);  // D1 1024 * 0.004 Hz
        q.insert(q.end(), {0x11, 0x22});
    }
    const Decoded dq = Decode(Frame('Q', q));
    ASSERT_EQ(dq.mask, 0x499);
    EXPECT_DOUBLE_EQ(dq.epoch.Sat(4).value[kC1], 5000e-10);
    EXPECT_DOUBLE_EQ(dq.epoch.Sat(4).value[kL1], 5.0);
    EXPECT_DOUBLE_EQ(dq.epoch.Sat(3).value[kD1], 4.096);
    EXPECT_EQ(dq.epoch.Sat(3).cn0, 57);
    EXPECT_EQ(dq.epoch.Sat(3).antiSpoofing, 0);
    EXPECT_EQ(dq.epoch.Sat(3).status[0], 0x11);
    EXPECT_EQ(dq.epoch.Sat(3).status[3], 0x22);
}
