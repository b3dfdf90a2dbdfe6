// Files written by the RINEX writers from real records (GEONET station 0759,
// 2 April 2005) are read back by an independent reader, RTKLIB: single-point
// positions from rnx2rtkp must land on the station, and convbin's RINEX-to-RINEX
// copy must carry the values that were written. Skipped when RTKLIB is absent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "convert/rinex/Rinex3Nav.h"
#include "convert/rinex/Rinex3ObsHeader.h"
#include "convert/rinex/Rinex3ObsRecord.h"
#include "convert/rinex/RinexLongName.h"
#include "convert/rinex/RinexNav.h"
#include "convert/rinex/RinexObsHeader.h"
#include "convert/rinex/RinexObsRecord.h"

namespace fs = std::filesystem;

namespace {

const std::string kObsExcerpt = std::string(QERN_SOURCE_DIR) + "/testdata/rinex/07590920_10epochs.05o";
const std::string kNavExcerpt = std::string(QERN_SOURCE_DIR) + "/testdata/rinex/07590920_0to2h.05n";

// Station 0759 from the header of its observation file, m.
constexpr double kStationX = -3976219.5082;
constexpr double kStationY = 3382372.5671;
constexpr double kStationZ = 3652512.9849;

// Full path of an executable found on PATH, or empty.
std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
    }
    return "";
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string RightTrimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Column field [start, start + width) of a line, blank-padded past its end.
std::string Field(const std::string& line, size_t start, size_t width) {
    std::string s = line.size() > start ? line.substr(start, width) : "";
    s.resize(width, ' ');
    return s;
}

double Number(const std::string& field) {
    std::string s = field;
    for (char& c : s)
        if (c == 'D' || c == 'd') c = 'E';
    return std::strtod(s.c_str(), nullptr);
}

int Int(const std::string& field) { return static_cast<int>(std::strtol(field.c_str(), nullptr, 10)); }

// GPS time of a RINEX 2 calendar date with a two-digit year and fractional seconds.
GpsTime TimeOf(int yy, int month, int day, int hour, int minute, double seconds) {
    GpsTime t;
    const double whole = std::floor(seconds);
    t.FromCalendar(CalendarTime{yy < 80 ? 2000 + yy : 1900 + yy, month, day, hour, minute,
                                static_cast<int>(whole)});
    return t.AddSeconds(seconds - whole);
}

int RawIndex(const std::string& type) {
    static const std::map<std::string, int> kIndex = {{"L1", kL1}, {"L2", kL2}, {"P2", kP2}, {"C1", kC1},
                                                      {"D1", kD1}, {"D2", kD2}, {"P1", kP1}};
    const auto it = kIndex.find(type);
    return it == kIndex.end() ? -1 : it->second;
}

// A RINEX 2 GPS observation file read into output epochs: observation types
// in file order and the epochs with their values, LLI and strength digits.
struct ObsFile {
    std::vector<std::string> types;
    std::vector<RinexEpoch> epochs;
};

