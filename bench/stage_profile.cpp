// stage_profile: where the time of one conversion goes. Runs the steps of the
// conversion driver (read pass, observation pass with positioning, navigation pass)
// on a raw data file, silently, with a timer around each step, and writes the same
// RINEX observation and navigation files as `qern2rinex SOURCE OBS:obs NAV:nav S`
// with an empty profile (bench.sh compares them, the creation-date line aside).
//
//   stage_profile [--format 0|1] [--tx MS] [--runs N] SOURCE OBS NAV
//
// Stages, in seconds (median over the runs):
//   framing        ReadRecord: reading the file and cutting it into records
//   decode         the Decode* operations of the decoders
//   tally          read-pass statistics, ephemeris store, pruning
//   positioning    epoch window, ephemeris selection and the position solution
//   extrapolation  output epoch of reception time (satellite-dated) or scaled (receiver-dated)
//   formatting     RINEX text of header, epochs and navigation records
//   writing        handing the text to the output files, closing them
//   progress       the progress position of every record (file length and position)
//   other          the rest (loop, cancel polls, timers)
// The timers are here only: the production driver carries none.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "convert/ConversionRequest.h"
#include "convert/ConversionState.h"
#include "convert/ReceptionTime.h"
#include "convert/rinex/RinexNav.h"
#include "convert/rinex/RinexObsRecord.h"
#include "platform/File.h"
#include "rawdata/DataFile.h"
#include "rawdata/Decoder.h"
#include "rawdata/RecordKind.h"

namespace {

enum Stage { kFraming, kDecode, kTally, kPositioning, kExtrapolation, kFormatting, kWriting, kProgress, kOther,
             kStageCount };
const char* const kStageNames[kStageCount] = {"framing",    "decode",  "tally",    "positioning", "extrapolation",
                                              "formatting", "writing", "progress", "other"};

// Accumulated wall time per stage, s: each Lap charges the time since the previous
// lap to one stage.
class StageClock {
public:
    using Clock = std::chrono::steady_clock;
    void Start() { last_ = Clock::now(); }
    void Lap(Stage stage) {
        const Clock::time_point now = Clock::now();
        seconds[stage] += std::chrono::duration<double>(now - last_).count();
        last_ = now;
    }
    double seconds[kStageCount] = {};

private:
    Clock::time_point last_;
};

// Epoch statistics of one raw-data kind in the read pass (as the driver keeps them).
struct KindStatistics {
    int count = 0;
    GpsTime first;
    GpsTime last;
    uint16_t typeMask = 0;
    std::map<long long, int> spacings;  // epoch spacing in tenths of a second -> occurrences

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
    // The most frequent epoch spacing, s (the shorter one of equally frequent spacings).
    double Interval() const {
        long long best = 0;
        int bestCount = 0;
        for (const auto& [tenths, n] : spacings)
            if (n > bestCount) {
                best = tenths;
                bestCount = n;
            }
        return static_cast<double>(best) / 10.0;
    }
};

// Progress in percent of a data file's logical position in a file of length bytes.
unsigned ProgressOf(const CDataFile& file, int64_t length) {
    const int64_t position = file.GetPosition();
    if (length <= 0 || position <= 0) return 0;
    return static_cast<unsigned>((static_cast<uint64_t>(position) * 100u) / static_cast<uint64_t>(length));
}

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

// Writes a whole text to an open file.
void WriteText(CFile& file, const std::string& text) {
    if (!text.empty()) file.Write(text.data(), text.size());
}

// Days since the GPS time origin of the file's modification time (UTC).
double RecordingDate(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return 0.0;
    return (static_cast<double>(st.st_mtime) - 315964800.0) / 86400.0;
}

// Upper-case file title (name without folder and extension): the marker name the
// main dialog proposes for a source file.
std::string MarkerOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string title = path.substr(slash == std::string::npos ? 0 : slash + 1);
    const size_t dot = title.find_last_of('.');
    if (dot != std::string::npos && dot > 0) title.resize(dot);
    for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return title;
}

// One profiled conversion; false with a message on failure.
class ProfiledConversion {
public:
    ProfiledConversion(const ConversionRequest& request, ConversionState& state) : request_(request), state_(state) {}

    bool Run(StageClock& clock, int& epochsWritten);

private:
    bool ReadPass(StageClock& clock);
    bool ObservationPass(StageClock& clock);
    bool NavigationPass(StageClock& clock);
    void PositioningStep();
    void TakeNewFix();

