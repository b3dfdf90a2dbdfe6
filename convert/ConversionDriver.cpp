#include "convert/ConversionDriver.h"

#include <cmath>
#include <ctime>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "convert/LogFile.h"
#include "convert/ReceptionTime.h"
#include "convert/StringTable.h"
#include "convert/rinex/RinexNav.h"
#include "convert/rinex/RinexObsRecord.h"
#include "platform/File.h"
#include "rawdata/DataFile.h"
#include "rawdata/Decoder.h"
#include "rawdata/RecordKind.h"
#include "rawdata/SiteEvent.h"

void ConversionState::Reset(const ConversionRequest& request) {
    header.markerName = request.markerName;
    header.markerNumber = request.markerNumber;
    header.observer = request.observer;
    header.agency = request.agency;
    header.receiverNumber = request.receiverNumber;
    header.receiverType = request.receiverType;
    header.receiverVersion = request.receiverVersion;
    header.antennaNumber = request.antennaNumber;
    header.antennaType = request.antennaType;
    header.SetAntennaHeight(0.0);
    header.SetTypeMask(0);
    header.SetFirstTime(GpsTime());
    header.SetLastTime(GpsTime());
    header.SetInterval(0.0);
    header.SetComment("");
    tracker.rawKind = kRawKindNone;
    tracker.store.Clear();
    tracker.ionoUtc.Clear();  // a record of an earlier source must not reach this navigation file
    positionFixed = false;
    positionApproximate = false;
    solver.Reset(request.smoothedPseudoranges);
    clockOffset = 0.0;
    clockDrift = 0.0;
}

namespace {

constexpr double kAntennaHeightTolerance = 0.00005;  // m

// The local date and time now.
CalendarTime LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    CalendarTime c;
    c.year = tm.tm_year + 1900;
    c.month = tm.tm_mon + 1;
    c.day = tm.tm_mday;
    c.hour = tm.tm_hour;
    c.minute = tm.tm_min;
    c.second = tm.tm_sec;
    return c;
}

// Writes a whole text to an open file (write errors are not reported).
void WriteText(CFile& file, const std::string& text) {
    if (!text.empty()) file.Write(text.data(), text.size());
}

// True for an antenna height (m) that its RINEX field (F14.4) can hold; a binary
// record carries any double, and a larger value is no height but a damaged record.
bool PlausibleAntennaHeight(double height) { return std::fabs(height) < 1e8; }

// Progress in percent of a data file's logical position in a file of length bytes.
unsigned ProgressOf(const CDataFile& file, int64_t length) {
    const int64_t position = file.GetPosition();
    if (length <= 0 || position <= 0) return 0;
    return static_cast<unsigned>((static_cast<uint64_t>(position) * 100u) / static_cast<uint64_t>(length));
}

// The raw data file and decoder of one pass over the source.
struct SourceReader {
    std::unique_ptr<CDataFile> file;
    std::unique_ptr<CDecodeGpsData> decoder;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kRecordBufferSize + 1);
    int length = 0;
    int64_t fileLength = 0;  // bytes, taken once when the source is opened

    // Creates file and decoder for a format index and opens the source; false on failure.
    bool Open(const ConversionRequest& request) {
        file = CreateDataFile(request.formatIndex);
        decoder = CreateDecoder(request.formatIndex);
        if (!file || !decoder || !file->Open(request.sourcePath, CFile::modeRead)) return false;
        fileLength = file->GetLength();
        decoder->Reset();
        return true;
    }
    // The kind of the next record (kRecordEnd at the end of the data).
    int Next() {
        length = 0;
        const int kind = file->ReadRecord(buffer.data(), length);
        if (length < 0 || length > kRecordBufferSize) length = 0;
        return kind;
    }
    // The bytes of the record fetched last (length of them).
    uint8_t* Record() { return buffer.data(); }
    // Closes the source and drops file and decoder.
    void Close() {
        if (file) file->Close();
        file.reset();
        decoder.reset();
    }
};

// Epoch statistics of one raw-data kind in the read pass.
struct KindStatistics {
    int count = 0;
    GpsTime first;
    GpsTime last;
    uint16_t typeMask = 0;
    std::map<long long, int> spacings;  // epoch spacing in tenths of a second -> occurrences

