// rawsim: writes raw data files of the receivers' binary and ASCII formats from a known
// truth (synthetic orbits or a real RINEX recording), with a JSON truth file beside each.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/rawsim/RinexReader.h"
#include "tools/rawsim/Simulation.h"
#include "tools/rawsim/Stream.h"

namespace {

const char* kUsage =
    "usage:\n"
    "  rawsim synth --out FILE [options]      synthetic recording from orbits\n"
    "  rawsim from-rinex --obs FILE --nav FILE --out FILE [options]\n"
    "                                         receiver-dated raw file of a RINEX 2 recording\n"
    "  rawsim sample OUTDIR                   the small sample files (sample.bin, .csv, .fix)\n"
    "  rawsim stream FILE [options]           a raw file's records sent as a receiver sends them\n"
    "  rawsim --help\n"
    "\n"
    "common options:\n"
    "  --format bin|csv|fixed   layout: binary, ASCII comma-separated, ASCII fixed-column (bin)\n"
    "  --csv-short              comma-separated epochs in short mode (codes, L1, D1, cn0 only)\n"
    "  --faults LIST            defective extra records: checksum,escape,prn,cut,garbage,\n"
    "                           unhealthy,iode or all; --fault-every N: one every N records (10)\n"
    "  --truth FILE             truth file (default: OUT.truth.json); --no-truth: none\n"
    "  --truth-every N          keep one epoch in N in the truth file (default: 1, or enough\n"
    "                           to keep at most 3600 epochs)\n"
    "\n"
    "synth options:\n"
    "  --kind Q|R|both          receiver-dated, satellite-dated or both (Q); both: not with fixed\n"
    "  --hours H | --minutes M | --seconds S   duration (10 minutes)\n"
    "  --rate HZ | --interval S                epoch rate (1 Hz); at least 0.1 s\n"
    "  --start WEEK:SECONDS     first epoch (nav: first toe; built-in: week 2300, 259200 s)\n"
    "  --station X,Y,Z          ECEF metres (-3976219.5082,3382372.5671,3652512.9849)\n"
    "  --nav FILE               RINEX 2 navigation file for orbits and ionosphere/UTC\n"
    "                           (default: the built-in nominal 30-satellite constellation)\n"
    "  --clock OFFSET,DRIFT     receiver clock offset (s) at the start and drift (s/s) (2.5e-4,2e-9)\n"
    "  --dual                   L2, P1, P2 and D2 as well; --as: flag anti-spoofing\n"
    "  --events                 site, time-event and antenna-height records\n"
    "  --slips N                a loss of lock every N epochs (0: none)\n"
    "  --unflagged-slips N      a whole-cycle jump of 5 to 50 cycles without a loss of lock\n"
    "                           every N epochs (0: none); recorded as slipL1/slipL2 in the truth\n"
    "  --mask DEG               elevation mask (5); --max-sats N (12)\n"
    "  --tx S                   output time offset of satellite-dated truth (0.075)\n"
    "\n"
    "from-rinex options:\n"
    "  --cn0 DBHZ               carrier-to-noise density without signal strength digits (45)\n";

bool ParseLayout(const std::string& s, RawLayout& layout) {
    if (s == "bin" || s == "binary") layout = RawLayout::Binary;
    else if (s == "csv") layout = RawLayout::AsciiCsv;
    else if (s == "fixed") layout = RawLayout::AsciiFixed;
    else return false;
    return true;
}

bool ParseNumbers(const std::string& s, std::vector<double>& out, size_t count) {
    out.clear();
    size_t at = 0;
    while (at <= s.size()) {
        const size_t comma = s.find_first_of(",:", at);
        const std::string part = s.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        char* end = nullptr;
        const double v = std::strtod(part.c_str(), &end);
        if (part.empty() || *end != '\0') return false;
        out.push_back(v);
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return out.size() == count;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "rawsim: %s\n", message.c_str());
    return 2;
}

const char* kStreamUsage =
    "stream options (default: to standard output, as fast as it is read):\n"
    "  --format bin|csv|fixed   layout of FILE (bin)\n"
    "  --tcp PORT               serve one reader at a time on 127.0.0.1:PORT (0: a free port)\n"
    "  --pty LINK               write to a new pseudo-terminal, LINK a symbolic link to it\n"
    "  --file PATH              append to PATH as a logger does\n"
    "  --ready FILE             write the port (--tcp) or the terminal's name (--pty) to FILE\n"
    "  --speed N                N times real time by the epoch times (0: no pacing)\n"
    "  --cut-every S            every S stream seconds: cut the connection in the middle of a\n"
    "                           record (--tcp), rotate PATH to PATH.1 (--file)\n"
    "  --resend S               after a cut or a lost connection send the last S seconds again\n"
    "  --pause T:S              S seconds of silence at T stream seconds from the first epoch\n"
    "  --linger S               keep the connection or terminal open S s at the end (2)\n";

int Stream(const std::vector<std::string>& args) {
    StreamRequest r;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            if (!r.input.empty()) return Fail("stream takes one raw file");
            r.input = a;
            continue;
        }
        if (i + 1 >= args.size()) return Fail(a + " needs a value");
        const std::string v = args[++i];
        std::vector<double> n;
        if (a == "--format") r.formatIndex = v == "bin" ? 1 : 0;
        else if (a == "--tcp") { r.target = StreamRequest::Target::Tcp; r.port = std::atoi(v.c_str()); }
        else if (a == "--pty") { r.target = StreamRequest::Target::Pty; r.path = v; }
        else if (a == "--file") { r.target = StreamRequest::Target::File; r.path = v; }
        else if (a == "--ready") r.readyFile = v;
        else if (a == "--speed") r.speed = std::strtod(v.c_str(), nullptr);
        else if (a == "--cut-every") r.cutEvery = std::strtod(v.c_str(), nullptr);
        else if (a == "--resend") r.resend = std::strtod(v.c_str(), nullptr);
        else if (a == "--linger") r.linger = std::strtod(v.c_str(), nullptr);
        else if (a == "--pause") {
            if (!ParseNumbers(v, n, 2)) return Fail("--pause needs T:S");
            r.pauses.emplace_back(n[0], n[1]);
        } else return Fail("unknown stream option " + a + "\n" + kStreamUsage);
    }
    if (r.input.empty()) return Fail(std::string("stream needs a raw file\n") + kStreamUsage);
    std::string error;
    const bool ok = RunStream(r, error, [](const std::string& line) {
        std::fprintf(stderr, "rawsim stream: %s\n", line.c_str());
        std::fflush(stderr);
    });
    if (!ok) {
        std::fprintf(stderr, "rawsim: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        std::fputs(kStreamUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    const std::string command = args[0];
    if (command == "sample") {
        if (args.size() != 2) return Fail("sample takes one argument, the output directory");
        std::string error;
        if (!WriteSample(args[1], error)) return Fail(error);
        std::printf("wrote %s/sample.bin, sample.csv, sample.fix and their truth files\n", args[1].c_str());
        return 0;
    }
    if (command == "stream") return Stream(args);
    if (command != "synth" && command != "from-rinex") return Fail("unknown command '" + command + "' (try --help)");

    SynthRequest synth;
    synth.synth.start = NominalStart();
    FromRinexRequest rinex;
    RawLayout layout = RawLayout::Binary;
    CsvOptions csv;
    FaultPlan faults;
    std::string out, truthPath, navPath, obsPath;
    bool noTruth = false, startGiven = false;
    int truthEvery = 0;
    std::vector<double> numbers;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        std::string v;
        if (a == "--dual") synth.synth.dual = true;
        else if (a == "--as") synth.synth.antiSpoofing = true;
        else if (a == "--events") synth.synth.events = true;
        else if (a == "--csv-short") csv.shortMode = true;
        else if (a == "--no-truth") noTruth = true;
        else if (!value(v)) return Fail("option " + a + " needs a value (try --help)");
        else if (a == "--format") {
            if (!ParseLayout(v, layout)) return Fail("unknown format '" + v + "'");
        } else if (a == "--kind") {
            if (v != "Q" && v != "R" && v != "both") return Fail("--kind takes Q, R or both");
            synth.synth.receiverDated = v != "R";
            synth.synth.satelliteDated = v != "Q";
        } else if (a == "--hours" || a == "--minutes" || a == "--seconds") {
            const double d = std::strtod(v.c_str(), nullptr);
            synth.synth.duration = d * (a == "--hours" ? 3600 : a == "--minutes" ? 60 : 1);
        } else if (a == "--rate") {
            const double hz = std::strtod(v.c_str(), nullptr);
            if (!(hz > 0)) return Fail("--rate must be positive");
            synth.synth.interval = 1.0 / hz;
        } else if (a == "--interval") {
            synth.synth.interval = std::strtod(v.c_str(), nullptr);
        } else if (a == "--start") {
            if (!ParseNumbers(v, numbers, 2)) return Fail("--start takes WEEK:SECONDS");
            synth.synth.start = GpsTime(static_cast<uint16_t>(numbers[0]), numbers[1]);
            startGiven = true;
        } else if (a == "--station") {
            if (!ParseNumbers(v, numbers, 3)) return Fail("--station takes X,Y,Z");
            for (int k = 0; k < 3; ++k) synth.synth.station[k] = numbers[k];
        } else if (a == "--clock") {
            if (!ParseNumbers(v, numbers, 2)) return Fail("--clock takes OFFSET,DRIFT");
            synth.synth.clockOffset = numbers[0];
            synth.synth.clockDrift = numbers[1];
        } else if (a == "--slips") synth.synth.slipEvery = std::atoi(v.c_str());
        else if (a == "--unflagged-slips") synth.synth.unflaggedSlipEvery = std::atoi(v.c_str());
        else if (a == "--mask") synth.synth.elevationMask = std::strtod(v.c_str(), nullptr);
        else if (a == "--max-sats") synth.synth.maxSatellites = std::atoi(v.c_str());
        else if (a == "--tx") synth.synth.tx = std::strtod(v.c_str(), nullptr);
        else if (a == "--nav") navPath = v;
        else if (a == "--obs") obsPath = v;
        else if (a == "--out") out = v;
        else if (a == "--truth") truthPath = v;
        else if (a == "--truth-every") truthEvery = std::atoi(v.c_str());
        else if (a == "--cn0") rinex.rinex.defaultCn0 = std::atoi(v.c_str());
        else if (a == "--faults") {
            std::string error;
            if (!ParseFaultList(v, faults, error)) return Fail(error);
        } else if (a == "--fault-every") faults.every = std::atoi(v.c_str());
        else return Fail("unknown option " + a + " (try --help)");
    }
    if (out.empty()) return Fail("--out FILE is required");
    SimulationOutput output;
    output.rawPath = out;
    if (!noTruth) output.truthPath = truthPath.empty() ? out + ".truth.json" : truthPath;

    const auto started = std::chrono::steady_clock::now();
    std::string error;
    if (command == "from-rinex") {
        if (obsPath.empty() || navPath.empty()) return Fail("from-rinex needs --obs and --nav");
        rinex.layout = layout;
        rinex.csv = csv;
        rinex.faults = faults;
        rinex.rinex.obsPath = obsPath;
        rinex.rinex.navPath = navPath;
        output.truthEpochEvery = truthEvery > 0 ? truthEvery : 1;
        if (!RunFromRinex(rinex, output, error)) return Fail(error);
        std::printf("wrote %s\n", out.c_str());
        return 0;
    }
    synth.layout = layout;
    synth.csv = csv;
    synth.faults = faults;
    if (!navPath.empty()) {
        RinexNavData nav;
        if (!ReadRinexNav(navPath, nav, error)) return Fail(error);
        synth.useNavigation = true;
        synth.navigation = nav.ephemerides;
        synth.hasIonoUtc = nav.hasIonoUtc;
        synth.ionoUtc = nav.ionoUtc;
        EphemerisList list(nav.ephemerides);
        if (list.Unfit() > 0) {
            std::fprintf(stderr, "rawsim: %d ephemerides of %s do not fit the broadcast fields and are left out\n",
                         list.Unfit(), navPath.c_str());
        }
        if (!startGiven) {
            // The first toe, on the next whole minute.
            const GpsTime first = list.FirstToe();
            synth.synth.start = GpsTime(first.week, std::ceil(first.seconds / 60.0) * 60.0);
        }
    }
    const double worstClock = std::fabs(synth.synth.clockOffset) + std::fabs(synth.synth.clockDrift) * synth.synth.duration;
    if (synth.synth.receiverDated && worstClock > 0.01) {
        std::fprintf(stderr, "rawsim: warning: receiver-dated codes hold the receiver clock offset (up to %.3f s);"
                             " beyond about 10 ms they leave the 0.1 s range of travel times\n", worstClock);
    }
    const double epochs = synth.synth.duration / synth.synth.interval;
    output.truthEpochEvery = truthEvery > 0 ? truthEvery : (epochs > 3600 ? static_cast<int>(std::ceil(epochs / 3600)) : 1);
    SynthSummary summary;
    if (!RunSynth(synth, output, summary, error)) return Fail(error);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("wrote %s: %lld epochs, %d to %d satellites, %.2f s\n", out.c_str(), summary.epochs,
                summary.minSatellites, summary.maxSatellites, seconds);
    return 0;
}
