// The "quality" object of the JSON summary read back by a JSON parser: every key
// present at every level, null where a figure cannot be given, never a NaN; and the
// text report with its definitions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "quality/QualityJson.h"
#include "quality/QualityMonitor.h"
#include "quality/QualityReport.h"
#include "quality/TimeText.h"
#include "tests/platform/TempDir.h"

namespace {

// Checks the key sets of every level, that no number is NaN or infinite, and the
// values of the expectations ({"path/to/key": value}).
constexpr const char* kChecker = R"(import json, re, sys
def refuse(name): raise ValueError("not a JSON number: " + name)
d = json.load(open(sys.argv[1]), parse_constant=refuse)
expect = json.load(open(sys.argv[2]))
TOP = {"epochs_expected", "epochs_written", "completeness", "gaps", "mp1_rms", "mp2_rms", "slips_flagged",
       "slips_found", "satellites", "satellites_per_epoch", "epochs_under_4", "position"}
SAT = {"epochs", "epochs_l1", "elevation_min", "elevation_max", "cn0_mean", "slips_flagged", "slips_found",
       "mp1_rms", "mp2_rms"}
POS = {"latitude", "longitude", "height", "x", "y", "z", "std_north", "std_east", "std_up", "p95_horizontal",
       "p95_vertical", "epochs_fixed", "epochs_unfixed"}
assert set(d) == TOP, sorted(set(d) ^ TOP)
for name, s in d["satellites"].items():
    assert re.fullmatch(r"G\d\d", name), name
    assert set(s) == SAT, (name, sorted(set(s) ^ SAT))
assert set(d["satellites_per_epoch"]) == {"min", "mean", "max"}
assert d["position"] is None or set(d["position"]) == POS
for gap in d["gaps"]:
    assert len(gap) == 2 and all(re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(\.\d{3})?", t) for t in gap), gap
for path, want in expect.items():
    v = d
    for k in path.split("/"):
        v = v[int(k)] if isinstance(v, list) else v[k]
    ok = v == want or (isinstance(want, float) and isinstance(v, float) and abs(v - want) < 1e-9)
    assert ok, (path, v, want)
)";

bool HavePython() { return std::system("python3 -c 'import json' > /dev/null 2>&1") == 0; }

QualityEpoch At(int k) {
    QualityEpoch e;
    e.time = GpsTime(2300, 259200.0 + 30.0 * k);  // 2024-02-07 00:00:00 GPS time
    return e;
}

// 100 epochs with 40..59 missing; G05 dual frequency with MP1 +-0.5 m and MP2
// +-0.3 m about each arc's mean, a fix at every epoch.
QualityMonitor DualWithGap() {
    QualityMonitor monitor;
    for (int k = 0; k < 100; ++k) {
        if (k >= 40 && k < 60) continue;
        QualityEpoch e = At(k);
        const double sign = k % 2 ? 1 : -1;
        QualitySatellite& s = e.sat[4];
        s.SetValue(kC1, 2e7 + 0.5 * sign);
        s.SetValue(kP2, 2e7 + 0.3 * sign);
        s.SetValue(kL1, 0);
        s.SetValue(kL2, 0);
        e.fixed = true;
        e.x = -3976219.5082;
        e.y = 3382372.5671;
        e.z = 3652512.9849;
        monitor.AddEpoch(e, nullptr);
    }
    return monitor;
}

// 20 epochs, G05 on L1 and C1 only at 45 dB-Hz, no fix.
QualityMonitor SingleWithoutFix() {
    QualityMonitor monitor;
    for (int k = 0; k < 20; ++k) {
        QualityEpoch e = At(k);
        e.sat[4].SetValue(kC1, 2e7);
        e.sat[4].SetValue(kL1, 0);
        e.sat[4].cn0 = 45;
        monitor.AddEpoch(e, nullptr);
    }
    return monitor;
}

// 20 epochs of damaged values: phases and codes that are not numbers, a fix at infinity.
QualityMonitor Damaged() {
    QualityMonitor monitor;
    for (int k = 0; k < 20; ++k) {
        QualityEpoch e = At(k);
        QualitySatellite& s = e.sat[4];
        s.SetValue(kC1, 2e7);
        s.SetValue(kP2, NAN);
        s.SetValue(kL1, k % 2 ? INFINITY : 0.0, 1);
        s.SetValue(kL2, 0);
        s.cn0 = NAN;
        e.fixed = true;
        e.x = INFINITY;
        monitor.AddEpoch(e, nullptr);
    }
    return monitor;
}

struct JsonCase {
    const char* name;
    QualityMonitor monitor;
    const char* expect;
};

TEST(QualityJson, ParsesWithEveryKeyAndNullsWhereNoFigure) {
    if (!HavePython()) GTEST_SKIP() << "python3 is not available";
    const JsonCase cases[] = {
        {"nothing written", QualityMonitor(),
         R"({"epochs_written": 0, "epochs_expected": 0, "completeness": null, "gaps": [], "mp1_rms": null,
             "satellites": {}, "satellites_per_epoch": {"min": null, "mean": null, "max": null},
             "epochs_under_4": 0, "position": null})"},
        {"dual frequency with a gap and fixes", DualWithGap(),
         R"({"epochs_expected": 100, "epochs_written": 80, "completeness": 80.0,
             "gaps": [["2024-02-07T00:20:00", "2024-02-07T00:29:30"]], "mp1_rms": 0.5, "mp2_rms": 0.3,
             "satellites/G05/epochs": 80, "satellites/G05/epochs_l1": 80, "satellites/G05/elevation_min": null,
             "satellites/G05/cn0_mean": null, "satellites/G05/mp1_rms": 0.5, "satellites/G05/mp2_rms": 0.3,
             "satellites_per_epoch": {"min": 1, "mean": 1.0, "max": 1}, "epochs_under_4": 80,
             "position/x": -3976219.5082, "position/std_north": 0.0, "position/p95_horizontal": 0.0,
             "position/epochs_fixed": 80, "position/epochs_unfixed": 0})"},
        {"single frequency without a fix", SingleWithoutFix(),
         R"({"mp1_rms": null, "mp2_rms": null, "satellites/G05/mp1_rms": null, "satellites/G05/cn0_mean": 45.0,
             "satellites/G05/slips_found": 0, "position": null})"},
        {"damaged values", Damaged(),
         R"({"epochs_written": 20, "satellites/G05/epochs_l1": 10, "satellites/G05/cn0_mean": null,
             "mp1_rms": null, "slips_flagged": 0, "slips_found": 0, "position": null})"},
    };
    ScopedTempDir dir;
    const std::string checker = dir.Write("check.py", kChecker);
    for (const JsonCase& c : cases) {
        const std::string json = QualityJson(c.monitor.Summary());
        EXPECT_EQ(json.find('\n'), std::string::npos) << c.name;
        const std::string data = dir.Write("quality.json", json);
        const std::string expect = dir.Write("expect.json", c.expect);
        const std::string command = "python3 " + checker + " " + data + " " + expect;
        EXPECT_EQ(std::system(command.c_str()), 0) << c.name << ": " << json;
    }
}

