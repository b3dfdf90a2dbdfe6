#pragma once
// Runs whole silent conversions of arbitrary bytes and checks the RINEX files they
// leave: lines of at most 80 characters ended by CR LF, no other control character,
// no "nan" or "inf" written for a number. Used by the conversion fuzz target and by
// the regression tests of hostile raw files.
#include <unistd.h>

#include <cstdint>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "convert/ConversionDriver.h"
#include "convert/HeadlessUi.h"
#include "tests/support/CompactRinexReader.h"

namespace conversionharness {

// A HeadlessUi that stays quiet: no message and no progress line on standard error,
// even when it is a terminal.
class QuietUi : public HeadlessUi {
public:
    QuietUi() : HeadlessUi(nullptr) {}
};

// A directory of its own for one process, under /dev/shm when it exists (memory),
// else the system's temporary directory; removed with its files at destruction.
class ScratchDir {
public:
    ScratchDir() {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path(ec);
        std::string pattern = (base / "qern_conv_fuzz_XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) path_ = buffer.data();
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    bool Ok() const { return !path_.empty(); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The whole content of a file; empty when it cannot be read.
inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Writes bytes to a file (created or truncated); false on failure.
inline bool WriteAll(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// True when a header or event label (columns 61-80) names a record whose first 60
// columns are free text, where letters such as "inf" may stand.
inline bool IsTextRecord(std::string_view line) {
    if (line.size() < 61) return false;
    const std::string_view label = line.substr(60);
    for (std::string_view free : {"MARKER NAME", "MARKER NUMBER", "COMMENT", "OBSERVER / AGENCY",
                                  "REC # / TYPE / VERS", "ANT # / TYPE", "PGM / RUN BY / DATE"})
        if (label.substr(0, free.size()) == free) return true;
    return false;
}

// True when a line holds the text of a non-finite number as printf and to_chars write
// it: "nan" or "inf" in either case, not inside a word.
inline bool HasNonFiniteText(std::string_view line) {
    auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
    auto letter = [&](char c) { return lower(c) >= 'a' && lower(c) <= 'z'; };
    for (size_t i = 0; i + 3 <= line.size(); ++i) {
        const char a = lower(line[i]), b = lower(line[i + 1]), c = lower(line[i + 2]);
        const bool nan = a == 'n' && b == 'a' && c == 'n';
        const bool inf = a == 'i' && b == 'n' && c == 'f';
        if (!nan && !inf) continue;
        if (i > 0 && letter(line[i - 1])) continue;
        if (nan && i + 3 < line.size() && letter(line[i + 3])) continue;
        if (inf && i + 3 < line.size() && letter(line[i + 3]) && lower(line[i + 3]) != 'i') continue;
        return true;
    }
    return false;
}

// The first fault of a RINEX text: a line over 80 characters (except the satellite
// lines of a RINEX 3 observation file, which have no length limit), a line not
// ended by CR LF, a control character, a non-finite number; empty when the text is
// well formed. The message names the line (1-based) and shows it.
inline std::string CheckRinexText(const std::string& text, bool rinex3Observation = false) {
    size_t start = 0;
    int number = 0;
    bool inHeader = true;
    while (start < text.size()) {
        ++number;
        const size_t lf = text.find('\n', start);
        const std::string where = "line " + std::to_string(number) + ": ";
        if (lf == std::string::npos) return where + "not ended by CR LF: \"" + text.substr(start, 100) + "\"";
        if (lf == start || text[lf - 1] != '\r') return where + "LF without CR";
        const std::string_view line(text.data() + start, lf - 1 - start);
        const std::string shown(line.substr(0, 120));
        const bool satelliteLine = rinex3Observation && !inHeader && line.size() >= 3 && line[0] == 'G' &&
                                   std::isdigit(static_cast<unsigned char>(line[1])) &&
                                   std::isdigit(static_cast<unsigned char>(line[2]));
        if (line.size() > 80 && !satelliteLine)
            return where + std::to_string(line.size()) + " characters: \"" + shown + "\"";
        if (inHeader && line.size() >= 73 && line.substr(60, 13) == "END OF HEADER") inHeader = false;
        for (const char ch : line) {
            const auto b = static_cast<unsigned char>(ch);
            if (b < 0x20 || b == 0x7F)
                return where + "control character " + std::to_string(b) + ": \"" + shown + "\"";
        }
        if (!IsTextRecord(line) && HasNonFiniteText(line)) return where + "non-finite number: \"" + shown + "\"";
        start = lf + 1;
    }
    return {};
}

// Options of one run, as the first byte of a fuzz input chooses them:
//   bit 0     format of the first conversion (0 ASCII, 1 binary); the other follows
//   bits 1-2  Tx: 75 ms, 0, 100 ms, 1 s
//   bit 3     smoothed Dopplers;   bit 4  smoothed pseudoranges;   bit 5  log files
//   bit 6     "Recorded On" in week 0 instead of week 2300 (the simulator's)
//   bit 7     header texts at their full lengths
struct RunOptions {
    int firstFormat = 1;
    double tx = 0.075;
    bool smoothedDopplers = false;
    bool smoothedPseudoranges = false;
    bool logFile = false;
    double recordingDate = 2300 * 7.0 + 3.0;
    bool longTexts = false;
    bool checkLines = true;  // check the RINEX lines (off: crashes, leaks, UB and hangs only)
};

inline RunOptions OptionsOf(uint8_t b) {
    static constexpr double kTx[] = {0.075, 0.0, 0.1, 1.0};
    RunOptions o;
    o.firstFormat = b & 1;
    o.tx = kTx[(b >> 1) & 3];
    o.smoothedDopplers = (b >> 3) & 1;
    o.smoothedPseudoranges = (b >> 4) & 1;
    o.logFile = (b >> 5) & 1;
    o.recordingDate = ((b >> 6) & 1) ? 0.0 : 2300 * 7.0 + 3.0;
    o.longTexts = (b >> 7) & 1;
    return o;
}

// A silent request for source in dir with the options.
inline ConversionRequest RequestFor(const ScratchDir& dir, const std::string& source, int format,
                                    const RunOptions& o) {
    ConversionRequest r;
    r.sourcePath = source;
    r.formatIndex = static_cast<RawFormat>(format);
    r.recordingDate = o.recordingDate;
    if (o.longTexts) {
        r.markerName = std::string(60, 'M');
        r.markerNumber = std::string(20, 'N');
        r.observer = std::string(20, 'O');
        r.agency = std::string(40, 'A');
        r.receiverNumber = std::string(20, '1');
        r.receiverType = std::string(20, 'T');
        r.receiverVersion = std::string(20, 'V');
        r.antennaNumber = std::string(20, '2');
        r.antennaType = std::string(20, 'Y');
    } else {
        r.markerName = "FUZZ";
    }
    r.observationPath = dir.File("OUT.00O");
    r.navigationPath = dir.File("OUT.00N");
    r.tx = o.tx;
    r.smoothedDopplers = o.smoothedDopplers;
    r.smoothedPseudoranges = o.smoothedPseudoranges;
    r.logFile = o.logFile;
    r.silent = true;
    r.creationTime = CalendarTime{2024, 1, 2, 3, 4, 5};  // the same header in every run
    return r;
}

// What one conversion did and the first fault found in its files (empty when none).
struct RunReport {
    ConversionResult result;
    std::vector<HeadlessUi::Message> messages;
    std::string fault;
    std::string observation;  // text of the observation file, empty when none
    std::string navigation;   // text of the navigation file, empty when none
};

// Converts request again as gzipped Compact RINEX and a gzipped navigation file, in
// state (which has seen the same conversions as the plain run's), and compares what
// they restore to with the plain files of report; empty when they agree.
inline std::string CompressedRoundTrip(ConversionRequest request, ConversionState& state, const RunReport& report) {
    request.hatanaka = request.gzip = true;
    request.observationPath += ".crx.gz";
    request.navigationPath += ".gz";
    request.logFile = request.quality = false;
    QuietUi ui;
    const bool success = RunConversion(request, state, ui).success;
    if (success != report.result.success) return "the Compact RINEX + gzip run ended otherwise than the plain one";
    if (!success) return {};
    std::string crx, nav, restored, error;
    if (!crxread::Gunzip(ReadAll(request.observationPath), crx)) return "the .crx.gz file does not gunzip";
    if (!crxread::Gunzip(ReadAll(request.navigationPath), nav)) return "the navigation .gz file does not gunzip";
    if (nav != report.navigation) return "the gzipped navigation file differs from the plain one";
    crxread::Reader reader;
    if (!reader.Restore(crx, restored, error)) return "Compact RINEX unreadable: " + error;
    if (restored != crxread::WithoutTrailingBlanks(report.observation))
        return "Compact RINEX does not restore the plain observation file";
    return {};
}

// Converts the file source once, silently, with a quiet HeadlessUi and the given
// state (which carries over between conversions as in one session), and checks the
// result and both RINEX files; then converts it to gzipped Compact RINEX in shadow
// (a state that went through the same conversions; none: a fresh one, for a fresh
// state) and checks that it restores to the same files.
inline RunReport ConvertAndCheck(const ScratchDir& dir, const std::string& source, int format,
                                 const RunOptions& options, ConversionState& state, int rinexVersion = 2,
                                 ConversionState* shadow = nullptr) {
    ConversionRequest request = RequestFor(dir, source, format, options);
    request.rinexVersion = static_cast<RinexVersion>(rinexVersion);
    request.quality = rinexVersion == 3;  // the quality statistics ride along with the RINEX 3 run
    for (const std::string& p : {request.observationPath, request.navigationPath, request.observationPath + ".log",
                                 request.observationPath + ".pos"})
        std::remove(p.c_str());
    QuietUi ui;
    RunReport report;
    report.result = RunConversion(request, state, ui);
    report.messages = ui.Messages();
    ConversionState fresh;
    ConversionState& compressedState = shadow ? *shadow : fresh;
    const ConversionResult& r = report.result;
    if (r.success && !ui.Messages().empty()) report.fault = "a silent success showed a message";
    if (!r.success && r.outcome != ConversionOutcome::QuestionCancelled && ui.Messages().empty())
        report.fault = "a failure without a message";
    if (!r.success && r.outcome == ConversionOutcome::QuestionCancelled)
        report.fault = "a silent run reported a cancelled question";
    if (!r.success && r.outcome == ConversionOutcome::Cancelled) report.fault = "a run without Cancel was cancelled";
    if (r.success && r.epochsWritten <= 0) report.fault = "success without an epoch written";
    std::error_code ec;
    if (r.outcome == ConversionOutcome::InsufficientData &&
        (std::filesystem::exists(request.observationPath, ec) || std::filesystem::exists(request.navigationPath, ec)))
        report.fault = "insufficient data, yet an output file was created";
    if (!report.fault.empty()) {
        CompressedRoundTrip(request, compressedState, report);  // keeps the shadow in step
        return report;
    }
    report.observation = ReadAll(request.observationPath);
    report.navigation = ReadAll(request.navigationPath);
    const std::string compressed = CompressedRoundTrip(request, compressedState, report);
    if (!compressed.empty()) {
        report.fault = compressed;
        return report;
    }
    if (!options.checkLines) return report;
    std::string f = CheckRinexText(report.observation, rinexVersion == 3);
    if (!f.empty()) {
        report.fault = "observation file, " + f;
        return report;
    }
    f = CheckRinexText(report.navigation);
    if (!f.empty()) report.fault = "navigation file, " + f;
    return report;
}

// Stops the process with the fault of a run (for the fuzz target).
[[noreturn]] inline void Fail(int format, const std::string& fault) {
    std::fprintf(stderr, "conversion harness (format %d): %s\n", format, fault.c_str());
    std::abort();
}

// Converts bytes (first byte: options, the rest: the raw file) in both formats one
// after the other, in one conversion state, the second one to RINEX 3 with the
// quality report; aborts on the first fault.
inline void ConvertBytes(const ScratchDir& dir, const uint8_t* data, size_t size) {
    if (size == 0) return;
    RunOptions options = OptionsOf(data[0]);
    // While a known line fault is open, QERN_CONVERSION_FUZZ_NO_LINE_CHECK lets a run
    // look for the other faults.
    options.checkLines = std::getenv("QERN_CONVERSION_FUZZ_NO_LINE_CHECK") == nullptr;
    const std::string source = dir.File("SOURCE.RAW");
    if (!WriteAll(source, data + 1, size - 1)) Fail(-1, "cannot write the source file");
    ConversionState state, shadow;
    const bool verbose = std::getenv("QERN_CONVERSION_FUZZ_VERBOSE") != nullptr;
    for (int k = 0; k < 2; ++k) {
        const int format = k == 0 ? options.firstFormat : 1 - options.firstFormat;
        const RunReport report = ConvertAndCheck(dir, source, format, options, state, k == 0 ? 2 : 3, &shadow);
        if (verbose)
            std::fprintf(stderr, "format %d: message %d, %d epochs written, %d positioned, %d ephemerides\n",
                         format, report.result.messageId, report.result.epochsWritten,
                         report.result.epochsPositioned, report.result.ephemeridesWritten);
        if (!report.fault.empty()) Fail(format, report.fault);
    }
}

}  // namespace conversionharness
