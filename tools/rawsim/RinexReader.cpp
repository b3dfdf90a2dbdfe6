#include "tools/rawsim/RinexReader.h"

#include <cmath>
#include <cstdlib>

namespace {

// Number in columns [start, start + width) of line (Fortran D exponents accepted);
// false when the field is blank or not a number.
bool Field(const std::string& line, size_t start, size_t width, double& value) {
    if (start >= line.size()) return false;
    std::string f = line.substr(start, width);
    for (char& c : f) {
        if (c == 'D' || c == 'd') c = 'E';
    }
    const char* p = f.c_str();
    char* end = nullptr;
    value = std::strtod(p, &end);
    if (end == p) return false;
    while (*end == ' ') ++end;
    return *end == '\0';
}

double FieldOr(const std::string& line, size_t start, size_t width, double fallback) {
    double v;
    return Field(line, start, width, v) ? v : fallback;
}

std::string Label(const std::string& line) {
    if (line.size() <= 60) return std::string();
    std::string l = line.substr(60);
    while (!l.empty() && (l.back() == ' ' || l.back() == '\r' || l.back() == '\n')) l.pop_back();
    return l;
}

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return std::string();
    const size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}

bool GetLine(std::FILE* fp, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(fp)) != EOF) {
        if (c == '\n') return true;
        if (c != '\r') line.push_back(static_cast<char>(c));
    }
    return !line.empty();
}

}  // namespace

GpsTime RinexEpochTime(int year, int month, int day, int hour, int minute, double second) {
    if (year < 80) year += 2000;
    else if (year < 100) year += 1900;
    CalendarTime c;
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    c.minute = minute;
    c.second = 0;
    GpsTime t;
    t.FromCalendar(c);
    return t.AddSeconds(second);
}

RinexObsReader::~RinexObsReader() {
    if (fp_) std::fclose(fp_);
}

bool RinexObsReader::ReadLine(std::string& line) { return GetLine(fp_, line); }

bool RinexObsReader::Open(const std::string& path, std::string& error) {
    fp_ = std::fopen(path.c_str(), "rb");
    if (!fp_) {
        error = "cannot open " + path;
        return false;
    }
    std::string line;
    int typeCount = -1;
    while (ReadLine(line)) {
        const std::string label = Label(line);
        if (label == "END OF HEADER") return true;
        if (label == "# / TYPES OF OBSERV") {
            if (typeCount < 0) typeCount = static_cast<int>(FieldOr(line, 0, 6, 0));
            for (int k = 0; k < 9 && static_cast<int>(header_.types.size()) < typeCount; ++k) {
                header_.types.push_back(Trim(line.substr(6 + 6 * k, 6)));
            }
        } else if (label == "APPROX POSITION XYZ") {
            for (int k = 0; k < 3; ++k) header_.position[k] = FieldOr(line, 14 * k, 14, 0);
        } else if (label == "ANTENNA: DELTA H/E/N") {
            header_.antennaHeight = FieldOr(line, 0, 14, 0);
        } else if (label == "MARKER NAME") {
            header_.markerName = Trim(line.substr(0, 60));
        } else if (label == "INTERVAL") {
            header_.interval = FieldOr(line, 0, 10, 0);
        }
    }
    error = "no END OF HEADER in " + path;
    return false;
}

int RinexObsReader::TypeIndex(const std::string& type) const {
    for (size_t k = 0; k < header_.types.size(); ++k) {
        if (header_.types[k] == type) return static_cast<int>(k);
    }
    return -1;
}