    const ConversionRequest& request_;
    ConversionState& state_;
    int epochsWritten_ = 0;
    bool defaultHeaderPosition_ = false;  // the header went out with the silent default position
    bool headerPositionKnown_ = false;    // a real fix was taken since
    double headerX_ = 0, headerY_ = 0, headerZ_ = 0;
    int64_t approxRecordOffset_ = -1;     // file offset of APPROX POSITION XYZ
    size_t approxRecordLength_ = 0;
};

bool ProfiledConversion::Run(StageClock& clock, int& epochsWritten) {
    clock.Start();
    state_.Reset(request_);
    const bool ok = ReadPass(clock) && ObservationPass(clock) && NavigationPass(clock);
    clock.Lap(kOther);
    epochsWritten = epochsWritten_;
    return ok;
}

bool ProfiledConversion::ReadPass(StageClock& clock) {
    std::unique_ptr<CDataFile> file = CreateDataFile(request_.formatIndex);
    std::unique_ptr<CDecodeGpsData> decoder = CreateDecoder(request_.formatIndex);
    if (!file || !decoder || !file->Open(request_.sourcePath, CFile::modeRead)) return false;
    const int64_t fileLength = file->GetLength();
    decoder->Reset();
    std::vector<uint8_t> buffer(kRecordBufferSize + 1);
    uint16_t referenceWeek = static_cast<uint16_t>(static_cast<long long>(request_.recordingDate / 7.0));
    KindStatistics satelliteDated, receiverDated;
    int ephemerides = 0;
    int ionoUtcRecords = 0;
    EphemerisStore& store = state_.tracker.store;
    int length = 0;
    clock.Lap(kOther);
    for (int kind = file->ReadRecord(buffer.data(), length); kind != kRecordEnd;
         kind = file->ReadRecord(buffer.data(), length)) {
        if (length < 0 || length > kRecordBufferSize) length = 0;
        clock.Lap(kFraming);
        switch (kind) {
            case kRecordSatelliteDated:
            case kRecordReceiverDated: {
                ObservationEpoch epoch;
                const uint16_t mask = decoder->DecodeObservation(buffer.data(), length, epoch, referenceWeek);
                clock.Lap(kDecode);
                if (mask == 0) break;
                if (kind == kRecordSatelliteDated)
                    satelliteDated.Add(epoch.time.AddSeconds(request_.tx), mask);
                else
                    receiverDated.Add(epoch.time, mask);
                break;
            }
            case kRecordEphemeris: {
                auto eph = std::make_unique<Ephemeris>();
                const int sat = decoder->DecodeEphemeris(buffer.data(), length, *eph, referenceWeek);
                clock.Lap(kDecode);
                if (sat >= 0 && store.Add(eph)) ++ephemerides;
                break;
            }
            case kRecordAntennaHeight: {
                SiteEvent event;
                const int ok = decoder->DecodeAntennaHeight(buffer.data(), length, event, referenceWeek);
                clock.Lap(kDecode);
                if (ok && satelliteDated.count == 0 && receiverDated.count == 0)
                    state_.header.SetAntennaHeight(event.value);
                break;
            }
            case kRecordIonoUtc: {
                IonoUtc iono;
                const int ok = decoder->DecodeIonoUtc(buffer.data(), length, iono, referenceWeek);
                clock.Lap(kDecode);
                if (ok) {
                    state_.tracker.ionoUtc = iono;
                    ++ionoUtcRecords;
                }
                break;
            }
            default:
                break;
        }
        clock.Lap(kTally);
        ProgressOf(*file, fileLength);
        clock.Lap(kProgress);
    }
    file->Close();
    clock.Lap(kFraming);

    // Silent: receiver-dated when both kinds are present.
    const int kind = receiverDated.count > 0 ? kRawKindReceiverDated
                     : satelliteDated.count > 0 ? kRawKindSatelliteDated
                                                : kRawKindNone;
    state_.tracker.rawKind = kind;
    if (kind == kRawKindNone) {
        std::fputs("stage_profile: no epoch records\n", stderr);
        return false;
    }
    const KindStatistics& chosen = kind == kRawKindSatelliteDated ? satelliteDated : receiverDated;
    RinexObsHeader& h = state_.header;
    h.SetTypeMask(chosen.typeMask);
    h.SetFirstTime(chosen.first);
    h.SetLastTime(chosen.last);
    h.SetInterval(chosen.Interval());
    store.Prune(chosen.first, chosen.last, ephemerides);
    clock.Lap(kTally);
    if (kind == kRawKindSatelliteDated && (ionoUtcRecords < 1 || ephemerides < 4)) {
        std::fputs("stage_profile: insufficient data\n", stderr);
        return false;
    }
    return true;
}

