#include "positioning/PositionSolver.h"

#include <cmath>
#include <optional>

#include "positioning/LeastSquare.h"
#include "positioning/matrix/Matrix.h"
#include "rawdata/GpsConstants.h"

namespace {
constexpr int kMaxQuality = 7;  // status[0] quality indicator must stay below this
constexpr uint8_t kMinCn0 = 30; // dB-Hz
// A receiver on or near the earth sees L1 Dopplers of some kHz (tens of kHz in low
// orbit); a larger one is a damaged record, whose extrapolation would spoil the fix.
constexpr double kMaxDoppler = 1e5;  // Hz
// A closed-form design matrix whose singular values spread wider than this is rank
// deficient (the same satellite twice, too few distinct satellites).
constexpr double kMaxCondition = 1e12;

bool HasCodePhaseDoppler(const SatObservation& o) {
    return o.Has(kC1) && o.Has(kL1) && o.Has(kD1);
}

// Lorentz inner product p0 q0 + p1 q1 + p2 q2 - p3 q3.
double Lorentz(const CVector& p, const CVector& q) {
    return p[0] * q[0] + p[1] * q[1] + p[2] * q[2] - p[3] * q[3];
}

// The vectors of the closed-form solution, u = B+ 1 and v = B+ a / 2 (B: the
// satellites' positions and code ranges, m; a: their Lorentz squares).
struct ClosedForm {
    CVector u;
    CVector v;
};

// The closed-form vectors from the n usable satellites; none for a rank-deficient geometry.
std::optional<ClosedForm> ClosedFormVectors(const SatelliteModels& models, const SatelliteSet& usable, int n) {
    CRectMat B(n, 4);
    CVector a(n);
    int row = 0;
    for (int k = usable.First(); k >= 0; k = usable.Next(k), ++row) {
        const SatelliteModel& m = models[k];
        B(row, 0) = m.satellite.x;
        B(row, 1) = m.satellite.y;
        B(row, 2) = m.satellite.z;
        B(row, 3) = m.codeRange;
        a[row] = m.satellite.x * m.satellite.x + m.satellite.y * m.satellite.y +
                 m.satellite.z * m.satellite.z - m.codeRange * m.codeRange;
    }
    if (!(B.Cond() <= kMaxCondition)) return std::nullopt;
    const CSquareMat BtB(B.Transpose() * B);
    if (std::fabs(BtB.Det()) < 1e-20) return std::nullopt;
    const CRectMat Bplus = B.PseudoInverse();
    if (Bplus.IsEmpty()) return std::nullopt;
    return ClosedForm{Bplus * CVector(n, 1.0), (Bplus * a) * 0.5};
}

// Closed-form position (m, earth-centred) from the usable satellites, without a prior
// position: the root of the quadratic in the receiver clock that leaves the smaller
// sum of squared range residuals. False when the geometry gives none.
bool ClosedFormPosition(const SatelliteModels& models, const SatelliteSet& usable, int n, double pos[3]) {
    const std::optional<ClosedForm> form = ClosedFormVectors(models, usable, n);
    if (!form) return false;
    const CVector& u = form->u;
    const CVector& v = form->v;
    const double A = Lorentz(u, u);
    const double Bq = Lorentz(u, v) - 1.0;
    const double Cq = Lorentz(v, v);

    // Position of root lambda and the sum of squared range residuals it leaves.
    auto candidate = [&](double lambda, double p[3]) {
        for (int i = 0; i < 3; ++i) p[i] = lambda * u[i] + v[i];
        const double b = -(lambda * u[3] + v[3]);
        double sum = 0.0;
        for (int k = usable.First(); k >= 0; k = usable.Next(k)) {
            const SatelliteModel& m = models[k];
            const double dx = m.satellite.x - p[0], dy = m.satellite.y - p[1], dz = m.satellite.z - p[2];
            const double r = m.codeRange - std::sqrt(dx * dx + dy * dy + dz * dz) - b;
            sum += r * r;
        }
        return sum;
    };

    if (A != 0.0) {
        const double D = Bq * Bq - A * Cq;
        if (D < 0.0) return false;
        if (D == 0.0) {
            candidate(-Bq / A, pos);
        } else {
            const double root = std::sqrt(D);
            double second[3];
            const double s1 = candidate((-Bq + root) / A, pos);
            const double s2 = candidate((-Bq - root) / A, second);
            if (s1 > s2)
                for (int i = 0; i < 3; ++i) pos[i] = second[i];
        }
    } else {
        if (Bq == 0.0) return false;
        candidate(-Cq / (2.0 * Bq), pos);
    }
    return std::isfinite(pos[0]) && std::isfinite(pos[1]) && std::isfinite(pos[2]);
}

}  // namespace

void PositionSolver::Reset(bool useSmoothed) {
    for (SatelliteModel& m : models_) m.Clear();
    usable_.Clear();
    aboveMask_.Clear();
    useSmoothed_ = useSmoothed;
}

