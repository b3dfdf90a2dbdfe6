#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "tools/rawsim/Faults.h"
#include "tools/rawsim/RecordEncoder.h"
#include "tools/rawsim/Truth.h"

// Writes the records of one raw file in one layout, streaming them to a file or a
// string, puts in the requested faults and reports the truth of every record.
class RawWriter {
public:
    RawWriter(std::unique_ptr<RecordEncoder> encoder, const FaultPlan& faults, TruthSink* sink);
    ~RawWriter();
    RawWriter(const RawWriter&) = delete;
    RawWriter& operator=(const RawWriter&) = delete;

    // Creates or truncates path; false on failure.
    bool Open(const std::string& path);
    // Appends to a string instead of a file.
    void OpenMemory(std::string* out);

    // Writes an epoch record; truth carries the model values and receives the decoded
    // epoch before it goes to the sink.
    void WriteEpoch(const SimEpoch& epoch, TruthEpoch& truth);
    // Writes the ephemeris record of eph (its broadcast fields; satellite = PRN - 1).
    // recordTime dates the ASCII record. False when a field does not fit its bits.
    bool WriteEphemeris(const Ephemeris& eph, const GpsTime& recordTime);
    // Writes the ionosphere/UTC record; the decoded time uses referenceWeek.
    bool WriteIonoUtc(const IonoUtc& iono, uint16_t referenceWeek, const GpsTime& recordTime);
    // Writes an event record; false when the layout has no record for it.
    bool WriteEvent(const SimEvent& event);
    // Writes pending fault bytes and closes; false when a write failed.
    bool Close();

    RecordEncoder& Encoder() { return *encoder_; }
    const TruthCounts& Counts() const { return counts_; }
    double FirstAntennaHeight() const { return antennaHeight_; }

private:
    void Put(const std::string& bytes);
    // The next fault of the rotation when this epoch/ephemeris record is due one.
    bool NextFault(FaultType& type);
    void ReportFault(FaultType type, char letter, const GpsTime& time);
    std::string Garbage();

    std::unique_ptr<RecordEncoder> encoder_;
    FaultPlan faults_;
    TruthSink* sink_;
    std::FILE* fp_ = nullptr;
    std::string* memory_ = nullptr;
    bool failed_ = false;
    TruthCounts counts_;
    long long faultCounter_ = 0;
    size_t rotation_ = 0;
    int badPrnToggle_ = 0;
    uint32_t garbageState_ = 12345;
    std::string lastRecord_;
    bool haveAntennaHeight_ = false;
    double antennaHeight_ = 0;
};

// Ephemeris as broadcast and read back: eph quantised to the scale factors of the
// navigation words (valid 1, derived block zero). False when a field does not fit.
bool QuantiseEphemeris(const Ephemeris& eph, Ephemeris& quantised);