bool RinexObsReader::Next(RinexObsEpoch& epoch) {
    std::string line;
    while (ReadLine(line)) {
        if (line.size() < 32) continue;
        double y, mo, d, h, mi, s, flag, n;
        // An epoch line has its flag digit alone in columns 27-29.
        if (line[26] != ' ' || line[27] != ' ' || line[28] < '0' || line[28] > '6') continue;
        if (!Field(line, 26, 3, flag) || !Field(line, 29, 3, n)) continue;
        epoch.flag = static_cast<int>(flag);
        epoch.sats.clear();
        epoch.special.clear();
        epoch.hasTime = true;
        const int count = static_cast<int>(n);
        if (epoch.flag >= 2 && epoch.flag <= 5) {
            // Event records: the time may be blank; the special records follow.
            epoch.hasTime = Field(line, 0, 3, y) && Field(line, 3, 3, mo) && Field(line, 6, 3, d) &&
                            Field(line, 9, 3, h) && Field(line, 12, 3, mi) && Field(line, 15, 11, s);
            if (epoch.hasTime) {
                epoch.time = RinexEpochTime(static_cast<int>(y), static_cast<int>(mo), static_cast<int>(d),
                                            static_cast<int>(h), static_cast<int>(mi), s);
            }
            for (int k = 0; k < count && ReadLine(line); ++k) epoch.special.push_back(line);
            return true;
        }
        if (!Field(line, 0, 3, y) || !Field(line, 3, 3, mo) || !Field(line, 6, 3, d) || !Field(line, 9, 3, h) ||
            !Field(line, 12, 3, mi) || !Field(line, 15, 11, s)) {
            continue;
        }
        epoch.time = RinexEpochTime(static_cast<int>(y), static_cast<int>(mo), static_cast<int>(d),
                                    static_cast<int>(h), static_cast<int>(mi), s);
        // Satellite list, 12 per line.
        std::vector<std::string> ids;
        std::string list = line;
        for (int k = 0; k < count; ++k) {
            if (k > 0 && k % 12 == 0 && !ReadLine(list)) return false;
            const size_t at = 32 + 3 * (k % 12);
            ids.push_back(list.size() >= at + 3 ? list.substr(at, 3) : std::string("   "));
        }
        const size_t types = header_.types.size();
        const size_t linesPerSat = (types + 4) / 5;
        for (const std::string& id : ids) {
            RinexSatObs sat;
            const char system = id[0] == ' ' ? 'G' : id[0];
            sat.prn = std::atoi(id.c_str() + 1);
            sat.values.resize(types);
            for (size_t l = 0; l < linesPerSat; ++l) {
                if (!ReadLine(line)) return false;
                for (size_t k = 0; k < 5 && l * 5 + k < types; ++k) {
                    RinexValue& v = sat.values[l * 5 + k];
                    const size_t at = 16 * k;
                    v.present = Field(line, at, 14, v.value) && v.value != 0.0;
                    if (line.size() > at + 14 && line[at + 14] >= '0' && line[at + 14] <= '9') v.lli = line[at + 14] - '0';
                    if (line.size() > at + 15 && line[at + 15] >= '0' && line[at + 15] <= '9') v.ssi = line[at + 15] - '0';
                }
            }
            if (system == 'G' && sat.prn >= 1 && sat.prn <= 32) epoch.sats.push_back(sat);
        }
        return true;
    }
    return false;
}

