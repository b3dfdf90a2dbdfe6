// Speed of the matrix operations of a position fix: the least-squares accumulation and
// solution of four parameters, the singular value decomposition and pseudo-inverse of a
// design matrix of up to 32 rows, and the small products and inverses around them.
#include <benchmark/benchmark.h>

#include <random>

#include "positioning/matrix/Matrix.h"

namespace {

CRectMat RandomRect(int rows, int cols, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    CRectMat m(rows, cols);
    for (int k = 0; k < m.Size(); ++k)
        m.Data()[k] = u(gen);
    return m;
}

// Twelve observations accumulated into an augmented normal matrix of order 5 by shrinking
// and regrowing it, then solved through the Cholesky factor.
void BM_LeastSquaresPass(benchmark::State& state)
{
    const CRectMat design = RandomRect(12, 4, 1);
    for (auto _ : state) {
        CSymMat normal(5);
        for (int i = 0; i < 12; ++i) {
            CVector a = design.Row(i).Transpose();
            a.SetOrientation(2);
            const double y = 0.1 * i;
            normal.Resize(4, true);
            normal += a.OuterProduct();
            normal.Resize(5, true);
            for (int k = 0; k < 4; ++k)
                normal(k, 4) -= y * a[k];
            normal(4, 4) += y * y;
        }
        const CUpTriangMat r = normal.Cholesky();
        CVector column = r.Col(4);
        column.Resize(4, true);
        CUpTriangMat r1(r);
        r1.Resize(4, true);
        const CUpTriangMat s = r1.inv();
        const CSymMat q = (s * s.Transpose()).ToSym();
        const CVector x = r1.BackSubstitution(column * -1.0);
        benchmark::DoNotOptimize(q.Data());
        benchmark::DoNotOptimize(x.Data());
    }
}
BENCHMARK(BM_LeastSquaresPass);

void BM_SymmetricInverse(benchmark::State& state)
{
    const CRectMat b = RandomRect(10, 4, 2);
    const CSymMat n = (b.Transpose() * b).ToSym();
    for (auto _ : state) {
        const CSymMat inverse = n.inv();
        benchmark::DoNotOptimize(inverse.Data());
    }
}
BENCHMARK(BM_SymmetricInverse);

void BM_Svd(benchmark::State& state)
{
    const CRectMat a = RandomRect(static_cast<int>(state.range(0)), 4, 3);
    CRectMat u;
    CDiagMat w;
    CSquareMat v;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a.Svd(u, w, v));
        benchmark::DoNotOptimize(w.Data());
    }
}
BENCHMARK(BM_Svd)->Arg(4)->Arg(10)->Arg(32);

// The closed-form fix's matrix work: BᵀB determinant and the pseudo-inverse applied twice.
void BM_ClosedFormMatrices(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const CRectMat b = RandomRect(n, 4, 4);
    const CVector ones(n, 1.0);
    for (auto _ : state) {
        const CSquareMat btb(b.Transpose() * b);
        benchmark::DoNotOptimize(btb.Det());
        const CRectMat plus = b.PseudoInverse();
        const CVector u = plus * ones;
        benchmark::DoNotOptimize(u.Data());
    }
}
BENCHMARK(BM_ClosedFormMatrices)->Arg(4)->Arg(10)->Arg(32);

void BM_LuInverse(benchmark::State& state)
{
    const CSquareMat a(RandomRect(4, 4, 5));
    for (auto _ : state) {
        const CSquareMat inverse = a.inv();
        benchmark::DoNotOptimize(inverse.Data());
    }
}
BENCHMARK(BM_LuInverse);

}  // namespace
