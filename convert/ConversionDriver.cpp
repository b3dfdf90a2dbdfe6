#include "convert/ConversionDriver.h"

#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "convert/LogFile.h"
#include "convert/OutputFile.h"
#include "convert/OutputSet.h"
#include "convert/QualityFeed.h"
#include "convert/ReadTally.h"
#include "convert/ReceptionTime.h"
#include "convert/SourceCheck.h"
#include "convert/SourceReader.h"
#include "convert/StagedOutputs.h"
#include "convert/StringTable.h"
#include "convert/rinex/RinexNav.h"
#include "convert/rinex/RinexObsRecord.h"
#include "convert/rinex/RinexWriter.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/StopSignal.h"
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
    bool OpenOutput(OutputFile& file, const std::string& path, bool last = false);
    bool Publish();
    bool OpenSource(SourceReader& source);
    bool SourceIntact(SourceReader& source);
    bool ReadPass();
    void ReadNavigationRecord(CDecodeGpsData& decoder, int kind, uint8_t* record, int length, uint16_t& week,
                              ReadTally& tally);
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
    bool WriteQualityReport();
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
    // Ends the run because path cannot be written whole (reason: the system's);
    // nothing of the run is published, so no cut-short file is left behind.
    bool FailWrite(const std::string& path, const std::string& reason) {
        result_.failedPath = path;
        result_.failureReason = reason;
        return Fail(ConversionOutcome::WriteFailed, kStrWriteFailed, MessageIcon::Stop, {path, reason});
    }
    bool FailWrite(OutputFile& file) {
        file.Discard();
        return FailWrite(file.Path(), ErrorText(file.Error()));
    }

    const ConversionRequest& request_;
    ConversionState& state_;
    ConversionUi& ui_;
    const ConversionHooks& hooks_;
    const RinexWriter& writer_;  // the RINEX version's text of every header and record
    ConversionResult result_;
    StagedOutputs staged_;  // every output, published only when all are whole
    SourceStamps sources_;  // the sources as the read pass found them
    CalendarTime creationTime_;
    KindStatistics chosen_;  // read-pass statistics of the chosen kind

    // Observation pass.
    SourceReader source_;
    OutputFile observation_;
    OutputFile log_;
    OutputFile pos_;
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
    if (CheckPaths() && ReadPass() && ObservationPass() && NavigationPass() && Publish()) {
        result_.success = true;
        result_.outcome = ConversionOutcome::Success;
        result_.messageId = kStrConverted;
        if (!request_.silent) ui_.ShowMessage(kStrConverted, MessageIcon::Information, {request_.sourcePath});
    }
    Lap(ConversionStage::Other);
    return result_;
}

// Refuses outputs that would overwrite a source or each other, or whose path holds
// a link or anything but a regular file, before anything is opened for writing.
bool Conversion::CheckPaths() {
    const OutputSet set = OutputSetOf(request_);
    const std::optional<OutputRefusal> refusal = CheckOutputSet(set);
    if (refusal && refusal->clash) return Fail(ConversionOutcome::SameFile, kStrFilesMustDiffer, MessageIcon::Stop);
    if (refusal) return FailWrite(refusal->output.path, refusal->reason);
    // No other run writes these outputs while this one runs.
    std::vector<std::string> paths;
    for (const PlannedOutput& output : set.outputs) paths.push_back(output.path);
    std::string path, reason;
    return staged_.Lock(paths, path, reason) || FailWrite(path, reason);
}

// Opens file to write the output path under a temporary name beside it; false
// with the result's failed path and reason set when it cannot be created.
bool Conversion::OpenOutput(OutputFile& file, const std::string& path, bool last) {
    int error = 0;
    const std::string temp = staged_.Stage(path, error, last);
    if (!temp.empty() && file.Open(path, hooks_.newOutputFile ? hooks_.newOutputFile(path) : nullptr, temp))
        return true;
    result_.failedPath = path;
    result_.failureReason = ErrorText(temp.empty() ? error : file.Error());
    return false;
}

// Puts every output in place of the files of before, the observation file last.
bool Conversion::Publish() {
    std::string path;
    int error = 0;
    if (!staged_.Publish(path, error)) return FailWrite(path, ErrorText(error));
    result_.logWritten = logging_;
    result_.qualityWritten = quality_ != nullptr;
    return true;
}

