#include "app/station/StationCommand.h"

#include <chrono>
#include <vector>

#include "app/cli/ExitStatus.h"
#include "app/station/Station.h"
#include "platform/StopSignal.h"
#include "rawdata/RecordStream.h"

namespace {

// The spools are synced, the state saved and the status rewritten this often
// (and at every period end).
constexpr auto kCheckpointEvery = std::chrono::seconds(1);

// Feeds the station the records of source until the stream ends (true) or a stop
// signal comes (false), checkpointing it every kCheckpointEvery.
bool FollowStream(StationSource& source, Station& station, const StationConfig& config) {
    source.ResumeAt(station.ResumePlace());
    auto stream = std::make_unique<RecordStream>(config.formatIndex);
    FilePlace streamStart;  // where the framing's first byte lies in the file
    std::vector<uint8_t> buffer(65536);
    std::vector<uint8_t> record;
    auto lastCheckpoint = std::chrono::steady_clock::now();
    bool ended = false;
    while (StopSignalReceived() == 0) {
        const long n = source.Read(buffer.data(), buffer.size(), 500);
        if (source.TakeRestart()) {
            stream = std::make_unique<RecordStream>(config.formatIndex);
            FilePlace place;
            if (source.StreamStart(place)) streamStart = place;
        }
        if (n < 0) {
            ended = true;
            break;
        }
        if (n > 0) {
            stream->Feed(buffer.data(), static_cast<size_t>(n));
            for (int kind; StopSignalReceived() == 0 && (kind = stream->Next(record)) != kRecordEnd;) {
                station.Take(kind, record);
                FilePlace place = streamStart;
                place.offset += stream->Consumed();
                station.SetPlace(place);
            }
        }
        station.SetSource(config.source, source.State(), source.TakeNewError() ? source.LastError() : "");
        const auto now = std::chrono::steady_clock::now();
        if (now - lastCheckpoint >= kCheckpointEvery) {
            station.Checkpoint();
            lastCheckpoint = now;
        }
    }
    return ended;
}

}  // namespace

int RunStation(const std::vector<std::string>& parameters, std::ostream& log) {
    StationOptions options;
    StationConfig config;
    std::string error;
    if (!ParseStationOptions(parameters, options, error)) {
        log << "qern2rinex: " << error << "\n";
        return kExitUsage;
    }
    if (!LoadStationConfig(options, config, error)) {
        log << "qern2rinex: " << options.configPath << ": " << error << "\n";
        return kExitFailure;
    }
    std::unique_ptr<StationSource> source = MakeStationSource(config.source, error);
    if (!source) {
        log << "qern2rinex: " << error << "\n";
        return kExitUsage;
    }
    CatchStopSignals();
    Station station(options.directory, config, log);
    if (!station.Open(error)) {
        log << "qern2rinex: " << error << "\n";
        return kExitFailure;
    }
    const bool ended = FollowStream(*source, station, config);
    if (ended) {
        station.SetSource(config.source, "ended", "");
        station.Finish();
    } else {
        station.SetSource(config.source, "stopped", "");
        station.Checkpoint();
    }
    log << "qern2rinex station: " << (ended ? "the stream ended" : "stopped") << "\n";
    return kExitSuccess;
}