int PositionSolver::SelectSatellites(const EpochTracker& tracker) {
    usable_.Clear();
    for (int k = 0; k < kSatelliteCount; ++k) {
        const SatObservation& cur = tracker.current.sat[k];
        const SatObservation& prev = tracker.previous.sat[k];
        if (!HasCodePhaseDoppler(cur) || cur.Quality(0) >= kMaxQuality) continue;
        if (!HasCodePhaseDoppler(prev) || prev.Quality(0) >= kMaxQuality) continue;
        if (cur.LockCounter(0) != prev.LockCounter(0)) continue;
        if (cur.cn0 < kMinCn0) continue;
        if (!tracker.selected[k].valid) continue;
        if (!(std::fabs(cur.value[kD1]) <= kMaxDoppler)) continue;
        usable_.Add(k);
    }
    return usable_.Count();
}

SatelliteSet SelectAboveMask(const SatelliteModels& models, const SatelliteSet& usable) {
    SatelliteSet above;
    for (int k = usable.First(); k >= 0; k = usable.Next(k))
        if (models[k].lineOfSight.elevation > PositionSolver::kElevationMask) above.Add(k);
    return above;
}

bool WithinConvergence(double dNorth, double dEast, double dUp) {
    const double bound = PositionSolver::kConvergence;
    return std::fabs(dNorth) <= bound && std::fabs(dEast) <= bound && std::fabs(dUp) <= bound;
}

int PositionSolver::SelectAboveMask() {
    aboveMask_ = ::SelectAboveMask(models_, usable_);
    return aboveMask_.Count();
}

int WithoutMatrixFailure(const std::function<int()>& fix) {
    TakeMatrixFaults();
    int result = 0;
    try {
        result = fix();
    } catch (const MatrixError&) {
        result = 0;
    }
    if (!TakeMatrixFaults().empty()) result = 0;
    return result;
}

// Runs one fix: without a fix (also when the matrix library failed inside it) time,
// position and clock stay as they were.
template <class Fix>
int PositionSolver::Guarded(Fix&& fix) {
    const GpsTime time = time_;
    const GeoPosition position = position_;
    const double clock = clock_;
    const int result = WithoutMatrixFailure(fix);
    if (result == 0) {
        time_ = time;
        position_ = position;
        clock_ = clock;
    }
    return result;
}

int PositionSolver::InitialFix(const EpochTracker& tracker) {
    return Guarded([&] { return ComputeInitialFix(tracker); });
}

int PositionSolver::RefineFix(const EpochTracker& tracker) {
    return Guarded([&] { return ComputeRefineFix(tracker); });
}

int PositionSolver::ComputeInitialFix(const EpochTracker& tracker) {
    const bool receiverDated = tracker.rawKind == kRecordReceiverDated;
    const int n = SelectSatellites(tracker);
    ModelAllInitial(models_, tracker.current, tracker.selected, usable_, receiverDated,
                    references_);
    if (n < 4) return 0;
    double pos[3];
    if (!ClosedFormPosition(models_, usable_, n, pos)) return 0;
    GeoPosition fixed;
    fixed.SetCartesian(pos[0], pos[1], pos[2]);
    if (!fixed.IsFinite()) return 0;
    time_ = tracker.current.time;
    position_ = fixed;
    return 1;
}

int PositionSolver::ComputeRefineFix(const EpochTracker& tracker) {
    const bool receiverDated = tracker.rawKind == kRecordReceiverDated;
    GeoPosition P = position_;
    const int n = SelectSatellites(tracker);
    ModelAllFull(models_, tracker.current, tracker.previous, tracker.selected, tracker.ionoUtc, P,
                 usable_, receiverDated, references_);
    if (n < 4) return 0;

    const double c = Constants().speedOfLight;
    CVector row(4);
    CVector solution(4);
    CSymMat covariance(4);
    double sigma0Squared = 0.0;
    for (int pass = 1; pass <= kMaxPasses; ++pass) {
        if (SelectAboveMask() < 4) return 0;
        CLeastSquare lsq(4);
        double* const design = row.Data();  // the 4 elements of row
        for (int k = aboveMask_.First(); k >= 0; k = aboveMask_.Next(k)) {
            const SatelliteModel& m = models_[k];
            design[0] = -m.lineOfSight.north;
            design[1] = -m.lineOfSight.east;
            design[2] = -m.lineOfSight.up;
            design[3] = 1.0;
            if (useSmoothed_) {
                lsq.AddObservation(row, m.smoothedRange - m.lineOfSight.range,
                                   m.corrections.codeL1 * m.corrections.codeL1 * m.smoothWeight);
            } else {
                lsq.AddObservation(row, m.codeRange - m.lineOfSight.range, 1.0);
            }
        }
        if (lsq.Solve(solution, covariance, sigma0Squared) != 0) return 0;
        const double dNorth = solution[0], dEast = solution[1], dUp = solution[2];
        const double clockMetres = solution[3];
        if (!std::isfinite(dNorth) || !std::isfinite(dEast) || !std::isfinite(dUp) ||
            !std::isfinite(clockMetres))
            return 0;
        P.OffsetLocal(dNorth, dEast, dUp);
        if (!P.IsFinite()) return 0;
        if (WithinConvergence(dNorth, dEast, dUp)) {
            time_ = tracker.current.time;
            position_ = P;
            clock_ = clockMetres / c;
            return 1;
        }
        if (pass == kMaxPasses) return 0;
        RefreshLineOfSight(models_, P, usable_);
    }
    return 0;
}