TEST(QualityJson, StringsNumbersAndTimes) {
    EXPECT_EQ(JsonString("G05"), "\"G05\"");
    EXPECT_EQ(JsonString("a\"b\\c\nd\te\x01"), "\"a\\\"b\\\\c\\nd\\te\\u0001\"");
    EXPECT_EQ(JsonNumber(0.26049, 4), "0.2605");
    EXPECT_EQ(JsonNumber(-0.00001, 4), "0.0000");
    EXPECT_EQ(JsonNumber(NAN, 4), "null");
    EXPECT_EQ(JsonNumber(-INFINITY, 4), "null");
    EXPECT_EQ(CalendarText(GpsTime(1316, 518400.0), 'T'), "2005-04-02T00:00:00");
    EXPECT_EQ(CalendarText(GpsTime(1316, 518459.9996), ' '), "2005-04-02 00:01:00");
    EXPECT_EQ(CalendarText(GpsTime(1316, 518430.005), 'T'), "2005-04-02T00:00:30.005");
    EXPECT_EQ(CalendarText(GpsTime(1316, 604799.9999), 'T'), "2005-04-03T00:00:00");  // into the next week
}

TEST(QualityReport, HeaderDefinesTheFiguresAndTablesHoldThem) {
    const std::string text = QualityReportText(DualWithGap().Summary(), "SITE0380.24O");
    for (const char* part : {"QUALITY REPORT  SITE0380.24O", "MP1 = P1 - (1 + 2/(alpha-1)) lambda1 L1",
                             "MP2 = P2 - (2 alpha/(alpha-1)) lambda1 L1", "more than 0.10 m",
                             "by more than 10 m", "fewer than 10 epochs", "Completeness (%)            80.00",
                             "2024-02-07 00:20:00   2024-02-07 00:29:30", "MP1 / MP2 RMS (m)           0.500 / 0.300",
                             "Epochs fixed / unfixed      80 / 0"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
    // G05: 80 epochs, no elevation or density, no slips, MP1 and MP2.
    EXPECT_NE(text.find("  G05      80      80         -         -         -        0      0    0.500    0.300\r\n"),
              std::string::npos)
        << text;
}

}  // namespace
