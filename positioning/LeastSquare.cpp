#include "positioning/LeastSquare.h"

#include <cmath>

namespace {
// A Cholesky pivot smaller than this fraction of its diagonal element of the normal
// matrix marks a parameter that the observations do not determine.
constexpr double kRelativePivot = 1e-12;

// Adds row a (N elements, already divided) and observation y to the packed augmented
// normal matrix: the loops of AddObservation with N fixed, so the compiler lays them out.
template <int N>
void Accumulate(double* packed, const double* a, double y) {
    for (int i = 0; i < N; ++i)
        for (int j = 0; j <= i; ++j) packed[i * (i + 1) / 2 + j] += a[i] * a[j];
    double* last = packed + N * (N + 1) / 2;
    for (int i = 0; i < N; ++i) last[i] -= y * a[i];
    last[N] += y * y;
}
}  // namespace

CLeastSquare::CLeastSquare(int n) {
    if (n > 0) InitLsq(n);
}

MatStatus CLeastSquare::InitLsq(int n) {
    if (n_ != 0) return kAlreadySized;  // "Error in CLeastSquare::InitLsq"
    if (n <= 0) return 0;
    n_ = static_cast<int16_t>(n);
    normal_ = CSymMat(n + 1);
    covariance_ = CSymMat(n);
    redundancy_ = static_cast<int16_t>(-n);
    return 0;
}

MatStatus CLeastSquare::AddObservation(const CVector& a, double y, double variance) {
    if (a.Size() != n_ || variance == 0.0) return kBadObservation;
    // Row and observation divided by the standard deviation, without touching the
    // caller's vector; unit variance leaves them as they are.
    const bool scaled = variance != 1.0;
    const double deviation = scaled ? std::sqrt(variance) : 1.0;
    const double* row = a.Data();
    const double ys = scaled ? y / deviation : y;
    const int n = n_;
    // The divided row, each element divided once (the same quotients as in the loops).
    double divided[8];
    if (scaled && n <= 8) {
        for (int i = 0; i < n; ++i) divided[i] = row[i] / deviation;
        row = divided;
    }
    const bool divide = scaled && n > 8;
    double* packed = normal_.Data();  // lower triangle, row by row: (i, j) at i(i+1)/2 + j
    if (n == 4 && !divide) {  // the position fix's four parameters
        Accumulate<4>(packed, row, ys);
        ++redundancy_;
        return 0;
    }
    for (int i = 0; i < n; ++i) {
        const double ai = divide ? row[i] / deviation : row[i];
        double* rowI = packed + i * (i + 1) / 2;
        for (int j = 0; j <= i; ++j) {
            const double aj = divide ? row[j] / deviation : row[j];
            rowI[j] += ai * aj;
        }
    }
    double* last = packed + n * (n + 1) / 2;  // row n: (n, 0..n)
    for (int i = 0; i < n; ++i) {
        const double ai = divide ? row[i] / deviation : row[i];
        last[i] -= ys * ai;
    }
    last[n] += ys * ys;
    ++redundancy_;
    return 0;
}

MatStatus CLeastSquare::Solve(CVector& x, CSymMat& Q, double& sigma0Squared) {
    if (redundancy_ < 0) return kUnderdetermined;  // "Error in CLeastSquare::Solve"
    const int n = n_;
    const CUpTriangMat R = normal_.Cholesky();
    if (n > 0 && R.Order() != n + 1) return kSingular;  // no storage of that order
    // The packed elements read directly: every index below lies inside its triangle.
    // Upper triangles are packed column by column, (i, j) at j(j + 1)/2 + i; the
    // symmetric ones row by row, (i, j), j <= i, at i(i + 1)/2 + j.
    const auto packed = [](int i, int j) { return i * (i + 1) / 2 + j; };
    const double* r = R.Data();
    const double* normal = normal_.Data();
    for (int i = 0; i < n; ++i) {
        const double pivot = r[packed(i, i)] * r[packed(i, i)];
        const double diagonal = normal[packed(i, i)];
        if (!(diagonal > 0.0) || !(pivot > kRelativePivot * diagonal)) return kSingular;
    }
    if (redundancy_ > 0) {
        const double rho = r[packed(n, n)];
        const double s0 = rho * rho / redundancy_;
        CVector minusR(n);
        for (int i = 0; i < n; ++i) minusR.Data()[i] = -r[packed(n, i)];
        CUpTriangMat R1 = R;
        R1.Resize(n, true);
        const CUpTriangMat R1inv = R1.inv();
        if (R1inv.IsEmpty()) return kSingular;
        const CVector solution = R1.BackSubstitution(minusR);
        // Q = s0 R1^-1 R1^-T, lower triangle: Q(i, j) = s0 sum_k>=max(i,j) S(i,k) S(j,k).
        const double* S = R1inv.Data();
        CSymMat q(n);
        double* qData = q.Data();
        for (int i = 0; i < n; ++i)
            for (int j = 0; j <= i; ++j) {
                double sum = 0.0;
                for (int k = i; k < n; ++k) sum += S[packed(k, i)] * S[packed(k, j)];
                qData[packed(i, j)] = s0 * sum;
            }
        covariance_ = q;
        Q = q;
        x = solution;
        sigma0Squared_ = s0;
        sigma0Squared = s0;
        return 0;
    }
    // As many observations as parameters: the inverse of the normal matrix.
    CSymMat N(n);
    CVector h(n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j <= i; ++j) N(i, j) = normal_(i, j);
        h[i] = -normal_(n, i);
    }
    const CSymMat inverse = N.inv();
    if (inverse.IsEmpty()) return kSingular;
    covariance_ = inverse;
    Q = inverse;
    x = inverse * h;
    sigma0Squared_ = 1.0;
    sigma0Squared = 1.0;
    return 0;
}

CSymMat CLeastSquare::Correlation() const {
    CSymMat c = covariance_;
    const int n = c.Order();
    for (int i = 0; i < n; ++i) c(i, i) = std::sqrt(c(i, i));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < i; ++j) {
            const double product = c(i, i) * c(j, j);
            c(i, j) = std::fabs(product) >= 1e-20 ? c(i, j) / product : 0.0;
        }
    return c;
}