// Opens source for a pass; false (the run failed) when it cannot be opened.
bool Conversion::OpenSource(SourceReader& source) {
    if (source.Open(request_, hooks_.newSourceFile ? hooks_.newSourceFile(request_.formatIndex) : nullptr))
        return true;
    source.Close();
    return Fail(ConversionOutcome::SourceUnreadable, kStrCannotOpenSource, MessageIcon::Stop);
}

// False (the run failed, naming the file and the reason) when a pass over source
// met a read error or a source changed since the read pass began.
bool Conversion::SourceIntact(SourceReader& source) {
    std::string path, reason;
    if (source.file && source.file->Error() != 0) {
        path = source.file->GetFilePath();
        reason = ErrorText(source.file->Error());
    } else if (SourcesUnchanged(sources_, path, reason)) {
        return true;
    }
    result_.failedPath = path;
    result_.failureReason = reason;
    return Fail(ConversionOutcome::SourceUnreadable, kStrReadFailed, MessageIcon::Stop, {path, reason});
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
    const bool cancel = ui_.CheckCancel() || StopSignalReceived() != 0;
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
    std::string path, reason;
    if (!StampSources(request_, sources_, path, reason) && KindOfPath(path) != PathKind::Missing) {
        result_.failedPath = path;
        result_.failureReason = reason;
        return Fail(ConversionOutcome::SourceUnreadable, kStrReadFailed, MessageIcon::Stop, {path, reason});
    }
    SourceReader source;
    if (!OpenSource(source)) return false;
    // The GPS week of the recording date (a day count); a date outside the 16-bit
    // week range gives week 0 rather than an undefined conversion.
    const double recordingWeek = request_.recordingDate / 7.0;
    const uint16_t recordedWeek =
        recordingWeek >= 0.0 && recordingWeek < 65536.0 ? static_cast<uint16_t>(recordingWeek) : 0;
    uint16_t referenceWeek = recordedWeek;  // the observations' full week from the first one on
    result_.recordedWeek = recordedWeek;
    ReadTally tally;
    // Ephemerides and iono/UTC records before the first observation wait for the
    // full GPS week it carries (their own weeks are truncated).
    struct EarlyRecord {
        int kind;
        int length;
        std::vector<uint8_t> bytes;  // the record and a closing zero byte
    };
    const auto earlyBytes = [](const SourceReader& r) {
        std::vector<uint8_t> bytes(r.buffer.begin(), r.buffer.begin() + r.length);
        bytes.push_back(0);
        return bytes;
    };
    std::vector<EarlyRecord> early;
    bool observed = false;
    const auto readEarly = [&] {
        for (EarlyRecord& r : early)
            ReadNavigationRecord(*source.decoder, r.kind, r.bytes.data(), r.length, referenceWeek, tally);
        early.clear();
    };
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
                if (!observed) {
                    observed = true;
                    readEarly();
                    if (referenceWeek != recordedWeek) result_.dataWeek = referenceWeek;
                }
                const GpsTime t = kind == kRecordSatelliteDated ? epoch.time.AddSeconds(request_.tx) : epoch.time;
                bool cn0 = false;
                for (const SatObservation& sat : epoch.sat) cn0 = cn0 || (sat.Present() && sat.cn0 > 0);
                (kind == kRecordSatelliteDated ? tally.satelliteDated : tally.receiverDated)
                    .Add(t, mask, EpochSelected(request_, t), cn0);
                break;
            }
            case kRecordEphemeris:
            case kRecordIonoUtc:
                if (observed)
                    ReadNavigationRecord(*source.decoder, kind, source.Record(), source.length, referenceWeek, tally);
                else
                    early.push_back({kind, source.length, earlyBytes(source)});
                break;
            case kRecordAntennaHeight: {
                SiteEvent event;
                if (source.decoder->DecodeAntennaHeight(source.Record(), source.length, event, referenceWeek) &&
                    PlausibleAntennaHeight(event.value) && tally.satelliteDated.count == 0 &&
                    tally.receiverDated.count == 0)
                    state_.header.SetAntennaHeight(event.value);
                Lap(ConversionStage::Decode);
                break;
            }
            default:
                break;
        }
        Lap(ConversionStage::Tally);
    }
    readEarly();  // no observation carried a week: the recording date's
    const bool intact = SourceIntact(source);
    source.Close();
    return intact && ChooseRawKind(tally);
}