ObsFile ReadObs(const std::string& path) {
    ObsFile f;
    const std::vector<std::string> lines = ReadLines(path);
    size_t i = 0;
    for (; i < lines.size(); ++i) {
        const std::string label = RightTrimmed(Field(lines[i], 60, 20));
        if (label == "# / TYPES OF OBSERV") {
            const int n = Int(Field(lines[i], 0, 6));
            for (int k = 0; k < n; ++k) {
                if (k > 0 && k % 9 == 0) ++i;
                f.types.push_back(RightTrimmed(Field(lines[i], 10 + 6 * (k % 9), 2)));
            }
        }
        if (label == "END OF HEADER") {
            ++i;
            break;
        }
    }
    const size_t nt = f.types.size();
    const size_t linesPerSat = (nt + 4) / 5;
    while (i < lines.size()) {
        const std::string& h = lines[i];
        RinexEpoch e;
        e.time = TimeOf(Int(Field(h, 1, 2)), Int(Field(h, 4, 2)), Int(Field(h, 7, 2)), Int(Field(h, 10, 2)),
                        Int(Field(h, 13, 2)), Number(Field(h, 15, 11)));
        e.epochFlag = Int(Field(h, 28, 1));
        e.clockOffset = Number(Field(h, 68, 12));
        const int n = Int(Field(h, 29, 3));
        std::vector<int> prns;
        for (int s = 0; s < n; ++s) {
            if (s > 0 && s % 12 == 0) ++i;
            prns.push_back(Int(Field(lines[i], 33 + 3 * (s % 12), 2)));
        }
        ++i;
        for (int prn : prns) {
            for (size_t t = 0; t < nt; ++t) {
                const std::string& line = lines[i + t / 5];
                const size_t c = 16 * (t % 5);
                const std::string value = Field(line, c, 14);
                const int k = RawIndex(f.types[t]);
                if (RightTrimmed(value).empty()) continue;
                if (f.types[t] == "S1" || f.types[t] == "S2") e.Sat(prn - 1).SetCn0(f.types[t][1] - '1', Number(value));
                if (k < 0) continue;
                const std::string lli = Field(line, c + 14, 1);
                const std::string ss = Field(line, c + 15, 1);
                e.Sat(prn - 1).SetValue(k, Number(value), lli == " " ? 0 : Int(lli), ss == " " ? 0 : Int(ss));
            }
            i += linesPerSat;
        }
        f.epochs.push_back(e);
    }
    return f;
}

// A RINEX 2 GPS navigation file read into an ionosphere/UTC record (reference
// week given) and ephemerides.
struct NavFile {
    IonoUtc ionoUtc;
    std::vector<Ephemeris> ephemerides;
    std::vector<std::vector<std::string>> recordLines;
};

