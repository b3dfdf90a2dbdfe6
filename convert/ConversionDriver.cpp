#include "convert/ConversionDriver.h"

#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "convert/LogFile.h"
#include "convert/OutputFile.h"
#include "convert/QualityFeed.h"
#include "convert/ReadTally.h"
#include "convert/ReceptionTime.h"
#include "convert/SourceReader.h"
#include "convert/StringTable.h"
#include "convert/rinex/RinexNav.h"
#include "convert/rinex/RinexObsRecord.h"
#include "convert/rinex/RinexWriter.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "quality/QualityMonitor.h"
#include "quality/QualityReport.h"
#include "rawdata/RecordKind.h"
#include "rawdata/SiteEvent.h"

namespace {

constexpr double kAntennaHeightTolerance = 0.00005;  // m
// The receiver clock offset is carried over epochs without a fix by its drift,
// but not beyond this time after the last fix (s): a receiver clock left alone
// that long (or reset in a break of the recording) is not known any more.
constexpr double kMaxClockExtrapolation = 300.0;

// Writes a whole text to a log file; a log file that cannot be written is not
// reported and never stops the conversion.
void WriteLog(CFile& file, const std::string& text) {
    if (!text.empty() && file.IsOpen()) file.Write(text.data(), text.size());
}

// True for an antenna height (m) that its RINEX field (F14.4) can hold; a binary
// record carries any double, and a larger value is no height but a damaged record.
bool PlausibleAntennaHeight(double height) { return std::fabs(height) < 1e8; }

// The solver's last successful fix, as the ".pos" line shows it.
struct Fix {
    GpsTime time;
    double x = 0, y = 0, z = 0;  // m
    double clock = 0;            // s
};

// One conversion in progress: the request, the state and the person.
class Conversion {
public:
    Conversion(const ConversionRequest& request, ConversionState& state, ConversionUi& ui,
               const ConversionHooks& hooks)
        : request_(request), state_(state), ui_(ui), hooks_(hooks), writer_(RinexWriterFor(request.rinexVersion)) {}

    ConversionResult Run();

private:
    bool CheckPaths();
    bool ReadPass();
    bool ChooseRawKind(const ReadTally& tally);
    bool ObservationPass();
    bool NavigationPass();

    int FetchNext(SourceReader& source);
    bool CancelRequested();
    void PositioningStep();
    void TakeNewFix();
    void RecordFix();
    void WriteEpoch();
    void HandleSiteEvent(const SiteEvent& event);
    void WriteObservation(const std::string& text);
    bool EndObservationPass();
    void WriteQualityReport();
    void CloseObservationFiles();
    // True for an event after the end of the time window: it belongs to no written epoch.
    bool PastWindow(const GpsTime& t) const { return request_.to && *request_.to < t; }
    // True when a time window or an interval leaves epochs out.
    bool Selecting() const { return request_.from || request_.to || request_.interval > 0; }
    void Lap(ConversionStage stage) {
        if (hooks_.stages) hooks_.stages->Lap(stage);
    }

    // Ends the run with a message (icon by the outcome).
    bool Fail(ConversionOutcome outcome, int id, MessageIcon icon, std::initializer_list<std::string> args = {}) {
        result_.outcome = outcome;
        result_.messageId = id;
        ui_.ShowMessage(id, icon, args);
        return false;
    }
    // Ends the run without a message.
    bool FailQuietly(ConversionOutcome outcome) {
        result_.outcome = outcome;
        result_.messageId = 0;
        return false;
    }
    // Ends the run because file could not be written whole: the file is removed,
    // so that no cut-short RINEX file is left behind.
    bool FailWrite(OutputFile& file) {
        result_.failedPath = file.Path();
        result_.failureReason = ErrorText(file.Error());
        file.Discard();
        return Fail(ConversionOutcome::WriteFailed, kStrWriteFailed, MessageIcon::Stop,
                    {result_.failedPath, result_.failureReason});
    }

