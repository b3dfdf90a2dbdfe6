// Raw files that decode "validly" but carry values that hurt the later stages:
// absurd times, epochs going backwards, huge measurements, broken ephemerides,
// floods of events with odd names, a single satellite. Each is converted whole and
// silently: the conversion must end with success or a failure message, and every
// line it writes must be a RINEX line (at most 80 characters, CR LF, no control
// character, no "nan" or "inf"). The inputs the conversion fuzzer found are kept in
// tests/convert/regressions (faults fixed; they also seed scripts/fuzz.sh) and
// tests/convert/regressions-open (faults still open, their tests disabled; kept
// apart so that they do not stop every fuzzing run), and converted here as the
// fuzzer converts them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "fuzz/ConversionHarness.h"
#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/Constellation.h"
#include "tools/rawsim/Simulation.h"

using conversionharness::CheckRinexText;
using conversionharness::ConvertAndCheck;
using conversionharness::RunOptions;
using conversionharness::RunReport;

namespace {

// A synthetic recording of the nominal constellation in memory: minutes at interval
// seconds, receiver-dated ("Q") or satellite-dated ("R") epochs, nSats satellites.
std::string Synth(RawLayout layout, char kind, double minutes, double interval = 10, int nSats = 6,
                  bool events = false, GpsTime start = NominalStart()) {
    SynthRequest request;
    request.layout = layout;
    request.synth.receiverDated = kind == 'Q';
    request.synth.satelliteDated = kind == 'R';
    request.synth.start = start;
    request.synth.duration = minutes * 60.0;
    request.synth.interval = interval;
    request.synth.maxSatellites = nSats;
    request.synth.events = events;
    std::string bytes;
    SimulationOutput output;
    output.memory = &bytes;
    SynthSummary summary;
    std::string error;
    EXPECT_TRUE(RunSynth(request, output, summary, error)) << error;
    return bytes;
}

// The records of an ASCII file: the bytes from STX up to and including ETX.
std::vector<std::string> Records(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\x03', start);
        end = end == std::string::npos ? text.size() : end + 1;
        out.push_back(text.substr(start, end - start));
        start = end;
    }
    return out;
}

std::string Join(const std::vector<std::string>& records) {
    std::string out;
    for (const std::string& r : records) out += r;
    return out;
}

// True for a comma-separated epoch record of kind letter ('Q' or 'R').
bool IsCsvEpoch(const std::string& record, char letter) {
    return record.find(std::string("!") + letter + ",") != std::string::npos;
}

// Applies edit to the comma-separated fields of every satellite line ("Sxx,...") of
// a comma-separated text whose PRN field is prn (0: every satellite line).
std::string EditSatelliteLines(const std::string& text, int prn,
                               const std::function<void(std::vector<std::string>&)>& edit) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(start, end - start);
        start = end;
        if (line.size() > 4 && line[0] == 'S' && line.find(',') == 3) {
            std::string ending;
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
                ending.insert(ending.begin(), line.back());
                line.pop_back();
            }
            std::vector<std::string> fields;
            size_t f = 0;
            for (size_t comma; (comma = line.find(',', f)) != std::string::npos; f = comma + 1)
                fields.push_back(line.substr(f, comma - f));
            fields.push_back(line.substr(f));
            if (prn == 0 || (fields.size() > 1 && fields[1] == std::to_string(prn))) {
                edit(fields);
                line.clear();
                for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + fields[i];
            }
            line += ending;
        }
        out += line;
    }
    return out;
}

// Every occurrence of from replaced by to.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Options of a plain run: the first format given, Tx 75 ms, week 2300.
RunOptions Options(int format, double tx = 0.075) {
    RunOptions o;
    o.firstFormat = format;
    o.tx = tx;
    return o;
}