    // Counts an epoch of time t with observation-type mask mask.
    void Add(const GpsTime& t, uint16_t mask) {
        if (count > 0) {
            const long long tenths = std::llround(t.Difference(last) * 10.0);
            if (tenths > 0) ++spacings[tenths];
        }
        if (count == 0) first = t;
        last = t;
        typeMask = static_cast<uint16_t>(typeMask | mask);
        ++count;
    }
    // The most frequent epoch spacing, s, rounded to a tenth (the shorter one of
    // equally frequent spacings); 0 when there is none. Gaps of missing epochs do
    // not change it.
    double Interval() const {
        long long best = 0;
        int bestCount = 0;
        for (const auto& [tenths, n] : spacings) {
            if (n > bestCount) {
                best = tenths;
                bestCount = n;
            }
        }
        return static_cast<double>(best) / 10.0;
    }
};

// One conversion in progress: the request, the state and the person.
class Conversion {
public:
    Conversion(const ConversionRequest& request, ConversionState& state, ConversionUi& ui)
        : request_(request), state_(state), ui_(ui) {}

    ConversionResult Run();

private:
    bool ReadPass();
    bool ObservationPass();
    bool NavigationPass();

    int FetchNext(SourceReader& source);
    void PositioningStep();
    void TakeNewFix();
    void WriteEpoch();
    void HandleSiteEvent(const SiteEvent& event);
    void CloseObservationFiles();

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

    const ConversionRequest& request_;
    ConversionState& state_;
    ConversionUi& ui_;
    ConversionResult result_;
    KindStatistics chosen_;  // read-pass statistics of the chosen kind

    // Observation pass.
    SourceReader source_;
    CFile observation_;
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
    bool defaultHeaderPosition_ = false;  // the header holds the silent default position
    bool headerPositionKnown_ = false;    // a real fix was taken for the header
    double headerX_ = 0, headerY_ = 0, headerZ_ = 0;
    int64_t approxRecordOffset_ = -1;     // file offset of APPROX POSITION XYZ
    size_t approxRecordLength_ = 0;
};

// The three passes, each only after the previous one succeeded, and the success message.
ConversionResult Conversion::Run() {
    state_.Reset(request_);
    if (ReadPass() && ObservationPass() && NavigationPass()) {
        result_.success = true;
        result_.outcome = ConversionOutcome::Success;
        result_.messageId = kStrConverted;
        if (!request_.silent) ui_.ShowMessage(kStrConverted, MessageIcon::Information, {request_.sourcePath});
    }
    return result_;
}

