#pragma once
// Helpers shared by the matrix library tests: expectations on the failure
// convention, dense references and random fills.
#include "positioning/matrix/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

// The statement throws MatrixError whose message is message.
#define EXPECT_STOP(statement, message)                                                        \
    do {                                                                                       \
        try {                                                                                  \
            statement;                                                                         \
            ADD_FAILURE() << "no MatrixError (" << (message) << ")";                           \
        } catch (const MatrixError& error) {                                                   \
            EXPECT_STREQ(error.what(), message);                                               \
        }                                                                                      \
    } while (false)

namespace matrix_test {

using Values = std::vector<double>;

// A plain row-major matrix for reference computations.
struct Plain {
    int rows = 0;
    int cols = 0;
    std::vector<double> v;
    Plain(int r, int c) : rows(r), cols(c), v(static_cast<std::size_t>(r * c), 0.0) {}
    double& at(int i, int j) { return v[static_cast<std::size_t>(i * cols + j)]; }
    double at(int i, int j) const { return v[static_cast<std::size_t>(i * cols + j)]; }
};

// Every element of m read through the const element access.
inline Plain Dense(const CRectMat& m)
{
    Plain p(m.Rows(), m.Cols());
    for (int i = 0; i < m.Rows(); ++i)
        for (int j = 0; j < m.Cols(); ++j)
            p.at(i, j) = m(i, j);
    return p;
}

inline Plain Multiply(const Plain& a, const Plain& b)
{
    Plain c(a.rows, b.cols);
    for (int i = 0; i < a.rows; ++i)
        for (int j = 0; j < b.cols; ++j) {
            double s = 0.0;
            for (int k = 0; k < a.cols; ++k)
                s += a.at(i, k) * b.at(k, j);
            c.at(i, j) = s;
        }
    return c;
}

inline Plain Add(const Plain& a, const Plain& b, double sign)
{
    Plain c(a.rows, a.cols);
    for (std::size_t k = 0; k < a.v.size(); ++k)
        c.v[k] = a.v[k] + sign * b.v[k];
    return c;
}

inline Plain Transposed(const Plain& a)
{
    Plain t(a.cols, a.rows);
    for (int i = 0; i < a.rows; ++i)
        for (int j = 0; j < a.cols; ++j)
            t.at(j, i) = a.at(i, j);
    return t;
}

// Largest |a - b| over all elements (infinity when the sizes differ).
inline double MaxDiff(const Plain& a, const Plain& b)
{
    if (a.rows != b.rows || a.cols != b.cols)
        return INFINITY;
    double d = 0.0;
    for (std::size_t k = 0; k < a.v.size(); ++k)
        d = std::max(d, std::fabs(a.v[k] - b.v[k]));
    return d;
}

inline Plain Identity(int n)
{
    Plain p(n, n);
    for (int i = 0; i < n; ++i)
        p.at(i, i) = 1.0;
    return p;
}

// Fills every stored element of an array with uniform values in [-1, 1).
inline void FillRandom(CRealArray& a, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int k = 0; k < a.Size(); ++k)
        a.Data()[k] = u(gen);
}

// Sets the stored elements 1, 2, 3, ... in storage order.
inline void FillCounting(CRealArray& a)
{
    for (int k = 0; k < a.Size(); ++k)
        a.Data()[k] = k + 1.0;
}

inline std::vector<double> Elements(const CRealArray& a)
{
    return std::vector<double>(a.Data(), a.Data() + a.Size());
}

}  // namespace matrix_test
