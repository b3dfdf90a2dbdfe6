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
#include "convert/ConversionDriver.h"
#include "convert/HeadlessUi.h"
#include "convert/rinex/RinexLongName.h"
#include "platform/FileSystem.h"
#include "platform/StopSignal.h"
#include "platform/TempFile.h"
#include "rawdata/RecordStream.h"

namespace {

constexpr double kSecondsPerWeekD = 604800.0;
constexpr const char* kStateHeader = "qern2rinex-station-state 1";

// What a conversion hands to the next one of the same periods: the whole-cycle
// phase offsets and the last output epoch. Kept as bytes in DIR/state/.
struct Carry {
    uint32_t magic = 0x51435259;
    uint32_t size = sizeof(Carry);
    PhaseOffsetTables tables;
    RinexEpoch lastOutput;
};
static_assert(std::is_trivially_copyable_v<Carry>);

GpsTime TimeOf(double seconds) {
    const double week = std::floor(seconds / kSecondsPerWeekD);
    return GpsTime(static_cast<uint16_t>(week), seconds - week * kSecondsPerWeekD);
}

double SecondsOf(const GpsTime& t) { return t.week * kSecondsPerWeekD + t.seconds; }

// The start of the period of length seconds that holds t (half a millisecond
// early counts as on time: satellite-dated tags plus Tx land just short of it).
int64_t PeriodStart(double t, int seconds) {
    return static_cast<int64_t>(std::floor((t + 5e-4) / seconds)) * seconds;
}

std::string Number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string CalendarText(double seconds) {
    const CalendarTime c = TimeOf(seconds).ToCalendar();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    return text;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

// Writes text to path through a temporary file renamed over it; false on failure.
bool WriteAtomically(const std::string& path, const void* bytes, size_t count) {
    TempFile temp;
    int error = 0;
    if (!CreateTempBeside(path, temp, error)) return false;
    const auto* p = static_cast<const uint8_t*>(bytes);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = write(temp.lockFd, p + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            DiscardTemp(temp);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (!PublishTemp(temp, path, error)) {
        DiscardTemp(temp);
        return false;
    }
    return SyncFolder(FolderOf(path));
}

bool WriteAtomically(const std::string& path, const std::string& text) {
    return WriteAtomically(path, text.data(), text.size());
}

bool WriteAll(int fd, const uint8_t* p, size_t count) {
    while (count > 0) {
        const ssize_t n = write(fd, p, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

Station::Station(std::string directory, StationConfig config, std::ostream& log)
    : dir_(std::move(directory)), config_(std::move(config)), log_(log), decoder_(CreateDecoder(config_.formatIndex)) {
    if (config_.periodSeconds > 0) tracks_.emplace_back().seconds = config_.periodSeconds;
    if (config_.daily) tracks_.emplace_back().seconds = 86400;
    // The GPS week of the system clock dates records that carry a truncated week.
    referenceWeek_ = static_cast<uint16_t>(std::max(0.0, GpsNow() / kSecondsPerWeekD));
}

Station::~Station() {
    for (Track& track : tracks_)
        for (auto& [start, period] : track.open)
            if (period.fd >= 0) close(period.fd);
    if (lockFd_ >= 0) close(lockFd_);
}

bool Station::Open(std::string& error) {
    std::error_code ec;
    for (const char* sub : {"", "/raw", "/rinex", "/qc", "/state"}) {
        std::filesystem::create_directories(dir_ + sub, ec);
        if (ec) {
            error = dir_ + sub + ": " + ec.message();
            return false;
        }
    }
    lockFd_ = open((dir_ + "/state/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd_ < 0 || flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        error = dir_ + ": another station runs in this folder";
        return false;
    }
    for (const std::string sub : {"/raw", "/rinex", "/qc", "/state", ""}) RemoveStaleTemps(dir_ + sub);
    if (!LoadState(error)) return false;
    RebuildCarried();
    // Periods whose publishing a kill cut short are published now.
    for (Track& track : tracks_)
        for (const int64_t start : std::set<int64_t>(track.closing)) FinishClosing(track, start);
    SaveState();
    WriteStatus();
    return true;
}

void Station::SetSource(const std::string& description, const std::string& state, const std::string& error) {
    source_ = description;
    sourceState_ = state;
    if (!error.empty()) {
        lastError_ = error;
        log_ << "qern2rinex station: " << error << "\n" << std::flush;
    }
}

void Station::Error(const std::string& text) {
    lastError_ = text;
    log_ << "qern2rinex station: " << text << "\n" << std::flush;
}

bool Station::EpochTime(const std::vector<uint8_t>& record, double& t) {
    std::vector<uint8_t> copy(record);
    copy.push_back(0);
    ObservationEpoch epoch;
    if (decoder_->DecodeObservation(copy.data(), static_cast<int>(record.size()), epoch, referenceWeek_) == 0)
        return false;
    t = SecondsOf(epoch.time);
    if (config_.rawKind == kRecordSatelliteDated) t += config_.request.tx;
    return true;
}

void Station::CountDay(double t) {
    const int64_t day = static_cast<int64_t>(std::floor(t / 86400.0));
    if (day != day_) {
        day_ = day;
        recordsToday_ = 0;
        bytesToday_ = 0;
    }
}

void Station::Take(int kind, const std::vector<uint8_t>& record) {
    ++recordsToday_;
    bytesToday_ += static_cast<int64_t>(record.size());
    if (kind == config_.rawKind) {
        double t = 0;
        if (EpochTime(record, t)) {
            TakeEpoch(record, t);
            return;
        }
    } else if (kind == kRecordSatelliteDated || kind == kRecordReceiverDated) {
        // The epochs of the other raw-data kind are not converted; a stream of
        // those only is told once.
        if (!started_ && ++otherKindEpochs_ == kOtherKindWarning)
            Error(std::string("the stream holds ") + (kind == kRecordReceiverDated ? "receiver" : "satellite") +
                  "-dated epoch records only: set RawKind=" + (kind == kRecordReceiverDated ? "Q" : "R") +
                  " in the station's configuration");
        return;
    } else if (kind == kRecordEphemeris || kind == kRecordIonoUtc) {
        KeepNavigation(kind, record);
        if (!started_) return;  // carried into the first period
    }
    if (!started_) {
        beforeFirstEpoch_.push_back(record);
        return;
    }
    if (groupDropped_) {
        ++resent_;
        return;
    }
    for (Track& track : tracks_) {
        const auto it = track.open.find(PeriodStart(groupTime_, track.seconds));
        if (it != track.open.end()) Append(it->second, record);
    }
}

// A new group of records begins with an epoch record: what comes before it is
// whole, and is what the state saves.
void Station::MarkGroup() {
    mark_ = StreamMark{place_, started_, lastEpoch_, groupTime_, groupDropped_};
    // Before the first epoch the records before it count too: read from the start.
    if (!started_) mark_.place.offset = 0;
    for (Track& track : tracks_)
        for (auto& [start, period] : track.open) period.Mark();
}

// Keeps a valid ephemeris or ionosphere/UTC record for the periods to come.
void Station::KeepNavigation(int kind, const std::vector<uint8_t>& record) {
    constexpr size_t kEphemeridesKept = 3;
    std::vector<uint8_t> copy(record);
    copy.push_back(0);
    const int length = static_cast<int>(record.size());
    if (kind == kRecordEphemeris) {
        Ephemeris ephemeris;
        const int satellite = decoder_->DecodeEphemeris(copy.data(), length, ephemeris, referenceWeek_);
        if (satellite < 0) return;
        auto& kept = ephemerides_[satellite];
        for (const auto& k : kept)
            if (k == record) return;
        kept.push_back(record);
        if (kept.size() > kEphemeridesKept) kept.erase(kept.begin());
    } else {
        IonoUtc ionoUtc;
        if (decoder_->DecodeIonoUtc(copy.data(), length, ionoUtc, referenceWeek_)) ionoUtc_ = record;
    }
}

void Station::TakeEpoch(const std::vector<uint8_t>& record, double t) {
    MarkGroup();
    // A time more than a day ahead of the system clock is a damaged record: taken,
    // it would close every period before it and leave the true ones late.
    if (t > GpsNow() + 86400.0) {
        groupDropped_ = true;
        ++late_;
        return;
    }
    Track& finest = tracks_.front();
    if (started_ && t <= lastEpoch_) {
        // Older than the latest epoch: late, or sent again after a reconnection.
        const auto it = finest.open.find(PeriodStart(t, finest.seconds));
        if (it != finest.open.end() && t > it->second.lastEpoch) {
            for (Track& track : tracks_) {
                const auto p = track.open.find(PeriodStart(t, track.seconds));
                if (p == track.open.end()) continue;
                Append(p->second, record);
                p->second.lastEpoch = t;
                ++p->second.epochs;
            }
            groupTime_ = t;
            groupDropped_ = false;
            return;
        }
        groupDropped_ = true;
        if (it != finest.open.end() || PeriodStart(t, finest.seconds) > finest.lastClosed)
            ++resent_;
        else
            ++late_;
        return;
    }
    CountDay(t);
    if (started_ && t - lastEpoch_ > 0.05) {
        const double dt = std::round((t - lastEpoch_) * 10.0) / 10.0;
        if (interval_ == 0 || dt < interval_) interval_ = dt;
    }
    for (const Track& track : tracks_)
        if (PeriodStart(t, track.seconds) <= track.lastClosed) {
            ++late_;
            groupDropped_ = true;
            return;
        }
    for (Track& track : tracks_) {
        const int64_t start = PeriodStart(t, track.seconds);
        if (!track.open.count(start)) OpenPeriod(track, start);
        Period& period = track.open[start];
        Append(period, record);
        period.lastEpoch = t;
        ++period.epochs;
    }
    started_ = true;
    beforeFirstEpoch_.clear();
    lastEpoch_ = t;
    groupTime_ = t;
    groupDropped_ = false;
    leadIn_ = record;
    CloseDue(t);
}

void Station::OpenPeriod(Track& track, int64_t start) {
    Period period;
    const std::string path = SpoolPath(track, start);
    period.fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (period.fd < 0) Error(path + ": " + ErrorText(errno));
    for (const auto& [satellite, records] : ephemerides_)
        for (const auto& record : records) Append(period, record);
    if (!ionoUtc_.empty()) Append(period, ionoUtc_);
    if (!track.started)
        for (const auto& record : beforeFirstEpoch_) Append(period, record);
    if (!leadIn_.empty()) Append(period, leadIn_);
    period.Mark();
    track.started = true;
    track.open[start] = period;
}

void Station::Append(Period& period, const std::vector<uint8_t>& record) {
    if (period.fd < 0) return;
    if (!WriteAll(period.fd, record.data(), record.size())) {
        Error("spool: " + ErrorText(errno));
        // What was written of the record is cut off again at the next sync.
        if (ftruncate(period.fd, period.bytes) != 0 || lseek(period.fd, period.bytes, SEEK_SET) != period.bytes) {
            close(period.fd);
            period.fd = -1;
        }
        return;
    }
    period.bytes += static_cast<int64_t>(record.size());
}

void Station::CloseDue(double streamTime) {
    for (Track& track : tracks_)
        while (!track.open.empty() &&
               track.open.begin()->first + track.seconds + config_.latency <= streamTime + 1e-6)
            ClosePeriod(track, track.open.begin()->first);
}

void Station::Finish() {
    for (Track& track : tracks_)
        while (!track.open.empty()) ClosePeriod(track, track.open.begin()->first);
    SaveState();
    WriteStatus();
}

void Station::ClosePeriod(Track& track, int64_t start) {
    Period& period = track.open[start];
    if (period.fd >= 0) {
        if (fdatasync(period.fd) != 0) Error(SpoolPath(track, start) + ": " + ErrorText(errno));
        close(period.fd);
        period.fd = -1;
    }
    track.closing.insert(start);
    track.open.erase(start);
    SaveState();
    const std::string state = sourceState_;
    sourceState_ = "converting";
    WriteStatus();
    FinishClosing(track, start);
    sourceState_ = state;
    SaveState();
}

// Publishes a closed period; one whose conversion a stop signal cut short stays
// to be published by the next start.
void Station::FinishClosing(Track& track, int64_t start) {
    if (Publish(track, start))
        ++periodsWritten_;
    else if (StopSignalReceived() != 0)
        return;
    track.closing.erase(start);
    track.lastClosed = std::max(track.lastClosed, start);
}

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