    const ConversionRequest& request_;
    ConversionState& state_;
    ConversionUi& ui_;
    const ConversionHooks& hooks_;
    const RinexWriter& writer_;  // the RINEX version's text of every header and record
    ConversionResult result_;
    CalendarTime creationTime_;
    KindStatistics chosen_;  // read-pass statistics of the chosen kind

    // Observation pass.
    SourceReader source_;
    OutputFile observation_;
    CFile log_;
    CFile pos_;
    bool logging_ = false;
    bool longLog_ = false;
    bool satelliteDated_ = false;
    double antennaHeight_ = 0.0;
    GpsTime lastWritten_;
    bool kinematicPending_ = false;
    std::deque<SiteEvent> pendingEvents_;
    RinexEpoch previousOutput_;
    bool carriedLossOfLock_[kSatelliteCount][kObservationKinds] = {};  // in epochs left out
    std::unique_ptr<QualityMonitor> quality_;  // with a quality request
    bool fixedThisEpoch_ = false;              // the current epoch has a fix of its own
    bool clockKnown_ = true;              // the receiver clock offset is a fix's or extrapolated from one
    Fix lastFix_;                         // zero before the first fix
    bool defaultHeaderPosition_ = false;  // the header holds the default position nobody answered
    bool headerPositionKnown_ = false;    // a real fix was taken for the header
    double headerX_ = 0, headerY_ = 0, headerZ_ = 0;
    int64_t approxRecordOffset_ = -1;     // file offset of APPROX POSITION XYZ
    size_t approxRecordLength_ = 0;
};

// The checks, the three passes (each only after the previous one succeeded) and
// the success message.
ConversionResult Conversion::Run() {
    if (hooks_.stages) hooks_.stages->Start();
    state_.Reset(request_);
    creationTime_ = request_.creationTime ? *request_.creationTime : CalendarOf(CreationTime());
    if (CheckPaths() && ReadPass() && ObservationPass() && NavigationPass()) {
        result_.success = true;
        result_.outcome = ConversionOutcome::Success;
        result_.messageId = kStrConverted;
        if (!request_.silent) ui_.ShowMessage(kStrConverted, MessageIcon::Information, {request_.sourcePath});
    }
    Lap(ConversionStage::Other);
    return result_;
}

// Refuses outputs that would overwrite the source or each other (the log files
// included when they are written) before anything is opened for writing.
bool Conversion::CheckPaths() {
    const std::string& source = request_.sourcePath;
    const std::string& obs = request_.observationPath;
    const std::string& nav = request_.navigationPath;
    bool clash = SameFile(source, obs) || SameFile(source, nav) || SameFile(obs, nav);
    std::vector<std::string> beside;  // files written next to the observation file
    if (request_.logFile) beside = {obs + ".log", obs + ".pos"};
    if (request_.quality) beside.push_back(obs + ".qc");
    for (const std::string& file : beside) clash = clash || SameFile(file, source) || SameFile(file, nav);
    // Every file of a splice is a source.
    for (const std::string& part : request_.sourceParts) {
        clash = clash || SameFile(part, obs) || SameFile(part, nav);
        for (const std::string& file : beside) clash = clash || SameFile(part, file);
    }
    if (clash) return Fail(ConversionOutcome::SameFile, kStrFilesMustDiffer, MessageIcon::Stop);
    return true;
}

// The kind of the next record of a pass over the source, after which the progress
// shows the share of the source read so far.
int Conversion::FetchNext(SourceReader& source) {
    const int kind = source.Next();
    Lap(ConversionStage::Framing);
    ui_.SetPosition(source.Progress());
    Lap(ConversionStage::Progress);
    return kind;
}

bool Conversion::CancelRequested() {
    const bool cancel = ui_.CheckCancel();
    Lap(ConversionStage::Progress);
    return cancel;
}

// The header comment that says where ANTENNA: DELTA H/E/N came from when the
// person gave any of them; empty otherwise.
std::string AntennaComment(const ConversionRequest& r) {
    const bool offsets = r.antennaEast || r.antennaNorth;
    if (r.antennaHeight) return offsets ? "ANTENNA DELTA H/E/N AS ENTERED, RECORDED HEIGHT NOT USED"
                                        : "ANTENNA DELTA H AS ENTERED, RECORDED HEIGHT NOT USED";
    return offsets ? "ANTENNA DELTA H RECORDED, DELTA E/N AS ENTERED" : "";
}

// Reads the whole source once: counts, chooses the raw-data kind, fills the header's
// type mask, first and last time and interval, the ephemeris store and the kept
// ionosphere/UTC record. False when the conversion ends here.
bool Conversion::ReadPass() {
    ui_.SetStatus(std::string(LoadString(kStrReading)));
    ui_.SetPosition(0);
    SourceReader source;
    if (!source.Open(request_)) {
        source.Close();
        return Fail(ConversionOutcome::SourceUnreadable, kStrCannotOpenSource, MessageIcon::Stop);
    }
    // The GPS week of the recording date (a day count); a date outside the 16-bit
    // week range gives week 0 rather than an undefined conversion.
    const double recordingWeek = request_.recordingDate / 7.0;
    uint16_t referenceWeek =
        recordingWeek >= 0.0 && recordingWeek < 65536.0 ? static_cast<uint16_t>(recordingWeek) : 0;
    ReadTally tally;
    EphemerisStore& store = state_.tracker.store;
    for (int kind = source.Next(); kind != kRecordEnd; kind = FetchNext(source)) {
        if (CancelRequested()) {
            source.Close();
            return Fail(ConversionOutcome::Cancelled, kStrCanceled, MessageIcon::Information);
        }
        switch (kind) {
            case kRecordSatelliteDated:
            case kRecordReceiverDated: {
                ObservationEpoch epoch;
                const uint16_t mask =
                    source.decoder->DecodeObservation(source.Record(), source.length, epoch, referenceWeek);
                Lap(ConversionStage::Decode);
                if (mask == 0) break;
                const GpsTime t = kind == kRecordSatelliteDated ? epoch.time.AddSeconds(request_.tx) : epoch.time;
                bool cn0 = false;
                for (const SatObservation& sat : epoch.sat) cn0 = cn0 || (sat.Present() && sat.cn0 > 0);
                (kind == kRecordSatelliteDated ? tally.satelliteDated : tally.receiverDated)
                    .Add(t, mask, EpochSelected(request_, t), cn0);
                break;
            }
            case kRecordEphemeris: {
                auto eph = std::make_unique<Ephemeris>();
                const int decoded =
                    source.decoder->DecodeEphemeris(source.Record(), source.length, *eph, referenceWeek);
                Lap(ConversionStage::Decode);
                if (decoded >= 0 && store.Add(eph)) ++tally.ephemerides;  // a refused ephemeris is freed here
                break;
            }
            case kRecordAntennaHeight: {
                SiteEvent event;
                if (source.decoder->DecodeAntennaHeight(source.Record(), source.length, event, referenceWeek) &&
                    PlausibleAntennaHeight(event.value) && tally.satelliteDated.count == 0 &&
                    tally.receiverDated.count == 0)
                    state_.header.SetAntennaHeight(event.value);
                Lap(ConversionStage::Decode);
                break;
            }
            case kRecordIonoUtc: {
                IonoUtc iono;
                if (source.decoder->DecodeIonoUtc(source.Record(), source.length, iono, referenceWeek)) {
                    state_.tracker.ionoUtc = iono;
                    ++tally.ionoUtcRecords;
                }
                Lap(ConversionStage::Decode);
                break;
            }
            default:
                break;
        }
        Lap(ConversionStage::Tally);
    }
    source.Close();
    return ChooseRawKind(tally);
}

// Chooses the raw-data kind (the person chooses when the source holds both) and
// fills the header from its statistics. False when the conversion ends here.
bool Conversion::ChooseRawKind(const ReadTally& tally) {
    RecordKind kind = tally.OnlyKind();
    if (tally.BothKinds()) {
        int choice = 1;  // receiver-dated, preselected
        if (!request_.silent && ui_.AskRawKind(choice) == Answer::Cancelled)
            return FailQuietly(ConversionOutcome::QuestionCancelled);
        kind = choice == 0 ? kRecordSatelliteDated : kRecordReceiverDated;
    }
    state_.tracker.rawKind = kind;
    int records = 0;
    int ephemerides = tally.ephemerides;
    if (kind != kRecordNone) {
        chosen_ = tally.Of(kind);
        records = chosen_.count;
        RinexObsHeader& h = state_.header;
        h.SetTypeMask(chosen_.typeMask);
        h.SetCn0Mask(chosen_.cn0 ? 1 : 0);
        // The header describes the epochs to be written.
        const bool any = chosen_.selected > 0;
        h.SetFirstTime(any ? chosen_.firstSelected : chosen_.first);
        h.SetLastTime(any ? chosen_.lastSelected : chosen_.last);
        h.SetInterval(request_.interval > 0 ? WrittenInterval(request_.interval, chosen_.Interval())
                                            : chosen_.Interval());
        EphemerisStore& store = state_.tracker.store;
        store.Prune(chosen_.first, chosen_.last, ephemerides);
        // With a time window the navigation file keeps what lies within 4 h of it.
        if (request_.from || request_.to)
            store.Prune(request_.from ? request_.from->AddSeconds(-7200.0) : chosen_.first,
                        request_.to ? request_.to->AddSeconds(7200.0) : chosen_.last, ephemerides);
    }
    Lap(ConversionStage::Tally);
    if (!tally.Sufficient(kind, ephemerides))
        return Fail(ConversionOutcome::InsufficientData, kStrInsufficientData, MessageIcon::Stop,
                    {std::to_string(records), std::to_string(ephemerides), std::to_string(tally.ionoUtcRecords)});
    return true;
}

// Keeps the solver's fix of the current epoch for the ".pos" file.
void Conversion::RecordFix() {
    const PositionSolver& solver = state_.solver;
    lastFix_.time = solver.Time();
    lastFix_.x = solver.Position().X();
    lastFix_.y = solver.Position().Y();
    lastFix_.z = solver.Position().Z();
    lastFix_.clock = solver.Clock();
    clockKnown_ = true;
    fixedThisEpoch_ = true;
    if (!result_.fixKnown) {
        result_.fixKnown = true;
        result_.fixX = lastFix_.x;
        result_.fixY = lastFix_.y;
        result_.fixZ = lastFix_.z;
    }
    ++result_.epochsPositioned;
}

// Takes the solver's last fix as the current position and clock offset.
void Conversion::TakeNewFix() {
    state_.position = state_.solver.Position();
    state_.clockOffset = state_.solver.Clock();
    state_.clockDrift = 0.0;
    state_.positionFixed = true;
    state_.positionApproximate = false;
    RecordFix();
    if (defaultHeaderPosition_ && !headerPositionKnown_) {
        headerPositionKnown_ = true;
        headerX_ = state_.position.X();
        headerY_ = state_.position.Y();
        headerZ_ = state_.position.Z();
    }
}

// Position and receiver clock offset (s) of the accepted current epoch: refined from
// the last fix, or the clock offset extrapolated with the drift (s/s) when that
// fails, for at most kMaxClockExtrapolation after the last fix; a first fix from
// the closed form while there is none or only an approximate position.
void Conversion::PositioningStep() {
    EpochTracker& tracker = state_.tracker;
    PositionSolver& solver = state_.solver;
    if (state_.positionFixed && !state_.positionApproximate) {
        const GpsTime oldTime = solver.Time();
        const double oldClock = solver.Clock();
        const double sinceFix = tracker.time.Difference(oldTime);
        if (solver.RefineFix(tracker)) {
            state_.position = solver.Position();
            state_.clockOffset = solver.Clock();
            const double span = solver.Time().Difference(oldTime);
            // A drift across a break longer than the extrapolation limit may hide a
            // clock reset: it starts again from this fix.
            if (span != 0.0) state_.clockDrift = span <= kMaxClockExtrapolation ? (state_.clockOffset - oldClock) / span : 0.0;
            RecordFix();
        } else if (clockKnown_ && sinceFix <= kMaxClockExtrapolation) {
            state_.clockOffset = sinceFix * state_.clockDrift + oldClock;
        } else {
            clockKnown_ = false;
        }
        return;
    }
    if (state_.positionFixed) {
        // Only an approximate position so far: refine from it, or start afresh from
        // the closed form when it is too far off for the refinement.
        solver.SetPosition(state_.position);
        if (solver.RefineFix(tracker)) {
            TakeNewFix();
            return;
        }
    }
    if (solver.InitialFix(tracker) && solver.RefineFix(tracker)) TakeNewFix();
}

// Hands observation text to its file; a failure ends the pass after the record.
void Conversion::WriteObservation(const std::string& text) {
    Lap(ConversionStage::Formatting);
    observation_.Write(text);
    Lap(ConversionStage::Writing);
}

// Writes the accepted current epoch when it is one of the selection: the header
// before the first one, due pending events, the observation record, its log lines
// and a pending kinematic record. An epoch left out keeps its losses of lock for
// the next written one, so that no cycle slip is hidden.
void Conversion::WriteEpoch() {
    RinexObsHeader& h = state_.header;
    const ObservationEpoch& current = state_.tracker.current;
    const ObservationEpoch& previous = state_.tracker.previous;
    RinexEpoch output =
        satelliteDated_ ? BuildSatelliteDated(current, previous, state_.clockOffset, request_.tx,
                                              request_.smoothedDopplers, previousOutput_, state_.phaseOffsets)
                        : BuildReceiverDated(current, previous, previousOutput_, state_.phaseOffsets);
    previousOutput_ = output;
    // The raw carrier-to-noise density of each satellite written (RINEX 3 S1C).
    for (int k = 0; k < kSatelliteCount; ++k)
        if (output.sat[k].mask != 0 && current.sat[k].cn0 > 0) output.sat[k].SetCn0(0, current.sat[k].cn0);
    Lap(ConversionStage::Extrapolation);
    if (!EpochSelected(request_, output.time)) {
        for (int k = 0; k < kSatelliteCount; ++k)
            for (const int phase : {kL1, kL2})
                if (output.sat[k].Has(phase) && (output.sat[k].lli[phase] & 1u)) carriedLossOfLock_[k][phase] = true;
        return;
    }
    for (int k = 0; k < kSatelliteCount; ++k)
        for (const int phase : {kL1, kL2})
            if (carriedLossOfLock_[k][phase] && output.sat[k].Has(phase)) {
                output.sat[k].SetLli(phase, output.sat[k].lli[phase] | 1);
                carriedLossOfLock_[k][phase] = false;
            }
    if (result_.epochsWritten == 0) {
        h.SetCreationDate(creationTime_);
        h.timeZone = request_.creationZone;
        h.SetFirstTime(output.time);
        h.SetApproxPosition(state_.position.X(), state_.position.Y(), state_.position.Z());
        h.SetComment(satelliteDated_ ? ExtrapolationComment(request_.tx, request_.smoothedDopplers) : "");
        const std::string text = writer_.obsHeader(h);
        const size_t label = text.find("APPROX POSITION XYZ");
        if (label != std::string::npos && label >= 60) {
            approxRecordOffset_ = observation_.Position() + static_cast<int64_t>(label - 60);
            const size_t end = text.find('\n', label);
            approxRecordLength_ = end == std::string::npos ? 0 : end + 1 - (label - 60);
        }
        WriteObservation(text);
    }
    while (!pendingEvents_.empty() && pendingEvents_.front().time <= output.time) {
        WriteObservation(writer_.event(pendingEvents_.front().time));
        pendingEvents_.pop_front();
    }
    WriteObservation(writer_.epoch(output, h));
    if (quality_) {
        quality_->AddEpoch(QualityEpochOf(output, current, fixedThisEpoch_, state_.position), state_.tracker.selected);
        Lap(ConversionStage::Other);
    }
    if (result_.epochsWritten == 0) result_.firstEpoch = output.time;
    result_.lastEpoch = output.time;
    for (int k = 0; k < kSatelliteCount; ++k)
        if (output.sat[k].mask != 0) result_.satellites |= 1u << k;
    lastWritten_ = output.time;
    ++result_.epochsWritten;
    const bool first = result_.epochsWritten == 1;
    if (logging_) {
        WriteLog(log_, LogLines(current, satelliteDated_ ? state_.clockOffset : 0.0, output, longLog_, first));
        WriteLog(pos_, PositionLine(lastFix_.time, lastFix_.x, lastFix_.y, lastFix_.z, lastFix_.clock, first));
        Lap(ConversionStage::Writing);
    }
    if (kinematicPending_) {
        WriteObservation(
            writer_.kinematic(h.markerName, state_.position.X(), state_.position.Y(), state_.position.Z()));
        kinematicPending_ = false;
    }
}

// Writes or keeps the record of a decoded site or time event met after the first
// written epoch.
void Conversion::HandleSiteEvent(const SiteEvent& event) {
    const GeoPosition& p = state_.position;
    switch (event.kind) {
        case kEventKinematic:
        case kEventKinematic6:
            WriteObservation(writer_.kinematic(state_.header.markerName, p.X(), p.Y(), p.Z()));
            break;
        case kEventNewSite:
        case kEventNewSite5:
            WriteObservation(writer_.newSite(event.markerName, p.X(), p.Y(), p.Z()));
            break;
        case kEventSiteOrTime:
            if (!event.markerName.empty()) {
                WriteObservation(writer_.newSite(event.markerName, p.X(), p.Y(), p.Z()));
                kinematicPending_ = true;
            } else if (event.time >= lastWritten_) {
                pendingEvents_.push_back(event);
            }
            break;
        default:
            break;
    }
}

// Closes the source and the log files of the observation pass (the observation
// file is closed by whoever checks it).
void Conversion::CloseObservationFiles() {
    source_.Close();
    if (logging_) {
        log_.Close();
        pos_.Close();
    }
}

// Reads the source again and writes the observation file (and the log files when
// asked). False when the conversion ends here.
bool Conversion::ObservationPass() {
    ui_.SetStatus(std::string(LoadString(kStrWritingObservation)));
    ui_.SetPosition(0);
    RinexObsHeader& h = state_.header;
    // A height the person gave stands for the whole file, over the recorded ones.
    if (request_.antennaHeight) h.SetAntennaHeight(*request_.antennaHeight);
    h.antennaDeltaE = request_.antennaEast.value_or(0.0);
    h.antennaDeltaN = request_.antennaNorth.value_or(0.0);
    h.antennaComment = AntennaComment(request_);
    antennaHeight_ = h.antennaDeltaH;
    satelliteDated_ = state_.tracker.rawKind == kRecordSatelliteDated;
    if (!source_.Open(request_)) {
        source_.Close();
        return Fail(ConversionOutcome::SourceUnreadable, kStrCannotOpenSource, MessageIcon::Stop);
    }
    if (!observation_.Open(request_.observationPath,
                           hooks_.newOutputFile ? hooks_.newOutputFile() : nullptr)) {
        source_.Close();
        return Fail(ConversionOutcome::ObservationNotCreated, kStrCannotCreateObservation, MessageIcon::Stop);
    }
    if (request_.logFile && log_.Open(request_.observationPath + ".log", CFile::modeWrite)) {
        if (pos_.Open(request_.observationPath + ".pos", CFile::modeWrite))
            logging_ = true;
        else
            log_.Close();
    }
    result_.logWritten = logging_;
    if (request_.quality) {
        QualityOptions options;
        options.interval = h.interval;
        quality_ = std::make_unique<QualityMonitor>(options);
    }
    uint16_t referenceWeek = h.firstTime.week;  // decoders may update it
    longLog_ = (h.typeMask >> kL2) & 1u;
    const int chosenKind = state_.tracker.rawKind;
    bool firstEpoch = true;
    for (int kind = source_.Next(); kind != kRecordEnd && !observation_.Failed(); kind = FetchNext(source_)) {
        if (CancelRequested()) {
            CloseObservationFiles();
            observation_.Close();
            return Fail(ConversionOutcome::Cancelled, kStrCanceled, MessageIcon::Information);
        }
        if (kind == chosenKind) {
            ObservationEpoch epoch;
            const uint16_t mask =
                source_.decoder->DecodeObservation(source_.Record(), source_.length, epoch, referenceWeek);
            Lap(ConversionStage::Decode);
            if (mask == 0) continue;
            if (firstEpoch) {
                state_.tracker.Start(epoch);
                firstEpoch = false;
                continue;
            }
            if (!state_.tracker.Advance(epoch)) continue;
            fixedThisEpoch_ = false;
            PositioningStep();
            Lap(ConversionStage::Positioning);
            // Satellite-dated epochs need the receiver clock offset; receiver-dated
            // ones are written with any position, the asked one before the first fix.
            bool write = state_.positionFixed && (clockKnown_ || !satelliteDated_);
            if (!state_.positionFixed && !satelliteDated_) {
                ApproximatePosition answer;  // latitude 0, longitude 0, height 0
                const Answer who = request_.silent ? Answer::Default : ui_.AskPosition(answer);
                if (who == Answer::Cancelled) {
                    // As Cancel on the progress window, and no half-written file.
                    CloseObservationFiles();
                    observation_.Discard();
                    return Fail(ConversionOutcome::Cancelled, kStrCanceled, MessageIcon::Information);
                }
                state_.position.SetGeodetic(answer.latitude, answer.longitude, answer.height);
                state_.positionFixed = true;
                state_.positionApproximate = true;
                defaultHeaderPosition_ = who == Answer::Default && result_.epochsWritten == 0;
                write = true;
            }
            if (write) WriteEpoch();
        } else if (kind == kRecordSiteEvent && result_.epochsWritten > 0) {
            SiteEvent event;  // a fresh record for every event
            if (source_.decoder->DecodeSiteEvent(source_.Record(), source_.length, event, referenceWeek) &&
                !PastWindow(event.time))
                HandleSiteEvent(event);
        } else if (kind == kRecordAntennaHeight && !request_.antennaHeight &&
                   (result_.epochsWritten > 0 || Selecting())) {
            SiteEvent event;
            if (source_.decoder->DecodeAntennaHeight(source_.Record(), source_.length, event, referenceWeek) &&
                PlausibleAntennaHeight(event.value) && !PastWindow(event.time) &&
                std::fabs(event.value - antennaHeight_) > kAntennaHeightTolerance) {
                // A height set in the epochs left out before the first written one is the header's.
                if (result_.epochsWritten > 0)
                    WriteObservation(writer_.antennaHeight(event.value));
                else
                    h.SetAntennaHeight(event.value);
                antennaHeight_ = event.value;
            }
        }
    }
    return EndObservationPass();
}

// The end of the observation pass: pending events, the header position put right,
// the file closed and checked. False when the conversion ends here.
bool Conversion::EndObservationPass() {
    RinexObsHeader& h = state_.header;
    for (const SiteEvent& event : pendingEvents_) WriteObservation(writer_.event(event.time));
    pendingEvents_.clear();
    if (defaultHeaderPosition_ && headerPositionKnown_ && approxRecordOffset_ >= 0) {
        // The header went out with the default position: put the first fix in its place.
        const std::string record = ApproxPositionRecord(headerX_, headerY_, headerZ_);
        if (record.size() == approxRecordLength_ && observation_.Seek(approxRecordOffset_)) {
            WriteObservation(record);
            h.SetApproxPosition(headerX_, headerY_, headerZ_);
        }
    }
    CloseObservationFiles();
    const bool closed = observation_.Close();
    Lap(ConversionStage::Writing);
    if (!closed) return FailWrite(observation_);
    if (result_.epochsWritten == 0) {
        // Nothing was written: no empty file is left to pass for an observation file
        // (nor its empty log files).
        observation_.Discard();
        if (logging_) {
            RemoveFile(request_.observationPath + ".log");
            RemoveFile(request_.observationPath + ".pos");
            result_.logWritten = false;
        }
        return Fail(ConversionOutcome::NoEpochWritten, kStrNoEpochWritten, MessageIcon::Stop,
                    {std::to_string(chosen_.count), std::to_string(result_.epochsPositioned)});
    }
    result_.headerPositionKnown = !defaultHeaderPosition_ || headerPositionKnown_;
    result_.headerX = h.approxX;
    result_.headerY = h.approxY;
    result_.headerZ = h.approxZ;
    if (quality_) WriteQualityReport();
    return true;
}

// Keeps the quality statistics in the result and writes their report beside the
// observation file (like the log files, a report that cannot be written does not
// stop the conversion; the result says whether it was written).
void Conversion::WriteQualityReport() {
    result_.quality = quality_->Summary();
    result_.qualitySeries = quality_->Series();
    const std::string& obs = request_.observationPath;
    const size_t slash = obs.find_last_of('/');
    const std::string text = QualityReportText(*result_.quality, slash == std::string::npos ? obs : obs.substr(slash + 1));
    CFile report;
    result_.qualityWritten = report.Open(obs + ".qc", CFile::modeWrite) && report.Write(text.data(), text.size());
    result_.qualityWritten = report.Close() && result_.qualityWritten;
}

// Writes the navigation file from the kept ionosphere/UTC record and the stored
// ephemerides. False when the conversion ends here.
bool Conversion::NavigationPass() {
    ui_.SetStatus(std::string(LoadString(kStrWritingNavigation)));
    ui_.SetPosition(0);
    OutputFile navigation;
    if (!navigation.Open(request_.navigationPath, hooks_.newOutputFile ? hooks_.newOutputFile() : nullptr))
        return Fail(ConversionOutcome::NavigationNotCreated, kStrCannotCreateNavigation, MessageIcon::Stop);
    RinexNavHeader header = MakeNavHeader(state_.tracker.ionoUtc, creationTime_);
    header.timeZone = request_.creationZone;
    navigation.Write(writer_.navHeader(header));
    const EphemerisStore& store = state_.tracker.store;
    const int count = store.Count();
    int i = 0;
    for (const Ephemeris* eph = store.First(); eph && !navigation.Failed(); eph = store.Next(*eph)) {
        if (CancelRequested()) {
            navigation.Close();
            return Fail(ConversionOutcome::Cancelled, kStrCanceled, MessageIcon::Information);
        }
        const std::string text = writer_.navRecord(*eph);
        Lap(ConversionStage::Formatting);
        navigation.Write(text);
        Lap(ConversionStage::Writing);
        ++i;
        ++result_.ephemeridesWritten;
        ui_.SetPosition(static_cast<unsigned>((static_cast<unsigned>(i) * 100u) / static_cast<unsigned>(count)));
    }
    const bool closed = navigation.Close();
    Lap(ConversionStage::Writing);
    if (!closed) return FailWrite(navigation);
    return true;
}

}  // namespace

ConversionResult RunConversion(const ConversionRequest& request, ConversionState& state, ConversionUi& ui,
                               const ConversionHooks& hooks) {
    Conversion conversion(request, state, ui, hooks);
    return conversion.Run();
}
