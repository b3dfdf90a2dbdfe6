// Speed of the point position solution: the refined fix of one real-size epoch
// (receiver-dated and satellite-dated), the closed-form fix, and one satellite state.
// The refined fixes also count the heap allocations they make per epoch (a counting
// operator new for this program).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "positioning/LineOfSight.h"
#include "positioning/PositionSolver.h"
#include "positioning/SatelliteState.h"

namespace {
std::atomic<long long> allocations{0};
}  // namespace

// The replacement pair below allocates with malloc and frees with free; GCC cannot see
// that they match once it inlines them.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {
constexpr double kC = 299792458.0;
constexpr double kLambda1 = 299792458.0 / 1575.42e6;

// A 24-satellite constellation of six planes at 55 deg on near-circular orbits,
// and a station at 36 N 140 E: about ten satellites above the horizon.
struct Scene {
    EpochTracker tracker;
    GeoPosition station;

    explicit Scene(int rawKind) {
        station.SetGeodetic(0.6137, 2.4367, 70.0);
        for (int k = 0; k < 24; ++k) {
            Ephemeris& e = tracker.selected[k];
            e.valid = 1;
            e.satellite = static_cast<uint16_t>(k);
            e.week = 1590;
            e.toe = e.toc = 360000.0;
            e.toeTime = GpsTime(1590, 360000.0);
            e.sqrtA = 5153.6;
            e.e = 0.005 + 0.0005 * (k % 7);
            e.i0 = 0.96;
            e.Omega0 = (k / 4) * 1.0471975512;
            e.M0 = (k % 4) * 1.5707963268 + (k / 4) * 0.5;
            e.omega = 0.3 * (k % 5);
            e.OmegaDot = -8e-9;
            e.deltaN = 4.5e-9;
            e.af0 = 1e-5 * (k - 12);
            e.af1 = 1e-12;
            e.TGD = -5e-9;
            PrepareEphemeris(e);
        }
        tracker.ionoUtc.alpha0 = 1.1e-8;
        tracker.ionoUtc.beta0 = 88000.0;
        tracker.rawKind = static_cast<RecordKind>(rawKind);
        tracker.previous = MakeEpoch(GpsTime(1590, 361000.0), rawKind);
        tracker.current = MakeEpoch(GpsTime(1590, 361001.0), rawKind);
        tracker.time = tracker.current.time;
    }

    // Epoch at t of every satellite above the horizon: code, phase and Doppler from
    // the geometric range (no delays, receiver clock 0).
    ObservationEpoch MakeEpoch(const GpsTime& t, int rawKind) const {
        ObservationEpoch ep;
        ep.time = t;
        for (int k = 0; k < 24; ++k) {
            SatelliteState s;
            ComputeSatelliteState(t.AddSeconds(rawKind == kRecordReceiverDated ? -0.07 : 0.0),
                                  tracker.selected[k], s);
            const LineOfSight los = ComputeLineOfSight(station, s);
            if (los.elevation < 0.1) continue;
            SatObservation& o = ep.sat[k];
            o.SetValue(kC1, std::fmod(los.range / kC - s.clock, 0.1));
            o.SetValue(kL1, std::fmod(los.range / kLambda1, 10000.0));
            o.SetValue(kD1, -400.0 + 50.0 * k);
            o.SetStatus(0, 0);
            o.SetCn0(45);
            ep.AddToMask(o.Mask());
        }
        return ep;
    }
};

void RefineEpoch(benchmark::State& state, int rawKind, bool smoothed) {
    Scene scene(rawKind);
    PositionSolver solver;
    solver.Reset(smoothed);
    solver.SetPosition(scene.station);
    int ok = 0;
    const long long allocationsBefore = allocations.load();
    for (auto _ : state) {
        ok += solver.RefineFix(scene.tracker);
        benchmark::DoNotOptimize(ok);
    }
    state.counters["allocations/epoch"] =
        static_cast<double>(allocations.load() - allocationsBefore) / static_cast<double>(state.iterations());
    state.counters["satellites"] = solver.AboveMask().Count();
    state.counters["fixed"] = ok == static_cast<int>(state.iterations()) ? 1 : 0;
    state.SetItemsProcessed(state.iterations());  // epochs
}

void BM_RefineFixReceiverDated(benchmark::State& state) { RefineEpoch(state, kRecordReceiverDated, false); }
void BM_RefineFixReceiverDatedSmoothed(benchmark::State& state) {
    RefineEpoch(state, kRecordReceiverDated, true);
}
void BM_RefineFixSatelliteDated(benchmark::State& state) { RefineEpoch(state, kRecordSatelliteDated, false); }

void BM_InitialFix(benchmark::State& state) {
    Scene scene(kRecordReceiverDated);
    PositionSolver solver;
    for (auto _ : state) benchmark::DoNotOptimize(solver.InitialFix(scene.tracker));
    state.SetItemsProcessed(state.iterations());
}

void BM_ComputeSatelliteState(benchmark::State& state) {
    Scene scene(kRecordReceiverDated);
    SatelliteState s;
    double t = 361000.0;
    for (auto _ : state) {
        ComputeSatelliteState(GpsTime(1590, t), scene.tracker.selected[3], s);
        benchmark::DoNotOptimize(s);
        t += 1e-3;
    }
    state.SetItemsProcessed(state.iterations());
}
}  // namespace

BENCHMARK(BM_RefineFixReceiverDated);
BENCHMARK(BM_RefineFixReceiverDatedSmoothed);
BENCHMARK(BM_RefineFixSatelliteDated);
BENCHMARK(BM_InitialFix);
BENCHMARK(BM_ComputeSatelliteState);
