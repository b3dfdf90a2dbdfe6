#pragma once
#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/station/StationConfig.h"
#include "app/station/StationSource.h"
#include "convert/ConversionState.h"
#include "rawdata/Decoder.h"

// A permanent station: takes the framed records of a receiver's stream, writes
// each period's records to a spool file in DIR/raw/ and, once the period is over
// (its end in GPS time plus the latency, by the stream's own clock), converts it
// with the normal conversion into DIR/rinex/ and DIR/qc/. What it has taken is
// kept in DIR/state/ so that a restart, after any kill, goes on with nothing lost
// or written twice; DIR/status.json tells how it is doing.
//
// Each spool begins with the last three ephemerides of every satellite, the latest
// ionosphere/UTC record seen before the period and the last epoch record before
// the period (read by the conversion, never written), so that every period has
// its navigation file and positions and its carrier phases go on from the period
// before as in one long conversion.
class Station {
public:
    Station(std::string directory, StationConfig config, std::ostream& log);
    ~Station();
    Station(const Station&) = delete;
    Station& operator=(const Station&) = delete;

    // Creates the folders, locks DIR for this process, and resumes from the state
    // of the run before: spools cut back to what was saved, periods left half
    // published published again. False with error set when the station cannot run.
    bool Open(std::string& error);
    // Where a file source is to be read from after the state of the run before.
    const FilePlace& ResumePlace() const { return place_; }
    // Tells where a file source stands after the records taken so far (files
    // only), after each Take.
    void SetPlace(const FilePlace& place) { place_ = place; }

    // Takes one framed record of the stream (its RecordKind and bytes). The state
    // saved counts the records up to the latest epoch record: after a restart the
    // source is read again from there (a stream source is expected to send again
    // what a kill may have cut; what was taken already is recognised by its time).
    void Take(int kind, const std::vector<uint8_t>& record);
    // The source's description, state and last error, for the status and the log.
    void SetSource(const std::string& description, const std::string& state, const std::string& error);
    // Syncs the spools, saves the state and rewrites the status file.
    void Checkpoint();
    // The end of the stream: closes and converts every open period.
    void Finish();

    // Counters for the status and tests.
    long PeriodsWritten() const { return periodsWritten_; }

private:
    struct Period {
        int fd = -1;
        int64_t bytes = 0;
        double lastEpoch = -1;  // GPS seconds of its latest epoch record
        long epochs = 0;
        // The same before the latest epoch record: what the state saves, so that
        // a restart takes that record and the records after it again, whole.
        int64_t markBytes = 0;
        double markLastEpoch = -1;
        long markEpochs = 0;
        void Mark() {
            markBytes = bytes;
            markLastEpoch = lastEpoch;
            markEpochs = epochs;
        }
    };
    // Where the stream stood before its latest epoch record.
    struct StreamMark {
        FilePlace place;
        bool started = false;
        double lastEpoch = -1;
        double groupTime = -1;
        bool groupDropped = false;
    };
    struct Track {
        int seconds = 3600;
        std::map<int64_t, Period> open;  // by start, GPS seconds
        std::set<int64_t> closing;       // synced and closed, being published
        int64_t lastClosed = -1;
        bool started = false;            // a period was opened (the records before the first epoch went there)
        std::unique_ptr<ConversionState> state = std::make_unique<ConversionState>();
    };

    bool EpochTime(const std::vector<uint8_t>& record, double& t);
    void TakeEpoch(const std::vector<uint8_t>& record, double t);
    void OpenPeriod(Track& track, int64_t start);
    void Append(Period& period, const std::vector<uint8_t>& record);
    void CloseDue(double streamTime);
    void ClosePeriod(Track& track, int64_t start);
    void FinishClosing(Track& track, int64_t start);
    bool Publish(Track& track, int64_t start);
    void LoadCarry(Track& track, int64_t start, bool& found);
    void SaveCarry(Track& track, int64_t start);
    void RebuildCarried();
    bool LoadState(std::string& error);
    void SaveState();
    void WriteStatus();
    void Error(const std::string& text);
    void CountDay(double t);
    void MarkGroup();
    void KeepNavigation(int kind, const std::vector<uint8_t>& record);

    // Names of a period's files.
    std::string RawStem(const Track& track, int64_t start) const;
    std::string SpoolPath(const Track& track, int64_t start) const;
    std::string RawPath(const Track& track, int64_t start) const;
    std::string ObservationName(const Track& track, int64_t start) const;
    std::string NavigationName(const Track& track, int64_t start) const;
    // name as written: Compact RINEX (an observation file) and gzip when configured.
    std::string EncodedName(std::string name, bool observation) const;

    std::string dir_;
    StationConfig config_;
    std::ostream& log_;
    int lockFd_ = -1;
    std::unique_ptr<CDecodeGpsData> decoder_;
    uint16_t referenceWeek_ = 0;
    std::vector<Track> tracks_;  // the short periods first, then the days

    FilePlace place_;
    StreamMark mark_;
    bool started_ = false;        // an epoch record was taken
    double lastEpoch_ = -1;       // the latest epoch record taken, GPS seconds
    double groupTime_ = -1;       // the epoch record the records that follow go with
    bool groupDropped_ = false;   // that epoch record was late or resent: so are they
    double interval_ = 0;         // s, the spacing of the epochs
    // The latest few distinct ephemeris records of each satellite, oldest first:
    // the conversion picks the one of the nearest reference time, as it would
    // from all of them.
    std::map<int, std::vector<std::vector<uint8_t>>> ephemerides_;
    std::vector<uint8_t> ionoUtc_;                     // latest
    std::vector<uint8_t> leadIn_;                      // the latest epoch record taken
    std::vector<std::vector<uint8_t>> beforeFirstEpoch_;

    // Status.
    std::string source_, sourceState_ = "starting", lastError_;
    int64_t day_ = -1;
    long recordsToday_ = 0;
    int64_t bytesToday_ = 0;
    long periodsWritten_ = 0;
    long late_ = 0, resent_ = 0, lateLogged_ = 0;
    long otherKindEpochs_ = 0;  // epoch records of the kind not converted, before the first epoch
    static constexpr long kOtherKindWarning = 60;
    // The system clock in GPS seconds (leap seconds as of 2017).
    static double GpsNow() { return static_cast<double>(std::time(nullptr)) - 315964800.0 + 18.0; }
};
