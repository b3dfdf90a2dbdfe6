#include "app/station/Station.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <type_traits>

#include "app/dialog/RinexNaming.h"
#include "app/station/StationFiles.h"
#include "convert/ConversionDriver.h"
#include "convert/HeadlessUi.h"
#include "convert/rinex/RinexLongName.h"
#include "platform/FileSystem.h"
#include "platform/StopSignal.h"
#include "platform/TempFile.h"
#include "quality/QualityJson.h"
#include "rawdata/RecordStream.h"

// The archive side of the station: publishing a closed period, the carry between
// conversions, the state and status files, and the names of the files.

// Converts a closed period into the archive; false (with the error logged) when it
// gave no RINEX files.
bool Station::Publish(Track& track, int64_t start) {
    const std::string spool = SpoolPath(track, start);
    const std::string raw = RawPath(track, start);
    if (FileExists(spool) && std::rename(spool.c_str(), raw.c_str()) != 0) {
        Error(spool + ": " + ErrorText(errno));
        return false;
    }
    SyncFolder(dir_ + "/raw");
    ConversionRequest request = config_.request;
    request.sourcePath = raw;
    request.formatIndex = config_.formatIndex;
    request.recordingDate = std::floor(TimeOf(static_cast<double>(start)).ToDays());
    const std::string observation = EncodedName(ObservationName(track, start), true);
    const std::string navigation = EncodedName(NavigationName(track, start), false);
    request.observationPath = dir_ + "/rinex/" + observation;
    request.navigationPath = dir_ + "/rinex/" + navigation;
    bool carried = false;
    LoadCarry(track, start, carried);
    request.continuation = carried;
    HeadlessUi ui(nullptr);
    const auto began = std::chrono::steady_clock::now();
    const ConversionResult result = RunConversion(request, *track.state, ui);
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    if (!result.success) {
        std::string why = ui.Messages().empty() ? "no RINEX files" : ui.Messages().back().text;
        Error("period " + CalendarText(static_cast<double>(start)) + " (" + raw + "): " + why);
        return false;
    }
    SaveCarry(track, start);
    if (request.quality) {
        const std::string qc = request.observationPath + ".qc";
        if (FileExists(qc) && std::rename(qc.c_str(), (dir_ + "/qc/" + observation + ".qc").c_str()) != 0)
            Error(qc + ": " + ErrorText(errno));
        SyncFolder(dir_ + "/qc");
    }
    std::ostringstream line;
    line << "qern2rinex station: published " << observation << " and " << navigation << " ("
         << result.epochsWritten << " epochs, " << result.ephemeridesWritten << " ephemerides, "
         << (result.headerPositionKnown ? "position from the data" : "no position") << "; ";
    // How late, by the stream's time, the period was closed; how long it took.
    const double after = lastEpoch_ - static_cast<double>(start + track.seconds);
    char timing[80];
    if (after >= 0)
        std::snprintf(timing, sizeof timing, "closed %.0f s after its end, converted in %.2f s)", after, took);
    else
        std::snprintf(timing, sizeof timing, "closed at the end of the stream, converted in %.2f s)", took);
    line << timing;
    log_ << line.str() << "\n" << std::flush;
    return true;
}

void Station::LoadCarry(Track& track, int64_t start, bool& found) {
    // The newest carry of a period before this one.
    found = false;
    int64_t best = -1;
    std::error_code ec;
    const std::string prefix = "carry-" + std::to_string(track.seconds) + "-";
    for (const auto& entry : std::filesystem::directory_iterator(dir_ + "/state", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) continue;
        const int64_t from = std::atoll(name.c_str() + prefix.size());
        if (from < start && from > best) best = from;
    }
    auto carry = std::make_unique<Carry>();
    if (best >= 0) {
        std::ifstream in(dir_ + "/state/" + prefix + std::to_string(best), std::ios::binary);
        Carry read;
        if (in.read(reinterpret_cast<char*>(&read), sizeof read) && read.magic == Carry().magic &&
            read.size == sizeof(Carry)) {
            *carry = read;
            found = true;
        }
    }
    track.state->phaseOffsets = carry->tables;
    track.state->lastOutput = carry->lastOutput;
}

void Station::SaveCarry(Track& track, int64_t start) {
    auto carry = std::make_unique<Carry>();
    carry->tables = track.state->phaseOffsets;
    carry->lastOutput = track.state->lastOutput;
    const std::string prefix = "carry-" + std::to_string(track.seconds) + "-";
    if (!WriteAtomically(dir_ + "/state/" + prefix + std::to_string(start), carry.get(), sizeof(Carry))) {
        Error("state: the carry of a period cannot be written");
        return;
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir_ + "/state", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && std::atoll(name.c_str() + prefix.size()) < start)
            std::filesystem::remove(entry.path(), ec);
    }
}

