#include "quality/QualityMonitor.h"

#include "rawdata/GpsConstants.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "positioning/LineOfSight.h"
#include "positioning/SatelliteState.h"
#include "quality/Multipath.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Signals take about this long from the satellites, s: the orbit is evaluated this
// much before the epoch (elevations to far better than a hundredth of a degree).
constexpr double kNominalTravelTime = 0.075;
// A fix this far (m) from the station of the directions makes them all stale.
constexpr double kStationMove = 1000.0;
// Distinct epoch spacings counted for the interval, and longest spacings kept for gaps.
constexpr size_t kSpacingKinds = 64;
constexpr size_t kBreakCapacity = 1000;

// Azimuth and elevation (rad) of the satellite of eph seen from station at time t.
bool Direction(const Ephemeris& eph, const GpsTime& t, const GeoPosition& station, double& azimuth,
               double& elevation) {
    if (eph.valid != 1) return false;
    SatelliteState state;
    if (!ComputeSatelliteState(t.SubtractSeconds(kNominalTravelTime), eph, state)) return false;
    const LineOfSight los = ComputeLineOfSight(station, state);
    if (!std::isfinite(los.elevation) || !std::isfinite(los.azimuth)) return false;
    azimuth = los.azimuth;
    elevation = los.elevation;
    return true;
}

double RootMean(double squares, long long n) { return n > 0 ? std::sqrt(squares / static_cast<double>(n)) : kNaN; }

}  // namespace

QualityMonitor::QualityMonitor(const QualityOptions& options)
    : options_(options),
      satelliteSeries_(options.satelliteSeriesPoints),
      epochSeries_(options.epochSeriesPoints),
      slipSeries_(options.slipSeriesPoints) {}

void QualityMonitor::SetStation(double x, double y, double z) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return;
    MoveStation(x, y, z);
}

// Takes (x, y, z) (m) as the station for the directions: at once when it is the first
// or lies far from the one in use (every direction is then stale), else at the next
// refresh of the directions.
void QualityMonitor::MoveStation(double x, double y, double z) {
    fixX_ = x;
    fixY_ = y;
    fixZ_ = z;
    if (stationKnown_ && std::hypot(x - station_.X(), y - station_.Y(), z - station_.Z()) <= kStationMove) {
        stationPending_ = true;
        return;
    }
    station_.SetCartesian(x, y, z);
    stationKnown_ = true;
    stationPending_ = false;
    ++stationVersion_;
}

// The nominal interval, or the most frequent spacing so far (the shorter of equally
// frequent ones), s; 0 when unknown.
double QualityMonitor::Interval() const {
    if (options_.interval > 0.0) return options_.interval;
    long long best = 0, bestCount = 0;
    for (const Spacing& s : spacings_) {
        if (s.count > bestCount || (s.count == bestCount && s.tenths < best)) {
            best = s.tenths;
            bestCount = s.count;
        }
    }
    return static_cast<double>(best) / 10.0;
}

// Counts the spacing of two consecutive written epochs for the interval and the gaps.
void QualityMonitor::NoteSpacing(const GpsTime& from, const GpsTime& to) {
    const double spacing = to.Difference(from);
    if (!(spacing > 0.0)) return;
    const long long tenths = std::llround(spacing * 10.0);
    auto it = std::find_if(spacings_.begin(), spacings_.end(), [&](const Spacing& s) { return s.tenths == tenths; });
    if (it != spacings_.end())
        ++it->count;
    else if (tenths > 0 && spacings_.size() < kSpacingKinds)
        spacings_.push_back({tenths, 1});
    // Keep the longest spacings (a min-heap): the gaps are among them unless there are
    // very many.
    const auto longer = [](const Break& a, const Break& b) { return a.spacing > b.spacing; };
    if (breaks_.size() < kBreakCapacity) {
        breaks_.push_back({spacing, from, to});
        std::push_heap(breaks_.begin(), breaks_.end(), longer);
    } else if (spacing > breaks_.front().spacing) {
        std::pop_heap(breaks_.begin(), breaks_.end(), longer);
        breaks_.back() = {spacing, from, to};
        std::push_heap(breaks_.begin(), breaks_.end(), longer);
    }
}

