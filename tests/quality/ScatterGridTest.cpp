// The bounded histogram behind the 95 % position scatter against the exact
// nearest-rank quantile of the same points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "quality/ScatterGrid.h"

namespace {

struct GridCase {
    const char* name;
    int points;
    double sigma;        // m, of each coordinate
    double centreA;      // m, where the points gather
    bool farOutlier;     // one point 1000 km away
    size_t maxCells;
};

TEST(ScatterGrid, QuantileWithinOneCellOfTheExactOneAndCellsBounded) {
    const GridCase cases[] = {
        {"100000 points, 3 m", 100000, 3.0, 0.0, false, 4096},
        {"100000 points off the origin, with an outlier", 100000, 3.0, 250.0, true, 4096},
        {"millimetre scatter", 5000, 0.002, 0.0, false, 4096},
        {"tiny table", 20000, 1.0, 0.0, false, 16},
        {"one place", 1000, 0.0, 5.0, false, 4096},
    };
    for (const GridCase& c : cases) {
        std::mt19937 random(7);
        std::normal_distribution<double> normal(0.0, 1.0);
        ScatterGrid grid(1e-4, c.maxCells);
        std::vector<double> a, b;
        for (int i = 0; i < c.points; ++i) {
            a.push_back(c.centreA + c.sigma * normal(random));
            b.push_back(-c.centreA + c.sigma * normal(random));
        }
        if (c.farOutlier) {
            a.push_back(1e6);
            b.push_back(0.0);
        }
        double ma = 0, mb = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            grid.Add(a[i], b[i]);
            ma += a[i];
            mb += b[i];
        }
        ma /= static_cast<double>(a.size());
        mb /= static_cast<double>(a.size());
        std::vector<double> r;
        for (size_t i = 0; i < a.size(); ++i) r.push_back(std::hypot(a[i] - ma, b[i] - mb));
        std::sort(r.begin(), r.end());
        const double exact = r[static_cast<size_t>(std::ceil(0.95 * static_cast<double>(r.size()))) - 1];
        EXPECT_LE(grid.Cells(), c.maxCells) << c.name;
        EXPECT_EQ(grid.Points(), static_cast<long long>(a.size())) << c.name;
        EXPECT_NEAR(grid.Quantile(ma, mb, 0.95), exact, grid.CellSize() * std::sqrt(2.0) + 1e-9) << c.name;
    }
}

}  // namespace
