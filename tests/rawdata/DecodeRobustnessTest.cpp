// Every decode operation of both formats on damaged records: every truncation and
// many single-byte changes of valid records, records without their terminating zero,
// garbage, and the inputs kept from fuzzing (tests/rawdata/regressions). Each must
// be rejected or decoded within the promises checked by the fuzz harness; reads
// outside a record are caught when the tests run under the address sanitizer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/DecodeHarness.h"
#include "rawdata/DecodeKBinGpsData.h"
#include "rawdata/DecodeKVarGpsData.h"
#include "tests/rawdata/DecodeTestRecords.h"

using namespace decodetest;

namespace {

std::vector<Bytes> BinaryRecords() {
    std::vector<Bytes> out;
    Bytes r = TimeHeader(1590, 3456001);
    r.push_back(0x80);
    for (int prn : {3, 31}) {
        r.push_back(static_cast<uint8_t>(prn));
        PutBE(r, 700000000, 4);
        r.push_back(0x25);
        PutBE(r, 0xFEFDFF, 3);
        PutBE(r, 0x800000, 3);
        r.insert(r.end(), {1, 2, 3});
        PutBE(r, 0xFFFB, 2);
        PutBE(r, 0x8000, 2);
        PutBE(r, 0x010203, 3);
        PutBE(r, 0x7FFFFF, 3);
        r.insert(r.end(), {4, 5});
    }
    out.push_back(Frame('R', r));
    Bytes e{0, 0, 12};
    for (int i = 0; i < 24; ++i) PutBE(e, i == 8 || i == 23 ? 0x230000u : 0xFEFDFCu, 3);
    out.push_back(Frame('E', e));
    Bytes u{0, 0};
    for (int i = 0; i < 8; ++i) PutBE(u, 0xFF80FFu, 3);
    out.push_back(Frame('U', u));
    Bytes h = TimeHeader(1590, 1);
    for (int i = 0; i < 8; ++i) h.push_back(i == 7 ? 0x3F : 0);
    out.push_back(Frame('H', h));
    Bytes m = TimeHeader(1590, 6047999);
    PutBE(m, 0x7FFFFFFF, 4);
    m.insert(m.end(), 6, 0);
    out.push_back(Frame('M', m));
    Bytes site = TimeHeader(1590, 2);
    site.push_back(4);
    const char* texts = "NAME12345678T1..........  T2..........  T3..........  07 2.3......  FILE.JRS....";
    site.insert(site.end(), texts, texts + std::string_view(texts).size());
    out.push_back(Frame('m', site));
    return out;
}

std::vector<std::string> AsciiRecords() {
    auto fixed = [](char letter, const std::string& body) {
        std::string s = std::string("\x02") + "01#" + letter + " 1590 3456000";
        s.resize(20, ' ');
        return s + body + "\x03";
    };
    std::string line = "* 712345678 1000000 5 40 0 0";
    line.resize(39, ' ');
    std::string rows;
    for (int r = 0; r < 3; ++r) {
        std::string row = "230000 1 2 3 4 5 6 230000";  // rows start at 26, 83 and 140
        row.resize(56, ' ');
        rows += row + "\n";
    }
    return {
        fixed('R', line + "\n" + line + "\n"),
        fixed('E', "1 12  " + rows),
        fixed('U', "780502 FFFE28 05FFF8 FFFFE8 FFFFFF F77B36 0F8907 FE0000"),
        fixed('M', "   12345678901     Description"),
        fixed('V', "  1543"),
        "\x02" "00 R !HDR,1590,345600.5\r\nCP\r\nS,5,700000000,1193046,-4000,45,2,41,52,0,-5,7,65535,-1000,44,55\r\n\x03",
        "\x02" "00 E !EPH,1590,345000\r\n12\r\n0,0,0,0,0,0,0,0\r\n230000,0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0,230000\r\n\x03",
        "\x02" "00 U !ION,1590,1\r\n780502,FFFE28,05FFF8,FFFFE8,FFFFFF,F77B36,0F8907,FE0000\r\n\x03",
        "\x02" "00 T !EVT,1590,345600.5\r\n*1,a,345601.25\r\n\x03",
    };
}

// Decodes a record with every operation of a fresh decoder of formatIndex.
void DecodeEverything(int formatIndex, const uint8_t* data, size_t size, bool terminated) {
    std::unique_ptr<CDecodeGpsData> decoder = CreateDecoder(formatIndex);
    uint16_t week = 1590;
    decodeharness::DecodeAll(*decoder, data, static_cast<int>(size), terminated, week);
}

// Every truncation and a set of single-byte replacements of a record, each decoded
// directly (without and, for ASCII, with a terminating zero) and as a raw file.
void Damage(int formatIndex, const Bytes& record) {
    static const uint8_t kReplacements[] = {0x00, 0x02, 0x03, 0x0A, 0x0D, 0x20, '*', ',', '!', '-', '0',
                                            '9',  'e',  'x',  0x7F, 0x80, 0xFD, 0xFE, 0xFF};
    for (size_t n = 0; n <= record.size(); ++n) {
        Bytes cut(record.begin(), record.begin() + static_cast<long>(n));
        DecodeEverything(formatIndex, cut.data(), n, false);
        if (formatIndex == 0) {
            cut.push_back(0);
            DecodeEverything(formatIndex, cut.data(), n, true);
        }
        decodeharness::FeedRawData(formatIndex, cut.data(), cut.size());
    }
    for (size_t i = 0; i < record.size(); ++i) {
        for (uint8_t v : kReplacements) {
            Bytes changed = record;
            changed[i] = v;
            DecodeEverything(formatIndex, changed.data(), changed.size(), false);
            decodeharness::FeedRawData(formatIndex, changed.data(), changed.size());
        }
    }
}

}  // namespace