void QualityMonitor::AddEpoch(const QualityEpoch& epoch, const Ephemeris* ephemerides) {
    const long long index = written_;
    bool consecutive = false;  // the previous written epoch is the one just before
    if (written_ == 0) {
        first_ = earliest_ = latest_ = epoch.time;
    } else {
        NoteSpacing(last_, epoch.time);
        const double spacing = epoch.time.Difference(last_);
        const double interval = Interval();
        consecutive = spacing > 0.0 && (interval <= 0.0 || spacing <= kMissingEpochIntervals * interval);
        if (epoch.time < earliest_) earliest_ = epoch.time;
        if (epoch.time > latest_) latest_ = epoch.time;
    }
    last_ = epoch.time;
    ++written_;
    const double time = epoch.time.Difference(first_);

    const bool fixed = epoch.fixed && position_.Add(epoch.x, epoch.y, epoch.z);
    if (fixed)
        MoveStation(epoch.x, epoch.y, epoch.z);
    else
        ++unfixed_;
    // All directions are refreshed together, with the latest fix as the station.
    const bool refresh = stationKnown_ && (!directionsTaken_ || std::fabs(epoch.time.Difference(directionTime_)) >=
                                                                     kDirectionRefresh);
    if (refresh) {
        if (stationPending_) station_.SetCartesian(fixX_, fixY_, fixZ_);
        stationPending_ = false;
        directionsTaken_ = true;
        directionTime_ = epoch.time;
    }

    int satellites = 0;
    for (int s = 0; s < kSatelliteCount; ++s) {
        const Ephemeris* eph = ephemerides ? &ephemerides[s] : nullptr;
        if (TakeSatellite(s, epoch.sat[s], consecutive, refresh, eph, epoch.time, time, index)) ++satellites;
    }
    satellitesMin_ = index == 0 ? satellites : std::min(satellitesMin_, satellites);
    satellitesMax_ = std::max(satellitesMax_, satellites);
    satellitesSum_ += satellites;
    if (satellites < 4) ++epochsUnder4_;

    if (epochSeries_.Samples(index)) {
        EpochPoint p{time, satellites, fixed, 0.0, 0.0, 0.0};
        if (fixed) position_.FromFirst(epoch.x, epoch.y, epoch.z, p.north, p.east, p.up);
        epochSeries_.Add(index, p);
    }
}

bool QualityMonitor::TakeSatellite(int s, const QualitySatellite& sat, bool consecutive, bool refresh,
                                   const Ephemeris* eph, const GpsTime& t, double time, long long index) {
    Track& tr = tracks_[s];
    if (!sat.Present()) {
        CloseArc(tr);
        tr.present = tr.l1 = tr.l2 = tr.ionoKnown = tr.codeCarrierKnown = tr.directionKnown = false;
        return false;
    }
    // A value that is not a finite number (only damaged data give one) counts as absent.
    const auto has = [&sat](int k) { return sat.Has(k) && std::isfinite(sat.value[k]); };
    const bool l1 = has(kL1), l2 = has(kL2), c1 = has(kC1), p1 = has(kP1), p2 = has(kP2);
    if (c1) ++tr.epochs;
    if (l1) ++tr.epochsL1;
    if (sat.cn0 > 0.0 && std::isfinite(sat.cn0)) {
        tr.cn0Sum += sat.cn0;
        ++tr.cn0Count;
    }
    UpdateDirection(tr, eph, t, refresh);
    const double azimuth = tr.directionKnown ? tr.azimuth : kNaN;  // degrees
    const double elevation = tr.directionKnown ? tr.elevation : kNaN;

    // A loss of lock counts on a phase the satellite had in the epoch before; a phase
    // that starts again is never a slip.
    const bool flagged = (l1 && (sat.lli[kL1] & 1u) && tr.l1) || (l2 && (sat.lli[kL2] & 1u) && tr.l2);
    const bool ionoKnown = l1 && l2;
    const bool codeCarrierKnown = l1 && c1;
    const double iono = ionoKnown ? IonosphericResidual(sat.value[kL1], sat.value[kL2]) : 0.0;
    const double codeCarrier = codeCarrierKnown ? CodeCarrierL1(sat.value[kL1], sat.value[kC1]) : 0.0;
    bool found = false;
    if (consecutive) {
        if (ionoKnown && tr.ionoKnown)
            found = !(std::fabs(iono - tr.iono) <= kIonosphericSlipThreshold);
        else if (codeCarrierKnown && tr.codeCarrierKnown)
            found = !(std::fabs(codeCarrier - tr.codeCarrier) <= kCodeCarrierSlipThreshold);
    }
    const bool slip = flagged || found;
    if (flagged) ++tr.slipsFlagged;
    if (found) ++tr.slipsFound;

    // Arcs: consecutive epochs with both phases and both codes, the L1 code the same
    // throughout, cut at every slip.
    const bool arcData = l1 && l2 && p2 && (p1 || c1);
    if (tr.arc.open && (!consecutive || slip || !arcData || (tr.arc.usesP1 && !p1) || (!tr.arc.usesP1 && !c1)))
        CloseArc(tr);
    const bool sampled = satelliteSeries_.Samples(index);
    SatellitePoint point{time, s, azimuth, elevation, sat.cn0 > 0.0 ? sat.cn0 : kNaN, false, 0, 0.0, 0.0};
    if (arcData) AddArcEpoch(tr, sat, p1, sampled, point);
    if (sampled && satelliteSeries_.Add(index, point)) ForgetUnsampledArcs();
    if (slip) slipSeries_.Add(slips_++, SlipSample{time, s, azimuth, elevation, flagged, found});

    tr.present = true;
    tr.l1 = l1;
    tr.l2 = l2;
    tr.ionoKnown = ionoKnown;
    tr.iono = iono;
    tr.codeCarrierKnown = codeCarrierKnown;
    tr.codeCarrier = codeCarrier;
    return true;
}

