// Singular value decomposition (Golub-Reinsch) and what is built on it.
#include "positioning/matrix/DiagMat.h"
#include "positioning/matrix/MatrixKernels.h"
#include "positioning/matrix/RectMat.h"
#include "positioning/matrix/SquareMat.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace matrix_kernels;

namespace {

// √(a² + b²) without overflow or destructive underflow: scaled by the larger magnitude.
double Hypot(double a, double b)
{
    const double absA = std::fabs(a);
    const double absB = std::fabs(b);
    if (absA > absB) {
        const double r = absB / absA;
        return absA * std::sqrt(1.0 + r * r);
    }
    if (absB == 0.0)
        return 0.0;
    const double r = absA / absB;
    return absB * std::sqrt(1.0 + r * r);
}

// |a| with the sign of b.
double WithSign(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

constexpr int kMaxIterations = 30;

// Decomposes the row-major m × n matrix a (m >= n) in place: a becomes U (m × n), w the
// n singular values, v (row-major n × n) the matrix V. False when a singular value does
// not converge within 30 implicit-shift QR iterations.
bool GolubReinsch(double* a, int m, int n, double* w, double* v)
{
    auto A = [a, n](int i, int j) -> double& { return a[i * n + j]; };
    auto V = [v, n](int i, int j) -> double& { return v[i * n + j]; };
    Scratch<double> scratch(n);
    double* rv1 = scratch.Data();

    // Householder reduction to bidiagonal form.
    double g = 0.0;
    double scale = 0.0;
    double anorm = 0.0;
    int l = 0;
    for (int i = 0; i < n; ++i) {
        l = i + 1;
        rv1[i] = scale * g;
        g = 0.0;
        double s = 0.0;
        scale = 0.0;
        if (i < m) {
            for (int k = i; k < m; ++k)
                scale += std::fabs(A(k, i));
            if (scale != 0.0) {
                for (int k = i; k < m; ++k) {
                    A(k, i) /= scale;
                    s += A(k, i) * A(k, i);
                }
                double f = A(i, i);
                g = -WithSign(std::sqrt(s), f);
                const double h = f * g - s;
                A(i, i) = f - g;
                for (int j = l; j < n; ++j) {
                    s = 0.0;
                    for (int k = i; k < m; ++k)
                        s += A(k, i) * A(k, j);
                    f = s / h;
                    for (int k = i; k < m; ++k)
                        A(k, j) += f * A(k, i);
                }
                for (int k = i; k < m; ++k)
                    A(k, i) *= scale;
            }
        }
        w[i] = scale * g;
        g = 0.0;
        s = 0.0;
        scale = 0.0;
        if (i < m && i != n - 1) {
            for (int k = l; k < n; ++k)
                scale += std::fabs(A(i, k));
            if (scale != 0.0) {
                for (int k = l; k < n; ++k) {
                    A(i, k) /= scale;
                    s += A(i, k) * A(i, k);
                }
                const double f = A(i, l);
                g = -WithSign(std::sqrt(s), f);
                const double h = f * g - s;
                A(i, l) = f - g;
                for (int k = l; k < n; ++k)
                    rv1[k] = A(i, k) / h;
                for (int j = l; j < m; ++j) {
                    s = 0.0;
                    for (int k = l; k < n; ++k)
                        s += A(j, k) * A(i, k);
                    for (int k = l; k < n; ++k)
                        A(j, k) += s * rv1[k];
                }
                for (int k = l; k < n; ++k)
                    A(i, k) *= scale;
            }
        }
        anorm = std::max(anorm, std::fabs(w[i]) + std::fabs(rv1[i]));
    }

    // Accumulation of the right-hand transformations.
    for (int i = n - 1; i >= 0; --i) {
        if (i < n - 1) {
            if (g != 0.0) {
                for (int j = l; j < n; ++j)
                    V(j, i) = (A(i, j) / A(i, l)) / g;  // double division avoids underflow
                for (int j = l; j < n; ++j) {
                    double s = 0.0;
                    for (int k = l; k < n; ++k)
                        s += A(i, k) * V(k, j);
                    for (int k = l; k < n; ++k)
                        V(k, j) += s * V(k, i);
                }
            }
            for (int j = l; j < n; ++j)
                V(i, j) = V(j, i) = 0.0;
        }
        V(i, i) = 1.0;
        g = rv1[i];
        l = i;
    }

    // Accumulation of the left-hand transformations.
    for (int i = std::min(m, n) - 1; i >= 0; --i) {
        l = i + 1;
        g = w[i];
        for (int j = l; j < n; ++j)
            A(i, j) = 0.0;
        if (g != 0.0) {
            g = 1.0 / g;
            for (int j = l; j < n; ++j) {
                double s = 0.0;
                for (int k = l; k < m; ++k)
                    s += A(k, i) * A(k, j);
                const double f = (s / A(i, i)) * g;
                for (int k = i; k < m; ++k)
                    A(k, j) += f * A(k, i);
            }
            for (int j = i; j < m; ++j)
                A(j, i) *= g;
        } else {
            for (int j = i; j < m; ++j)
                A(j, i) = 0.0;
        }
        A(i, i) += 1.0;
    }

    // Diagonalisation of the bidiagonal form by implicit-shift QR, one singular value at a time.
    for (int k = n - 1; k >= 0; --k) {
        for (int its = 1; its <= kMaxIterations; ++its) {
            bool cancel = true;
            int nm = 0;
            for (l = k; l >= 0; --l) {
                nm = l - 1;
                // rv1[0] is always 0: the test ends at l = 0 (also when anorm is not a number).
                if (l == 0 || std::fabs(rv1[l]) + anorm == anorm) {
                    cancel = false;
                    break;
                }
                if (std::fabs(w[nm]) + anorm == anorm)
                    break;
            }
            if (cancel) {
                // Cancellation of rv1[l] when w[l - 1] is negligible.
                double c = 0.0;
                double s = 1.0;
                for (int i = l; i <= k; ++i) {
                    const double f = s * rv1[i];
                    rv1[i] = c * rv1[i];
                    if (std::fabs(f) + anorm == anorm)
                        break;
                    g = w[i];
                    double h = Hypot(f, g);
                    w[i] = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    for (int j = 0; j < m; ++j) {
                        const double y = A(j, nm);
                        const double z = A(j, i);
                        A(j, nm) = y * c + z * s;
                        A(j, i) = z * c - y * s;
                    }
                }
            }
            double z = w[k];
            if (l == k) {  // converged: make the singular value non-negative
                if (z < 0.0) {
                    w[k] = -z;
                    for (int j = 0; j < n; ++j)
                        V(j, k) = -V(j, k);
                }
                break;
            }
            if (its == kMaxIterations)
                return false;
            // Shift from the bottom 2 × 2 minor.
            double x = w[l];
            nm = k - 1;
            double y = w[nm];
            g = rv1[nm];
            double h = rv1[k];
            double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
            g = Hypot(f, 1.0);
            f = ((x - z) * (x + z) + h * ((y / (f + WithSign(g, f))) - h)) / x;
            // Next QR transformation.
            double c = 1.0;
            double s = 1.0;
            for (int j = l; j <= nm; ++j) {
                const int i = j + 1;
                g = rv1[i];
                y = w[i];
                h = s * g;
                g = c * g;
                z = Hypot(f, h);
                rv1[j] = z;
                c = f / z;
                s = h / z;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                for (int jj = 0; jj < n; ++jj) {
                    x = V(jj, j);
                    z = V(jj, i);
                    V(jj, j) = x * c + z * s;
                    V(jj, i) = z * c - x * s;
                }
                z = Hypot(f, h);
                w[j] = z;
                if (z != 0.0) {  // rotation can be arbitrary when z = 0
                    z = 1.0 / z;
                    c = f * z;
                    s = h * z;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                for (int jj = 0; jj < m; ++jj) {
                    y = A(jj, j);
                    z = A(jj, i);
                    A(jj, j) = y * c + z * s;
                    A(jj, i) = z * c - y * s;
                }
            }
            rv1[l] = 0.0;
            rv1[k] = f;
            w[k] = x;
        }
    }
    return true;
}

}  // namespace

MatStatus CRectMat::Svd(CRectMat& u, CDiagMat& w, CSquareMat& v) const
{
    const int m = Rows();
    const int n = Cols();
    // A matrix with fewer rows than columns is decomposed with zero rows appended; U keeps
    // its first m rows.
    const int rowsWork = std::max(m, n);
    CRectMat work(rowsWork, n);
    if (m > 0 && n > 0)
        ExpandDense(*this, work.Data());
    CDiagMat values(n);
    CSquareMat right(n);
    const bool converged = n == 0 || GolubReinsch(work.Data(), rowsWork, n, values.Data(), right.Data());
    if (rowsWork != m)
        work.Resize(m, n, true);
    u = std::move(work);
    w = std::move(values);
    v = std::move(right);
    return converged ? 0 : 304;
}

double CRectMat::Cond() const
{
    CRectMat u;
    CDiagMat w;
    CSquareMat v;
    Svd(u, w, v);
    if (w.IsEmpty())
        return 0.0;
    const double* d = w.Data();
    const double largest = *std::max_element(d, d + w.Size());
    const double smallest = *std::min_element(d, d + w.Size());
    if (smallest == 0.0)
        return std::numeric_limits<double>::infinity();
    return largest / smallest;
}

CRectMat CRectMat::PseudoInverse() const
{
    CRectMat u;
    CDiagMat w;
    CSquareMat v;
    if (Svd(u, w, v) != 0)
        return CRectMat();
    const CDiagMat wInverse = w.inv();
    if (wInverse.Order() != w.Order())
        return CRectMat();
    return (v * wInverse) * u.Transpose();
}