bool ReadRinexNav(const std::string& path, RinexNavData& out, std::string& error) {
    std::FILE* fp = std::fopen(path.c_str(), "rb");
    if (!fp) {
        error = "cannot open " + path;
        return false;
    }
    out = RinexNavData();
    std::string line;
    bool alpha = false, beta = false, header = true;
    while (header && GetLine(fp, line)) {
        const std::string label = Label(line);
        IonoUtc& i = out.ionoUtc;
        if (label == "END OF HEADER") {
            header = false;
        } else if (label == "ION ALPHA") {
            i.alpha0 = FieldOr(line, 2, 12, 0);
            i.alpha1 = FieldOr(line, 14, 12, 0);
            i.alpha2 = FieldOr(line, 26, 12, 0);
            i.alpha3 = FieldOr(line, 38, 12, 0);
            alpha = true;
        } else if (label == "ION BETA") {
            i.beta0 = FieldOr(line, 2, 12, 0);
            i.beta1 = FieldOr(line, 14, 12, 0);
            i.beta2 = FieldOr(line, 26, 12, 0);
            i.beta3 = FieldOr(line, 38, 12, 0);
            beta = true;
        } else if (label.rfind("DELTA-UTC", 0) == 0) {
            i.A0 = FieldOr(line, 3, 19, 0);
            i.A1 = FieldOr(line, 22, 19, 0);
            i.tot = FieldOr(line, 41, 9, 0);
            const int week = static_cast<int>(FieldOr(line, 50, 9, 0));
            i.WNt = static_cast<uint16_t>(week & 0xFF);
            i.WNLSF = i.WNt;
        } else if (label == "LEAP SECONDS") {
            i.deltaTLS = static_cast<int16_t>(FieldOr(line, 0, 6, 0));
            i.deltaTLSF = i.deltaTLS;
        }
    }
    out.hasIonoUtc = alpha && beta;
    if (header) {
        std::fclose(fp);
        error = "no END OF HEADER in " + path;
        return false;
    }
    while (GetLine(fp, line)) {
        if (Trim(line).empty()) continue;
        double v[32] = {};
        double prn, y, mo, d, h, mi, s;
        if (!Field(line, 0, 2, prn) || !Field(line, 2, 3, y) || !Field(line, 5, 3, mo) || !Field(line, 8, 3, d) ||
            !Field(line, 11, 3, h) || !Field(line, 14, 3, mi) || !Field(line, 17, 5, s)) {
            continue;
        }
        for (int k = 0; k < 3; ++k) v[k] = FieldOr(line, 22 + 19 * k, 19, 0);
        bool complete = true;
        for (int l = 0; l < 7; ++l) {
            if (!GetLine(fp, line)) {
                complete = false;
                break;
            }
            for (int k = 0; k < 4; ++k) v[3 + 4 * l + k] = FieldOr(line, 3 + 19 * k, 19, 0);
        }
        if (!complete || prn < 1 || prn > 32) continue;
        Ephemeris e;
        e.satellite = static_cast<uint16_t>(prn - 1);
        const GpsTime toc = RinexEpochTime(static_cast<int>(y), static_cast<int>(mo), static_cast<int>(d),
                                           static_cast<int>(h), static_cast<int>(mi), s);
        e.toc = toc.seconds;
        e.af0 = v[0];
        e.af1 = v[1];
        e.af2 = v[2];
        e.IODE = v[3];
        e.Crs = v[4];
        e.deltaN = v[5];
        e.M0 = v[6];
        e.Cuc = v[7];
        e.e = v[8];
        e.Cus = v[9];
        e.sqrtA = v[10];
        e.A = e.sqrtA * e.sqrtA;
        e.toe = v[11];
        e.Cic = v[12];
        e.Omega0 = v[13];
        e.Cis = v[14];
        e.i0 = v[15];
        e.Crc = v[16];
        e.omega = v[17];
        e.OmegaDot = v[18];
        e.IDOT = v[19];
        e.codesOnL2 = static_cast<uint16_t>(v[20]);
        e.week = static_cast<uint16_t>(v[21]);
        e.l2PDataFlag = static_cast<uint16_t>(v[22]);
        e.accuracy = v[23];
        e.health = static_cast<uint16_t>(v[24]);
        e.TGD = v[25];
        e.IODC = v[26];
        e.fitInterval = static_cast<uint16_t>(v[28] > 4 ? v[28] : 4);
        e.toeTime = GpsTime(e.week, e.toe);
        double transmission = v[27];
        GpsTime tt(e.week, transmission);
        // The transmission time is given in seconds of the ephemeris week; it may run
        // over or under the week.
        if (transmission < 0 || transmission >= GpsTime::kSecondsPerWeek) tt = GpsTime(e.week, 0).AddSeconds(transmission);
        out.ephemerides.push_back(e);
        out.transmissionTimes.push_back(tt);
    }
    std::fclose(fp);
    return true;
}