// Decodes an ephemeris (into the store) or an iono/UTC record (kept) of the read
// pass, its truncated week completed from week.
void Conversion::ReadNavigationRecord(CDecodeGpsData& decoder, int kind, uint8_t* record, int length,
                                      uint16_t& week, ReadTally& tally) {
    if (kind == kRecordEphemeris) {
        auto eph = std::make_unique<Ephemeris>();
        const int decoded = decoder.DecodeEphemeris(record, length, *eph, week);
        Lap(ConversionStage::Decode);
        if (decoded >= 0 && state_.tracker.store.Add(eph)) ++tally.ephemerides;  // a refused ephemeris is freed here
        return;
    }
    IonoUtc iono;
    if (decoder.DecodeIonoUtc(record, length, iono, week)) {
        state_.tracker.ionoUtc = iono;
        ++tally.ionoUtcRecords;
    }
    Lap(ConversionStage::Decode);
}

// Chooses the raw-data kind (the person chooses when the source holds both) and
// fills the header from its statistics. False when the conversion ends here.
bool Conversion::ChooseRawKind(const ReadTally& tally) {
    RecordKind kind = tally.OnlyKind();
    if (tally.BothKinds()) {
        kind = kRecordReceiverDated;  // preselected
        if (!request_.silent && ui_.AskRawKind(kind) == Answer::Cancelled)
            return FailQuietly(ConversionOutcome::QuestionCancelled);
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
        log_.Write(LogLines(current, satelliteDated_ ? state_.clockOffset : 0.0, output, longLog_, first));
        pos_.Write(PositionLine(lastFix_.time, lastFix_.x, lastFix_.y, lastFix_.z, lastFix_.clock, first));
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
// file is closed by whoever checks it; the log files' failures are kept in them).
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
    if (!OpenSource(source_)) return false;
    if (!OpenOutput(observation_, request_.observationPath, true)) {
        source_.Close();
        return Fail(ConversionOutcome::ObservationNotCreated, kStrCannotCreateObservation, MessageIcon::Stop);
    }
    // Log files asked for are outputs like the others: one that cannot be written fails the run.
    logging_ = request_.logFile;
    for (OutputFile* file : {&log_, &pos_})
        if (logging_ && !OpenOutput(*file, request_.observationPath + (file == &log_ ? ".log" : ".pos"))) {
            CloseObservationFiles();
            return FailWrite(result_.failedPath, result_.failureReason);
        }
    if (request_.quality) {
        QualityOptions options;
        options.interval = h.interval;
        quality_ = std::make_unique<QualityMonitor>(options);
    }
    uint16_t referenceWeek = h.firstTime.week;  // decoders may update it
    longLog_ = (h.typeMask >> kL2) & 1u;
    const int chosenKind = state_.tracker.rawKind;
    bool firstEpoch = true;
    for (int kind = source_.Next(); kind != kRecordEnd && !observation_.Failed() && !log_.Failed() && !pos_.Failed();
         kind = FetchNext(source_)) {
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
    if (!SourceIntact(source_)) {
        CloseObservationFiles();
        return false;
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
    for (OutputFile* file : {&log_, &pos_})
        if (file->Failed()) return FailWrite(*file);
    if (result_.epochsWritten == 0) {
        // Nothing was written: nothing is published to pass for an observation file.
        return Fail(ConversionOutcome::NoEpochWritten, kStrNoEpochWritten, MessageIcon::Stop,
                    {std::to_string(chosen_.count), std::to_string(result_.epochsPositioned)});
    }
    result_.headerPositionKnown = !defaultHeaderPosition_ || headerPositionKnown_;
    result_.headerX = h.approxX;
    result_.headerY = h.approxY;
    result_.headerZ = h.approxZ;
    return !quality_ || WriteQualityReport();
}

// Keeps the quality statistics in the result and writes their report beside the
// observation file; false (the run failed) when it cannot be written.
bool Conversion::WriteQualityReport() {
    result_.quality = quality_->Summary();
    result_.qualitySeries = quality_->Series();
    const std::string& obs = request_.observationPath;
    const size_t slash = obs.find_last_of('/');
    const std::string text = QualityReportText(*result_.quality, slash == std::string::npos ? obs : obs.substr(slash + 1));
    OutputFile report;
    if (!OpenOutput(report, obs + ".qc")) return FailWrite(result_.failedPath, result_.failureReason);
    report.Write(text);
    return report.Close() || FailWrite(report);
}

// Writes the navigation file from the kept ionosphere/UTC record and the stored
// ephemerides. False when the conversion ends here.
bool Conversion::NavigationPass() {
    ui_.SetStatus(std::string(LoadString(kStrWritingNavigation)));
    ui_.SetPosition(0);
    OutputFile navigation;
    if (!OpenOutput(navigation, request_.navigationPath))
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
