#pragma once
#include <cstdint>

#include "positioning/matrix/Matrix.h"

// Weighted least-squares accumulator: observations are added one by one into the
// augmented normal matrix of order n + 1, whose leading block is sum a a^T, whose last
// column holds -sum y a and whose corner is sum y^2 (rows and observations already
// divided by the square root of their variance). No design matrix is stored.
class CLeastSquare {
public:
    static constexpr MatStatus kBadObservation = 800;  // row length != n, or variance 0
    static constexpr MatStatus kAlreadySized = 801;    // InitLsq on a sized accumulator
    static constexpr MatStatus kSingular = 802;        // normal matrix (numerically) singular
    static constexpr MatStatus kUnderdetermined = 804; // fewer observations than parameters

    // Empty accumulator (n = 0).
    CLeastSquare() = default;
    // Accumulator for n parameters; n <= 0 gives an empty one (n = 0, redundancy 0).
    explicit CLeastSquare(int n);

    // Sizes an empty accumulator for n parameters: redundancy = -n. Returns
    // kAlreadySized ("Error in CLeastSquare::InitLsq"), changing nothing, when it
    // already has parameters.
    MatStatus InitLsq(int n);

    // Adds observation y of the given variance with design row a (length n).
    // kBadObservation, changing nothing, when the length differs from n or the variance is 0.
    MatStatus AddObservation(const CVector& a, double y, double variance);

    // Solves the normal equations: x (n parameters), their covariance Q and the
    // a-posteriori variance factor. kUnderdetermined when there are fewer observations
    // than parameters; kSingular when a pivot of the normal matrix vanishes against its
    // diagonal element (degenerate geometry). Outputs are unchanged on failure.
    MatStatus Solve(CVector& x, CSymMat& Q, double& sigma0Squared);

    int16_t N() const { return n_; }
    int16_t Redundancy() const { return redundancy_; }
    double Sigma0Squared() const { return sigma0Squared_; }
    const CSymMat& Covariance() const { return covariance_; }
    const CSymMat& Normal() const { return normal_; }
    // Correlation matrix of the last covariance: standard deviations on the diagonal,
    // correlation coefficients below it (0 where the product of deviations is below 1e-20).
    CSymMat Correlation() const;

private:
    int16_t n_ = 0;
    CSymMat normal_;
    int16_t redundancy_ = 0;
    CSymMat covariance_;
    double sigma0Squared_ = 0.0;
};