NavFile ReadNav(const std::string& path, uint16_t referenceWeek) {
    NavFile f;
    const std::vector<std::string> lines = ReadLines(path);
    size_t i = 0;
    for (; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        const std::string label = RightTrimmed(Field(l, 60, 20));
        if (label == "ION ALPHA") {
            f.ionoUtc.alpha0 = Number(Field(l, 2, 12));
            f.ionoUtc.alpha1 = Number(Field(l, 14, 12));
            f.ionoUtc.alpha2 = Number(Field(l, 26, 12));
            f.ionoUtc.alpha3 = Number(Field(l, 38, 12));
        } else if (label == "ION BETA") {
            f.ionoUtc.beta0 = Number(Field(l, 2, 12));
            f.ionoUtc.beta1 = Number(Field(l, 14, 12));
            f.ionoUtc.beta2 = Number(Field(l, 26, 12));
            f.ionoUtc.beta3 = Number(Field(l, 38, 12));
        } else if (label == "DELTA-UTC: A0,A1,T,W") {
            f.ionoUtc.A0 = Number(Field(l, 3, 19));
            f.ionoUtc.A1 = Number(Field(l, 22, 19));
            f.ionoUtc.tot = Int(Field(l, 41, 9));
            f.ionoUtc.WNt = static_cast<uint16_t>(Int(Field(l, 50, 9)) & 0xFF);  // as broadcast
        } else if (label == "LEAP SECONDS") {
            f.ionoUtc.deltaTLS = static_cast<int16_t>(Int(Field(l, 0, 6)));
        } else if (label == "END OF HEADER") {
            ++i;
            break;
        }
    }
    f.ionoUtc.valid = 1;
    f.ionoUtc.time = GpsTime(referenceWeek, f.ionoUtc.tot);
    for (; i + 8 <= lines.size(); i += 8) {
        std::vector<std::string> rec(lines.begin() + static_cast<long>(i), lines.begin() + static_cast<long>(i) + 8);
        double v[8][4] = {};
        for (int r = 1; r < 8; ++r)
            for (int k = 0; k < 4; ++k) v[r][k] = Number(Field(rec[r], 3 + 19 * k, 19));
        Ephemeris e;
        const std::string& h = rec[0];
        e.satellite = static_cast<uint16_t>(Int(Field(h, 0, 2)) - 1);
        const GpsTime toc = TimeOf(Int(Field(h, 3, 2)), Int(Field(h, 6, 2)), Int(Field(h, 9, 2)), Int(Field(h, 12, 2)),
                                   Int(Field(h, 15, 2)), Number(Field(h, 17, 5)));
        e.toc = toc.seconds;
        e.af0 = Number(Field(h, 22, 19));
        e.af1 = Number(Field(h, 41, 19));
        e.af2 = Number(Field(h, 60, 19));
        e.IODE = v[1][0], e.Crs = v[1][1], e.deltaN = v[1][2], e.M0 = v[1][3];
        e.Cuc = v[2][0], e.e = v[2][1], e.Cus = v[2][2], e.sqrtA = v[2][3];
        e.toe = v[3][0], e.Cic = v[3][1], e.Omega0 = v[3][2], e.Cis = v[3][3];
        e.i0 = v[4][0], e.Crc = v[4][1], e.omega = v[4][2], e.OmegaDot = v[4][3];
        e.IDOT = v[5][0];
        e.codesOnL2 = static_cast<uint16_t>(v[5][1]);
        e.week = static_cast<uint16_t>(v[5][2]);
        e.l2PDataFlag = static_cast<uint16_t>(v[5][3]);
        e.accuracy = v[6][0];
        e.health = static_cast<uint16_t>(v[6][1]);
        e.TGD = v[6][2];
        e.IODC = v[6][3];
        e.toeTime = GpsTime(e.week, e.toe);
        e.recordTime = GpsTime(e.week, v[7][0]);
        f.ephemerides.push_back(e);
        f.recordLines.push_back(rec);
    }
    return f;
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Observation header and records of the excerpt, written by the writers.
std::string WriteObsText(const ObsFile& source, uint16_t mask) {
    RinexObsHeader h;
    h.SetCreationDate(CalendarTime{2005, 4, 9, 12, 10, 0});
    h.markerName = "0759";
    h.SetApproxPosition(kStationX, kStationY, kStationZ);
    h.SetTypeMask(mask);
    h.SetInterval(30.0);
    h.SetFirstTime(source.epochs.front().time);
    h.SetLastTime(source.epochs.back().time);
    std::string text = h.HeaderText();
    for (const RinexEpoch& e : source.epochs) text += EpochText(e, mask);
    return text;
}

// Carrier-to-noise densities (dB-Hz) given to the excerpt, which holds none, told
// apart per satellite index s.
double Cn0Of(int s, int frequency) { return (frequency == 0 ? 40.0 : 30.0) + 0.5 * s; }

// The same epochs written as RINEX 3, with S1C and S2W for every listed satellite.
std::string WriteObs3Text(const ObsFile& source, uint16_t mask) {
    RinexObsHeader h;
    h.SetCreationDate(CalendarTime{2005, 4, 9, 12, 10, 0});
    h.markerName = "0759";
    h.SetApproxPosition(kStationX, kStationY, kStationZ);
    h.SetTypeMask(mask);
    h.SetCn0Mask(3);
    h.SetInterval(30.0);
    h.SetFirstTime(source.epochs.front().time);
    h.SetLastTime(source.epochs.back().time);
    std::string text = rinex3::ObsHeaderText(h);
    for (RinexEpoch e : source.epochs) {
        for (int s = 0; s < kSatelliteCount; ++s) {
            if (!(e.sat[s].mask & mask)) continue;
            e.Sat(s).SetCn0(0, Cn0Of(s, 0));
            e.Sat(s).SetCn0(1, Cn0Of(s, 1));
        }
        text += rinex3::EpochText(e, mask, 3);
    }
    return text;
}

// Compares every value of the types of mask between two readings of one recording
// (times within 1 us, presence equal, values within 0.0005); returns the number of
// values compared. convbin keeps no strength digit nor anti-spoofing bit and flags
// its own slips: the digits are pinned by the writers' line tests instead.
int CompareValues(const ObsFile& ours, const ObsFile& copy, uint16_t mask) {
    EXPECT_EQ(copy.epochs.size(), ours.epochs.size());
    int compared = 0;
    for (size_t n = 0; n < std::min(copy.epochs.size(), ours.epochs.size()); ++n) {
        const RinexEpoch& a = ours.epochs[n];
        const RinexEpoch& b = copy.epochs[n];
        EXPECT_NEAR(a.time.Difference(b.time), 0.0, 1e-6);
        for (int s = 0; s < kSatelliteCount; ++s)
            for (int k = 0; k < kObservationKinds; ++k) {
                if (!((mask >> k) & 1)) continue;
                EXPECT_EQ(a.sat[s].Has(k), b.sat[s].Has(k)) << "PRN " << s + 1 << " kind " << k;
                if (!a.sat[s].Has(k) || !b.sat[s].Has(k)) continue;
                EXPECT_NEAR(a.sat[s].value[k], b.sat[s].value[k], 0.0005) << "PRN " << s + 1 << " kind " << k;
                ++compared;
            }
    }
    return compared;
}

class RinexRealReader : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qern_rinex_reader_" + std::to_string(getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        source_ = ReadObs(kObsExcerpt);
        nav_ = ReadNav(kNavExcerpt, 1316);
        ASSERT_EQ(source_.epochs.size(), 10u);
        ASSERT_EQ(nav_.ephemerides.size(), 24u);
        for (const std::string& t : source_.types) mask_ |= static_cast<uint16_t>(1u << RawIndex(t));
        for (const Ephemeris& e : nav_.ephemerides) {
            auto owned = std::make_unique<Ephemeris>(e);
            ASSERT_TRUE(store_.Add(owned));
        }
        WriteFile(dir_ / "qern0920.05o", WriteObsText(source_, mask_));
        WriteFile(dir_ / "qern0920.05n",
                  NavHeaderText(MakeNavHeader(nav_.ionoUtc, CalendarTime{2005, 4, 9, 12, 10, 0})) +
                      NavRecordsText(store_));
        const GpsTime first = source_.epochs.front().time;
        const double span = source_.epochs.back().time.Difference(first);
        obs3_ = dir_ / RinexLongName("0759", "JPN", first, span, 30.0, RinexFileKind::Observation);
        nav3_ = dir_ / RinexLongName("0759", "JPN", first, span, 30.0, RinexFileKind::Navigation);
        WriteFile(obs3_, WriteObs3Text(source_, mask_));
        WriteFile(nav3_, rinex3::NavHeaderText(MakeNavHeader(nav_.ionoUtc, CalendarTime{2005, 4, 9, 12, 10, 0})) +
                             rinex3::NavRecordsText(store_));
    }
    // QERN_KEEP set in the environment keeps the written files for inspection.
    void TearDown() override {
        std::error_code ec;
        if (!std::getenv("QERN_KEEP")) fs::remove_all(dir_, ec);
    }

    // Runs a shell command line; true when it exits 0.
    static bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

    // Runs rnx2rtkp's single-point positioning on an observation and navigation
    // file: every one of the 10 epochs must be positioned within 15 m of the station.
    void ExpectEveryEpochOnTheStation(const std::string& rnx2rtkp, const fs::path& obs, const fs::path& nav) {
        WriteFile(dir_ / "single.conf",
                  "pos1-posmode=single\npos1-ionoopt=brdc\npos1-tropopt=saas\npos1-elmask=10\n");
        const fs::path out = dir_ / "out.pos";
        ASSERT_TRUE(Run(rnx2rtkp + " -k " + (dir_ / "single.conf").string() + " -e -o " + out.string() + " " +
                        obs.string() + " " + nav.string() + " > /dev/null 2>&1"));
        int solutions = 0;
        for (const std::string& line : ReadLines(out.string())) {
            if (line.empty() || line[0] == '%') continue;
            std::istringstream in(line);
            std::string date, time;
            double x = 0, y = 0, z = 0;
            in >> date >> time >> x >> y >> z;
            const double error = std::sqrt((x - kStationX) * (x - kStationX) + (y - kStationY) * (y - kStationY) +
                                           (z - kStationZ) * (z - kStationZ));
            EXPECT_LT(error, 15.0) << line;
            ++solutions;
        }
        EXPECT_EQ(solutions, 10);
    }

    fs::path dir_;
    ObsFile source_;
    NavFile nav_;
    EphemerisStore store_;
    uint16_t mask_ = 0;
    fs::path obs3_;  // the RINEX 3 pair, under their long names
    fs::path nav3_;
};

}  // namespace

