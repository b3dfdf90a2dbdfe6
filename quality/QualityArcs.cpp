#include "quality/QualityMonitor.h"

#include <algorithm>

#include "quality/Multipath.h"

// The multipath arcs of the quality monitor: their epochs, their shares of the
// root mean squares and the means the satellite series refers to.

namespace {

// Elevation bin of e degrees, -1 below the horizon.
int BinOf(double e) {
    if (!(e >= 0.0)) return -1;
    return std::min(kElevationBins - 1, static_cast<int>(e / kElevationBinWidth));
}

}  // namespace

// Adds the epoch of sat to the satellite's arc (opening one when none runs): its
// MP1 and MP2, the elevation bin of MP1, and the point's offsets when it is sampled.
void QualityMonitor::AddArcEpoch(Track& tr, const QualitySatellite& sat, bool p1, bool sampled, SatellitePoint& point) {
    OpenArc& arc = tr.arc;
    if (!arc.open) {
        arc = OpenArc();
        arc.open = true;
        arc.usesP1 = p1;
        arc.serial = nextArc_++;
    }
    const double code = arc.usesP1 ? sat.value[kP1] : sat.value[kC1];
    const double mp1 = Multipath1(code, sat.value[kL1], sat.value[kL2]);
    const double mp2 = Multipath2(sat.value[kP2], sat.value[kL1], sat.value[kL2]);
    arc.mp1.Add(mp1);
    arc.mp2.Add(mp2);
    const double offset1 = mp1 - arc.mp1.First();
    const int bin = BinOf(point.elevation);
    if (bin >= 0) {
        BinSums& b = arc.bins[bin];
        ++b.count;
        b.sum += offset1;
        b.sumSquares += offset1 * offset1;
    }
    if (sampled) {
        arc.sampled = true;
        point.inArc = true;
        point.arc = arc.serial;
        point.mp1 = offset1;
        point.mp2 = mp2 - arc.mp2.First();
    }
}

QualityMonitor::ArcShare QualityMonitor::ShareOf(const OpenArc& arc) {
    ArcShare share;
    const long long n = arc.mp1.Count();
    if (!arc.open || n < kMinimumArcEpochs) return share;
    share.epochs = n;
    share.mp1Squares = arc.mp1.SquaredDeviations();
    share.mp2Squares = arc.mp2.SquaredDeviations();
    // Per bin: sum (d - m)^2 = sum d^2 - 2 m sum d + n m^2, m the arc's mean offset.
    const double m = arc.mp1.MeanOffset();
    for (int b = 0; b < kElevationBins; ++b) {
        const BinSums& s = arc.bins[b];
        if (s.count == 0) continue;
        share.binEpochs[b] = s.count;
        share.binSquares[b] = std::max(0.0, s.sumSquares - 2.0 * m * s.sum + static_cast<double>(s.count) * m * m);
    }
    return share;
}

// Ends the satellite's open arc: an arc long enough adds to the sums; the series keeps
// its means when it has points in it.
void QualityMonitor::CloseArc(Track& tr) {
    if (!tr.arc.open) return;
    const ArcShare share = ShareOf(tr.arc);
    if (share.epochs > 0) {
        tr.mpEpochs += share.epochs;
        tr.mp1Squares += share.mp1Squares;
        tr.mp2Squares += share.mp2Squares;
        closedEpochs_ += share.epochs;
        closedMp1Squares_ += share.mp1Squares;
        closedMp2Squares_ += share.mp2Squares;
        for (int b = 0; b < kElevationBins; ++b) {
            binEpochs_[b] += share.binEpochs[b];
            binSquares_[b] += share.binSquares[b];
        }
    }
    if (tr.arc.sampled)
        closedArcs_[tr.arc.serial] = {share.epochs > 0, tr.arc.mp1.MeanOffset(), tr.arc.mp2.MeanOffset()};
    tr.arc.open = false;
}

// After the satellite series was thinned: drops the means of closed arcs no point
// refers to any more, so that the table stays as small as the series.
void QualityMonitor::ForgetUnsampledArcs() {
    std::unordered_map<uint32_t, ArcMeans> kept;
    for (const auto& e : satelliteSeries_.Entries()) {
        if (!e.point.inArc) continue;
        const auto it = closedArcs_.find(e.point.arc);
        if (it != closedArcs_.end()) kept.insert(*it);
    }
    closedArcs_ = std::move(kept);
}
