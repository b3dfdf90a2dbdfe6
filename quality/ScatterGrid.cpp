#include "quality/ScatterGrid.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Cell indices stay within 31 bits of magnitude; a point farther out coarsens the grid.
constexpr double kIndexLimit = 1073741824.0;  // 2^30

}  // namespace

ScatterGrid::ScatterGrid(double initialCell, size_t maxCells)
    : cell_(initialCell > 0.0 ? initialCell : 1e-4), maxCells_(std::max<size_t>(maxCells, 4)) {}

uint64_t ScatterGrid::Key(int64_t i, int64_t j) {
    return (static_cast<uint64_t>(static_cast<uint32_t>(i)) << 32) | static_cast<uint32_t>(j);
}

void ScatterGrid::Add(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return;
    while (std::fabs(a) / cell_ >= kIndexLimit || std::fabs(b) / cell_ >= kIndexLimit) Coarsen();
    const int64_t i = static_cast<int64_t>(std::floor(a / cell_));
    const int64_t j = static_cast<int64_t>(std::floor(b / cell_));
    Cell& c = cells_[Key(i, j)];
    ++c.count;
    c.sumA += a;
    c.sumB += b;
    ++points_;
    while (cells_.size() > maxCells_) Coarsen();
}

// Doubles the cell size: each cell joins the larger cell that contains it. (Around
// the origin at least four cells remain, hence a floor of four on maxCells.)
void ScatterGrid::Coarsen() {
    cell_ *= 2.0;
    std::unordered_map<uint64_t, Cell> merged;
    merged.reserve(cells_.size());
    for (const auto& [key, c] : cells_) {
        // The halved index, rounded towards minus infinity (arithmetic shift).
        const int64_t i = static_cast<int32_t>(static_cast<uint32_t>(key >> 32)) >> 1;
        const int64_t j = static_cast<int32_t>(static_cast<uint32_t>(key)) >> 1;
        Cell& m = merged[Key(i, j)];
        m.count += c.count;
        m.sumA += c.sumA;
        m.sumB += c.sumB;
    }
    cells_ = std::move(merged);
}

double ScatterGrid::Quantile(double ca, double cb, double q) const {
    if (points_ == 0) return 0.0;
    std::vector<std::pair<double, long long>> byDistance;
    byDistance.reserve(cells_.size());
    for (const auto& [key, c] : cells_) {
        const double n = static_cast<double>(c.count);
        byDistance.emplace_back(std::hypot(c.sumA / n - ca, c.sumB / n - cb), c.count);
    }
    std::sort(byDistance.begin(), byDistance.end());
    const double wanted = std::ceil(std::clamp(q, 0.0, 1.0) * static_cast<double>(points_));
    long long seen = 0;
    for (const auto& [distance, count] : byDistance) {
        seen += count;
        if (static_cast<double>(seen) >= wanted) return distance;
    }
    return byDistance.back().first;
}
