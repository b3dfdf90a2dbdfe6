#include "tools/rawsim/Truth.h"

#include <string>

namespace {

// JSON string literal of s (control characters escaped).
std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out + "\"";
}

void Time(std::FILE* fp, const char* name, const GpsTime& t) {
    std::fprintf(fp, "\"%s\":{\"week\":%u,\"seconds\":%.10g}", name, static_cast<unsigned>(t.week), t.seconds);
}

const char* kValueNames[kObservationKinds] = {"L1", "L2", "P2", "C1", "D1", "D2", "P1"};

}  // namespace

const char* LayoutName(RawLayout layout) {
    switch (layout) {
    case RawLayout::Binary: return "binary";
    case RawLayout::AsciiCsv: return "csv";
    case RawLayout::AsciiFixed: return "fixed";
    }
    return "?";
}

TruthJsonWriter::~TruthJsonWriter() {
    if (fp_) std::fclose(fp_);
}

bool TruthJsonWriter::Open(const std::string& path, const Truth& h, int epochEvery) {
    fp_ = std::fopen(path.c_str(), "w");
    if (!fp_) return false;
    every_ = epochEvery < 1 ? 1 : epochEvery;
    std::fprintf(fp_, "{\n\"layout\":%s,\n", Quote(h.layout).c_str());
    std::fprintf(fp_, "\"station\":{\"x\":%.4f,\"y\":%.4f,\"z\":%.4f},\n", h.station[0], h.station[1], h.station[2]);
    std::fprintf(fp_, "\"receiverClock\":{\"offset\":%.15g,\"drift\":%.15g,", h.clockOffset, h.clockDrift);
    Time(fp_, "epoch", h.clockEpoch);
    std::fprintf(fp_, "},\n\"tx\":%.6g,\n\"epochEvery\":%d,\n\"epochs\":[\n", h.tx, every_);
    return true;
}

void TruthJsonWriter::OnEpoch(const TruthEpoch& e) {
    if (!fp_ || (seen_[e.kind == 6 ? 0 : 1]++ % every_) != 0) return;
    std::fprintf(fp_, "%s{\"kind\":\"%c\",", written_++ ? ",\n" : "", e.kind == 6 ? 'R' : 'Q');
    Time(fp_, "tag", e.tag);
    std::fputc(',', fp_);
    Time(fp_, "outputTime", e.outputTime);
    std::fprintf(fp_, ",\"receiverClock\":%.15g,\"sats\":[", e.receiverClock);
    bool first = true;
    for (const TruthSatellite& s : e.sats) {
        std::fprintf(fp_, "%s\n {\"prn\":%d,\"elevation\":%.6f,\"azimuth\":%.6f,\"range\":%.4f,"
                          "\"satelliteClock\":%.15g,\"tropo\":%.4f,\"iono\":%.4f,",
                     first ? "" : ",", s.prn, s.elevation, s.azimuth, s.range, s.satelliteClock, s.tropo, s.iono);
        first = false;
        const SatObservation& o = e.decoded.sat[(s.prn - 1) & 31];
        std::fprintf(fp_, "\"decoded\":{");
        bool firstValue = true;
        for (int k = 0; k < kObservationKinds; ++k) {
            if (!o.Has(k)) continue;
            std::fprintf(fp_, "%s\"%s\":%.17g", firstValue ? "" : ",", kValueNames[k], o.value[k]);
            firstValue = false;
        }
        std::fprintf(fp_, "%s\"status\":[%u,%u,%u,%u],\"cn0\":%u,\"antiSpoofing\":%u,\"typeMask\":%u},",
                     firstValue ? "" : ",", o.status[0], o.status[1], o.status[2], o.status[3], o.cn0,
                     o.antiSpoofing, o.typeMask);
        std::fprintf(fp_, "\"rinex\":{\"C1\":%.4f,\"L1\":%.4f,\"D1\":%.4f", s.c1, s.l1, s.d1);
        if (o.Has(kP1)) std::fprintf(fp_, ",\"P1\":%.4f", s.p1);
        if (o.Has(kP2)) std::fprintf(fp_, ",\"P2\":%.4f", s.p2);
        if (o.Has(kL2)) std::fprintf(fp_, ",\"L2\":%.4f", s.l2);
        if (o.Has(kD2)) std::fprintf(fp_, ",\"D2\":%.4f", s.d2);
        std::fprintf(fp_, ",\"lliL1\":%d,\"lliL2\":%d", s.lossOfLockL1 ? 1 : 0, s.lossOfLockL2 ? 1 : 0);
        if (s.slipL1 != 0 || s.slipL2 != 0) std::fprintf(fp_, ",\"slipL1\":%d,\"slipL2\":%d", s.slipL1, s.slipL2);
        std::fprintf(fp_, "}}");
    }
    std::fprintf(fp_, "]}");
}

