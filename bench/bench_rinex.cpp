// Speed of the RINEX writers: one observation record, the F14.3 field against
// printf, and one navigation record.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "convert/rinex/RinexFormat.h"
#include "convert/rinex/RinexNav.h"
#include "convert/rinex/RinexObsRecord.h"

namespace {

// An epoch of 10 satellites with all seven types, values of realistic size.
RinexEpoch SampleEpoch() {
    RinexEpoch e;
    e.time = GpsTime(1316, 518430.0);
    for (int s = 0; s < 10; ++s) {
        RinexSatValues& v = e.Sat(3 * s);
        v.SetValue(kC1, 20311445.258 + 123456.789 * s, 0, 7);
        v.SetValue(kL1, 7712103.227 - 1000.5 * s, 0, 8);
        v.SetValue(kD1, -2345.678 + s, 0, 8);
        v.SetValue(kP1, 20311444.1 + 123456.789 * s, 4, 7);
        v.SetValue(kP2, 20311439.442 + 123456.789 * s, 4, 6);
        v.SetValue(kL2, 6019854.642 - 800.25 * s, 4, 6);
        v.SetValue(kD2, -1827.813 + s, 0, 6);
    }
    return e;
}

void BM_EpochText(benchmark::State& state) {
    const RinexEpoch e = SampleEpoch();
    std::string out;
    for (auto _ : state) {
        out.clear();
        AppendEpochText(out, e, 0x7F);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EpochText);

void BM_FixedField(benchmark::State& state) {
    std::string out;
    double x = 20311445.258;
    for (auto _ : state) {
        out.clear();
        rinex::AppendFixed(out, 14, 3, x);
        x += 0.001;
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_FixedField);

void BM_FixedFieldSnprintf(benchmark::State& state) {
    char buffer[64];
    double x = 20311445.258;
    for (auto _ : state) {
        std::snprintf(buffer, sizeof buffer, "%14.3f", x);
        x += 0.001;
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(BM_FixedFieldSnprintf);

void BM_NavRecordText(benchmark::State& state) {
    Ephemeris e;
    e.satellite = 4;
    e.week = 1316;
    e.toe = e.toc = 525600.0;
    e.toeTime = GpsTime(1316, 525600.0);
    e.af0 = 3.96659597754e-04;
    e.sqrtA = 5153.63647842;
    e.e = 5.95761800651e-03;
    e.M0 = 2.87153499034;
    for (auto _ : state) {
        std::string s = NavRecordText(e);
        benchmark::DoNotOptimize(s.data());
    }
}
BENCHMARK(BM_NavRecordText);

}  // namespace
