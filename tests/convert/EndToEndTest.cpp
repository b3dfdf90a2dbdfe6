// Whole conversions of simulated raw files of every layout and both epoch kinds,
// checked against the simulator's truth and against an independent RINEX reader
// (RTKLIB's single-point solution when it is installed).
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <map>

#include "convert/LogFile.h"
#include "positioning/GeoPosition.h"
#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/RinexReader.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

constexpr double kC = 299792458.0;
constexpr double kLambda1 = kC / 1575.42e6;

double Distance(const double a[3], const double b[3]) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// Header APPROX POSITION XYZ of an observation file.
bool HeaderPosition(const std::string& path, double xyz[3]) {
    RinexObsReader reader;
    std::string error;
    if (!reader.Open(path, error)) return false;
    for (int k = 0; k < 3; ++k) xyz[k] = reader.Header().position[k];
    return true;
}

// A simulated recording written to dir/name with its truth.
bool Simulate(const ScratchDir& dir, const std::string& name, RawLayout layout, bool satelliteDated,
              bool receiverDated, Truth& truth, double duration = 900, double interval = 10) {
    SynthRequest request;
    request.layout = layout;
    request.synth.receiverDated = receiverDated;
    request.synth.satelliteDated = satelliteDated;
    request.synth.start = NominalStart();
    request.synth.duration = duration;
    request.synth.interval = interval;
    request.synth.dual = layout != RawLayout::AsciiFixed;
    SimulationOutput output;
    output.rawPath = dir.File(name);
    output.truth = &truth;
    SynthSummary summary;
    std::string error;
    const bool ok = RunSynth(request, output, summary, error);
    if (!ok) ADD_FAILURE() << error;
    return ok;
}

ConversionRequest RequestFor(const ScratchDir& dir, const std::string& source, RawLayout layout,
                             const GpsTime& start) {
    ConversionRequest r = Request(dir, source);
    r.formatIndex = static_cast<RawFormat>(FormatIndex(layout));
    r.recordingDate = start.ToDays();
    return r;
}

// Fraction of the single-point solutions of RTKLIB within 15 m of the station, or
// a negative value when rnx2rtkp is not installed.
double RtklibFraction(const ScratchDir& dir, const ConversionRequest& r, const double station[3], int& count) {
    count = 0;
    if (!Exists("/usr/bin/rnx2rtkp")) return -1.0;
    const std::string options = dir.File("spp.conf");
    {
        std::ofstream out(options);
        out << "pos1-posmode=single\npos1-ionoopt=brdc\npos1-tropopt=saas\npos1-elmask=10\n";
    }
    const std::string command = "/usr/bin/rnx2rtkp -k " + options + " -e -p 0 " + r.observationPath + " " +
                                r.navigationPath + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1.0;
    char line[1024];
    int good = 0;
    while (std::fgets(line, sizeof line, pipe)) {
        if (line[0] == '%') continue;
        char date[32], time[32];
        double xyz[3];
        if (std::sscanf(line, "%31s %31s %lf %lf %lf", date, time, &xyz[0], &xyz[1], &xyz[2]) != 5) continue;
        ++count;
        if (Distance(xyz, station) <= 15.0) ++good;
    }
    pclose(pipe);
    return count ? static_cast<double>(good) / count : 0.0;
}

