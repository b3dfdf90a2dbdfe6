// How a conversion ends when it cannot go through: the message of each failure with
// its string id and icon, what stays on disk, and cancel in every pass.
#include <gtest/gtest.h>

#include <csignal>
#include <map>

#include "platform/StopSignal.h"
#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/Constellation.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

// A receiver-dated file of n epochs at 30 s from 345600 s.
void WriteReceiverDated(const std::string& path, int n) {
    RawFile raw(path);
    for (int i = 0; i < n; ++i) raw.Add(Epoch('Q', 345600.0 + 30.0 * i));
    raw.Close();
}

// A satellite-dated file at the nominal constellation's start: n epochs 1 s apart of
// PRNs without usable ranges, ephemerides of the first four PRNs with their toe moved
// by the given offsets (s), and an ionosphere/UTC record when asked.
void WriteSatelliteDated(const std::string& path, int n, const std::vector<double>& toeShifts, bool ionoUtc) {
    const GpsTime start = NominalStart();
    NominalConstellation constellation(start);
    RawFile raw(path);
    for (size_t k = 0; k < toeShifts.size(); ++k) {
        Ephemeris eph = constellation.EphemerisAt(NominalConstellation::Prns()[k], start);
        eph.toe += toeShifts[k];
        eph.toc += toeShifts[k];
        eph.toeTime = eph.toeTime.AddSeconds(toeShifts[k]);
        raw.AddEphemeris(eph);
    }
    if (ionoUtc) raw.Writer().WriteIonoUtc(NominalIonoUtc(start.week), start.week, start);
    for (int i = 0; i < n; ++i) {
        SimEpoch e = Epoch('R', 0.0);
        e.time = start.AddSeconds(i);
        raw.Add(e);
    }
    raw.Close();
}

ConversionRequest NominalRequest(const ScratchDir& dir, const std::string& source) {
    ConversionRequest r = Request(dir, source);
    r.recordingDate = NominalStart().ToDays();
    return r;
}

}  // namespace

TEST(ConversionFailure, MissingSourceStopsWithMessage127) {
    ScratchDir dir;
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(Request(dir, dir.File("NONE.RAW")), state, ui);
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.outcome, ConversionOutcome::SourceUnreadable);
    EXPECT_EQ(r.messageId, 127);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Unable to open source file !");
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Stop);
    EXPECT_FALSE(Exists(dir.File("OUT.05O")));
    EXPECT_FALSE(Exists(dir.File("OUT.05N")));
}

TEST(ConversionFailure, EmptySourceIsInsufficient) {
    ScratchDir dir;
    std::ofstream(dir.File("EMPTY.RAW")).close();
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(Request(dir, dir.File("EMPTY.RAW")), state, ui);
    EXPECT_EQ(r.outcome, ConversionOutcome::InsufficientData);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].id, 130);
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(ui.Messages()[0].text,
              "Data founds in source file :\n\n0 Records,\n0 Ephemeris,\n0 Iono UTC data,\n\nare not sufficient to "
              "complete operation !");
    EXPECT_FALSE(Exists(dir.File("OUT.05O")));
}

TEST(ConversionFailure, SatelliteDatedWithoutEphemeridesNamesTheCounts) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("S.RAW"));
        for (int i = 0; i < 5; ++i) raw.Add(Epoch('R', 345600.0 + i));
        raw.Close();
    }
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(Request(dir, dir.File("S.RAW")), state, ui);
    EXPECT_EQ(r.outcome, ConversionOutcome::InsufficientData);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].text.find("\n\n5 Records,\n0 Ephemeris,\n0 Iono UTC data,"), std::string::npos);
    EXPECT_FALSE(Exists(dir.File("OUT.05O")));
    EXPECT_FALSE(Exists(dir.File("OUT.05N")));
}

TEST(ConversionFailure, ObservationFileThatCannotBeCreated) {
    ScratchDir dir;
    WriteReceiverDated(dir.File("Q.RAW"), 4);
    ConversionRequest request = Request(dir, dir.File("Q.RAW"));
    request.observationPath = dir.File("missing/OUT.05O");
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(request, state, ui);
    EXPECT_EQ(r.outcome, ConversionOutcome::ObservationNotCreated);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].id, 128);
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Stop);
    EXPECT_FALSE(Exists(dir.File("OUT.05N")));
}

TEST(ConversionFailure, NavigationFileThatCannotBeCreatedLeavesNoObservationFile) {
    ScratchDir dir;
    WriteReceiverDated(dir.File("Q.RAW"), 4);
    ConversionRequest request = Request(dir, dir.File("Q.RAW"));
    request.navigationPath = dir.File("missing/OUT.05N");
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(request, state, ui);
    EXPECT_EQ(r.outcome, ConversionOutcome::NavigationNotCreated);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].id, 129);
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Stop);
    EXPECT_FALSE(Exists(dir.File("OUT.05O")));  // a present observation file means a whole set
}

