#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>

// A bounded histogram of points in a plane (metres), for quantiles of their distance
// from a centre that is only known at the end (the mean of all points). Points are
// counted in square cells with the sum of their coordinates, and each cell stands for
// its points at their centroid. The cells start small; whenever more than a fixed
// number of them are occupied, the cell size doubles and neighbouring cells merge, so
// memory stays bounded whatever the number of points. A distance found this way is
// off by at most the diagonal of a cell (CellSize() * sqrt 2), usually much less.
class ScatterGrid {
public:
    // initialCell: starting cell size, m; maxCells: occupied cells before a merge (at least 4).
    explicit ScatterGrid(double initialCell = 1e-4, size_t maxCells = 4096);

    // Counts the point (a, b), m; points that are not finite are ignored.
    void Add(double a, double b);
    // Smallest distance (m) from (ca, cb) within which at least the fraction q
    // (0 < q <= 1) of the points lie, each point at its cell's centroid
    // (nearest-rank quantile); 0 when there is no point.
    double Quantile(double ca, double cb, double q) const;

    long long Points() const { return points_; }
    double CellSize() const { return cell_; }
    size_t Cells() const { return cells_.size(); }

private:
    struct Cell {
        long long count = 0;
        double sumA = 0.0, sumB = 0.0;
    };
    static uint64_t Key(int64_t i, int64_t j);
    void Coarsen();

    double cell_;
    size_t maxCells_;
    long long points_ = 0;
    std::unordered_map<uint64_t, Cell> cells_;
};
