#include <memory>
#include <string>
#include <vector>

#include "convert/Conversion.h"
#include "convert/ReadTally.h"
#include "platform/FileSystem.h"
#include "rawdata/RecordKind.h"

// What the read pass keeps from record to record: the tally, the weeks, and the
// ephemerides and iono/UTC records met before the first observation, which wait
// for the full GPS week it carries (their own weeks are truncated).
struct ReadRecords {
    struct Early {
        int kind;
        int length;
        std::vector<uint8_t> bytes;  // the record and a closing zero byte
    };
    ReadTally tally;
    uint16_t recordedWeek = 0;   // the week of the recording date
    uint16_t referenceWeek = 0;  // the observations' full week from the first one on
    bool observed = false;       // an observation was decoded
    GpsTime lastEpoch;           // the time tag of the observation decoded last
    std::vector<Early> early;
};

// Reads the whole source once: counts, chooses the raw-data kind, fills the header's
// type mask, first and last time and interval, the ephemeris store and the kept
// ionosphere/UTC record. False when the conversion ends here.
bool Conversion::ReadPass() {
    ui_.SetStatus(std::string(LoadString(kStrReading)));
    ui_.SetPosition(0);
    std::string path, reason;
    if (!StampSources(request_, sources_, path, reason) && KindOfPath(path) != PathKind::Missing) {
        result_.failedPath = path;
        result_.failureReason = reason;
        return Fail(ConversionOutcome::SourceUnreadable, kStrReadFailed, MessageIcon::Stop, {path, reason});
    }
    SourceReader source;
    if (!OpenSource(source)) return false;
    ReadRecords read;
    // The GPS week of the recording date (a day count); a date outside the 16-bit
    // week range gives week 0 rather than an undefined conversion.
    const double recordingWeek = request_.recordingDate / 7.0;
    read.recordedWeek = recordingWeek >= 0.0 && recordingWeek < 65536.0 ? static_cast<uint16_t>(recordingWeek) : 0;
    read.referenceWeek = read.recordedWeek;
    result_.recordedWeek = read.recordedWeek;
    for (int kind = source.Next(); kind != kRecordEnd; kind = FetchNext(source)) {
        if (CancelRequested()) {
            source.Close();
            return FailCancelled();
        }
        ReadRecord(kind, source, read);
        Lap(ConversionStage::Tally);
    }
    ReadEarlyRecords(*source.decoder, read);  // no observation carried a week: the recording date's
    const bool intact = SourceIntact(source);
    source.Close();
    return intact && ChooseRawKind(read.tally);
}

// Takes one record of the read pass into read: an observation into the tally, an
// ephemeris or iono/UTC record (kept for later before the first observation), an
// antenna height before any observation into the header.
void Conversion::ReadRecord(int kind, SourceReader& source, ReadRecords& read) {
    switch (kind) {
        case kRecordSatelliteDated:
        case kRecordReceiverDated: {
            ObservationEpoch epoch;
            const uint16_t mask =
                source.decoder->DecodeObservation(source.Record(), source.length, epoch, read.referenceWeek);
            Lap(ConversionStage::Decode);
            if (mask == 0) break;
            read.lastEpoch = epoch.time;
            if (!read.observed) {
                read.observed = true;
                ReadEarlyRecords(*source.decoder, read);
                if (read.referenceWeek != read.recordedWeek) result_.dataWeek = read.referenceWeek;
            }
            const GpsTime t = kind == kRecordSatelliteDated ? epoch.time.AddSeconds(request_.tx) : epoch.time;
            bool cn0 = false;
            for (const SatObservation& sat : epoch.sat) cn0 = cn0 || (sat.Present() && sat.cn0 > 0);
            (kind == kRecordSatelliteDated ? read.tally.satelliteDated : read.tally.receiverDated)
                .Add(t, mask, EpochSelected(request_, t), cn0);
            break;
        }
        case kRecordEphemeris:
        case kRecordIonoUtc:
            if (read.observed) {
                ReadNavigationRecord(*source.decoder, kind, source.Record(), source.length, read);
            } else {
                std::vector<uint8_t> bytes(source.buffer.begin(), source.buffer.begin() + source.length);
                bytes.push_back(0);
                read.early.push_back({kind, source.length, std::move(bytes)});
            }
            break;
        case kRecordAntennaHeight: {
            SiteEvent event;
            if (source.decoder->DecodeAntennaHeight(source.Record(), source.length, event, read.referenceWeek) &&
                PlausibleAntennaHeight(event.value) && read.tally.satelliteDated.count == 0 &&
                read.tally.receiverDated.count == 0)
                state_.header.SetAntennaHeight(event.value);
            Lap(ConversionStage::Decode);
            break;
        }
        default:
            break;
    }
}

