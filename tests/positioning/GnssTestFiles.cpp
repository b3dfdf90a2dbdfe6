#include "tests/positioning/GnssTestFiles.h"

#include <cmath>
#include <cstdlib>
#include <fstream>

namespace testfiles {
namespace {

// Number in columns [pos, pos + len) of a line, with D or d as exponent letter.
double Field(const std::string& line, size_t pos, size_t len) {
    if (pos >= line.size()) return 0.0;
    std::string s = line.substr(pos, len);
    for (char& ch : s)
        if (ch == 'D' || ch == 'd') ch = 'E';
    return std::strtod(s.c_str(), nullptr);
}

bool Blank(const std::string& line, size_t pos, size_t len) {
    if (pos >= line.size()) return true;
    for (size_t i = pos; i < pos + len && i < line.size(); ++i)
        if (line[i] != ' ') return false;
    return true;
}

GpsTime FromFields(int year, int month, int day, int hour, int minute, double second) {
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

}  // namespace

std::string DataPath(const std::string& name) {
    return std::string(QERN_SOURCE_DIR) + "/testdata/" + name;
}

bool ReadRinexNav(const std::string& path, std::vector<Ephemeris>& out, IonoUtc& iono) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.find("ION ALPHA") != std::string::npos) {
            iono.alpha0 = Field(line, 2, 12);
            iono.alpha1 = Field(line, 14, 12);
            iono.alpha2 = Field(line, 26, 12);
            iono.alpha3 = Field(line, 38, 12);
        } else if (line.find("ION BETA") != std::string::npos) {
            iono.beta0 = Field(line, 2, 12);
            iono.beta1 = Field(line, 14, 12);
            iono.beta2 = Field(line, 26, 12);
            iono.beta3 = Field(line, 38, 12);
        } else if (line.find("END OF HEADER") != std::string::npos) {
            break;
        }
    }
    iono.valid = 1;
    while (std::getline(in, line)) {
        if (line.size() < 22) continue;
        const int prn = static_cast<int>(Field(line, 0, 2));
        double v[8][4] = {};
        std::string rows[7];
        for (auto& r : rows)
            if (!std::getline(in, r)) return false;
        for (int r = 0; r < 7; ++r)
            for (int k = 0; k < 4; ++k) v[r][k] = Field(rows[r], 3 + 19 * k, 19);
        if (prn < 1 || prn > 32) continue;
        Ephemeris e;
        e.satellite = static_cast<uint16_t>(prn - 1);
        const GpsTime toc = FromFields(static_cast<int>(Field(line, 3, 2)),
                                       static_cast<int>(Field(line, 6, 2)),
                                       static_cast<int>(Field(line, 9, 2)),
                                       static_cast<int>(Field(line, 12, 2)),
                                       static_cast<int>(Field(line, 15, 2)), Field(line, 17, 5));
        e.toc = toc.seconds;
        e.af0 = Field(line, 22, 19);
        e.af1 = Field(line, 41, 19);
        e.af2 = Field(line, 60, 19);
        e.IODE = v[0][0];
        e.Crs = v[0][1];
        e.deltaN = v[0][2];
        e.M0 = v[0][3];
        e.Cuc = v[1][0];
        e.e = v[1][1];
        e.Cus = v[1][2];
        e.sqrtA = v[1][3];
        e.toe = v[2][0];
        e.Cic = v[2][1];
        e.Omega0 = v[2][2];
        e.Cis = v[2][3];
        e.i0 = v[3][0];
        e.Crc = v[3][1];
        e.omega = v[3][2];
        e.OmegaDot = v[3][3];
        e.IDOT = v[4][0];
        e.codesOnL2 = static_cast<uint16_t>(v[4][1]);
        e.week = static_cast<uint16_t>(v[4][2]);
        e.l2PDataFlag = static_cast<uint16_t>(v[4][3]);
        e.accuracy = v[5][0];
        e.health = static_cast<uint16_t>(v[5][1]);
        e.TGD = v[5][2];
        e.IODC = v[5][3];
        e.fitInterval = v[6][1] == 0.0 ? 4 : static_cast<uint16_t>(v[6][1]);
        // The toe week can differ from toc's near the week boundary.
        e.toeTime = GpsTime(e.week, e.toe);
        out.push_back(e);
    }
    return true;
}