void TruthJsonWriter::OnFault(const TruthFault& f) {
    if (faults_.size() < 100000) faults_.push_back(f);
}

bool TruthJsonWriter::Finish(const TruthCounts& c, double antennaHeight) {
    if (!fp_) return false;
    std::fprintf(fp_, "\n],\n\"ephemerides\":[");
    for (size_t k = 0; k < ephemerides_.size(); ++k) {
        const Ephemeris& e = ephemerides_[k];
        std::fprintf(fp_, "%s\n {\"prn\":%d,\"week\":%u,\"toe\":%.1f,\"toc\":%.1f,\"sqrtA\":%.17g,\"e\":%.17g,"
                          "\"M0\":%.17g,\"omega\":%.17g,\"i0\":%.17g,\"Omega0\":%.17g,\"OmegaDot\":%.17g,"
                          "\"IDOT\":%.17g,\"deltaN\":%.17g,\"Crs\":%.17g,\"Crc\":%.17g,\"Cus\":%.17g,"
                          "\"Cuc\":%.17g,\"Cis\":%.17g,\"Cic\":%.17g,\"af0\":%.17g,\"af1\":%.17g,\"af2\":%.17g,"
                          "\"TGD\":%.17g,\"accuracy\":%g,\"IODE\":%g,\"IODC\":%g,\"health\":%u,"
                          "\"codesOnL2\":%u,\"l2PDataFlag\":%u,\"fitInterval\":%u}",
                     k ? "," : "", e.satellite + 1, static_cast<unsigned>(e.week), e.toe, e.toc, e.sqrtA, e.e,
                     e.M0, e.omega, e.i0, e.Omega0, e.OmegaDot, e.IDOT, e.deltaN, e.Crs, e.Crc, e.Cus, e.Cuc,
                     e.Cis, e.Cic, e.af0, e.af1, e.af2, e.TGD, e.accuracy, e.IODE, e.IODC, e.health, e.codesOnL2,
                     e.l2PDataFlag, e.fitInterval);
    }
    std::fprintf(fp_, "\n],\n\"ionoUtc\":[");
    for (size_t k = 0; k < ionoUtc_.size(); ++k) {
        const IonoUtc& i = ionoUtc_[k];
        std::fprintf(fp_, "%s\n {\"alpha\":[%.17g,%.17g,%.17g,%.17g],\"beta\":[%.17g,%.17g,%.17g,%.17g],"
                          "\"A0\":%.17g,\"A1\":%.17g,\"tot\":%.1f,\"WNt\":%u,\"deltaTLS\":%d,\"WNLSF\":%u,"
                          "\"DN\":%u,\"deltaTLSF\":%d}",
                     k ? "," : "", i.alpha0, i.alpha1, i.alpha2, i.alpha3, i.beta0, i.beta1, i.beta2, i.beta3,
                     i.A0, i.A1, i.tot, i.WNt, i.deltaTLS, i.WNLSF, i.DN, i.deltaTLSF);
    }
    std::fprintf(fp_, "\n],\n\"events\":[");
    for (size_t k = 0; k < events_.size(); ++k) {
        const TruthEvent& e = events_[k];
        std::fprintf(fp_, "%s\n {\"recordKind\":%d,\"letter\":\"%c\",", k ? "," : "", e.recordKind, e.letter);
        Time(fp_, "time", e.expected.time);
        std::fprintf(fp_, ",\"kind\":%d,\"value\":%.6f,\"markerName\":%s,\"description\":%s}", e.expected.kind,
                     e.expected.value, Quote(e.expected.markerName).c_str(),
                     Quote(e.expected.description).c_str());
    }
    std::fprintf(fp_, "\n],\n\"faults\":[");
    for (size_t k = 0; k < faults_.size(); ++k) {
        const TruthFault& f = faults_[k];
        std::fprintf(fp_, "%s\n {\"type\":%s,\"letter\":\"%c\",", k ? "," : "", Quote(f.type).c_str(), f.letter);
        Time(fp_, "time", f.time);
        std::fputc('}', fp_);
    }
    std::fprintf(fp_, "\n],\n\"antennaHeight\":%.4f,\n", antennaHeight);
    std::fprintf(fp_, "\"counts\":{\"satelliteDated\":%lld,\"receiverDated\":%lld,\"ephemerides\":%lld,"
                      "\"ionoUtc\":%lld,\"events\":%lld,\"faults\":%lld,\"bytes\":%lld}\n}\n",
                 c.satelliteDated, c.receiverDated, c.ephemerides, c.ionoUtc, c.events, c.faults, c.bytes);
    const bool ok = std::ferror(fp_) == 0;
    const bool closed = std::fclose(fp_) == 0;
    fp_ = nullptr;
    return ok && closed;
}