// Converts bytes as a file of format with options and checks the outcome: success,
// or one of the clean failures with its message; the written files well formed, in
// RINEX 2 and in RINEX 3.
RunReport ConvertBytes(const std::string& bytes, int format, const RunOptions& options) {
    conversionharness::ScratchDir dir;
    EXPECT_TRUE(dir.Ok());
    const std::string source = dir.File("SOURCE.RAW");
    EXPECT_TRUE(conversionharness::WriteAll(source, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    ConversionState state;
    RunReport report = ConvertAndCheck(dir, source, format, options, state);
    EXPECT_EQ(report.fault, "");
    const ConversionOutcome o = report.result.outcome;
    EXPECT_TRUE(o == ConversionOutcome::Success || o == ConversionOutcome::InsufficientData ||
                o == ConversionOutcome::NoEpochWritten)
        << "outcome " << static_cast<int>(o);
    if (!report.result.success) {
        EXPECT_EQ(report.messages.size(), 1u);
    }
    ConversionState fresh;  // the same input written as RINEX 3 is just as well formed
    EXPECT_EQ(ConvertAndCheck(dir, source, format, options, fresh, 3).fault, "") << "RINEX 3";
    return report;
}

// Number of epoch lines (flag 0) of an observation text.
int EpochLines(const std::string& text) {
    int n = 0;
    bool header = true;
    for (const std::string& line : drivertest::Lines(text)) {
        if (header) {
            header = line.find("END OF HEADER") == std::string::npos;
            continue;
        }
        if (line.size() >= 32 && line[2] != ' ' && line[28] == '0') ++n;
    }
    return n;
}

}  // namespace

// ---- the line checks themselves ----

TEST(HostileInputChecks, RinexLineRulesCatchEveryBrokenLine) {
    const std::string good = std::string(80, ' ') + "\r\n" + "  0.123D+01\r\n";
    EXPECT_EQ(CheckRinexText(good), "");
    EXPECT_NE(CheckRinexText(std::string(81, ' ') + "\r\n"), "");
    EXPECT_NE(CheckRinexText("abc\n"), "");
    EXPECT_NE(CheckRinexText("abc"), "");
    EXPECT_NE(CheckRinexText("a\tb\r\n"), "");
    EXPECT_NE(CheckRinexText("    -nan    \r\n"), "");
    EXPECT_NE(CheckRinexText("  1.000  inf  \r\n"), "");
    EXPECT_NE(CheckRinexText("  -INF\r\n"), "");
    EXPECT_NE(CheckRinexText("  NAN\r\n"), "");
    // Names in text records may hold those letters.
    const std::string name = std::string("INF NAN") + std::string(53, ' ') + "MARKER NAME         \r\n";
    EXPECT_EQ(CheckRinexText(name), "");
    EXPECT_EQ(CheckRinexText("  INFO NANO\r\n"), "");
}

// ---- times ----

TEST(HostileInput, EpochsAcrossTheEndOfAWeekConvert) {
    const std::string bytes = Synth(RawLayout::Binary, 'R', 2, 10, 6, true, GpsTime(2300, 604740.0));
    const RunReport r = ConvertBytes(bytes, 1, Options(1));
    EXPECT_TRUE(r.result.success);
    EXPECT_GE(EpochLines(r.observation), 10);
}

TEST(HostileInput, WeekAtTheEndOfTheTimeScaleEndsCleanly) {
    // Every week field of the comma-separated records set to 65535.
    const std::string bytes = ReplaceAll(Synth(RawLayout::AsciiCsv, 'Q', 2), ",2300,", ",65535,");
    ASSERT_NE(bytes.find(",65535,"), std::string::npos);
    RunOptions o = Options(0);
    o.recordingDate = 65535 * 7.0 + 6.9;
    ConvertBytes(bytes, 0, o);
}

TEST(HostileInput, SecondsOutsideTheWeekEndCleanly) {
    for (const std::string seconds : {"604799.9999999", "604800.0000000", "-0.5000000", "1e300", "99999999999.0"}) {
        SCOPED_TRACE(seconds);
        std::vector<std::string> records = Records(Synth(RawLayout::AsciiCsv, 'Q', 2));
        int edited = 0;
        for (std::string& r : records) {
            if (!IsCsvEpoch(r, 'Q') || ++edited % 3 != 0) continue;
            const size_t at = r.find(",2300,");
            const size_t end = r.find_first_of("\r\n", at);
            r.replace(at + 6, end - at - 6, seconds);
        }
        ASSERT_GT(edited, 3);
        ConvertBytes(Join(records), 0, Options(0));
    }
}

TEST(HostileInput, EpochsGoingBackwardsAreNotWrittenOutOfOrder) {
    std::vector<std::string> records = Records(Synth(RawLayout::AsciiCsv, 'R', 3));
    std::vector<size_t> epochs;
    for (size_t i = 0; i < records.size(); ++i)
        if (IsCsvEpoch(records[i], 'R')) epochs.push_back(i);
    ASSERT_GE(epochs.size(), 10u);
    // The second half of the epochs in reverse order, after the first half.
    for (size_t a = epochs.size() / 2, b = epochs.size() - 1; a < b; ++a, --b)
        std::swap(records[epochs[a]], records[epochs[b]]);
    const RunReport r = ConvertBytes(Join(records), 0, Options(0));
    EXPECT_TRUE(r.result.success);
    // Only the epochs before the reversal and the last (latest) one move time forward.
    EXPECT_LE(r.result.epochsWritten, static_cast<int>(epochs.size() / 2 + 1));
}

// The last two satellite-dated epochs dated 63000 weeks after the others (year
// 3235): the conversion goes on through the jump and writes their lines whole.
TEST(HostileInput, EpochsFarInTheFutureEndCleanly) {
    std::vector<std::string> records = Records(Synth(RawLayout::AsciiCsv, 'R', 2));
    std::vector<size_t> epochs;
    for (size_t i = 0; i < records.size(); ++i)
        if (IsCsvEpoch(records[i], 'R')) epochs.push_back(i);
    ASSERT_GE(epochs.size(), 10u);
    for (size_t k = epochs.size() - 2; k < epochs.size(); ++k) {
        const size_t at = records[epochs[k]].find(",2300,");
        ASSERT_NE(at, std::string::npos);
        records[epochs[k]].replace(at, 6, ",65535,");
    }
    const RunReport r = ConvertBytes(Join(records), 0, Options(0));
    EXPECT_TRUE(r.result.success);
}

TEST(HostileInput, OneEpochRepeatedThousandsOfTimesIsWrittenOnce) {
    drivertest::ScratchDir dir;
    drivertest::RawFile raw(dir.File("SAME.RAW"));
    raw.Add(drivertest::Epoch('Q', 345600.0));
    for (int i = 0; i < 3000; ++i) raw.Add(drivertest::Epoch('Q', 345630.0));
    raw.Close();
    const std::string bytes = drivertest::ReadAll(dir.File("SAME.RAW"));
    RunOptions o = Options(1);
    o.recordingDate = drivertest::kWeek * 7.0 + 4.0;
    const RunReport r = ConvertBytes(bytes, 1, o);
    EXPECT_TRUE(r.result.success);
    EXPECT_EQ(r.result.epochsWritten, 1);
}

// ---- measurements ----

// A Doppler of 1e297 Hz (text "1e300" in mHz) was written with F14.3 as a
// 300-character field: observation values that do not fit their field must not
// break the 80-column line.
TEST(HostileInput, HugeDopplerOfReceiverDatedEpochsKeepsLinesWhole) {
    const std::string bytes =
        EditSatelliteLines(Synth(RawLayout::AsciiCsv, 'Q', 2), 3, [](auto& f) { f[4] = "1e300"; });
    ConvertBytes(bytes, 0, Options(0));
}

TEST(HostileInput, HugePhaseOfReceiverDatedEpochsKeepsLinesWhole) {
    const std::string bytes =
        EditSatelliteLines(Synth(RawLayout::AsciiCsv, 'Q', 2), 3, [](auto& f) { f[3] = "1e300"; });
    ConvertBytes(bytes, 0, Options(0));
}

TEST(HostileInput, AbsurdDopplerOfOneSatelliteEndsCleanly) {
    for (const double tx : {0.075, 0.0}) {
        SCOPED_TRACE(tx);
        const std::string bytes =
            EditSatelliteLines(Synth(RawLayout::AsciiCsv, 'R', 2), 3, [](auto& f) { f[4] = "1e16"; });
        ConvertBytes(bytes, 0, Options(0, tx));
    }
}

// One satellite of six with a Doppler of 1e13 Hz in every satellite-dated epoch: its
// shift to reception time would spoil every solution; it is left out of the fix and
// the five sound satellites position every epoch.
TEST(HostileInput, OneSatelliteWithAnAbsurdDopplerDoesNotStopEveryFix) {
    const std::string bytes =
        EditSatelliteLines(Synth(RawLayout::AsciiCsv, 'R', 2), 3, [](auto& f) { f[4] = "1e16"; });
    const RunReport r = ConvertBytes(bytes, 0, Options(0));
    EXPECT_TRUE(r.result.success);
    EXPECT_GE(r.result.epochsWritten, 10);
}

TEST(HostileInput, HugeCodesEndCleanly) {
    const std::string bytes =
        EditSatelliteLines(Synth(RawLayout::AsciiCsv, 'R', 2), 0, [](auto& f) { f[2] = "1e300"; });
    ConvertBytes(bytes, 0, Options(0));
}

TEST(HostileInput, NonFiniteTextsInMeasurementsAreNotWritten) {
    for (const std::string v : {"nan", "inf", "-inf", "1e999"}) {
        SCOPED_TRACE(v);
        const std::string bytes = EditSatelliteLines(Synth(RawLayout::AsciiCsv, 'Q', 2), 0, [&](auto& f) {
            f[3] = v;
            f[4] = v;
        });
        ConvertBytes(bytes, 0, Options(0));
    }
}

TEST(HostileInput, OneSatelliteEverywhereNeverFixesAPosition) {
    const RunReport r = ConvertBytes(Synth(RawLayout::Binary, 'R', 2, 10, 1), 1, Options(1));
    EXPECT_FALSE(r.result.success);
    EXPECT_EQ(r.result.epochsPositioned, 0);
    const RunReport q = ConvertBytes(Synth(RawLayout::Binary, 'Q', 2, 10, 1), 1, Options(1));
    EXPECT_TRUE(q.result.success);  // the default position of a silent run
}

TEST(HostileInput, OneSatelliteInEveryLineOfAnEpochEndsCleanly) {
    // Every satellite line of every epoch names PRN 3.
    const std::string bytes = EditSatelliteLines(Synth(RawLayout::AsciiCsv, 'R', 2), 0, [](auto& f) {
        f[0] = "S03";
        f[1] = "3";
    });
    const RunReport r = ConvertBytes(bytes, 0, Options(0));
    EXPECT_EQ(r.result.epochsPositioned, 0);
}

TEST(HostileInput, AllThirtyTwoSatellitesWriteWholeContinuationLines) {
    drivertest::ScratchDir dir;
    drivertest::RawFile raw(dir.File("ALL.RAW"));
    const std::initializer_list<int> all = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                                            17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
    for (int i = 0; i < 4; ++i) raw.Add(drivertest::Epoch('Q', 345600.0 + 30.0 * i, all));
    raw.Close();
    RunOptions o = Options(1);
    o.recordingDate = drivertest::kWeek * 7.0 + 4.0;
    const RunReport r = ConvertBytes(drivertest::ReadAll(dir.File("ALL.RAW")), 1, o);
    EXPECT_TRUE(r.result.success);
    EXPECT_EQ(r.result.epochsWritten, 3);
    // Epoch line with 12 satellites, two continuation lines with 12 and 8.
    EXPECT_EQ(drivertest::Count(r.observation, " 32G 1G 2G 3G 4G 5G 6G 7G 8G 9G10G11G12"), 3);
    EXPECT_EQ(drivertest::Count(r.observation, std::string(32, ' ') + "G13G14G15G16G17G18G19G20G21G22G23G24"), 3);
    EXPECT_EQ(drivertest::Count(r.observation, std::string(32, ' ') + "G25G26G27G28G29G30G31G32" +
                                                   std::string(24, ' ') + "\r\n"),
              3);
}

// ---- ephemerides ----

namespace {

// A satellite-dated binary file at the nominal start with the ephemerides of the
// first satellites edited, an ionosphere/UTC record and n epochs of real ranges.
std::string WithEditedEphemerides(const std::function<void(Ephemeris&)>& edit, int n = 12) {
    std::string bytes;
    const std::string base = Synth(RawLayout::Binary, 'R', n / 6.0, 10, 6);
    const GpsTime start = NominalStart();
    NominalConstellation constellation(start);
    {
        RawWriter writer(CreateEncoder(RawLayout::Binary), FaultPlan(), nullptr);
        writer.OpenMemory(&bytes);
        for (int prn : NominalConstellation::Prns()) {
            Ephemeris eph = constellation.EphemerisAt(prn, start);
            edit(eph);
            writer.WriteEphemeris(eph, start);
        }
        writer.Close();
    }
    return bytes + base;
}

}  // namespace

TEST(HostileInput, EphemeridesWithZeroSemiMajorAxisEndCleanly) {
    const RunReport r = ConvertBytes(WithEditedEphemerides([](Ephemeris& e) { e.sqrtA = 0.0; }), 1, Options(1));
    EXPECT_EQ(CheckRinexText(r.navigation), "");
}

TEST(HostileInput, EphemeridesWithLargestEccentricityEndCleanly) {
    ConvertBytes(WithEditedEphemerides([](Ephemeris& e) { e.e = 0.4999; }), 1, Options(1));
}

TEST(HostileInput, EphemeridesWithAbsurdTimesEndCleanly) {
    ConvertBytes(WithEditedEphemerides([](Ephemeris& e) {
                     e.toe = 604784.0;
                     e.toc = 604784.0;
                     e.af0 = 0.0019;
                     e.af1 = 1e-8;
                     e.deltaN = 1e-6;
                 }),
                 1, Options(1));
}

// ---- events ----

TEST(HostileInput, ThousandsOfEventsWithOddNamesKeepLinesWhole) {
    drivertest::ScratchDir dir;
    drivertest::RawFile raw(dir.File("EVENTS.RAW"));
    const std::string names[] = {"\x01\x02\x1b[2J", "NAME\rWITH\nLF", "\x7f\xff\xfe\x80", "nan", "inf  -inf",
                                 "123456789012"};
    raw.Add(drivertest::AntennaHeight(345590.0, 1e9));
    for (int i = 0; i < 40; ++i) {
        const double t = 345600.0 + 30.0 * i;
        raw.Add(drivertest::Epoch('Q', t));
        for (int k = 0; k < 60; ++k) {
            raw.Add(drivertest::TimeEvent(t + 0.01 * k));
            raw.Add(drivertest::SiteRecord(t + 0.5, 1 + (k % 4), names[k % 6]));
        }
        raw.Add(drivertest::AntennaHeight(t + 1.0, i % 2 ? 1e12 : -1e9));
    }
    raw.Add(drivertest::TimeEvent(1e9));
    raw.Close();
    RunOptions o = Options(1);
    o.recordingDate = drivertest::kWeek * 7.0 + 4.0;
    o.longTexts = true;
    const RunReport r = ConvertBytes(drivertest::ReadAll(dir.File("EVENTS.RAW")), 1, o);
    EXPECT_TRUE(r.result.success);
    EXPECT_GT(drivertest::Count(r.observation, "<< AN EVENT FLAG WITH SIGNIFICANT EPOCH >>"), 1000);
}

// ---- the request ----

TEST(HostileInput, AbsurdRecordingDatesEndCleanly) {
    const std::string bytes = Synth(RawLayout::Binary, 'Q', 1);
    for (const double date : {-1.0, 65536.0 * 7.0, 1e300, std::nan("")}) {
        SCOPED_TRACE(date);
        RunOptions o = Options(1);
        o.recordingDate = date;
        ConvertBytes(bytes, 1, o);
    }
}

// ---- inputs found by the conversion fuzzer ----

namespace {

// Converts a kept fuzz input (its first byte the options, the rest the raw file) in
// both formats in one conversion state, as fuzz/ConversionFuzzer.cpp does, and checks
// every run. name is relative to tests/convert.
void ConvertFuzzInput(const std::string& name) {
    const std::string bytes = drivertest::ReadAll(std::string(QERN_SOURCE_DIR) + "/tests/convert/" + name);
    ASSERT_FALSE(bytes.empty()) << name;
    const RunOptions options = conversionharness::OptionsOf(static_cast<uint8_t>(bytes[0]));
    conversionharness::ScratchDir dir;
    const std::string source = dir.File("SOURCE.RAW");
    ASSERT_TRUE(
        conversionharness::WriteAll(source, reinterpret_cast<const uint8_t*>(bytes.data()) + 1, bytes.size() - 1));
    ConversionState state, shadow;
    for (int k = 0; k < 2; ++k) {
        const int format = k == 0 ? options.firstFormat : 1 - options.firstFormat;
        SCOPED_TRACE(format);
        const RunReport report = ConvertAndCheck(dir, source, format, options, state, 2, &shadow);
        EXPECT_EQ(report.fault, "");
    }
}

}  // namespace

// A comma-separated satellite-dated file (Tx 0) whose first written epoch extrapolates
// an L1 phase of about 1.3e13 cycles: its whole-cycle offset overflowed the 32-bit
// table entry (undefined behaviour).
// The file jumps from week 2300 to week 2600 after five positioned epochs; the clock
// offset extrapolated with a drift of -4.4e-5 s/s over 300 weeks is -8044 s.
TEST(HostileInputRegression, PhaseOffsetBeyond32Bits) {
    ConvertFuzzInput("regressions/phase-offset-overflow");
}

// A comma-separated receiver-dated file (first byte a0: Tx 0, smoothed pseudoranges,
// log files) with a Doppler of -1.25e9 Hz: written with F14.3 as a 15-character
// field, the observation line is 81 characters long.
TEST(HostileInputRegression, DopplerBeyondItsField) {
    ConvertFuzzInput("regressions/doppler-field-overflow");
}

// A comma-separated satellite-dated file whose extrapolated C1 (1.36e10 m) and L1
// (7.1e10 cycles) do not fit F14.3: an 84-character observation line.
TEST(HostileInputRegression, CodeAndPhaseBeyondTheirFields) {
    ConvertFuzzInput("regressions/code-field-overflow");
}

// A binary file whose antenna-height record holds -7.2e300 m (the record carries an
// IEEE double): the ANTENNA: DELTA H/E/N line of its event record is 335 characters.
TEST(HostileInputRegression, AntennaHeightBeyondItsField) {
    ConvertFuzzInput("regressions/antenna-height-field-overflow");
}

// Antenna heights that do not fit F14.4 (binary records carry any finite double) are
// damaged records and ignored: the header keeps its height, only the sound 1.5 m
// gives an event record, and every ANTENNA: DELTA H/E/N line keeps its columns.
TEST(HostileInput, AbsurdAntennaHeightsAreIgnored) {
    for (const double height : {1e12, -1e300}) {
        SCOPED_TRACE(height);
        drivertest::ScratchDir dir;
        drivertest::RawFile raw(dir.File("HEIGHT.RAW"));
        raw.Add(drivertest::AntennaHeight(345590.0, height));
        for (int i = 0; i < 6; ++i) {
            raw.Add(drivertest::Epoch('Q', 345600.0 + 30.0 * i));
            raw.Add(drivertest::AntennaHeight(345601.0 + 30.0 * i, i % 2 ? height : 1.5));
        }
        raw.Close();
        RunOptions o = Options(1);
        o.recordingDate = drivertest::kWeek * 7.0 + 4.0;
        const RunReport r = ConvertBytes(drivertest::ReadAll(dir.File("HEIGHT.RAW")), 1, o);
        EXPECT_TRUE(r.result.success);
        std::vector<std::string> heights;
        for (const std::string& line : drivertest::Lines(r.observation)) {
            if (line.find("ANTENNA: DELTA H/E/N") == std::string::npos) continue;
            EXPECT_EQ(line.substr(42, 18), std::string(18, ' ')) << line;
            heights.push_back(line.substr(0, 14));
        }
        ASSERT_EQ(heights.size(), 2u);
        EXPECT_EQ(heights[0], "        0.0000");  // header
        EXPECT_EQ(heights[1], "        1.5000");  // event record after the second written epoch
    }
}
