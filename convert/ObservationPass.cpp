#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "convert/Conversion.h"
#include "convert/QualityFeed.h"
#include "quality/QualityReport.h"
#include "rawdata/RecordKind.h"

namespace {

// The header comment that says where ANTENNA: DELTA H/E/N came from when the
// person gave any of them; empty otherwise.
std::string AntennaComment(const ConversionRequest& r) {
    const bool offsets = r.antennaEast || r.antennaNorth;
    if (r.antennaHeight) return offsets ? "ANTENNA DELTA H/E/N AS ENTERED, RECORDED HEIGHT NOT USED"
                                        : "ANTENNA DELTA H AS ENTERED, RECORDED HEIGHT NOT USED";
    return offsets ? "ANTENNA DELTA H RECORDED, DELTA E/N AS ENTERED" : "";
}

}  // namespace

// Closes the source and the log files of the observation pass (the observation
// file is closed by whoever checks it; the log files' failures are kept in them).
void Conversion::CloseObservationFiles() {
    if (stage_) stage_->Abandon();
    source_.Close();
    if (logging_) {
        log_.Close();
        pos_.Close();
    }
}

// Reads the source again and writes the observation file (and the log files when
// asked). False when the conversion ends here.
bool Conversion::ObservationPass() {
    if (!StartObservationPass()) return false;
    previousOutput_ = request_.continuation ? state_.lastOutput : RinexEpoch();
    RinexObsHeader& h = state_.header;
    uint16_t referenceWeek = h.firstTime.week;  // decoders may update it
    const int chosenKind = state_.tracker.rawKind;
    bool firstEpoch = true;
    for (int kind = source_.Next(); kind != kRecordEnd && !stage_->Failed() && !log_.Failed() && !pos_.Failed();
         kind = FetchNext(source_)) {
        if (CancelRequested()) {
            CloseObservationFiles();
            observation_.Close();
            return FailCancelled();
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
            if (!TakeEpoch(epoch)) return false;
        } else if (kind == kRecordSiteEvent && result_.epochsWritten > 0) {
            SiteEvent event;  // a fresh record for every event
            if (source_.decoder->DecodeSiteEvent(source_.Record(), source_.length, event, referenceWeek) &&
                !PastWindow(event.time))
                HandleSiteEvent(event);
        } else if (kind == kRecordAntennaHeight && !request_.antennaHeight &&
                   (result_.epochsWritten > 0 || Selecting())) {
            SiteEvent event;
            if (source_.decoder->DecodeAntennaHeight(source_.Record(), source_.length, event, referenceWeek))
                TakeAntennaHeight(event);
        }
    }
    if (!SourceIntact(source_)) {
        CloseObservationFiles();
        return false;
    }
    state_.lastOutput = previousOutput_;
    return EndObservationPass();
}

bool Conversion::FormattingThread() const {
#ifdef __EMSCRIPTEN__
    return false;  // the browser edition runs on one thread
#else
    // The stage profile times each piece of work on one thread.
    return request_.formattingThread && !hooks_.stages && std::thread::hardware_concurrency() > 1;
#endif
}

// The start of the observation pass: the antenna in the header, the source and the
// outputs opened, the quality statistics started. False when the conversion ends here.
bool Conversion::StartObservationPass() {
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
    longLog_ = (h.typeMask >> kL2) & 1u;
    if (!OpenSource(source_)) return false;
    if (!OpenOutput(observation_, request_.observationPath, true, RinexEncoding(true))) {
        source_.Close();
        return Fail(ConversionOutcome::ObservationNotCreated, kStrCannotCreateObservation, MessageIcon::Stop);
    }
    stage_ = std::make_unique<ObservationStage>(observation_, writer_, FormattingThread(), hooks_.stages);
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
    return true;
}

// Positions an epoch the tracker accepts after the first and writes it when it may
// be: satellite-dated epochs need the receiver clock offset; receiver-dated ones
// are written with any position, the asked one before the first fix. False when
// the person cancelled the position question (the conversion ends here).
bool Conversion::TakeEpoch(const ObservationEpoch& epoch) {
    if (!state_.tracker.Advance(epoch)) return true;
    fixedThisEpoch_ = false;
    PositioningStep();
    Lap(ConversionStage::Positioning);
    bool write = state_.positionFixed && (clockKnown_ || !satelliteDated_);
    if (!state_.positionFixed && !satelliteDated_) {
        ApproximatePosition answer;  // latitude 0, longitude 0, height 0
        const Answer who = request_.silent ? Answer::Default : ui_.AskPosition(answer);
        if (who == Answer::Cancelled) {
            // As Cancel on the progress window, and no half-written file.
            CloseObservationFiles();
            observation_.Discard();
            return FailCancelled();
        }
        state_.position.SetGeodetic(answer.latitude, answer.longitude, answer.height);
        state_.positionFixed = true;
        state_.positionApproximate = true;
        defaultHeaderPosition_ = who == Answer::Default && result_.epochsWritten == 0;
        write = true;
    }
    if (write) WriteEpoch();
    return true;
}

// A recorded antenna height of the observation pass: a new height after the first
// written epoch is a record of its own; one set in the epochs left out before the
// first written one is the header's.
void Conversion::TakeAntennaHeight(const SiteEvent& event) {
    if (!PlausibleAntennaHeight(event.value) || PastWindow(event.time) ||
        !(std::fabs(event.value - antennaHeight_) > kAntennaHeightTolerance))
        return;
    if (result_.epochsWritten > 0)
        WriteObservation(writer_.antennaHeight(event.value));
    else
        state_.header.SetAntennaHeight(event.value);
    antennaHeight_ = event.value;
}

// The end of the observation pass: pending events, the header position put right,
// the file closed and checked. False when the conversion ends here.
bool Conversion::EndObservationPass() {
    RinexObsHeader& h = state_.header;
    for (const SiteEvent& event : pendingEvents_) WriteObservation(writer_.event(event.time));
    pendingEvents_.clear();
    stage_->Finish();
    if (defaultHeaderPosition_ && headerPositionKnown_ && approxRecordOffset_ >= 0) {
        // The header went out with the default position: put the first fix in its place.
        const std::optional<std::string> record = ApproxPositionPatch(approxRecord_, headerX_, headerY_, headerZ_);
        if (record && observation_.Patch(static_cast<size_t>(approxRecordOffset_), *record))
            h.SetApproxPosition(headerX_, headerY_, headerZ_);
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