// The kind of the next record of a pass over the source, after which the progress
// shows the share of the source read so far.
int Conversion::FetchNext(SourceReader& source) {
    const int kind = source.Next();
    ui_.SetPosition(ProgressOf(*source.file, source.fileLength));
    return kind;
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
    KindStatistics satelliteDated, receiverDated;
    int ephemerides = 0;
    int ionoUtcRecords = 0;
    EphemerisStore& store = state_.tracker.store;
    for (int kind = source.Next(); kind != kRecordEnd; kind = FetchNext(source)) {
        if (ui_.CheckCancel()) {
            source.Close();
            return Fail(ConversionOutcome::Cancelled, kStrCanceled, MessageIcon::Information);
        }
        switch (kind) {
            case kRecordSatelliteDated:
            case kRecordReceiverDated: {
                ObservationEpoch epoch;
                const uint16_t mask =
                    source.decoder->DecodeObservation(source.Record(), source.length, epoch, referenceWeek);
                if (mask == 0) break;
                if (kind == kRecordSatelliteDated)
                    satelliteDated.Add(epoch.time.AddSeconds(request_.tx), mask);
                else
                    receiverDated.Add(epoch.time, mask);
                break;
            }
            case kRecordEphemeris: {
                auto eph = std::make_unique<Ephemeris>();
                if (source.decoder->DecodeEphemeris(source.Record(), source.length, *eph, referenceWeek) < 0)
                    break;
                if (store.Add(eph)) ++ephemerides;  // a refused ephemeris is freed here
                break;
            }
            case kRecordAntennaHeight: {
                SiteEvent event;
                if (source.decoder->DecodeAntennaHeight(source.Record(), source.length, event, referenceWeek) &&
                    PlausibleAntennaHeight(event.value) && satelliteDated.count == 0 && receiverDated.count == 0)
                    state_.header.SetAntennaHeight(event.value);
                break;
            }
            case kRecordIonoUtc: {
                IonoUtc iono;
                if (source.decoder->DecodeIonoUtc(source.Record(), source.length, iono, referenceWeek)) {
                    state_.tracker.ionoUtc = iono;
                    ++ionoUtcRecords;
                }
                break;
            }
            default:
                break;
        }
    }
    source.Close();

    int kind = kRawKindNone;
    if (satelliteDated.count > 0 && receiverDated.count > 0) {
        int choice = 1;  // receiver-dated, preselected
        if (!request_.silent && !ui_.AskRawKind(choice)) return FailQuietly(ConversionOutcome::QuestionCancelled);
        kind = choice == 0 ? kRawKindSatelliteDated : kRawKindReceiverDated;
    } else if (receiverDated.count > 0) {
        kind = kRawKindReceiverDated;
    } else if (satelliteDated.count > 0) {
        kind = kRawKindSatelliteDated;
    }
    state_.tracker.rawKind = kind;
    bool sufficient = false;
    int records = 0;
    if (kind != kRawKindNone) {
        chosen_ = kind == kRawKindSatelliteDated ? satelliteDated : receiverDated;
        records = chosen_.count;
        RinexObsHeader& h = state_.header;
        h.SetTypeMask(chosen_.typeMask);
        h.SetFirstTime(chosen_.first);
        h.SetLastTime(chosen_.last);
        h.SetInterval(chosen_.Interval());
        store.Prune(chosen_.first, chosen_.last, ephemerides);
        sufficient = kind == kRawKindReceiverDated || (ionoUtcRecords >= 1 && ephemerides >= 4);
    }
    if (!sufficient)
        return Fail(ConversionOutcome::InsufficientData, kStrInsufficientData, MessageIcon::Stop,
                    {std::to_string(records), std::to_string(ephemerides), std::to_string(ionoUtcRecords)});
    return true;
}

// Takes the solver's last fix as the current position and clock offset.
void Conversion::TakeNewFix() {
    state_.position = state_.solver.Position();
    state_.clockOffset = state_.solver.Clock();
    state_.clockDrift = 0.0;
    state_.positionFixed = true;
    state_.positionApproximate = false;
    ++result_.epochsPositioned;
    if (defaultHeaderPosition_ && !headerPositionKnown_) {
        headerPositionKnown_ = true;
        headerX_ = state_.position.X();
        headerY_ = state_.position.Y();
        headerZ_ = state_.position.Z();
    }
}