TEST_F(RinexRealReader, EveryWrittenLineIs80CharactersWithCrLf) {
    // Of RINEX 3 only the navigation file: observation lines have no column limit there.
    for (const fs::path& name : {dir_ / "qern0920.05o", dir_ / "qern0920.05n", nav3_}) {
        std::ifstream in(name, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(text.empty()) << name;
        EXPECT_EQ(text.size() % 82, 0u) << name;
        for (size_t i = 0; i + 82 <= text.size(); i += 82) {
            EXPECT_EQ(text.substr(i + 80, 2), "\r\n") << name << " line " << i / 82 + 1;
            EXPECT_EQ(text.substr(i, 80).find_first_of("\r\n"), std::string::npos) << name;
        }
    }
}

TEST_F(RinexRealReader, WrittenNavigationRecordsEqualTheSourceRecords) {
    // Independent of RTKLIB: the source file's records, written by another
    // program, are reproduced apart from the blank-padded year.
    const std::vector<std::string> written = ReadLines((dir_ / "qern0920.05n").string());
    std::map<std::pair<int, double>, std::vector<std::string>> byKey;
    for (size_t r = 0; r < nav_.ephemerides.size(); ++r)
        byKey[{nav_.ephemerides[r].satellite, nav_.ephemerides[r].toeTime.Difference(GpsTime())}] = nav_.recordLines[r];
    size_t start = 0;
    while (start < written.size() && RightTrimmed(Field(written[start], 60, 20)) != "END OF HEADER") ++start;
    ++start;
    ASSERT_EQ(written.size() - start, 8u * 24u);
    const Ephemeris* e = store_.First();
    for (size_t line = start; line < written.size(); line += 8, e = store_.Next(*e)) {
        ASSERT_NE(e, nullptr);
        const std::vector<std::string>& source = byKey[{e->satellite, e->toeTime.Difference(GpsTime())}];
        ASSERT_EQ(source.size(), 8u);
        EXPECT_EQ(written[line].substr(0, 2), source[0].substr(0, 2));
        EXPECT_EQ(written[line].substr(2, 3), "  5");
        EXPECT_EQ(source[0].substr(2, 3), " 05");
        EXPECT_EQ(RightTrimmed(written[line].substr(5)), RightTrimmed(source[0].substr(5)));
        for (int r = 1; r < 8; ++r) EXPECT_EQ(RightTrimmed(written[line + r]), RightTrimmed(source[r]));
        for (int r = 0; r < 8; ++r) EXPECT_EQ(written[line + r].size(), 80u);
    }
}

TEST_F(RinexRealReader, Rnx2rtkpPositionsLandOnTheStation) {
    const std::string rnx2rtkp = FindProgram("rnx2rtkp");
    if (rnx2rtkp.empty()) GTEST_SKIP() << "rnx2rtkp not installed";
    ExpectEveryEpochOnTheStation(rnx2rtkp, dir_ / "qern0920.05o", dir_ / "qern0920.05n");
}

TEST_F(RinexRealReader, ConvbinCopyCarriesTheWrittenValues) {
    const std::string convbin = FindProgram("convbin");
    if (convbin.empty()) GTEST_SKIP() << "convbin not installed";
    const fs::path copyObs = dir_ / "copy.obs";
    const fs::path copyNav = dir_ / "copy.nav";
    ASSERT_TRUE(Run(convbin + " -r rinex -v 2.11 -od -os -o " + copyObs.string() + " -n " + copyNav.string() +
                    " " + (dir_ / "qern0920.05o").string() + " > /dev/null 2>&1"));
    EXPECT_EQ(CompareValues(source_, ReadObs(copyObs.string()), mask_), 10 * 8 * 4);
}

TEST_F(RinexRealReader, ConvbinReadsEpochsOfMoreThan24Satellites) {
    const std::string convbin = FindProgram("convbin");
    if (convbin.empty()) GTEST_SKIP() << "convbin not installed";
    // The real values of the first epoch spread over 30 satellites (two
    // continuation lines), values shifted per satellite to tell them apart.
    ObsFile crowded;
    crowded.types = source_.types;
    for (size_t n = 0; n < 2; ++n) {
        const RinexEpoch& real = source_.epochs[n];
        RinexEpoch e;
        e.time = real.time;
        std::vector<int> present;
        for (int s = 0; s < kSatelliteCount; ++s)
            if (real.sat[s].mask) present.push_back(s);
        for (int s = 0; s < 30; ++s) {
            e.sat[s] = real.sat[present[static_cast<size_t>(s) % present.size()]];
            for (int k = 0; k < kObservationKinds; ++k)
                if (e.sat[s].Has(k)) e.sat[s].value[k] += 1000.0 * s;
        }
        crowded.epochs.push_back(e);
    }
    WriteFile(dir_ / "crowd0920.05o", WriteObsText(crowded, mask_));
    const fs::path copyObs = dir_ / "crowd.obs";
    ASSERT_TRUE(Run(convbin + " -r rinex -v 2.11 -o " + copyObs.string() + " " +
                    (dir_ / "crowd0920.05o").string() + " > /dev/null 2>&1"));
    const ObsFile copy = ReadObs(copyObs.string());
    ASSERT_EQ(copy.epochs.size(), 2u);
    for (size_t n = 0; n < 2; ++n) {
        for (int s = 0; s < kSatelliteCount; ++s) {
            const RinexSatValues& a = crowded.epochs[n].sat[s];
            const RinexSatValues& b = copy.epochs[n].sat[s];
            for (int k = 0; k < kObservationKinds; ++k) {
                if (!((mask_ >> k) & 1)) continue;
                ASSERT_EQ(a.Has(k), b.Has(k)) << "PRN " << s + 1;
                if (a.Has(k)) {
                    EXPECT_NEAR(a.value[k], b.value[k], 0.0005) << "PRN " << s + 1;
                }
            }
        }
    }
}

TEST_F(RinexRealReader, Rnx2rtkpPositionsFromRinex3LandOnTheStation) {
    const std::string rnx2rtkp = FindProgram("rnx2rtkp");
    if (rnx2rtkp.empty()) GTEST_SKIP() << "rnx2rtkp not installed";
    EXPECT_EQ(obs3_.filename().string(), "075900JPN_R_20050920000_15M_30S_GO.rnx");
    EXPECT_EQ(nav3_.filename().string(), "075900JPN_R_20050920000_15M_GN.rnx");
    ExpectEveryEpochOnTheStation(rnx2rtkp, obs3_, nav3_);
}

TEST_F(RinexRealReader, ConvbinTurnsRinex3IntoTheValuesOfOurRinex2File) {
    const std::string convbin = FindProgram("convbin");
    if (convbin.empty()) GTEST_SKIP() << "convbin not installed";
    const fs::path copyObs = dir_ / "copy3.obs";
    ASSERT_TRUE(Run(convbin + " -r rinex -v 2.11 -od -os -o " + copyObs.string() + " " + obs3_.string() +
                    " > /dev/null 2>&1"));
    const ObsFile copy = ReadObs(copyObs.string());
    const ObsFile ours = ReadObs((dir_ / "qern0920.05o").string());
    EXPECT_EQ(CompareValues(ours, copy, mask_), 10 * 8 * 4);
    // The signal strengths S1/S2 of the RINEX 3 file come back as written.
    for (size_t n = 0; n < std::min(copy.epochs.size(), ours.epochs.size()); ++n) {
        for (int s = 0; s < kSatelliteCount; ++s) {
            for (int f = 0; f < 2; ++f) {
                const RinexSatValues& a = ours.epochs[n].sat[s];
                const RinexSatValues& b = copy.epochs[n].sat[s];
                ASSERT_EQ(b.HasCn0(f), a.mask != 0) << "PRN " << s + 1;
                if (b.HasCn0(f)) {
                    EXPECT_NEAR(b.cn0[f], Cn0Of(s, f), 0.0005) << "PRN " << s + 1;
                }
            }
        }
    }
}

TEST_F(RinexRealReader, ConvbinTurnsRinex3NavigationIntoTheSourceRecords) {
    const std::string convbin = FindProgram("convbin");
    if (convbin.empty()) GTEST_SKIP() << "convbin not installed";
    const fs::path copyNav = dir_ / "copy3.nav";
    ASSERT_TRUE(Run(convbin + " -r rinex -v 2.11 -oi -ot -ol -o " + (dir_ / "copy3.obs").string() + " -n " +
                    copyNav.string() + " " + nav3_.string() + " > /dev/null 2>&1"));
    const NavFile copy = ReadNav(copyNav.string(), 1316);
    EXPECT_EQ(copy.ionoUtc.alpha0, nav_.ionoUtc.alpha0);
    EXPECT_EQ(copy.ionoUtc.beta3, nav_.ionoUtc.beta3);
    // A0 and A1 have 10 and 9 decimals in the 3.x record, against 12 in the source.
    EXPECT_NEAR(copy.ionoUtc.A0, nav_.ionoUtc.A0, 1e-10 * std::fabs(nav_.ionoUtc.A0));
    EXPECT_NEAR(copy.ionoUtc.A1, nav_.ionoUtc.A1, 1e-9 * std::fabs(nav_.ionoUtc.A1));
    EXPECT_EQ(copy.ionoUtc.tot, nav_.ionoUtc.tot);
    EXPECT_EQ(copy.ionoUtc.WNt, nav_.ionoUtc.WNt);
    EXPECT_EQ(copy.ionoUtc.deltaTLS, nav_.ionoUtc.deltaTLS);
    ASSERT_EQ(copy.ephemerides.size(), nav_.ephemerides.size());
    std::map<std::pair<int, double>, const Ephemeris*> byKey;
    for (const Ephemeris& e : nav_.ephemerides) byKey[{e.satellite, e.toeTime.Difference(GpsTime())}] = &e;
    for (const Ephemeris& b : copy.ephemerides) {
        const Ephemeris* a = byKey[{b.satellite, b.toeTime.Difference(GpsTime())}];
        ASSERT_NE(a, nullptr) << "PRN " << b.satellite + 1;
        // The accuracy is left out: convbin writes the value of its URA index instead.
        const double av[] = {a->toc, a->af0, a->af1, a->af2, a->IODE, a->Crs, a->deltaN, a->M0,
                             a->Cuc, a->e,   a->Cus, a->sqrtA, a->Cic, a->Omega0, a->Cis, a->i0,
                             a->Crc, a->omega, a->OmegaDot, a->IDOT, a->TGD, a->IODC, a->recordTime.seconds};
        const double bv[] = {b.toc, b.af0, b.af1, b.af2, b.IODE, b.Crs, b.deltaN, b.M0,
                             b.Cuc, b.e,   b.Cus, b.sqrtA, b.Cic, b.Omega0, b.Cis, b.i0,
                             b.Crc, b.omega, b.OmegaDot, b.IDOT, b.TGD, b.IODC, b.recordTime.seconds};
        for (size_t i = 0; i < std::size(av); ++i)
            EXPECT_EQ(av[i], bv[i]) << "PRN " << b.satellite + 1 << " value " << i;
        EXPECT_EQ(a->week, b.week);
        EXPECT_EQ(a->codesOnL2, b.codesOnL2);
        EXPECT_EQ(a->health, b.health);
    }
}