// After a restart: the ephemerides, ionosphere/UTC record and last epoch record
// taken so far, read back from the spools of the finest periods (the one closed
// last, then the open ones).
void Station::RebuildCarried() {
    const Track& finest = tracks_.front();
    std::vector<std::string> spools;
    if (finest.lastClosed >= 0) spools.push_back(RawPath(finest, finest.lastClosed));
    for (const auto& [start, period] : finest.open) spools.push_back(SpoolPath(finest, start));
    std::vector<uint8_t> record;
    std::vector<uint8_t> bytes(65536);
    for (const std::string& path : spools) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        RecordStream stream(config_.formatIndex);
        for (ssize_t n; (n = read(fd, bytes.data(), bytes.size())) > 0;) {
            stream.Feed(bytes.data(), static_cast<size_t>(n));
            for (int kind; (kind = stream.Next(record)) != kRecordEnd;) {
                if (kind == config_.rawKind)
                    leadIn_ = record;
                else if (kind == kRecordEphemeris || kind == kRecordIonoUtc)
                    KeepNavigation(kind, record);
            }
        }
        close(fd);
    }
}

bool Station::LoadState(std::string& error) {
    std::ifstream in(dir_ + "/state/state");
    if (!in) return true;  // a new station
    std::string line;
    if (!std::getline(in, line) || line != kStateHeader) {
        error = dir_ + "/state/state: not a station state";
        return false;
    }
    auto trackOf = [&](int seconds) -> Track* {
        for (Track& t : tracks_)
            if (t.seconds == seconds) return &t;
        return nullptr;
    };
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string key;
        f >> key;
        if (key == "epoch") {
            int started = 0, dropped = 0;
            f >> started >> lastEpoch_ >> groupTime_ >> dropped >> interval_;
            started_ = started != 0;
            groupDropped_ = dropped != 0;
            mark_ = StreamMark{place_, started_, lastEpoch_, groupTime_, groupDropped_};
        } else if (key == "place") {
            f >> place_.device >> place_.inode >> place_.offset;
            mark_.place = place_;
        } else if (key == "counters") {
            f >> day_ >> recordsToday_ >> bytesToday_ >> periodsWritten_ >> late_ >> resent_;
            lateLogged_ = late_;
        } else if (key == "period" || key == "closing" || key == "closed") {
            int seconds = 0;
            int64_t start = 0;
            f >> seconds >> start;
            Track* track = trackOf(seconds);
            if (!track) continue;  // a period length no longer asked for
            track->started = true;
            if (key == "closed") {
                track->lastClosed = start;
            } else if (key == "closing") {
                track->closing.insert(start);
            } else {
                Period period;
                f >> period.bytes >> period.lastEpoch >> period.epochs;
                period.Mark();
                const std::string path = SpoolPath(*track, start);
                period.fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
                if (period.fd < 0 || ftruncate(period.fd, period.bytes) != 0 ||
                    lseek(period.fd, period.bytes, SEEK_SET) != period.bytes) {
                    Error(path + ": the spool of an open period is lost (" + ErrorText(errno) + ")");
                    if (period.fd >= 0) close(period.fd);
                    continue;
                }
                track->open[start] = period;
            }
        }
    }
    if (started_)
        log_ << "qern2rinex station: resuming after " << CalendarText(lastEpoch_) << "\n" << std::flush;
    return true;
}

void Station::SaveState() {
    std::ostringstream s;
    s << kStateHeader << "\n";
    s << "epoch " << (mark_.started ? 1 : 0) << " " << Number(mark_.lastEpoch) << " " << Number(mark_.groupTime)
      << " " << (mark_.groupDropped ? 1 : 0) << " " << Number(interval_) << "\n";
    s << "place " << mark_.place.device << " " << mark_.place.inode << " " << mark_.place.offset << "\n";
    s << "counters " << day_ << " " << recordsToday_ << " " << bytesToday_ << " " << periodsWritten_ << " " << late_
      << " " << resent_ << "\n";
    for (Track& track : tracks_) {
        if (track.lastClosed >= 0) s << "closed " << track.seconds << " " << track.lastClosed << "\n";
        for (const int64_t start : track.closing) s << "closing " << track.seconds << " " << start << "\n";
        for (auto& [start, period] : track.open) {
            // What the state counts is on the disk before the state says so.
            if (period.fd >= 0 && fdatasync(period.fd) != 0) Error(SpoolPath(track, start) + ": " + ErrorText(errno));
            s << "period " << track.seconds << " " << start << " " << period.markBytes << " "
              << Number(period.markLastEpoch) << " " << period.markEpochs << "\n";
        }
    }
    if (!WriteAtomically(dir_ + "/state/state", s.str())) Error(dir_ + "/state/state: cannot be written");
}