// Checks that every D1 has the sign opposite to the rate of L1 between consecutive
// epochs of a satellite (RINEX: Doppler positive for an approaching satellite),
// away from the zero crossing where 10 s averages and instantaneous values differ;
// returns the number of pairs checked.
int CheckDopplerSigns(const std::string& path) {
    RinexObsReader reader;
    std::string error;
    if (!reader.Open(path, error)) {
        ADD_FAILURE() << error;
        return 0;
    }
    const int l1 = reader.TypeIndex("L1"), d1 = reader.TypeIndex("D1");
    std::map<int, std::pair<double, double>> last;  // prn -> (time, L1)
    RinexObsEpoch epoch;
    int checked = 0;
    while (reader.Next(epoch)) {
        if (epoch.flag > 1) continue;
        for (const RinexSatObs& s : epoch.sats) {
            if (!s.values[l1].present || !s.values[d1].present) continue;
            const auto it = last.find(s.prn);
            if (it != last.end() && !(s.values[l1].lli & 1) && std::fabs(s.values[d1].value) > 50.0) {
                const double rate = (s.values[l1].value - it->second.second) / (epoch.time.seconds - it->second.first);
                EXPECT_LT(rate * s.values[d1].value, 0.0) << "PRN " << s.prn << " at " << epoch.time.seconds;
                ++checked;
            }
            last[s.prn] = {epoch.time.seconds, s.values[l1].value};
        }
    }
    return checked;
}

struct LayoutCase {
    RawLayout layout;
    bool satelliteDated;
    const char* name;
};

class SimulatedConversion : public ::testing::TestWithParam<LayoutCase> {};

}  // namespace

TEST_P(SimulatedConversion, PositionsAgreeWithTheTruth) {
    const LayoutCase c = GetParam();
    ScratchDir dir;
    Truth truth;
    ASSERT_TRUE(Simulate(dir, "SIM.RAW", c.layout, c.satelliteDated, !c.satelliteDated, truth));
    ConversionRequest request = RequestFor(dir, dir.File("SIM.RAW"), c.layout, NominalStart());
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(request, state, ui);
    ASSERT_TRUE(r.success) << (ui.Messages().empty() ? "" : ui.Messages()[0].text);
    EXPECT_EQ(state.tracker.rawKind, c.satelliteDated ? kRecordSatelliteDated : kRecordReceiverDated);
    EXPECT_GE(r.epochsWritten, 85);
    double header[3];
    ASSERT_TRUE(HeaderPosition(request.observationPath, header));
    EXPECT_LT(Distance(header, truth.station), 15.0);
    const std::string comment = HeaderLine(ReadAll(request.observationPath), "COMMENT");
    EXPECT_EQ(comment.substr(0, 49), c.satelliteDated ? "( Tr = Ts + 75 ms, using instantaneous dopplers )" : "");
    EXPECT_GT(CheckDopplerSigns(request.observationPath), 500);
    int count = 0;
    const double fraction = RtklibFraction(dir, request, truth.station, count);
    if (fraction < 0) GTEST_SKIP() << "rnx2rtkp is not installed";
    EXPECT_GE(count, r.epochsWritten * 95 / 100);
    EXPECT_GE(fraction, 0.95) << count << " solutions";
}