// Decodes the navigation records kept until a week was known, with that week.
void Conversion::ReadEarlyRecords(CDecodeGpsData& decoder, ReadRecords& read) {
    for (ReadRecords::Early& r : read.early)
        ReadNavigationRecord(decoder, r.kind, r.bytes.data(), r.length, read);
    read.early.clear();
}

// Decodes an ephemeris (into the store) or an iono/UTC record (kept) of the read
// pass, its truncated week completed from the reference week; an iono/UTC record
// is dated by the observation read last.
void Conversion::ReadNavigationRecord(CDecodeGpsData& decoder, int kind, uint8_t* record, int length,
                                      ReadRecords& read) {
    uint16_t& week = read.referenceWeek;
    ReadTally& tally = read.tally;
    if (kind == kRecordEphemeris) {
        auto eph = std::make_unique<Ephemeris>();
        const int decoded = decoder.DecodeEphemeris(record, length, *eph, week);
        Lap(ConversionStage::Decode);
        if (decoded >= 0 && state_.tracker.store.Add(eph)) ++tally.ephemerides;  // a refused ephemeris is freed here
        return;
    }
    IonoUtc iono;
    if (decoder.DecodeIonoUtc(record, length, iono, week)) {
        state_.tracker.ionoUtc = iono;
        state_.ionoUtcTime = read.lastEpoch;
        ++tally.ionoUtcRecords;
    }
    Lap(ConversionStage::Decode);
}

// Chooses the raw-data kind (the person chooses when the source holds both) and
// fills the header from its statistics. False when the conversion ends here.
bool Conversion::ChooseRawKind(const ReadTally& tally) {
    RecordKind kind = tally.OnlyKind();
    if (tally.BothKinds()) {
        kind = kRecordReceiverDated;  // preselected
        if (!request_.silent && ui_.AskRawKind(kind) == Answer::Cancelled)
            return FailQuietly(ConversionOutcome::QuestionCancelled);
    }
    state_.tracker.rawKind = kind;
    int records = 0;
    int ephemerides = tally.ephemerides;
    if (kind != kRecordNone) {
        chosen_ = tally.Of(kind);
        records = chosen_.count;
        RinexObsHeader& h = state_.header;
        h.SetTypeMask(chosen_.typeMask);
        h.SetCn0Mask(chosen_.cn0 ? 1 : 0);
        // The header describes the epochs to be written.
        const bool any = chosen_.selected > 0;
        h.SetFirstTime(any ? chosen_.firstSelected : chosen_.first);
        h.SetLastTime(any ? chosen_.lastSelected : chosen_.last);
        h.SetInterval(request_.interval > 0 ? WrittenInterval(request_.interval, chosen_.Interval())
                                            : chosen_.Interval());
        EphemerisStore& store = state_.tracker.store;
        store.Prune(chosen_.first, chosen_.last, ephemerides);
        // With a time window the navigation file keeps what lies within 4 h of it.
        if (request_.from || request_.to)
            store.Prune(request_.from ? request_.from->AddSeconds(-7200.0) : chosen_.first,
                        request_.to ? request_.to->AddSeconds(7200.0) : chosen_.last, ephemerides);
    }
    Lap(ConversionStage::Tally);
    if (!tally.Sufficient(kind, ephemerides))
        return Fail(ConversionOutcome::InsufficientData, kStrInsufficientData, MessageIcon::Stop,
                    {std::to_string(records), std::to_string(ephemerides), std::to_string(tally.ionoUtcRecords)});
    return true;
}