void Station::Checkpoint() {
    if (late_ > lateLogged_) {
        Error(std::to_string(late_ - lateLogged_) +
              " epoch records dropped: of periods already published, or dated over a day ahead");
        lateLogged_ = late_;
    }
    SaveState();
    WriteStatus();
}

void Station::WriteStatus() {
    std::ostringstream s;
    s << "{\"state\":" << JsonString(sourceState_) << ",\"source\":" << JsonString(source_)
      << ",\"lastRecord\":" << (started_ ? JsonString(CalendarText(lastEpoch_)) : "null")
      << ",\"recordsToday\":" << recordsToday_ << ",\"bytesToday\":" << bytesToday_
      << ",\"periodsWritten\":" << periodsWritten_ << ",\"openPeriods\":[";
    bool first = true;
    for (const Track& track : tracks_)
        for (const auto& [start, period] : track.open) {
            s << (first ? "" : ",") << JsonString(RawStem(track, start));
            first = false;
        }
    s << "],\"lateRecords\":" << late_ << ",\"resentRecords\":" << resent_
      << ",\"lastError\":" << JsonString(lastError_) << "}\n";
    WriteAtomically(dir_ + "/status.json", s.str());
}

std::string Station::RawStem(const Track& track, int64_t start) const {
    if (config_.request.rinexVersion >= kRinex3) {
        // The long name up to its period: SSSSMRCCC_R_YYYYDDDHHMM_PPP.
        std::string name = RinexLongName(config_.request.markerName, config_.country,
                                         TimeOf(static_cast<double>(start)), track.seconds, 0,
                                         RinexFileKind::Navigation);
        return name.substr(0, name.size() - std::string("_GN.rnx").size());
    }
    std::string base = ObservationName(track, start);
    return base.substr(0, base.size() - 1);
}

std::string Station::SpoolPath(const Track& track, int64_t start) const {
    return RawPath(track, start) + ".part";
}

std::string Station::RawPath(const Track& track, int64_t start) const {
    return dir_ + "/raw/" + RawStem(track, start) + ".raw";
}

std::string Station::ObservationName(const Track& track, int64_t start) const {
    const GpsTime t = TimeOf(static_cast<double>(start));
    if (config_.request.rinexVersion >= kRinex3)
        return RinexLongName(config_.request.markerName, config_.country, t, track.seconds, interval_,
                             RinexFileKind::Observation);
    // ssssdddf.yy with f: 0 for a day, the hour letter a..x for an hour, the
    // hour letter and the minutes for a quarter.
    std::string base = RinexBaseName(config_.request.markerName, std::floor(t.ToDays()), 0);
    for (char& c : base) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const size_t dot = base.rfind('.');
    if (track.seconds < 86400) {
        const int secondOfDay = static_cast<int>(start % 86400);
        std::string letter(1, static_cast<char>('a' + secondOfDay / 3600));
        if (track.seconds < 3600) {
            char minutes[4];
            std::snprintf(minutes, sizeof minutes, "%02d", secondOfDay % 3600 / 60);
            letter += minutes;
        }
        base.replace(dot - 1, 1, letter);
    }
    return base + "o";
}

std::string Station::NavigationName(const Track& track, int64_t start) const {
    if (config_.request.rinexVersion >= kRinex3)
        return RinexLongName(config_.request.markerName, config_.country, TimeOf(static_cast<double>(start)),
                             track.seconds, interval_, RinexFileKind::Navigation);
    std::string name = ObservationName(track, start);
    name.back() = 'n';
    return name;
}

std::string Station::EncodedName(std::string name, bool observation) const {
    if (observation && config_.request.hatanaka) {
        if (config_.request.rinexVersion >= kRinex3)
            name.replace(name.size() - 4, 4, ".crx");  // ..._GO.rnx -> ..._GO.crx
        else
            name.back() = 'd';  // ssssdddf.yyo -> .yyd
    }
    return config_.request.gzip ? name + ".gz" : name;
}