void ProfiledConversion::TakeNewFix() {
    state_.position = state_.solver.Position();
    state_.clockOffset = state_.solver.Clock();
    state_.clockDrift = 0.0;
    state_.positionFixed = true;
    state_.positionApproximate = false;
    if (defaultHeaderPosition_ && !headerPositionKnown_) {
        headerPositionKnown_ = true;
        headerX_ = state_.position.X();
        headerY_ = state_.position.Y();
        headerZ_ = state_.position.Z();
    }
}

void ProfiledConversion::PositioningStep() {
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
        } else {
            state_.clockOffset = tracker.time.Difference(oldTime) * state_.clockDrift + oldClock;
        }
        return;
    }
    if (state_.positionFixed) {
        solver.SetPosition(state_.position);
        if (solver.RefineFix(tracker)) {
            TakeNewFix();
            return;
        }
    }
    if (solver.InitialFix(tracker) && solver.RefineFix(tracker)) TakeNewFix();
}

bool ProfiledConversion::ObservationPass(StageClock& clock) {
    std::unique_ptr<CDataFile> file = CreateDataFile(request_.formatIndex);
    std::unique_ptr<CDecodeGpsData> decoder = CreateDecoder(request_.formatIndex);
    if (!file || !decoder || !file->Open(request_.sourcePath, CFile::modeRead)) return false;
    const int64_t fileLength = file->GetLength();
    decoder->Reset();
    CFile observation;
    if (!observation.Open(request_.observationPath, CFile::modeWrite)) {
        std::fprintf(stderr, "stage_profile: cannot create %s\n", request_.observationPath.c_str());
        return false;
    }
    RinexObsHeader& h = state_.header;
    const bool satelliteDated = state_.tracker.rawKind == kRawKindSatelliteDated;
    uint16_t referenceWeek = h.firstTime.week;
    const int chosenKind = state_.tracker.rawKind;
    std::vector<uint8_t> buffer(kRecordBufferSize + 1);
    RinexEpoch previousOutput;
    std::string text;
    bool firstEpoch = true;
    int length = 0;
    clock.Lap(kOther);
    for (int kind = file->ReadRecord(buffer.data(), length); kind != kRecordEnd;
         kind = file->ReadRecord(buffer.data(), length)) {
        if (length < 0 || length > kRecordBufferSize) length = 0;
        clock.Lap(kFraming);
        if (kind == chosenKind) {
            ObservationEpoch epoch;
            const uint16_t mask = decoder->DecodeObservation(buffer.data(), length, epoch, referenceWeek);
            clock.Lap(kDecode);
            if (mask != 0) {
                if (firstEpoch) {
                    state_.tracker.Start(epoch);
                    firstEpoch = false;
                    clock.Lap(kPositioning);
                } else if (state_.tracker.Advance(epoch)) {
                    PositioningStep();
                    bool write = state_.positionFixed;
                    if (!write && !satelliteDated) {
                        // Silent: the preselected approximate position (0, 0, 0 geodetic).
                        state_.position.SetGeodetic(0.0, 0.0, 0.0);
                        state_.positionFixed = true;
                        state_.positionApproximate = true;
                        defaultHeaderPosition_ = epochsWritten_ == 0;
                        write = true;
                    }
                    clock.Lap(kPositioning);
                    if (write) {
                        if (epochsWritten_ == 0) {
                            h.SetCreationDate(LocalNow());
                            h.SetFirstTime(satelliteDated ? state_.tracker.time.AddSeconds(request_.tx)
                                                          : state_.tracker.time);
                            h.SetApproxPosition(state_.position.X(), state_.position.Y(), state_.position.Z());
                            h.SetComment(satelliteDated ? ExtrapolationComment(request_.tx, request_.smoothedDopplers)
                                                        : "");
                            text = h.HeaderText();
                            const size_t label = text.find("APPROX POSITION XYZ");
                            if (label != std::string::npos && label >= 60) {
                                approxRecordOffset_ = observation.GetPosition() + static_cast<int64_t>(label - 60);
                                const size_t end = text.find('\n', label);
                                approxRecordLength_ = end == std::string::npos ? 0 : end + 1 - (label - 60);
                            }
                            clock.Lap(kFormatting);
                            WriteText(observation, text);
                            clock.Lap(kWriting);
                        }
                        const ObservationEpoch& current = state_.tracker.current;
                        const ObservationEpoch& previous = state_.tracker.previous;
                        const RinexEpoch output =
                            satelliteDated
                                ? BuildSatelliteDated(current, previous, state_.clockOffset, request_.tx,
                                                      request_.smoothedDopplers, previousOutput, state_.phaseOffsets)
                                : BuildReceiverDated(current, previous, previousOutput, state_.phaseOffsets);
                        previousOutput = output;
                        clock.Lap(kExtrapolation);
                        text = EpochText(output, h.typeMask);
                        clock.Lap(kFormatting);
                        WriteText(observation, text);
                        ++epochsWritten_;
                        clock.Lap(kWriting);
                    }
                }
            }
        }
        ProgressOf(*file, fileLength);
        clock.Lap(kProgress);
    }
    file->Close();
    clock.Lap(kFraming);
    if (defaultHeaderPosition_ && headerPositionKnown_ && approxRecordOffset_ >= 0) {
        // The header went out with the default position: the first fix takes its place.
        const std::string record = ApproxPositionRecord(headerX_, headerY_, headerZ_);
        if (record.size() == approxRecordLength_ && observation.Seek(approxRecordOffset_))
            WriteText(observation, record);
    }
    observation.Close();
    clock.Lap(kWriting);
    if (epochsWritten_ == 0) {
        std::fputs("stage_profile: no epoch written\n", stderr);
        return false;
    }
    return true;
}