// Position and receiver clock offset (s) of the accepted current epoch: refined from
// the last fix, or the clock offset extrapolated with the drift (s/s) when that
// fails; a first fix from the closed form while there is none or only an
// approximate position.
void Conversion::PositioningStep() {
    EpochTracker& tracker = state_.tracker;
    PositionSolver& solver = state_.solver;
    if (state_.positionFixed && !state_.positionApproximate) {
        const GpsTime oldTime = solver.Time();
        const double oldClock = solver.Clock();
        if (solver.RefineFix(tracker)) {
            state_.position = solver.Position();
            state_.clockOffset = solver.Clock();
            const double span = solver.Time().Difference(oldTime);
            if (span != 0.0) state_.clockDrift = (state_.clockOffset - oldClock) / span;
            ++result_.epochsPositioned;
        } else {
            state_.clockOffset = tracker.time.Difference(oldTime) * state_.clockDrift + oldClock;
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

// Writes the accepted current epoch: the header before the first one, due pending
// events, the observation record, its log lines and a pending kinematic record.
void Conversion::WriteEpoch() {
    RinexObsHeader& h = state_.header;
    if (result_.epochsWritten == 0) {
        h.SetCreationDate(LocalNow());
        h.SetFirstTime(satelliteDated_ ? state_.tracker.time.AddSeconds(request_.tx) : state_.tracker.time);
        h.SetApproxPosition(state_.position.X(), state_.position.Y(), state_.position.Z());
        h.SetComment(satelliteDated_ ? ExtrapolationComment(request_.tx, request_.smoothedDopplers) : "");
        const std::string text = h.HeaderText();
        const size_t label = text.find("APPROX POSITION XYZ");
        if (label != std::string::npos && label >= 60) {
            approxRecordOffset_ = observation_.GetPosition() + static_cast<int64_t>(label - 60);
            const size_t end = text.find('\n', label);
            approxRecordLength_ = end == std::string::npos ? 0 : end + 1 - (label - 60);
        }
        WriteText(observation_, text);
    }
    const ObservationEpoch& current = state_.tracker.current;
    const ObservationEpoch& previous = state_.tracker.previous;
    const RinexEpoch output =
        satelliteDated_ ? BuildSatelliteDated(current, previous, state_.clockOffset, request_.tx,
                                              request_.smoothedDopplers, previousOutput_, state_.phaseOffsets)
                        : BuildReceiverDated(current, previous, previousOutput_, state_.phaseOffsets);
    previousOutput_ = output;
    while (!pendingEvents_.empty() && pendingEvents_.front().time <= output.time) {
        WriteText(observation_, EventRecord(pendingEvents_.front().time));
        pendingEvents_.pop_front();
    }
    WriteText(observation_, EpochText(output, h.typeMask));
    lastWritten_ = output.time;
    ++result_.epochsWritten;
    const bool first = result_.epochsWritten == 1;
    if (logging_) {
        WriteText(log_, LogLines(current, satelliteDated_ ? state_.clockOffset : 0.0, output, longLog_, first));
        const GeoPosition& p = state_.solver.Position();
        WriteText(pos_, PositionLine(state_.solver.Time(), p.X(), p.Y(), p.Z(), state_.solver.Clock(), first));
    }
    if (kinematicPending_) {
        WriteText(observation_,
                  KinematicRecord(h.markerName, state_.position.X(), state_.position.Y(), state_.position.Z()));
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
            WriteText(observation_, KinematicRecord(state_.header.markerName, p.X(), p.Y(), p.Z()));
            break;
        case kEventNewSite:
        case kEventNewSite5:
            WriteText(observation_, NewSiteRecord(event.markerName, p.X(), p.Y(), p.Z()));
            break;
        case kEventSiteOrTime:
            if (!event.markerName.empty()) {
                WriteText(observation_, NewSiteRecord(event.markerName, p.X(), p.Y(), p.Z()));
                kinematicPending_ = true;
            } else if (event.time >= lastWritten_) {
                pendingEvents_.push_back(event);
            }
            break;
        default:
            break;
    }
}

// Closes the source, the observation file and the log files of the observation pass.
void Conversion::CloseObservationFiles() {
    source_.Close();
    observation_.Close();
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
    antennaHeight_ = h.antennaDeltaH;
    satelliteDated_ = state_.tracker.rawKind == kRawKindSatelliteDated;
    if (!source_.Open(request_)) {
        source_.Close();
        return Fail(ConversionOutcome::SourceUnreadable, kStrCannotOpenSource, MessageIcon::Stop);
    }
    if (!observation_.Open(request_.observationPath, CFile::modeWrite)) {
        source_.Close();
        return Fail(ConversionOutcome::ObservationNotCreated, kStrCannotCreateObservation, MessageIcon::Stop);
    }
    if (request_.logFile && log_.Open(request_.observationPath + ".log", CFile::modeWrite)) {
        if (pos_.Open(request_.observationPath + ".pos", CFile::modeWrite))
            logging_ = true;
        else
            log_.Close();
    }
    uint16_t referenceWeek = h.firstTime.week;
    longLog_ = (h.typeMask >> kL2) & 1u;
    const int chosenKind = state_.tracker.rawKind;
    bool firstEpoch = true;
    for (int kind = source_.Next(); kind != kRecordEnd; kind = FetchNext(source_)) {
        if (ui_.CheckCancel()) {
            CloseObservationFiles();
            return Fail(ConversionOutcome::Cancelled, kStrCanceled, MessageIcon::Information);
        }
        if (kind == chosenKind) {
            ObservationEpoch epoch;
            if (source_.decoder->DecodeObservation(source_.Record(), source_.length, epoch, referenceWeek) != 0) {
                if (firstEpoch) {
                    state_.tracker.Start(epoch);
                    firstEpoch = false;
                } else if (state_.tracker.Advance(epoch)) {
                    PositioningStep();
                    bool write = state_.positionFixed;
                    if (!write && !satelliteDated_) {
                        ApproximatePosition answer;  // latitude 0, longitude 0, height 0
                        if (!request_.silent && !ui_.AskPosition(answer)) {
                            CloseObservationFiles();
                            return FailQuietly(ConversionOutcome::QuestionCancelled);
                        }
                        state_.position.SetGeodetic(answer.latitude, answer.longitude, answer.height);
                        state_.positionFixed = true;
                        state_.positionApproximate = true;
                        defaultHeaderPosition_ = request_.silent && result_.epochsWritten == 0;
                        write = true;
                    }
                    if (write) WriteEpoch();
                }
            }
        } else if (kind == kRecordSiteEvent && result_.epochsWritten > 0) {
            SiteEvent event;  // a fresh record for every event
            if (source_.decoder->DecodeSiteEvent(source_.Record(), source_.length, event, referenceWeek))
                HandleSiteEvent(event);
        } else if (kind == kRecordAntennaHeight && result_.epochsWritten > 0) {
            SiteEvent event;
            if (source_.decoder->DecodeAntennaHeight(source_.Record(), source_.length, event, referenceWeek) &&
                PlausibleAntennaHeight(event.value) &&
                std::fabs(event.value - antennaHeight_) > kAntennaHeightTolerance) {
                WriteText(observation_, AntennaHeightRecord(event.value));
                antennaHeight_ = event.value;
            }
        }
    }
    for (const SiteEvent& event : pendingEvents_) WriteText(observation_, EventRecord(event.time));
    pendingEvents_.clear();
    if (defaultHeaderPosition_ && headerPositionKnown_ && approxRecordOffset_ >= 0) {
        // The header went out with the default position: put the first fix in its place.
        const std::string record = ApproxPositionRecord(headerX_, headerY_, headerZ_);
        if (record.size() == approxRecordLength_ && observation_.Seek(approxRecordOffset_)) {
            WriteText(observation_, record);
            h.SetApproxPosition(headerX_, headerY_, headerZ_);
        }
    }
    CloseObservationFiles();
    if (result_.epochsWritten == 0)
        return Fail(ConversionOutcome::NoEpochWritten, kStrNoEpochWritten, MessageIcon::Stop,
                    {std::to_string(chosen_.count), std::to_string(result_.epochsPositioned)});
    return true;
}

// Writes the navigation file from the kept ionosphere/UTC record and the stored
// ephemerides. False when the conversion ends here.
bool Conversion::NavigationPass() {
    ui_.SetStatus(std::string(LoadString(kStrWritingNavigation)));
    ui_.SetPosition(0);
    CFile navigation;
    if (!navigation.Open(request_.navigationPath, CFile::modeWrite))
        return Fail(ConversionOutcome::NavigationNotCreated, kStrCannotCreateNavigation, MessageIcon::Stop);
    WriteText(navigation, NavHeaderText(MakeNavHeader(state_.tracker.ionoUtc, LocalNow())));
    const EphemerisStore& store = state_.tracker.store;
    const int count = store.Count();
    int i = 0;
    for (const Ephemeris* eph = store.First(); eph; eph = store.Next(*eph)) {
        if (ui_.CheckCancel()) {
            navigation.Close();
            return Fail(ConversionOutcome::Cancelled, kStrCanceled, MessageIcon::Information);
        }
        WriteText(navigation, NavRecordText(*eph));
        ++i;
        ++result_.ephemeridesWritten;
        ui_.SetPosition(static_cast<unsigned>((static_cast<unsigned>(i) * 100u) / static_cast<unsigned>(count)));
    }
    navigation.Close();
    return true;
}

}  // namespace

ConversionResult RunConversion(const ConversionRequest& request, ConversionState& state, ConversionUi& ui) {
    Conversion conversion(request, state, ui);
    return conversion.Run();
}