TEST(ConversionFailure, SingleEpochIsAFailureNotASuccess) {
    ScratchDir dir;
    WriteReceiverDated(dir.File("Q.RAW"), 1);
    ConversionState state;
    ScriptedUi ui;
    ConversionRequest request = Request(dir, dir.File("Q.RAW"));
    request.silent = false;
    request.logFile = true;
    const ConversionResult r = RunConversion(request, state, ui);
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.outcome, ConversionOutcome::NoEpochWritten);
    for (const char* left : {"OUT.05O", "OUT.05O.log", "OUT.05O.pos"}) EXPECT_FALSE(Exists(dir.File(left))) << left;
    EXPECT_EQ(r.epochsWritten, 0);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].id, 135);
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(ui.Messages()[0].text,
              "No epoch could be written :\n\n1 Records,\n0 with a position,\n\nare not sufficient to complete "
              "operation !");
    EXPECT_FALSE(Exists(dir.File("OUT.05N")));  // the navigation pass does not run
}

TEST(ConversionFailure, SuccessMessageOnlyWhenNotSilent) {
    ScratchDir dir;
    WriteReceiverDated(dir.File("Q.RAW"), 3);
    ConversionState state;
    ScriptedUi quiet;
    ConversionRequest request = Request(dir, dir.File("Q.RAW"));
    ConversionResult r = RunConversion(request, state, quiet);
    EXPECT_TRUE(r.success);
    EXPECT_EQ(r.messageId, 121);
    EXPECT_TRUE(quiet.Messages().empty());
    request.silent = false;
    ScriptedUi shown;
    r = RunConversion(request, state, shown);
    EXPECT_TRUE(r.success);
    ASSERT_EQ(shown.Messages().size(), 1u);
    EXPECT_EQ(shown.Messages()[0].text,
              "Source file\n\n" + request.sourcePath + "\n\nsuccessfully converted to RINEX !");
    EXPECT_EQ(shown.Messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(shown.positionQuestions, 1);
}

TEST(ConversionFailure, CancelInEveryPass) {
    ScratchDir dir;
    WriteReceiverDated(dir.File("Q.RAW"), 6);  // 6 records per source pass
    const ConversionRequest request = Request(dir, dir.File("Q.RAW"));
    struct Case {
        long poll;
        bool observation;  // observation file exists afterwards
        bool navigation;
    };
    // Read pass polls 0..5, observation pass 6..11, navigation pass has no ephemeris to poll.
    for (const Case& c : {Case{2, false, false}, Case{8, false, false}}) {
        ConversionState state;
        ScriptedUi ui;
        ui.cancelAtPoll = c.poll;
        std::filesystem::remove(request.observationPath);
        const ConversionResult r = RunConversion(request, state, ui);
        EXPECT_EQ(r.outcome, ConversionOutcome::Cancelled) << c.poll;
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].id, 122);
        EXPECT_EQ(ui.Messages()[0].text, "Operation canceled by user !");
        EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Information);
        EXPECT_EQ(Exists(request.observationPath), c.observation);
        EXPECT_EQ(Exists(request.navigationPath), c.navigation);
    }
}

TEST(ConversionFailure, CancelledQuestionsEndTheRun) {
    ScratchDir dir;
    {
        RawFile raw(dir.File("B.RAW"));
        for (int i = 0; i < 3; ++i) raw.Add(Epoch('Q', 345600.0 + i)).Add(Epoch('R', 345600.0 + i));
        raw.Close();
    }
    ConversionRequest request = Request(dir, dir.File("B.RAW"));
    request.silent = false;
    ConversionState state;
    ScriptedUi ui;
    ui.cancelQuestions = true;
    ConversionResult r = RunConversion(request, state, ui);
    EXPECT_EQ(r.outcome, ConversionOutcome::QuestionCancelled);
    EXPECT_EQ(ui.rawKindQuestions, 1);
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_FALSE(Exists(request.observationPath));

    // The approximate position question of receiver-dated data without a fix.
    WriteReceiverDated(dir.File("Q.RAW"), 3);
    request.sourcePath = dir.File("Q.RAW");
    ScriptedUi ui2;
    ui2.cancelQuestions = true;
    r = RunConversion(request, state, ui2);
    // It ends as Cancel on the progress window does, without a half-written file.
    EXPECT_EQ(r.outcome, ConversionOutcome::Cancelled);
    EXPECT_EQ(r.messageId, kStrCanceled);
    EXPECT_EQ(ui2.positionQuestions, 1);
    EXPECT_EQ(ui2.Messages().size(), 1u);
    EXPECT_FALSE(Exists(request.observationPath));
    EXPECT_FALSE(Exists(request.navigationPath));
}