bool ReadRinexObs(const std::string& path, std::vector<RinexObsEpoch>& out, double approx[3]) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    std::vector<std::string> types;
    while (std::getline(in, line)) {
        if (line.find("APPROX POSITION XYZ") != std::string::npos) {
            for (int k = 0; k < 3; ++k) approx[k] = Field(line, 14 * k, 14);
        } else if (line.find("# / TYPES OF OBSERV") != std::string::npos) {
            const int n = static_cast<int>(Field(line, 0, 6));
            for (int k = 0; k < n && k < 9; ++k) types.push_back(line.substr(10 + 6 * k, 2));
        } else if (line.find("END OF HEADER") != std::string::npos) {
            break;
        }
    }
    int iC1 = -1, iL1 = -1;
    for (size_t k = 0; k < types.size(); ++k) {
        if (types[k] == "C1") iC1 = static_cast<int>(k);
        if (types[k] == "L1") iL1 = static_cast<int>(k);
    }
    if (iC1 < 0 || iL1 < 0) return false;
    const int nTypes = static_cast<int>(types.size());
    while (std::getline(in, line)) {
        if (line.size() < 32) continue;
        const int flag = static_cast<int>(Field(line, 28, 1));
        const int count = static_cast<int>(Field(line, 29, 3));
        std::vector<std::string> sats;
        std::string list = line;
        for (int k = 0; k < count; ++k) {
            if (k > 0 && k % 12 == 0 && !std::getline(in, list)) return false;
            sats.push_back(list.substr(32 + 3 * (k % 12), 3));
        }
        if (flag > 1) {  // event records: skip their header lines
            for (int k = 0; k < count; ++k) std::getline(in, line);
            continue;
        }
        RinexObsEpoch ep;
        ep.time = FromFields(static_cast<int>(Field(line, 1, 2)), static_cast<int>(Field(line, 4, 2)),
                             static_cast<int>(Field(line, 7, 2)), static_cast<int>(Field(line, 10, 2)),
                             static_cast<int>(Field(line, 13, 2)), Field(line, 15, 11));
        for (const std::string& s : sats) {
            std::vector<std::string> obsLines;
            for (int k = 0; k < nTypes; k += 5) {
                std::string o;
                if (!std::getline(in, o)) return false;
                obsLines.push_back(o);
            }
            auto field = [&](int idx, double& value, int& lli) {
                const std::string& o = obsLines[idx / 5];
                const size_t pos = 16 * (idx % 5);
                if (Blank(o, pos, 14)) return false;
                value = Field(o, pos, 14);
                lli = Blank(o, pos + 14, 1) ? 0 : static_cast<int>(Field(o, pos + 14, 1));
                return value != 0.0;
            };
            if (s[0] != 'G' && s[0] != ' ') continue;
            const int prn = static_cast<int>(Field(s, 1, 2));
            if (prn < 1 || prn > 32) continue;
            double c1 = 0, l1 = 0;
            int lliC = 0, lliL = 0;
            if (field(iC1, c1, lliC) && field(iL1, l1, lliL)) {
                ep.has[prn - 1] = true;
                ep.c1[prn - 1] = c1;
                ep.l1[prn - 1] = l1;
                ep.lossOfLock[prn - 1] = (lliL & 1) != 0;
            }
        }
        out.push_back(ep);
    }
    return true;
}

bool ReadSp3(const std::string& path, std::vector<Sp3Epoch>& out) {
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("EOF", 0) == 0) break;
        if (line.rfind("*  ", 0) == 0) {
            Sp3Epoch ep;
            ep.time = FromFields(static_cast<int>(Field(line, 3, 4)), static_cast<int>(Field(line, 8, 2)),
                                 static_cast<int>(Field(line, 11, 2)),
                                 static_cast<int>(Field(line, 14, 2)),
                                 static_cast<int>(Field(line, 17, 2)), Field(line, 20, 11));
            out.push_back(ep);
        } else if (line.rfind("PG", 0) == 0 && !out.empty()) {
            const int prn = static_cast<int>(Field(line, 2, 2));
            if (prn < 1 || prn > 32) continue;
            Sp3Epoch& ep = out.back();
            const double x = Field(line, 4, 14), y = Field(line, 18, 14), z = Field(line, 32, 14);
            const double clk = Field(line, 46, 14);
            if (x != 0.0 || y != 0.0 || z != 0.0) {
                ep.hasPosition[prn - 1] = true;
                ep.x[prn - 1] = x * 1000.0;
                ep.y[prn - 1] = y * 1000.0;
                ep.z[prn - 1] = z * 1000.0;
            }
            if (clk < 999999.0 && clk != 0.0) {
                ep.hasClock[prn - 1] = true;
                ep.clock[prn - 1] = clk * 1e-6;
            }
        }
    }
    return !out.empty();
}

}  // namespace testfiles
