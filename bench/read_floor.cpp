// read_floor: the cost of a conversion's input alone. Reads a raw data file twice,
// as the conversion's read and observation passes do, frames every record and
// decodes it into the shared records by its kind, and writes nothing.
//
//   read_floor [--format 0|1] FILE
//
// Format 0 is ASCII, 1 binary; without --format the first 1000 bytes decide (a
// byte of 128 or more: binary), as the main dialog does. Prints one line of
// key=value pairs: bytes, records and epochs per pass, decoded records of each
// kind, and the wall and CPU (user + system) time of the two passes in seconds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

#include "rawdata/DataFile.h"
#include "rawdata/Decoder.h"
#include "rawdata/RecordKind.h"

namespace {

// Counts of one pass over the file.
struct PassCounts {
    long long records = 0;
    long long epochs = 0;       // valid epoch records of both kinds
    long long ephemerides = 0;  // valid ephemeris records
    long long others = 0;       // valid iono/UTC, site and antenna-height records
    long long invalid = 0;      // records of a decoded kind that did not decode
};

// 0 for an ASCII file, 1 for a binary one: binary when a byte of the first 1000 is 128 or more.
int ProbeFormat(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    unsigned char head[1000];
    const size_t n = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    for (size_t i = 0; i < n; ++i)
        if (head[i] >= 128) return 1;
    return 0;
}

// GPS week of the file's modification time (UTC), the reference week a conversion starts with.
uint16_t ReferenceWeek(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return 0;
    constexpr long long kGpsOrigin = 315964800;  // 1980-01-06 00:00:00 UTC, s since 1970
    const long long days = (static_cast<long long>(st.st_mtime) - kGpsOrigin) / 86400;
    return days > 0 ? static_cast<uint16_t>(days / 7) : 0;
}

// Reads and decodes every record of the file once; false when it cannot be opened.
bool DecodePass(const std::string& path, int format, uint16_t week, PassCounts& counts) {
    std::unique_ptr<CDataFile> file = CreateDataFile(format);
    std::unique_ptr<CDecodeGpsData> decoder = CreateDecoder(format);
    if (!file || !decoder || !file->Open(path, CFile::modeRead)) return false;
    decoder->Reset();
    std::vector<uint8_t> buffer(kRecordBufferSize + 1);
    uint16_t referenceWeek = week;
    int length = 0;
    for (int kind = file->ReadRecord(buffer.data(), length); kind != kRecordEnd;
         kind = file->ReadRecord(buffer.data(), length)) {
        ++counts.records;
        if (length < 0 || length > kRecordBufferSize) length = 0;
        uint8_t* record = buffer.data();
        switch (kind) {
            case kRecordSatelliteDated:
            case kRecordReceiverDated: {
                ObservationEpoch epoch;
                if (decoder->DecodeObservation(record, length, epoch, referenceWeek) != 0) ++counts.epochs;
                else ++counts.invalid;
                break;
            }
            case kRecordEphemeris: {
                Ephemeris eph;
                if (decoder->DecodeEphemeris(record, length, eph, referenceWeek) >= 0) ++counts.ephemerides;
                else ++counts.invalid;
                break;
            }
            case kRecordIonoUtc: {
                IonoUtc iono;
                if (decoder->DecodeIonoUtc(record, length, iono, referenceWeek) != 0) ++counts.others;
                else ++counts.invalid;
                break;
            }
            case kRecordSiteEvent: {
                SiteEvent event;
                if (decoder->DecodeSiteEvent(record, length, event, referenceWeek) != 0) ++counts.others;
                else ++counts.invalid;
                break;
            }
            case kRecordAntennaHeight: {
                SiteEvent event;
                if (decoder->DecodeAntennaHeight(record, length, event, referenceWeek) != 0) ++counts.others;
                else ++counts.invalid;
                break;
            }
            default:
                break;
        }
    }
    file->Close();
    return true;
}

// CPU time (user + system) of this process so far, s.
double CpuSeconds() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

}  // namespace

int main(int argc, char** argv) {
    int format = -1;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--format" && i + 1 < argc) {
            format = std::atoi(argv[++i]);
        } else if (a == "--help" || a == "-h") {
            std::puts("usage: read_floor [--format 0|1] FILE   (0 ASCII, 1 binary; probed when not given)");
            return 0;
        } else {
            path = a;
        }
    }
    if (path.empty()) {
        std::fputs("usage: read_floor [--format 0|1] FILE\n", stderr);
        return 2;
    }
    if (format != 0 && format != 1) format = ProbeFormat(path);
    if (format < 0) {
        std::fprintf(stderr, "read_floor: cannot open %s\n", path.c_str());
        return 1;
    }
    struct stat st {};
    const long long bytes = stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
    const uint16_t week = ReferenceWeek(path);

    const double cpuStart = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    PassCounts first, second;
    if (!DecodePass(path, format, week, first) || !DecodePass(path, format, week, second)) {
        std::fprintf(stderr, "read_floor: cannot open %s\n", path.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuStart;
    if (first.records != second.records || first.epochs != second.epochs) {
        std::fprintf(stderr, "read_floor: the two passes disagree\n");
        return 1;
    }
    std::printf("bytes=%lld records=%lld epochs=%lld ephemerides=%lld others=%lld invalid=%lld seconds=%.6f cpu=%.6f\n",
                bytes, first.records, first.epochs, first.ephemerides, first.others, first.invalid, seconds, cpu);
    return 0;
}
