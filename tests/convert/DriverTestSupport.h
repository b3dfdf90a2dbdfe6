#pragma once
// Helpers of the conversion driver tests: a scratch directory, small raw files
// written record by record with the simulator's encoders, and file reading.
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "convert/ConversionDriver.h"
#include "rawdata/DataFile.h"
#include "tests/support/ScriptedUi.h"
#include "tools/rawsim/RawWriter.h"

namespace drivertest {

inline constexpr uint16_t kWeek = 1316;  // 2 April 2005

// A fresh directory removed at the end of the test.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qern_conv_XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        path_ = mkdtemp(buffer.data()) ? std::string(buffer.data()) : std::string();
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Lines of a text without their CR LF.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

// The header line of a RINEX file with a label, or an empty text.
inline std::string HeaderLine(const std::string& text, const std::string& label) {
    for (const std::string& line : Lines(text)) {
        if (line.size() >= 60 && line.compare(60, label.size(), label) == 0) return line;
        if (line.find("END OF HEADER") != std::string::npos) break;
    }
    return {};
}

// Number of dated lines (epoch lines and dated event lines) of a year (two digits,
// as written: "  5" for 2005) with an epoch flag.
inline int CountDated(const std::string& text, int flag, const std::string& year = "  5") {
    int n = 0;
    for (const std::string& line : Lines(text))
        if (line.size() >= 32 && line.compare(0, 3, year) == 0 && line[28] == '0' + flag) ++n;
    return n;
}

// Number of occurrences of a piece of text.
inline int Count(const std::string& text, const std::string& piece) {
    int n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

// A satellite of a simple epoch: codes and phases that change steadily with t.
inline SimSatellite Satellite(int prn, double t) {
    SimSatellite s;
    s.prn = prn;
    const double rate = 100.0 * prn;                    // Hz, range growing
    s.c1 = 0.070 + prn * 1e-4 + rate * 0.19029367 * t / 299792458.0;
    s.l1 = 1000.0 * prn + rate * t;
    s.d1 = rate;
    s.cn0 = 45;
    return s;
}

// An epoch of kind letter ('Q' receiver-dated, 'R' satellite-dated) at seconds of week t.
inline SimEpoch Epoch(char letter, double t, std::initializer_list<int> prns = {3, 7, 12, 20}) {
    SimEpoch e;
    e.letter = letter;
    e.time = GpsTime(kWeek, t);
    for (int prn : prns) e.sats.push_back(Satellite(prn, t - 345600.0));
    return e;
}

// Writes records into a binary raw file.
class RawFile {
public:
    explicit RawFile(const std::string& path, RawLayout layout = RawLayout::Binary)
        : writer_(CreateEncoder(layout), FaultPlan(), nullptr) {
        writer_.Open(path);
    }
    RawFile& Add(const SimEpoch& e) {
        TruthEpoch truth;
        writer_.WriteEpoch(e, truth);
        return *this;
    }
    RawFile& Add(const SimEvent& e) {
        writer_.WriteEvent(e);
        return *this;
    }
    RawFile& AddIonoUtc(const IonoUtc& iono) {
        writer_.WriteIonoUtc(iono, kWeek, GpsTime(kWeek, 345600.0));
        return *this;
    }
    RawFile& AddEphemeris(const Ephemeris& eph) {
        writer_.WriteEphemeris(eph, eph.toeTime);
        return *this;
    }
    bool Close() { return writer_.Close(); }
    RawWriter& Writer() { return writer_; }

private:
    RawWriter writer_;
};

inline SimEvent AntennaHeight(double t, double height) {
    SimEvent e;
    e.type = SimEventType::AntennaHeight;
    e.time = GpsTime(kWeek, t);
    e.height = height;
    return e;
}

inline SimEvent TimeEvent(double t) {
    SimEvent e;
    e.type = SimEventType::TimeEvent;
    e.time = GpsTime(kWeek, t);
    return e;
}

inline SimEvent SiteRecord(double t, int siteType, const std::string& name) {
    SimEvent e;
    e.type = SimEventType::Site;
    e.time = GpsTime(kWeek, t);
    e.siteType = siteType;
    e.markerName = name;
    return e;
}

// A request for source -> dir/OUT.05O and dir/OUT.05N, binary format, silent.
inline ConversionRequest Request(const ScratchDir& dir, const std::string& source) {
    ConversionRequest r;
    r.sourcePath = source;
    r.formatIndex = kRawBinary;
    r.recordingDate = kWeek * 7.0 + 4.0;
    r.markerName = "TEST";
    r.observationPath = dir.File("OUT.05O");
    r.navigationPath = dir.File("OUT.05N");
    r.tx = 0.075;
    r.silent = true;
    return r;
}

// A file that takes limit bytes and then fails like a full disk (or fails only
// when it is closed).
class FullDiskFile : public CFile {
public:
    FullDiskFile(long limit, bool failClose) : limit_(limit), failClose_(failClose) {}
    bool Write(const void* buffer, size_t count) override {
        if (limit_ >= 0 && written_ + static_cast<long>(count) > limit_) return SetError(ENOSPC);
        written_ += static_cast<long>(count);
        return CFile::Write(buffer, count);
    }
    bool Close() override {
        const bool open = IsOpen();
        const bool closed = CFile::Close();
        return open && failClose_ ? SetError(ENOSPC) : closed;
    }

private:
    long limit_;
    bool failClose_;
    long written_ = 0;
};

// A binary raw data file that fails with EIO once limit bytes were read.
class FailingSource : public CKBinDataFile {
public:
    explicit FailingSource(long limit) : limit_(limit) {}
    size_t Read(void* buffer, size_t count) override {
        if (GetPosition() + static_cast<long>(count) > limit_) return SetError(EIO), 0;
        return CKBinDataFile::Read(buffer, count);
    }

private:
    long limit_;
};

}  // namespace drivertest
