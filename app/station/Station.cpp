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
#include "rawdata/RecordStream.h"

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
