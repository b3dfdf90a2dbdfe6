#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "positioning/GeoPosition.h"
#include "quality/ArcSums.h"
#include "quality/DecimatedSeries.h"
#include "quality/PositionScatter.h"
#include "quality/QualityEpoch.h"
#include "quality/QualitySeries.h"
#include "quality/QualitySummary.h"
#include "rawdata/Ephemeris.h"

// Settings of the quality statistics.
struct QualityOptions {
    // Nominal epoch interval, s (the header's INTERVAL); 0: the most frequent spacing
    // of the epochs seen so far.
    double interval = 0.0;
    // Most points kept in each plot series (about; see DecimatedSeries).
    size_t satelliteSeriesPoints = 8192;  // satellites at sampled epochs (sky, density, multipath)
    size_t epochSeriesPoints = 2048;      // sampled epochs (satellites in view, position)
    size_t slipSeriesPoints = 2048;       // slips
};

// Streaming quality statistics of a written observation file: fed with every written
// epoch in time order, it keeps running sums per satellite and per open arc and the
// bounded plot series, so that its memory does not grow with the recording's length.
// The figures and series can be read at any time; arcs still open count as if the
// recording ended there.
class QualityMonitor {
public:
    explicit QualityMonitor(const QualityOptions& options = QualityOptions());

    // Station (m, earth-centred) for the elevations of the epochs before the first fix,
    // e.g. the header's approximate position. Each fix replaces it.
    void SetStation(double x, double y, double z);
    // Takes the next written epoch. ephemerides: the broadcast ephemerides selected for
    // the epoch time, kSatelliteCount of them by satellite index (an ephemeris with
    // valid 0 gives no elevation), or null when there are none. Directions are
    // computed every kDirectionRefresh seconds from the latest fix (or the station set).
    void AddEpoch(const QualityEpoch& epoch, const Ephemeris* ephemerides);

    // The report's figures of the epochs taken so far.
    QualitySummary Summary() const;
    // The plot series of the epochs taken so far.
    QualitySeries Series() const;

private:
    void SummarizeSpan(QualitySummary& q) const;
    void SummarizeSatellites(QualitySummary& q) const;
    struct BinSums {
        long long count = 0;
        double sum = 0.0, sumSquares = 0.0;  // of MP1 minus the arc's first MP1, m
    };
    // The arc of one satellite still running, with its sums.
    struct OpenArc {
        bool open = false;
        bool usesP1 = false;   // MP1 from P1 (else from C1) throughout the arc
        bool sampled = false;  // a point of the arc went into the satellite series
        uint32_t serial = 0;
        ArcSums mp1, mp2;
        BinSums bins[kElevationBins];
    };
    // What an arc adds to the root mean squares.
    struct ArcShare {
        long long epochs = 0;  // 0 when the arc is too short to count
        double mp1Squares = 0.0, mp2Squares = 0.0;  // squared deviations from the arc means, m^2
        long long binEpochs[kElevationBins] = {};
        double binSquares[kElevationBins] = {};
    };
    // Running state and totals of one satellite.
    struct Track {
        // The previous written epoch.
        bool present = false;
        bool l1 = false, l2 = false;
        bool ionoKnown = false, codeCarrierKnown = false;
        double iono = 0.0, codeCarrier = 0.0;  // m
        OpenArc arc;
        // Direction of the latest computation, degrees, with what it was computed from.
        bool directionKnown = false;
        double azimuth = 0.0, elevation = 0.0;
        int directionStation = 0;
        int32_t directionEphemeris = 0;
        GpsTime directionToe;
        // Totals.
        long long epochs = 0, epochsL1 = 0;
        long long cn0Count = 0;
        double cn0Sum = 0.0;
        bool elevationKnown = false;
        double elevationMin = 0.0, elevationMax = 0.0;  // degrees
        long long slipsFlagged = 0, slipsFound = 0;
        long long mpEpochs = 0;
        double mp1Squares = 0.0, mp2Squares = 0.0;
    };
    struct ArcMeans {
        bool counted = false;
        double mp1 = 0.0, mp2 = 0.0;  // mean offsets from the arc's first values, m
    };
    struct SatellitePoint {
        double time;
        int satellite;
        double azimuth, elevation, cn0;  // degrees, dB-Hz; NaN unknown
        bool inArc;
        uint32_t arc;
        double mp1, mp2;  // offsets from the arc's first values, m
    };
    struct EpochPoint {
        double time;
        int satellites;
        bool fixed;
        double north, east, up;  // from the first fix, m
    };
    struct Spacing {
        long long tenths;
        long long count;
    };
    struct Break {
        double spacing;  // s
        GpsTime from, to;
    };

    double Interval() const;
    void NoteSpacing(const GpsTime& from, const GpsTime& to);
    // Counts one satellite of the epoch; true when it is present.
    bool TakeSatellite(int s, const QualitySatellite& sat, bool consecutive, bool refresh, const Ephemeris* eph,
                       const GpsTime& t, double time, long long index);
    void MoveStation(double x, double y, double z);
    void UpdateDirection(Track& track, const Ephemeris* eph, const GpsTime& t, bool refresh);
    void AddArcEpoch(Track& track, const QualitySatellite& sat, bool p1, bool sampled, SatellitePoint& point);
    void CloseArc(Track& track);
    static ArcShare ShareOf(const OpenArc& arc);
    void ForgetUnsampledArcs();

    QualityOptions options_;
    // The station of the directions, and the latest fix not yet taken as it.
    GeoPosition station_;
    bool stationKnown_ = false;
    bool stationPending_ = false;
    int stationVersion_ = 0;  // counts the station changes that make every direction stale
    double fixX_ = 0.0, fixY_ = 0.0, fixZ_ = 0.0;
    bool directionsTaken_ = false;
    GpsTime directionTime_;  // epoch of the last refresh of all directions

    long long written_ = 0;
    GpsTime first_, last_, earliest_, latest_;
    std::vector<Spacing> spacings_;  // bounded: kSpacingKinds
    std::vector<Break> breaks_;      // min-heap of the longest spacings, bounded: kBreakCapacity

    Track tracks_[kSatelliteCount];
    uint32_t nextArc_ = 0;
    std::unordered_map<uint32_t, ArcMeans> closedArcs_;  // arcs with points in the series
    long long closedEpochs_ = 0;
    double closedMp1Squares_ = 0.0, closedMp2Squares_ = 0.0;
    long long binEpochs_[kElevationBins] = {};
    double binSquares_[kElevationBins] = {};

    int satellitesMin_ = 0, satellitesMax_ = 0;
    long long satellitesSum_ = 0, epochsUnder4_ = 0;
    long long unfixed_ = 0;
    PositionScatter position_;

    DecimatedSeries<SatellitePoint> satelliteSeries_;
    DecimatedSeries<EpochPoint> epochSeries_;
    DecimatedSeries<SlipSample> slipSeries_;
    long long slips_ = 0;
};
