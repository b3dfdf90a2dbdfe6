#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "rawdata/Observation.h"
#include "rawdata/SiteEvent.h"
#include "tools/rawsim/BinaryFrame.h"
#include "tools/rawsim/NavWords.h"
#include "tools/rawsim/SimRecords.h"

// A deliberate defect of one record, for robustness tests.
struct RecordFault {
    FrameOptions frame;  // binary only: checksum error, bad escape pair
    int badPrn = -1;     // 0 or more: the first satellite block (or the PRN field) carries this PRN
};

// Turns simulator records into the bytes of one raw layout, and tells what a correct
// decoder of that layout must return for them ("expected"). Encoders of the fixed-column
// layout keep the previous epoch's phases, because that layout derives L1 Dopplers from
// phase differences.
class RecordEncoder {
public:
    virtual ~RecordEncoder() = default;
    virtual RawLayout Layout() const = 0;
    // An epoch record; expected (may be null) receives the decoded epoch, normalised.
    // Empty when the epoch cannot be written in this layout.
    virtual std::string Epoch(const SimEpoch& epoch, ObservationEpoch* expected,
                              const RecordFault& fault = {}) = 0;
    // An ephemeris record of prn; recordTime is the header time of the ASCII layouts.
    virtual std::string EphemerisRecord(int prn, const EphemerisWords& words, const GpsTime& recordTime,
                                        const RecordFault& fault = {}) = 0;
    // An ionosphere/UTC record; recordTime dates it in the ASCII layouts.
    virtual std::string IonoUtcRecord(const uint32_t words[8], const GpsTime& recordTime,
                                      const RecordFault& fault = {}) = 0;
    // A site, time-event or antenna-height record; expected (may be null) receives the
    // decoded event. Empty when the event has no record in this layout.
    virtual std::string Event(const SimEvent& event, SiteEvent* expected, const RecordFault& fault = {}) = 0;
    // Record kind a reader returns for an event of this layout (10 or 11), 0 when none.
    virtual int EventRecordKind(const SimEvent& event) const = 0;
    // Whether a satellite-dated and a receiver-dated stream may share one file.
    virtual bool MixesKinds() const { return true; }
};

// Options of the ASCII comma-separated layout.
struct CsvOptions {
    bool shortMode = false;  // mode text "#A"/"#P": codes, L1, D1 and cn0 only
};

std::unique_ptr<RecordEncoder> CreateBinaryEncoder();
std::unique_ptr<RecordEncoder> CreateCsvEncoder(const CsvOptions& options = {});
std::unique_ptr<RecordEncoder> CreateFixedEncoder();
std::unique_ptr<RecordEncoder> CreateEncoder(RawLayout layout);

// Helpers shared by the encoders.

// A travel time as written: kept when in [0, 0.4) s, else reduced into [0, 0.1) s.
double WrittenTravelTime(double seconds);
// x reduced into [0, m).
double PositiveRemainder(double x, double m);
// The event a reader of a binary site record builds from its fields: kind from the
// type code, marker name and description by the site-record text rules.
SiteEvent ExpectedSiteEvent(const SimEvent& event);
// The SiteEvent kind of a site type code.
int SiteKindOfType(int siteType);
