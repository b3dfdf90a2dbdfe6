#include <optional>
#include <string>

#include "convert/Conversion.h"
#include "convert/LogFile.h"
#include "convert/QualityFeed.h"
#include "convert/ReceiverClock.h"
#include "convert/ReceptionTime.h"

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
// the last fix, or the clock offset carried by its drift (s/s) when that fails (see
// ReceiverClock.h); a first fix from the closed form while there is none or only an
// approximate position.
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
            state_.clockDrift = DriftBetweenFixes(oldClock, state_.clockOffset, solver.Time().Difference(oldTime),
                                                  state_.clockDrift);
            RecordFix();
            return;
        }
        const std::optional<double> carried =
            clockKnown_ ? CarriedClockOffset(oldClock, state_.clockDrift, sinceFix) : std::nullopt;
        if (carried)
            state_.clockOffset = *carried;
        else
            clockKnown_ = false;
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
    stage_->Text(text);
}

// Writes the accepted current epoch when it is one of the selection: the header
// before the first one, due pending events, the observation record, its log lines
// and a pending kinematic record.
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
    if (!CarryLossOfLock(output)) return;
    if (result_.epochsWritten == 0) WriteFirstHeader(output);
    while (!pendingEvents_.empty() && pendingEvents_.front().time <= output.time) {
        WriteObservation(writer_.event(pendingEvents_.front().time));
        pendingEvents_.pop_front();
    }
    stage_->Epoch(output);
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

// An epoch left out of the selection keeps its losses of lock for the next written
// one, so that no cycle slip is hidden: false for such an epoch; a written one
// takes the losses carried to it.
bool Conversion::CarryLossOfLock(RinexEpoch& output) {
    if (!EpochSelected(request_, output.time)) {
        for (int k = 0; k < kSatelliteCount; ++k)
            for (const int phase : {kL1, kL2})
                if (output.sat[k].Has(phase) && (output.sat[k].lli[phase] & 1u)) carriedLossOfLock_[k][phase] = true;
        return false;
    }
    for (int k = 0; k < kSatelliteCount; ++k)
        for (const int phase : {kL1, kL2})
            if (carriedLossOfLock_[k][phase] && output.sat[k].Has(phase)) {
                output.sat[k].SetLli(phase, output.sat[k].lli[phase] | 1);
                carriedLossOfLock_[k][phase] = false;
            }
    return true;
}

// The observation header, before the first written epoch: its creation date, first
// time, position and extrapolation comment; where its position record lies, for a
// later fix to be put in its place.
void Conversion::WriteFirstHeader(const RinexEpoch& output) {
    RinexObsHeader& h = state_.header;
    h.SetCreationDate(creationTime_);
    h.timeZone = request_.creationZone;
    h.SetFirstTime(output.time);
    h.SetApproxPosition(state_.position.X(), state_.position.Y(), state_.position.Z());
    h.SetComment(satelliteDated_ ? ExtrapolationComment(request_.tx, request_.smoothedDopplers) : "");
    const std::string text = writer_.obsHeader(h);
    if (const std::optional<HeaderRecordPlace> place = ApproxPositionPlace(text)) {
        approxRecord_ = *place;
        approxRecordOffset_ = static_cast<int64_t>(place->offset);
    }
    Lap(ConversionStage::Formatting);
    stage_->Header(text, h);
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
