#pragma once
// One conversion in progress, shared by the files of its passes (the driver, the
// read pass, the observation pass and its epochs, the navigation pass). Only the
// driver's files include this.
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "convert/ConversionDriver.h"
#include "convert/HeaderPosition.h"
#include "convert/ObservationStage.h"
#include "convert/OutputFile.h"
#include "convert/ReadTally.h"
#include "convert/SourceCheck.h"
#include "convert/SourceReader.h"
#include "convert/StagedOutputs.h"
#include "convert/StringTable.h"
#include "convert/rinex/RinexObsRecord.h"
#include "convert/rinex/RinexWriter.h"
#include "quality/QualityMonitor.h"
#include "rawdata/SiteEvent.h"

struct ReadRecords;

// A recorded antenna height that differs from the current one by more (m) is a new one.
inline constexpr double kAntennaHeightTolerance = 0.00005;

// True for an antenna height (m) that its RINEX field (F14.4) can hold; a binary
// record carries any double, and a larger value is no height but a damaged record.
inline bool PlausibleAntennaHeight(double height) { return std::fabs(height) < 1e8; }

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
    bool OpenOutput(OutputFile& file, const std::string& path, bool last = false, const OutputEncoding& encoding = {});
    // How the RINEX outputs are written: gzipped when asked, the observation file
    // (observation true) as Compact RINEX when asked.
    OutputEncoding RinexEncoding(bool observation) const;
    bool Publish();
    bool OpenSource(SourceReader& source);
    bool SourceIntact(SourceReader& source);
    bool ReadPass();
    void ReadRecord(int kind, SourceReader& source, ReadRecords& read);
    void ReadEarlyRecords(CDecodeGpsData& decoder, ReadRecords& read);
    void ReadNavigationRecord(CDecodeGpsData& decoder, int kind, uint8_t* record, int length, ReadRecords& read);
    bool ChooseRawKind(const ReadTally& tally);
    bool ObservationPass();
    bool StartObservationPass();
    // True when the observation file is formatted and written on a thread of its own.
    bool FormattingThread() const;
    bool TakeEpoch(const ObservationEpoch& epoch);
    void TakeAntennaHeight(const SiteEvent& event);
    bool NavigationPass();

    int FetchNext(SourceReader& source);
    bool CancelRequested();
    void PositioningStep();
    void TakeNewFix();
    void RecordFix();
    void WriteEpoch();
    void WriteFirstHeader(const RinexEpoch& output);
    bool CarryLossOfLock(RinexEpoch& output);
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
    // Ends the run as cancelled (by the person, or a stop signal).
    bool FailCancelled() { return Fail(ConversionOutcome::Cancelled, kStrCanceled, MessageIcon::Information); }
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
    // Formats and writes the observation file while the pass runs (ended before the
    // file is patched, closed or discarded; declared after it, so gone before it).
    std::unique_ptr<ObservationStage> stage_;
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
    int64_t approxRecordOffset_ = -1;     // offset of APPROX POSITION XYZ in the header
    HeaderRecordPlace approxRecord_;      // its place in the header text
};