TEST(ConversionFailure, SatelliteDatedNeedsFourEphemeridesWithinTwoHoursAndIonoUtc) {
    ScratchDir dir;
    // One of four ephemerides lies 3 h after the last epoch: pruned, 3 remain.
    WriteSatelliteDated(dir.File("P.RAW"), 5, {0, 0, 0, 10800}, true);
    ConversionState state;
    ScriptedUi ui;
    ConversionResult r = RunConversion(NominalRequest(dir, dir.File("P.RAW")), state, ui);
    EXPECT_EQ(r.outcome, ConversionOutcome::InsufficientData);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ui.Messages()[0].text.find("\n\n5 Records,\n3 Ephemeris,\n1 Iono UTC data,"), std::string::npos);
    EXPECT_EQ(state.tracker.store.Count(), 3);
    // Four ephemerides but no ionosphere/UTC record.
    WriteSatelliteDated(dir.File("I.RAW"), 5, {0, 0, 0, 3600}, false);
    ScriptedUi ui2;
    r = RunConversion(NominalRequest(dir, dir.File("I.RAW")), state, ui2);
    EXPECT_EQ(r.outcome, ConversionOutcome::InsufficientData);
    ASSERT_EQ(ui2.Messages().size(), 1u);
    EXPECT_NE(ui2.Messages()[0].text.find("\n\n5 Records,\n4 Ephemeris,\n0 Iono UTC data,"), std::string::npos);
    EXPECT_FALSE(Exists(dir.File("OUT.05O")));
}

TEST(ConversionFailure, SatelliteDatedWithoutAnyFixIsAFailure) {
    ScratchDir dir;
    WriteSatelliteDated(dir.File("S.RAW"), 5, {0, 0, 0, 0}, true);
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(NominalRequest(dir, dir.File("S.RAW")), state, ui);
    EXPECT_FALSE(r.success);
    EXPECT_EQ(r.outcome, ConversionOutcome::NoEpochWritten);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text,
              "No epoch could be written :\n\n5 Records,\n0 with a position,\n\nare not sufficient to complete "
              "operation !");
    EXPECT_FALSE(Exists(dir.File("OUT.05O")));  // no empty file left to pass for an output
    EXPECT_FALSE(Exists(dir.File("OUT.05N")));
}

// A person who sends SIGTERM to the program at a given cancel poll.
class SignallingUi : public ScriptedUi {
public:
    explicit SignallingUi(long poll) : signalAtPoll_(poll) {}
    bool CheckCancel() override {
        if (seen_++ == signalAtPoll_) std::raise(SIGTERM);
        return ScriptedUi::CheckCancel();
    }

private:
    long signalAtPoll_;
    long seen_ = 0;
};

TEST(ConversionFailure, CancelOrStopSignalInAnyPassKeepsTheEarlierFiles) {
    ScratchDir dir;
    SynthRequest synth;
    synth.synth.start = NominalStart();
    synth.synth.duration = 60;
    synth.synth.interval = 10;
    SimulationOutput output;
    output.rawPath = dir.File("N.RAW");
    Truth truth;
    output.truth = &truth;
    SynthSummary summary;
    std::string error;
    ASSERT_TRUE(RunSynth(synth, output, summary, error)) << error;
    const TruthCounts& n = truth.counts;
    const long records = static_cast<long>(n.satelliteDated + n.receiverDated + n.ephemerides + n.ionoUtc + n.events);
    ASSERT_GE(n.ephemerides, 4);
    ConversionRequest request = NominalRequest(dir, output.rawPath);
    request.logFile = true;
    request.quality = true;
    ConversionState first;
    ScriptedUi firstUi;
    ASSERT_TRUE(RunConversion(request, first, firstUi).success);
    std::map<std::string, std::string> before;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("")))
        before[entry.path().string()] = ReadAll(entry.path().string());
    ASSERT_EQ(before.size(), 6u);  // the source, observation, navigation, .log, .pos, .qc
    CatchStopSignals();
    // In the read pass, the observation pass and before the third ephemeris of the navigation pass.
    for (const long poll : {records / 2, records + records / 2, 2 * records + 2})
        for (const bool signal : {false, true}) {
            SCOPED_TRACE(std::to_string(poll) + (signal ? " SIGTERM" : " Cancel"));
            ConversionState state;
            SignallingUi ui(signal ? poll : -1);
            if (!signal) ui.cancelAtPoll = poll;
            const ConversionResult r = RunConversion(request, state, ui);
            EXPECT_EQ(StopSignalReceived(), signal ? SIGTERM : 0);
            ClearStopSignal();
            EXPECT_EQ(r.outcome, ConversionOutcome::Cancelled);
            std::map<std::string, std::string> after;
            for (const auto& entry : std::filesystem::directory_iterator(dir.File("")))
                after[entry.path().string()] = ReadAll(entry.path().string());
            EXPECT_TRUE(after == before);  // byte-identical, no temporary file
        }
}
