#include "rawdata/RecordScan.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

#include "rawdata/DataFile.h"
#include "rawdata/Decoder.h"

int SatelliteCount(const RecordScan& scan) {
    int n = 0;
    for (uint32_t m = scan.satellites; m != 0; m &= m - 1) ++n;
    return n;
}

namespace {

// The spacing (s) of spacings, tenths of a second counted, met most often; 0 when none.
double MostFrequentSpacing(const std::map<long long, long>& spacings) {
    double interval = 0;
    long best = 0;
    for (const auto& [tenths, n] : spacings)
        if (n > best) {
            best = n;
            interval = static_cast<double>(tenths) / 10.0;
        }
    return interval;
}

}  // namespace

RecordScan ScanRawFile(const std::string& path, int formatIndex, const std::atomic<bool>* stop) {
    RecordScan scan;
    scan.formatIndex = formatIndex;
    std::unique_ptr<CDataFile> file = CreateDataFile(formatIndex);
    std::unique_ptr<CDecodeGpsData> decoder = CreateDecoder(formatIndex);
    if (!file || !decoder || !file->Open(path, CFile::modeRead)) return scan;
    scan.opened = true;
    scan.fileLength = file->GetLength();
    decoder->Reset();

    std::vector<uint8_t> record(kRecordBufferSize);
    uint16_t referenceWeek = 0;
    ObservationEpoch epoch;
    bool haveEpoch = false;
    // Per epoch kind (0 satellite-dated, 1 receiver-dated): the last time and the
    // spacings in tenths of a second with their counts.
    GpsTime last[2];
    bool haveKind[2] = {false, false};
    std::map<long long, long> spacings[2];
    int length = 0;
    for (;;) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            scan.stopped = true;
            break;
        }
        const int kind = file->ReadRecord(record.data(), length);
        if (kind == kRecordEnd) break;
        ++scan.records;
        if (kind > 0 && kind < RecordScan::kKinds) ++scan.perKind[kind];
        if (kind != kRecordSatelliteDated && kind != kRecordReceiverDated) continue;
        if (decoder->DecodeObservation(record.data(), length, epoch, referenceWeek) == 0) {
            ++scan.invalidEpochs;
            continue;
        }
        ++scan.validEpochs;
        for (int s = 0; s < kSatelliteCount; ++s)
            if (epoch.sat[s].Present()) scan.satellites |= 1u << s;
        if (!haveEpoch || epoch.time < scan.firstEpoch) scan.firstEpoch = epoch.time;
        if (!haveEpoch || epoch.time > scan.lastEpoch) scan.lastEpoch = epoch.time;
        haveEpoch = true;
        const int k = kind == kRecordReceiverDated ? 1 : 0;
        if (haveKind[k]) {
            const double step = epoch.time.Difference(last[k]);
            if (step > 0 && step < 86400) ++spacings[k][std::llround(step * 10)];
        }
        last[k] = epoch.time;
        haveKind[k] = true;
    }
    scan.interval = MostFrequentSpacing(spacings[1].empty() ? spacings[0] : spacings[1]);
    // The length of the data read, which a gzip file does not tell beforehand.
    // NOLINTNEXTLINE(bugprone-parent-virtual-call): every byte read, the buffered ones too
    if (file->IsCompressed()) scan.fileLength = file->CFile::GetPosition();
    scan.readError = file->Error();
    file->Close();
    return scan;
}

std::string RecordKindName(int kind, int formatIndex) {
    const bool ascii = formatIndex == 0;
    switch (kind) {
        case kRecordOther: return "other type";
        case kRecordI: return "not decoded (I)";
        case kRecordG: return "not decoded (G)";
        case kRecordL: return "not decoded (L)";
        case kRecordSatelliteDated: return "satellite-dated epoch (R)";
        case kRecordReceiverDated: return "receiver-dated epoch (Q)";
        case kRecordEphemeris: return "ephemeris (E)";
        case kRecordA: return "not decoded (A)";
        case kRecordSiteEvent: return ascii ? "site or time event (M, T)" : "site or time event (M, m)";
        case kRecordAntennaHeight: return ascii ? "antenna height (V)" : "antenna height (H)";
        case kRecordIonoUtc: return "ionosphere/UTC (U)";
        default: return "unknown";
    }
}

namespace {

// "2005-04-02 00:00:00 (week 1316, 518400.000 s)"
std::string FormatEpochTime(const GpsTime& t) {
    const CalendarTime c = t.ToCalendar();
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d (week %u, %.3f s)", c.year,
                  c.month, c.day, c.hour, c.minute, c.second, static_cast<unsigned>(t.week),
                  t.seconds);
    return buf;
}

}  // namespace

std::string FormatRecordScan(const RecordScan& scan, const std::string& path) {
    std::string out;
    char line[160];
    out += "File: " + path + "\n";
    if (!scan.opened) {
        out += scan.formatIndex == 0 || scan.formatIndex == 1 ? "Cannot open the file.\n"
                                                              : "Unknown raw data format.\n";
        return out;
    }
    std::snprintf(line, sizeof line, "Format: %s, %lld bytes\n",
                  scan.formatIndex == 1 ? "binary" : "ASCII",
                  static_cast<long long>(scan.fileLength));
    out += line;
    std::snprintf(line, sizeof line, "Records: %ld\n", scan.records);
    out += line;
    for (int kind = 1; kind < RecordScan::kKinds; ++kind) {
        if (scan.perKind[kind] == 0) continue;
        std::snprintf(line, sizeof line, "  %-28s %8ld\n",
                      RecordKindName(kind, scan.formatIndex).c_str(), scan.perKind[kind]);
        out += line;
    }
    std::snprintf(line, sizeof line, "Epochs: %ld valid, %ld invalid\n", scan.validEpochs,
                  scan.invalidEpochs);
    out += line;
    if (scan.validEpochs > 0) {
        out += "First epoch: " + FormatEpochTime(scan.firstEpoch) + "\n";
        out += "Last epoch:  " + FormatEpochTime(scan.lastEpoch) + "\n";
    }
    return out;
}

int GuessFormatIndex(const std::string& path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead)) return -1;
    uint8_t head[1000];
    const size_t n = file.Read(head, sizeof head);
    for (size_t i = 0; i < n; ++i) {
        const uint8_t b = head[i];
        const bool text = (b >= 0x20 && b <= 0x7E) || b == '\r' || b == '\n' || b == '\t' ||
                          b == 0x02 || b == 0x03;
        if (!text) return 1;
    }
    return 0;
}