TEST(DecodeRobustness, ValidRecordsPassTheHarnessChecks) {
    CDecodeKBinGpsData bin;
    for (Bytes r : BinaryRecords()) {
        // Each record is valid for the operation of its letter.
        uint16_t week = 1590;
        const char letter = static_cast<char>(r[1]);
        ObservationEpoch e;
        Ephemeris eph;
        IonoUtc u;
        SiteEvent ev;
        const int n = static_cast<int>(r.size());
        int ok = 0;
        switch (letter) {
            case 'R': ok = bin.DecodeObservation(r.data(), n, e, week) != 0; break;
            case 'E': ok = bin.DecodeEphemeris(r.data(), n, eph, week) == 11; break;
            case 'U': ok = bin.DecodeIonoUtc(r.data(), n, u, week); break;
            case 'H': ok = bin.DecodeAntennaHeight(r.data(), n, ev, week); break;
            default: ok = bin.DecodeSiteEvent(r.data(), n, ev, week); break;
        }
        EXPECT_EQ(ok, 1) << letter;
    }
    for (const std::string& s : AsciiRecords()) {
        CDecodeKVarGpsData ascii;
        Bytes r(s.begin(), s.end());
        r.push_back(0);
        uint16_t week = 1590;
        ObservationEpoch e;
        Ephemeris eph;
        IonoUtc u;
        SiteEvent ev;
        const int n = static_cast<int>(s.size());
        int ok = 0;
        switch (s[4]) {
            case 'R': ok = ascii.DecodeObservation(r.data(), n, e, week) != 0; break;
            case 'E': ok = ascii.DecodeEphemeris(r.data(), n, eph, week) == 11; break;
            case 'U': ok = ascii.DecodeIonoUtc(r.data(), n, u, week); break;
            case 'V': ok = ascii.DecodeAntennaHeight(r.data(), n, ev, week); break;
            default: ok = ascii.DecodeSiteEvent(r.data(), n, ev, week); break;
        }
        EXPECT_EQ(ok, 1) << s;
    }
}

TEST(DecodeRobustness, DamagedBinaryRecords) {
    for (const Bytes& r : BinaryRecords()) Damage(1, r);
}

TEST(DecodeRobustness, DamagedAsciiRecords) {
    for (const std::string& s : AsciiRecords()) Damage(0, Bytes(s.begin(), s.end()));
}

TEST(DecodeRobustness, RandomBytesBothFormats) {
    std::mt19937 rng(20100701);
    std::uniform_int_distribution<int> byte(0, 255), len(0, 300);
    for (int i = 0; i < 300; ++i) {
        Bytes b(static_cast<size_t>(len(rng)));
        for (uint8_t& x : b) x = static_cast<uint8_t>(byte(rng));
        if (!b.empty()) b[0] = i % 2 ? 0xFE : 0x02;
        for (int format : {0, 1}) {
            DecodeEverything(format, b.data(), b.size(), false);
            decodeharness::FeedRawData(format, b.data(), b.size());
        }
    }
}

TEST(DecodeRobustness, ExtremeTextValues) {
    // Numbers far outside every range: rejected or kept finite, never a long loop.
    const std::string records[] = {
        "\x02" "01#R 1590 99999999999999999999999     \n",
        "\x02" "01#R 1590 3456000       * 1e308 1e308 5 99999999999 0 0              \n\x03",
        "\x02" "01#R 1590 3456010       * 1 -1e308 5 4294967299 0 0                  \n\x03",
        "\x02" "01#M 1590 3456000  1e300\x03",
        "\x02" "01#V 1590 3456000  99999999999999999999\x03",
        "\x02" "00 R !H,65535,604799.99\r\nCP\r\nS,32,1e308,1e308,1e308,65535,FFFFFFFFFFFFFFFFFFFF,1,1,1,1e308,-1e308,1,1,1,1\r\n\x03",
        "\x02" "00 T !H,1,1\r\n*1,0,1e300\r\n\x03",
    };
    for (int format : {0, 1}) {
        CDecodeKVarGpsData ascii;
        for (const std::string& s : records) {
            Bytes b(s.begin(), s.end());
            decodeharness::FeedRawData(format, b.data(), b.size());
            uint16_t week = 1590;
            decodeharness::DecodeAll(ascii, b.data(), static_cast<int>(b.size()), false, week);
        }
    }
}

TEST(DecodeRobustness, InputsKeptFromFuzzing) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(QERN_SOURCE_DIR) / "tests" / "rawdata" / "regressions";
    int files = 0;
    for (const auto& [dir, format] : {std::pair{"ascii", 0}, std::pair{"binary", 1}}) {
        if (!fs::is_directory(root / dir)) continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(root / dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            SCOPED_TRACE(entry.path().string());
            decodeharness::FeedRawData(format, data.data(), data.size());
            ++files;
        }
    }
    EXPECT_GT(files, 0);
}
