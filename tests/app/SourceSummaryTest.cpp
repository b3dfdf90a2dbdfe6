// The line under the source in the window and the day a recording is dated by.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/dialog/SourceSummary.h"
#include "rawdata/RecordKind.h"

namespace {

// Days since the GPS origin of 5 August 2010 and of 7 February 2024.
constexpr double k5Aug2010 = 11169;
constexpr double k7Feb2024 = 16103;

// A scan of a file that holds epochs from first to last (seconds of GPS week
// 2300, which begins on 4 February 2024), or none.
RecordScan Scan(long epochs, double first, double last, double interval) {
    RecordScan scan;
    scan.opened = true;
    scan.validEpochs = epochs;
    scan.firstEpoch = GpsTime(2300, first);
    scan.lastEpoch = GpsTime(2300, last);
    scan.interval = interval;
    return scan;
}

TEST(SourceSummary, LinesOfScans) {
    RecordScan day = Scan(17280, 3.5 * 86400, 4.5 * 86400 - 5, 5);
    day.perKind[kRecordReceiverDated] = 17280;
    day.perKind[kRecordEphemeris] = 1;
    day.perKind[kRecordSiteEvent] = 2;
    day.perKind[kRecordAntennaHeight] = 1;
    day.satellites = 0x7;
    RecordScan both = Scan(1, 3 * 86400, 3 * 86400, 0);
    both.perKind[kRecordSatelliteDated] = 2;
    both.perKind[kRecordReceiverDated] = 1;
    both.satellites = 1u << 31;
    both.invalidEpochs = 2;
    RecordScan weekless = Scan(0, 0, 0, 0);
    weekless.perKind[kRecordEphemeris] = 3;
    const struct {
        RecordScan scan;
        std::string line;
    } cases[] = {
        {day, "2024-02-07 (from the data), 12:00:00 to 2024-02-08 11:59:55 GPS, every 5 s, "
              "17280 receiver-dated epochs, 3 satellites, 1 ephemeris, 3 events"},
        {both, "2024-02-07 (from the data), 00:00:00 to 00:00:00 GPS, 2 satellite-dated and 1 receiver-dated epochs, "
               "1 satellite, no ephemerides, no events (2 unreadable epochs)"},
        {weekless, "2010-08-05 (the file's date: no full GPS week in the data), no epochs, no satellites, "
                   "3 ephemerides, no events"},
    };
    for (const auto& c : cases) EXPECT_EQ(SourceSummaryLine(c.scan, k5Aug2010 + 0.7), c.line);
}

TEST(SourceSummary, TheDataDatesTheRecordingWhenItCarriesAFullWeek) {
    const RecordingDay dataDay = RecordingDayOf(Scan(3, 3.99 * 86400, 4.2 * 86400, 1), k5Aug2010);
    EXPECT_EQ(dataDay.day, k7Feb2024);
    EXPECT_TRUE(dataDay.fromData);
    const RecordingDay fileDay = RecordingDayOf(Scan(0, 0, 0, 0), k5Aug2010 + 0.5);
    EXPECT_EQ(fileDay.day, k5Aug2010);
    EXPECT_FALSE(fileDay.fromData);
}

TEST(SourceSummary, ARealFileAndPathsWithoutOne) {
    const std::string sample = QERN_SOURCE_DIR "/testdata/app/sim_both_2min.bin";
    EXPECT_EQ(SummarizeSource(sample, -1, k5Aug2010), "2024-02-07 (from the data), 00:00:00 to 00:01:50 GPS, every 10 s, 12 satellite-dated and "
              "12 receiver-dated epochs, 10 satellites, 10 ephemerides, no events");
    EXPECT_EQ(SummarizeSource(sample, 1, k5Aug2010), SummarizeSource(sample, -1, k5Aug2010));
    EXPECT_EQ(SummarizeSource(QERN_SOURCE_DIR "/no such file.bin", 1, 0), "no such file");
    EXPECT_EQ(SummarizeSource(QERN_SOURCE_DIR "/testdata", 1, 0), "is a folder");
    const std::atomic<bool> stop{true};
    EXPECT_EQ(SummarizeSource(sample, 1, k5Aug2010, &stop), "");
}

}  // namespace