// Recomputes the satellite's direction when it is stale: at a refresh, after a new
// station or a new ephemeris; unknown without an ephemeris or a station.
void QualityMonitor::UpdateDirection(Track& tr, const Ephemeris* eph, const GpsTime& t, bool refresh) {
    if (!eph || eph->valid != 1 || !stationKnown_) {
        tr.directionKnown = false;
    } else if (refresh || !tr.directionKnown || tr.directionStation != stationVersion_ ||
               tr.directionEphemeris != eph->sequence || tr.directionToe != eph->toeTime) {
        double az = 0, el = 0;
        tr.directionKnown = Direction(*eph, t, station_, az, el);
        tr.azimuth = az * kDegreesPerRadian;
        tr.elevation = el * kDegreesPerRadian;
        tr.directionStation = stationVersion_;
        tr.directionEphemeris = eph->sequence;
        tr.directionToe = eph->toeTime;
        if (tr.directionKnown) {
            tr.elevationMin = tr.elevationKnown ? std::min(tr.elevationMin, tr.elevation) : tr.elevation;
            tr.elevationMax = tr.elevationKnown ? std::max(tr.elevationMax, tr.elevation) : tr.elevation;
            tr.elevationKnown = true;
        }
    }
}

QualitySummary QualityMonitor::Summary() const {
    QualitySummary q;
    SummarizeSpan(q);
    SummarizeSatellites(q);
    q.satellitesMin = satellitesMin_;
    q.satellitesMax = satellitesMax_;
    q.satellitesMean = written_ > 0 ? static_cast<double>(satellitesSum_) / static_cast<double>(written_) : kNaN;
    q.epochsUnder4 = epochsUnder4_;
    q.epochsUnfixed = unfixed_;
    q.position = position_.Result();
    return q;
}

// The written span, its completeness and its gaps.
void QualityMonitor::SummarizeSpan(QualitySummary& q) const {
    q.epochsWritten = written_;
    const double interval = Interval();
    if (written_ > 0) {
        q.firstEpoch = earliest_;
        q.lastEpoch = latest_;
        q.span = latest_.Difference(earliest_);
        q.interval = interval;
        q.epochsExpected = interval > 0.0 ? std::llround(q.span / interval) + 1 : written_;
    }
    q.completeness = q.epochsExpected > 0 ? 100.0 * static_cast<double>(written_) / static_cast<double>(q.epochsExpected)
                                          : kNaN;
    if (interval > 0.0) {
        const double longest = kGapIntervals * interval;
        for (const Break& b : breaks_)
            if (b.spacing > longest) q.gaps.push_back({b.from.AddSeconds(interval), b.to.SubtractSeconds(interval)});
        std::sort(q.gaps.begin(), q.gaps.end(),
                  [](const QualityGap& a, const QualityGap& b) { return a.firstMissing < b.firstMissing; });
        // A full table whose shortest spacing is itself a gap may have let gaps go.
        q.gapsTruncated = breaks_.size() == kBreakCapacity && breaks_.front().spacing > longest;
    }
}