bool ProfiledConversion::NavigationPass(StageClock& clock) {
    CFile navigation;
    if (!navigation.Open(request_.navigationPath, CFile::modeWrite)) {
        std::fprintf(stderr, "stage_profile: cannot create %s\n", request_.navigationPath.c_str());
        return false;
    }
    clock.Lap(kWriting);
    std::string text = NavHeaderText(MakeNavHeader(state_.tracker.ionoUtc, LocalNow()));
    clock.Lap(kFormatting);
    WriteText(navigation, text);
    clock.Lap(kWriting);
    const EphemerisStore& store = state_.tracker.store;
    for (const Ephemeris* eph = store.First(); eph; eph = store.Next(*eph)) {
        text = NavRecordText(*eph);
        clock.Lap(kFormatting);
        WriteText(navigation, text);
        clock.Lap(kWriting);
    }
    navigation.Close();
    clock.Lap(kWriting);
    return true;
}

// 0 for an ASCII file, 1 for a binary one: binary when a byte of the first 1000 is 128 or more.
int ProbeFormat(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    unsigned char head[1000];
    const size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    for (size_t i = 0; i < n; ++i)
        if (head[i] >= 128) return 1;
    return 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0.0 : n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    int format = -1;
    int runs = 1;
    double txMs = 0;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--format" && i + 1 < argc) format = std::atoi(argv[++i]);
        else if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--tx" && i + 1 < argc) txMs = std::atof(argv[++i]);
        else paths.push_back(a);
    }
    if (paths.size() != 3) {
        std::fputs("usage: stage_profile [--format 0|1] [--tx MS] [--runs N] SOURCE OBS NAV\n", stderr);
        return 2;
    }
    ConversionRequest request;
    request.sourcePath = paths[0];
    request.observationPath = paths[1];
    request.navigationPath = paths[2];
    request.formatIndex = format == 0 || format == 1 ? format : ProbeFormat(paths[0]);
    request.recordingDate = std::floor(RecordingDate(paths[0]));
    request.markerName = MarkerOf(paths[0]);
    request.tx = txMs * 0.001;
    request.silent = true;
    if (request.formatIndex < 0) {
        std::fprintf(stderr, "stage_profile: cannot open %s\n", paths[0].c_str());
        return 1;
    }

    std::vector<double> perStage[kStageCount];
    std::vector<double> totals;
    int epochs = 0;
    for (int r = 0; r < runs; ++r) {
        ConversionState state;  // a fresh state, as a new process has
        StageClock clock;
        const auto start = std::chrono::steady_clock::now();
        ProfiledConversion conversion(request, state);
        if (!conversion.Run(clock, epochs)) return 1;
        totals.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        for (int s = 0; s < kStageCount; ++s) perStage[s].push_back(clock.seconds[s]);
    }
    const double total = Median(totals);
    std::printf("stages epochs=%d total=%.6f", epochs, total);
    for (int s = 0; s < kStageCount; ++s) std::printf(" %s=%.6f", kStageNames[s], Median(perStage[s]));
    std::printf("\n");
    return 0;
}