INSTANTIATE_TEST_SUITE_P(Layouts, SimulatedConversion,
                         ::testing::Values(LayoutCase{RawLayout::Binary, true, "BinarySatelliteDated"},
                                           LayoutCase{RawLayout::Binary, false, "BinaryReceiverDated"},
                                           LayoutCase{RawLayout::AsciiCsv, true, "CsvSatelliteDated"},
                                           LayoutCase{RawLayout::AsciiCsv, false, "CsvReceiverDated"},
                                           LayoutCase{RawLayout::AsciiFixed, false, "FixedReceiverDated"}),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

// A fixed-column file has no Doppler in its first epoch, so the first written epoch
// cannot be positioned and the approximate position question comes up. When nobody
// answers it (a silent run, or no window and no terminal), the rest is still
// positioned and the first fix goes into the header; the ".pos" lines never show
// the default position, only zeros before the first fix.
TEST(SimulatedConversion, FixedColumnRunWithoutAnAnswerFindsItsPosition) {
    for (const bool silent : {true, false}) {
        SCOPED_TRACE(silent ? "silent" : "nobody to answer");
        ScratchDir dir;
        Truth truth;
        ASSERT_TRUE(Simulate(dir, "SIM.FIX", RawLayout::AsciiFixed, false, true, truth, 300, 10));
        ConversionRequest request = RequestFor(dir, dir.File("SIM.FIX"), RawLayout::AsciiFixed, NominalStart());
        request.logFile = true;
        request.silent = silent;
        ConversionState state;
        ScriptedUi ui;
        ui.answeredBy = Answer::Default;
        const ConversionResult r = RunConversion(request, state, ui);
        ASSERT_TRUE(r.success);
        EXPECT_EQ(ui.positionQuestions, silent ? 0 : 1);
        EXPECT_TRUE(r.headerPositionKnown);
        double header[3];
        ASSERT_TRUE(HeaderPosition(request.observationPath, header));
        EXPECT_LT(Distance(header, truth.station), 15.0);
        // The u-th ".pos" line belongs to raw epoch u + 1 (the first one is never
        // written); its time is the epoch's own when that epoch got a fix.
        const std::vector<std::string> pos = Lines(ReadAll(request.observationPath + ".pos"));
        ASSERT_EQ(static_cast<int>(pos.size()), r.epochsWritten + 1);
        ASSERT_EQ(static_cast<size_t>(r.epochsWritten) + 1, truth.epochs.size());
        EXPECT_EQ(pos[1], "0.0\t0.000\t0.000\t0.000\t0.0000000000");  // before the first fix
        for (size_t epoch = 2; epoch < pos.size(); ++epoch) {
            double t = 0, xyz[3];
            ASSERT_EQ(std::sscanf(pos[epoch].c_str(), "%lf\t%lf\t%lf\t%lf", &t, &xyz[0], &xyz[1], &xyz[2]), 4);
            EXPECT_NEAR(t, std::floor(truth.epochs[epoch].tag.seconds * 10 + 0.5) / 10, 1e-6) << "epoch " << epoch;
            EXPECT_LT(Distance(xyz, truth.station), 15.0) << "epoch " << epoch;
        }
    }
}

// A position a person typed stays in the header; the ".pos" lines show only fixes.
TEST(SimulatedConversion, TypedPositionStaysInTheHeaderButNotInThePositionLog) {
    ScratchDir dir;
    Truth truth;
    ASSERT_TRUE(Simulate(dir, "SIM.FIX", RawLayout::AsciiFixed, false, true, truth, 60, 10));
    ConversionRequest request = RequestFor(dir, dir.File("SIM.FIX"), RawLayout::AsciiFixed, NominalStart());
    request.logFile = true;
    request.silent = false;
    ConversionState state;
    ScriptedUi ui;
    ui.position.latitude = 0.5;
    ui.position.height = 100.0;
    ASSERT_TRUE(RunConversion(request, state, ui).success);
    GeoPosition typed;
    typed.SetGeodetic(0.5, 0.0, 100.0);
    double header[3];
    ASSERT_TRUE(HeaderPosition(request.observationPath, header));
    EXPECT_NEAR(header[0], typed.X(), 0.001);
    EXPECT_NEAR(header[2], typed.Z(), 0.001);
    char typedX[32];
    std::snprintf(typedX, sizeof typedX, "\t%.3f\t", typed.X());
    EXPECT_EQ(ReadAll(request.observationPath + ".pos").find(typedX), std::string::npos);
}

// The same signals as satellite-dated and as receiver-dated records: both
// conversions describe the same ranges once time tags and clock offset are accounted for.
TEST(SimulatedConversion, BothKindsDescribeTheSameRanges) {
    ScratchDir dir;
    Truth truth;
    ASSERT_TRUE(Simulate(dir, "BOTH.RAW", RawLayout::Binary, true, true, truth, 300, 10));
    ConversionRequest request = RequestFor(dir, dir.File("BOTH.RAW"), RawLayout::Binary, NominalStart());
    request.silent = false;
    request.observationPath = dir.File("SAT.O");
    request.navigationPath = dir.File("SAT.N");
    request.logFile = true;
    ConversionState state;
    ScriptedUi ui;
    ui.rawKindChoice = kRecordSatelliteDated;
    ASSERT_TRUE(RunConversion(request, state, ui).success);
    EXPECT_EQ(ui.rawKindQuestions, 1);
    // The log of dual-frequency satellite-dated data: long lines with the clock offset used.
    const std::vector<std::string> log = Lines(ReadAll(dir.File("SAT.O.log")));
    ASSERT_GT(log.size(), 10u);
    EXPECT_EQ(log[0], Lines(LogHeaderLine(true))[0]);
    std::vector<std::string> columns;
    std::istringstream fields(log[1]);
    for (std::string f; std::getline(fields, f, '\t');) columns.push_back(f);
    ASSERT_EQ(columns.size(), 39u);
    EXPECT_NEAR(std::atof(columns[17].c_str()), truth.clockOffset, 1e-6);  // Tr0, s
    request.logFile = false;
    request.silent = true;
    request.observationPath = dir.File("RCV.O");
    request.navigationPath = dir.File("RCV.N");
    ScriptedUi silent;
    ASSERT_TRUE(RunConversion(request, state, silent).success);

    // Receiver clock offset (s) of each receiver-dated time tag.
    std::map<long long, double> clock;
    for (const TruthEpoch& e : truth.epochs)
        if (e.kind == 7) clock[std::llround(e.tag.seconds * 1000)] = e.receiverClock;

    // prn -> (true time, range corrected for the receiver clock, range rate) of the receiver-dated file.
    struct Sample {
        double t, range, rate;
    };
    std::map<int, std::vector<Sample>> received;
    std::string error;
    RinexObsReader rcv;
    ASSERT_TRUE(rcv.Open(dir.File("RCV.O"), error)) << error;
    const int c1 = rcv.TypeIndex("C1"), d1 = rcv.TypeIndex("D1");
    RinexObsEpoch epoch;
    while (rcv.Next(epoch)) {
        if (epoch.flag > 1) continue;
        const auto it = clock.find(std::llround(epoch.time.seconds * 1000));
        ASSERT_NE(it, clock.end());
        const double dtr = it->second;
        for (const RinexSatObs& s : epoch.sats) {
            if (!s.values[c1].present || !s.values[d1].present) continue;
            received[s.prn].push_back({epoch.time.seconds - dtr, s.values[c1].value - dtr * kC,
                                       -s.values[d1].value * kLambda1});
        }
    }
    RinexObsReader sat;
    ASSERT_TRUE(sat.Open(dir.File("SAT.O"), error)) << error;
    const int sc1 = sat.TypeIndex("C1");
    int compared = 0;
    double worst = 0;
    while (sat.Next(epoch)) {
        if (epoch.flag > 1) continue;
        for (const RinexSatObs& s : epoch.sats) {
            if (!s.values[sc1].present) continue;
            const std::vector<Sample>& list = received[s.prn];
            const Sample* nearest = nullptr;
            for (const Sample& q : list)
                if (!nearest || std::fabs(q.t - epoch.time.seconds) < std::fabs(nearest->t - epoch.time.seconds))
                    nearest = &q;
            if (!nearest || std::fabs(nearest->t - epoch.time.seconds) > 1.0) continue;
            const double expected = nearest->range + (epoch.time.seconds - nearest->t) * nearest->rate;
            worst = std::max(worst, std::fabs(s.values[sc1].value - expected));
            ++compared;
        }
    }
    EXPECT_GT(compared, 100);
    EXPECT_LT(worst, 1.0);
}

// Receiver-dated raw files made from a real recording (GEONET station 0759): every
// code equals the original, every phase differs from it by a constant whole number
// of cycles along a satellite pass, and losses of lock are flagged where the
// original flags them.
TEST(RealRecording, ReceiverDatedValuesEqualTheOriginal) {
    const std::string original = std::string(QERN_SOURCE_DIR) + "/testdata/07590920.05o";
    for (RawLayout layout : {RawLayout::Binary, RawLayout::AsciiCsv}) {
        ScratchDir dir;
        FromRinexRequest make;
        make.layout = layout;
        make.rinex.obsPath = original;
        make.rinex.navPath = std::string(QERN_SOURCE_DIR) + "/testdata/07590920.05n";
        SimulationOutput output;
        output.rawPath = dir.File("GEONET.RAW");
        std::string error;
        ASSERT_TRUE(RunFromRinex(make, output, error)) << error;
        const GpsTime start = RinexEpochTime(2005, 4, 2, 0, 0, 0);
        ConversionRequest request = RequestFor(dir, output.rawPath, layout, start);
        ConversionState state;
        ScriptedUi ui;
        const ConversionResult r = RunConversion(request, state, ui);
        ASSERT_TRUE(r.success) << (ui.Messages().empty() ? "" : ui.Messages()[0].text);
        EXPECT_EQ(r.epochsWritten, 119);  // 120 epochs, the first one opens the window
        double header[3];
        ASSERT_TRUE(HeaderPosition(request.observationPath, header));
        const double truthPosition[3] = {-3976219.5082, 3382372.5671, 3652512.9849};
        EXPECT_LT(Distance(header, truthPosition), 15.0);

        // Original values by (time in ms, prn).
        RinexObsReader orig;
        ASSERT_TRUE(orig.Open(original, error)) << error;
        const int oc1 = orig.TypeIndex("C1"), op2 = orig.TypeIndex("P2"), ol1 = orig.TypeIndex("L1"),
                  ol2 = orig.TypeIndex("L2");
        std::map<std::pair<long long, int>, RinexSatObs> originals;
        RinexObsEpoch epoch;
        while (orig.Next(epoch))
            for (const RinexSatObs& s : epoch.sats) originals[{std::llround(epoch.time.seconds * 10), s.prn}] = s;

        RinexObsReader ours;
        ASSERT_TRUE(ours.Open(request.observationPath, error)) << error;
        const int c1 = ours.TypeIndex("C1"), p2 = ours.TypeIndex("P2"), l1 = ours.TypeIndex("L1"),
                  l2 = ours.TypeIndex("L2");
        ASSERT_GE(c1, 0);
        ASSERT_GE(p2, 0);
        ASSERT_GE(l1, 0);
        ASSERT_GE(l2, 0);
        struct Arc {
            long long lastTime = -1;
            double offset[2] = {0, 0};  // whole cycles of L1 and L2 in this pass
        };
        std::map<int, Arc> arcs;
        int codes = 0, phases = 0, flags = 0;
        double worstCode = 0, worstPhase = 0;
        while (ours.Next(epoch)) {
            if (epoch.flag > 1) continue;
            // Tags to 0.1 s: the original's receiver tags carry milliseconds of clock offset.
            const long long t = std::llround(epoch.time.seconds * 10);
            for (const RinexSatObs& s : epoch.sats) {
                const auto it = originals.find({t, s.prn});
                ASSERT_NE(it, originals.end()) << s.prn << " " << t << " " << epoch.time.week;
                const RinexSatObs& o = it->second;
                for (auto [mine, theirs] : {std::pair{c1, oc1}, std::pair{p2, op2}}) {
                    if (!o.values[theirs].present) continue;
                    ASSERT_TRUE(s.values[mine].present);
                    worstCode = std::max(worstCode, std::fabs(s.values[mine].value - o.values[theirs].value));
                    ++codes;
                }
                Arc& arc = arcs[s.prn];
                const bool continues = arc.lastTime == t - 300;
                bool newArc = !continues;
                for (int f = 0; f < 2; ++f) {
                    const int mine = f == 0 ? l1 : l2, theirs = f == 0 ? ol1 : ol2;
                    if (!o.values[theirs].present || !s.values[mine].present) continue;
                    if (o.values[theirs].lli & 1) {
                        if (continues) {
                            EXPECT_EQ(s.values[mine].lli & 1, 1) << "PRN " << s.prn << " at " << t;
                            ++flags;
                        }
                        newArc = true;
                    }
                }
                for (int f = 0; f < 2; ++f) {
                    const int mine = f == 0 ? l1 : l2, theirs = f == 0 ? ol1 : ol2;
                    if (!o.values[theirs].present || !s.values[mine].present) continue;
                    const double difference = s.values[mine].value - o.values[theirs].value;
                    if (newArc) arc.offset[f] = std::round(difference);
                    worstPhase = std::max(worstPhase, std::fabs(difference - arc.offset[f]));
                    ++phases;
                }
                arc.lastTime = t;
            }
        }
        EXPECT_GT(codes, 1800);  // C1 and P2 of about 8 satellites in 119 epochs
        EXPECT_GT(phases, 1800);
        EXPECT_GT(flags, 10);
        EXPECT_LE(worstCode, 0.03);
        EXPECT_LE(worstPhase, 0.001);
    }
}

// The position solution on raw files made from a real recording: every written epoch
// gets its own fix near the station's known position.
TEST(RealRecording, EveryEpochIsPositionedNearTheStation) {
    ScratchDir dir;
    FromRinexRequest make;
    make.layout = RawLayout::Binary;
    make.rinex.obsPath = std::string(QERN_SOURCE_DIR) + "/testdata/07590920.05o";
    make.rinex.navPath = std::string(QERN_SOURCE_DIR) + "/testdata/07590920.05n";
    SimulationOutput output;
    output.rawPath = dir.File("GEONET.RAW");
    std::string error;
    ASSERT_TRUE(RunFromRinex(make, output, error)) << error;
    ConversionRequest request =
        RequestFor(dir, output.rawPath, RawLayout::Binary, RinexEpochTime(2005, 4, 2, 0, 0, 0));
    request.logFile = true;
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(request, state, ui);
    ASSERT_TRUE(r.success);
    ASSERT_EQ(r.epochsWritten, 119);

    const double station[3] = {-3976219.5082, 3382372.5671, 3652512.9849};
    const std::vector<std::string> pos = Lines(ReadAll(request.observationPath + ".pos"));
    ASSERT_EQ(pos.size(), 120u);  // header line and one line per written epoch
    std::vector<double> errors;
    for (size_t u = 1; u < pos.size(); ++u) {
        double t = 0, xyz[3];
        ASSERT_EQ(std::sscanf(pos[u].c_str(), "%lf\t%lf\t%lf\t%lf", &t, &xyz[0], &xyz[1], &xyz[2]), 4);
        // Its own fix: the solution time is the epoch's (30 s epochs from 00:00:30 on,
        // receiver tags within a few milliseconds of the whole second).
        const double epochTime = 518400.0 + 30.0 * static_cast<double>(u);  // Saturday 00:00:00 + u * 30 s
        EXPECT_NEAR(t, epochTime, 0.01) << "line " << u;
        errors.push_back(Distance(xyz, station));
        EXPECT_LT(errors.back(), 15.0) << "line " << u;
    }
    std::sort(errors.begin(), errors.end());
    EXPECT_LT(errors[errors.size() / 2], 5.0);
    std::printf("GEONET 0759 from raw: %zu fixes, median %.2f m, max %.2f m\n", errors.size(),
                errors[errors.size() / 2], errors.back());
}

// The same sources written as RINEX 3: RTKLIB positions every epoch of them, and its
// conversion back to RINEX 2.11 carries the values and loss-of-lock digits of our
// own RINEX 2 file.
TEST(Rinex3Conversion, ReadByRtklibLikeTheRinex2Files) {
    if (!Exists("/usr/bin/rnx2rtkp") || !Exists("/usr/bin/convbin")) GTEST_SKIP() << "RTKLIB is not installed";
    for (const bool real : {true, false}) {
        SCOPED_TRACE(real ? "GEONET recording, receiver-dated" : "simulated, satellite-dated");
        ScratchDir dir;
        ConversionRequest request;
        double station[3];
        if (real) {
            FromRinexRequest make;
            make.layout = RawLayout::Binary;
            make.rinex.obsPath = std::string(QERN_SOURCE_DIR) + "/testdata/07590920.05o";
            make.rinex.navPath = std::string(QERN_SOURCE_DIR) + "/testdata/07590920.05n";
            SimulationOutput output;
            output.rawPath = dir.File("SRC.RAW");
            std::string error;
            ASSERT_TRUE(RunFromRinex(make, output, error)) << error;
            request = RequestFor(dir, output.rawPath, RawLayout::Binary, RinexEpochTime(2005, 4, 2, 0, 0, 0));
            const double geonet[3] = {-3976219.5082, 3382372.5671, 3652512.9849};
            std::copy(geonet, geonet + 3, station);
        } else {
            Truth truth;
            ASSERT_TRUE(Simulate(dir, "SRC.RAW", RawLayout::Binary, true, false, truth, 600, 10));
            request = RequestFor(dir, dir.File("SRC.RAW"), RawLayout::Binary, NominalStart());
            std::copy(truth.station, truth.station + 3, station);
        }
        ConversionResult results[2];
        for (const int version : {2, 3}) {
            request.rinexVersion = static_cast<RinexVersion>(version);
            request.observationPath = dir.File(version == 2 ? "V2.O" : "V3O.rnx");
            request.navigationPath = dir.File(version == 2 ? "V2.N" : "V3N.rnx");
            ConversionState state;
            ScriptedUi ui;
            results[version - 2] = RunConversion(request, state, ui);
            ASSERT_TRUE(results[version - 2].success);
        }
        EXPECT_EQ(results[1].epochsWritten, results[0].epochsWritten);
        int count = 0;
        EXPECT_EQ(RtklibFraction(dir, request, station, count), 1.0);
        EXPECT_EQ(count, results[1].epochsWritten);

        ASSERT_EQ(std::system(("/usr/bin/convbin -r rinex -v 2.11 -od -os -o " + dir.File("BACK.O") + " " +
                               request.observationPath + " > /dev/null 2>&1")
                                  .c_str()),
                  0);
        RinexObsReader ours, back;
        std::string error;
        ASSERT_TRUE(ours.Open(dir.File("V2.O"), error)) << error;
        ASSERT_TRUE(back.Open(dir.File("BACK.O"), error)) << error;
        std::vector<std::pair<int, int>> columns;  // ours, back
        for (const std::string& type : ours.Header().types) {
            columns.emplace_back(ours.TypeIndex(type), back.TypeIndex(type));
            EXPECT_GE(columns.back().second, 0) << type;
        }
        RinexObsEpoch a, b;
        int compared = 0, flags = 0;
        while (ours.Next(a)) {
            if (a.flag > 1) continue;
            do {
                ASSERT_TRUE(back.Next(b));
            } while (b.flag > 1);
            ASSERT_EQ(a.time, b.time);
            ASSERT_EQ(a.sats.size(), b.sats.size());
            for (size_t s = 0; s < a.sats.size(); ++s) {
                ASSERT_EQ(a.sats[s].prn, b.sats[s].prn);
                for (const auto& [mine, theirs] : columns) {
                    if (theirs < 0) continue;
                    const RinexValue& x = a.sats[s].values[mine];
                    const RinexValue& y = b.sats[s].values[theirs];
                    ASSERT_EQ(x.present, y.present);
                    if (!x.present) continue;
                    EXPECT_NEAR(x.value, y.value, 0.0005);
                    // Every loss of lock comes back (RTKLIB drops the anti-spoofing bit
                    // 2, which RINEX 3 defines for other systems only).
                    if (x.lli & 1) {
                        EXPECT_EQ(y.lli & 1, 1) << a.sats[s].prn << " " << a.time.seconds;
                    }
                    flags += x.lli & 1;
                    ++compared;
                }
            }
        }
        EXPECT_GT(compared, 3000);
        std::printf("RINEX 3 back to 2: %d values, %d losses of lock\n", compared, flags);
    }
}