// Each satellite's figures, the slips and the multipath of closed and open arcs.
void QualityMonitor::SummarizeSatellites(QualitySummary& q) const {
    long long mpEpochs = closedEpochs_;
    double mp1 = closedMp1Squares_, mp2 = closedMp2Squares_;
    long long binEpochs[kElevationBins];
    double binSquares[kElevationBins];
    std::copy(binEpochs_, binEpochs_ + kElevationBins, binEpochs);
    std::copy(binSquares_, binSquares_ + kElevationBins, binSquares);
    for (int s = 0; s < kSatelliteCount; ++s) {
        const Track& tr = tracks_[s];
        const ArcShare open = ShareOf(tr.arc);
        SatelliteQuality& out = q.satellites[s];
        out.epochs = tr.epochs;
        out.epochsL1 = tr.epochsL1;
        out.elevationMin = tr.elevationKnown ? tr.elevationMin : kNaN;
        out.elevationMax = tr.elevationKnown ? tr.elevationMax : kNaN;
        out.cn0Mean = tr.cn0Count > 0 ? tr.cn0Sum / static_cast<double>(tr.cn0Count) : kNaN;
        out.slipsFlagged = tr.slipsFlagged;
        out.slipsFound = tr.slipsFound;
        out.multipathEpochs = tr.mpEpochs + open.epochs;
        out.mp1Rms = RootMean(tr.mp1Squares + open.mp1Squares, out.multipathEpochs);
        out.mp2Rms = RootMean(tr.mp2Squares + open.mp2Squares, out.multipathEpochs);
        q.slipsFlagged += tr.slipsFlagged;
        q.slipsFound += tr.slipsFound;
        mpEpochs += open.epochs;
        mp1 += open.mp1Squares;
        mp2 += open.mp2Squares;
        for (int b = 0; b < kElevationBins; ++b) {
            binEpochs[b] += open.binEpochs[b];
            binSquares[b] += open.binSquares[b];
        }
    }
    q.multipathEpochs = mpEpochs;
    q.mp1Rms = RootMean(mp1, mpEpochs);
    q.mp2Rms = RootMean(mp2, mpEpochs);
    for (int b = 0; b < kElevationBins; ++b) {
        ElevationBin& e = q.mp1ByElevation[b];
        e.from = b * kElevationBinWidth;
        e.to = (b + 1) * kElevationBinWidth;
        e.epochs = binEpochs[b];
        e.mp1Rms = RootMean(binSquares[b], binEpochs[b]);
    }
}

QualitySeries QualityMonitor::Series() const {
    QualitySeries out;
    out.origin = first_;
    double mn = 0, me = 0, mu = 0;
    position_.MeanFromFirst(mn, me, mu);
    for (const auto& e : epochSeries_.Entries()) {
        const EpochPoint& p = e.point;
        out.epochs.push_back({p.time, p.satellites, p.fixed ? p.north - mn : kNaN, p.fixed ? p.east - me : kNaN,
                              p.fixed ? p.up - mu : kNaN});
    }
    for (const auto& e : satelliteSeries_.Entries()) {
        const SatellitePoint& p = e.point;
        SatelliteSample sample{p.time, p.satellite, p.azimuth, p.elevation, p.cn0, kNaN, kNaN};
        if (p.inArc) {
            ArcMeans means;
            const auto it = closedArcs_.find(p.arc);
            const OpenArc& open = tracks_[p.satellite].arc;
            if (it != closedArcs_.end()) {
                means = it->second;
            } else if (open.open && open.serial == p.arc) {
                means = {open.mp1.Count() >= kMinimumArcEpochs, open.mp1.MeanOffset(), open.mp2.MeanOffset()};
            }
            if (means.counted) {
                sample.mp1 = p.mp1 - means.mp1;
                sample.mp2 = p.mp2 - means.mp2;
            }
        }
        out.satellites.push_back(sample);
    }
    for (const auto& e : slipSeries_.Entries()) out.slips.push_back(e.point);
    return out;
}
