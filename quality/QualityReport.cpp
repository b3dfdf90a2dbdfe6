#include "quality/QualityReport.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "quality/Multipath.h"
#include "quality/TimeText.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// x with decimals in width columns, or "-" when x is not a finite number.
std::string Number(int width, int decimals, double x) {
    if (!std::isfinite(x)) return Format("%*s", width, "-");
    return Format("%*.*f", width, decimals, x);
}

void Line(std::string& out, const std::string& text) {
    out += text;
    out += kLineEnd;
}

// A label padded to the value column, then the value.
void Field(std::string& out, const char* label, const std::string& value) {
    Line(out, Format("  %-28s%s", label, value.c_str()));
}

// The header: what every figure means, with the thresholds in use.
void Definitions(std::string& out) {
    Line(out, "Definitions (times are GPS time)");
    Line(out, "  alpha = (f1/f2)^2, lambda1 and lambda2 the L1 and L2 wavelengths, L1 and L2 in cycles.");
    Line(out, "  MP1 = P1 - (1 + 2/(alpha-1)) lambda1 L1 + (2/(alpha-1)) lambda2 L2   (C1 in place of P1");
    Line(out, "        when there is no P1)");
    Line(out, "  MP2 = P2 - (2 alpha/(alpha-1)) lambda1 L1 + (2 alpha/(alpha-1) - 1) lambda2 L2");
    Line(out, "  each with its mean over the arc removed. An arc is a run of consecutive epochs of one");
    Line(out, "  satellite with both phases and both codes, cut at every slip (flagged or found) and at");
    Line(out, Format("  every missing epoch; arcs of fewer than %d epochs are left out. An RMS is taken over",
                     kMinimumArcEpochs));
    Line(out, "  all epochs of the arcs that count.");
    Line(out, Format("  Slip found: lambda1 L1 - lambda2 L2 changes by more than %.2f m between consecutive",
                     kIonosphericSlipThreshold));
    Line(out, Format("  epochs (dual-frequency data), or lambda1 L1 - C1 by more than %.0f m (single-frequency",
                     kCodeCarrierSlipThreshold));
    Line(out, "  data). Slip flagged: the L1 or L2 value carries loss-of-lock bit 0, on a phase the");
    Line(out, "  satellite had in the epoch before. Slips count once per satellite and epoch; an epoch");
    Line(out, "  in which a satellite's phase starts again is never a slip.");
    Line(out, Format("  Missing epoch: more than %.1f intervals after the previous one. Gap: more than %.0f",
                     kMissingEpochIntervals, kGapIntervals));
    Line(out, "  intervals between two written epochs, listed as first and last missing epoch.");
    Line(out, "  Epochs expected: span / interval + 1. Satellites per epoch: satellites with values.");
    Line(out, Format("  Elevations: broadcast orbits seen from the latest fix, computed afresh every %.0f s",
                     kDirectionRefresh));
    Line(out, "  (within 0.1 degree).");
    Line(out, "  Position: mean of the fixes; std: root mean square about the mean, north/east/up;");
    Line(out, "  95 %: smallest distance from the mean holding 95 % of the fixes (horizontal, and");
    Line(out, "  height difference), from a histogram whose cell size is given as the resolution.");
}

// The summary section: span, completeness, satellites, slips, multipath.
void SummarySection(std::string& out, const QualitySummary& q) {
    Line(out, "Summary");
    const bool any = q.epochsWritten > 0;
    Field(out, "First epoch", any ? CalendarText(q.firstEpoch, ' ') : "-");
    Field(out, "Last epoch", any ? CalendarText(q.lastEpoch, ' ') : "-");
    Field(out, "Span (s)", any ? Number(0, 1, q.span) : "-");
    Field(out, "Interval (s)", q.interval > 0 ? Number(0, 3, q.interval) : "-");
    Field(out, "Epochs expected", std::to_string(q.epochsExpected));
    Field(out, "Epochs written", std::to_string(q.epochsWritten));
    Field(out, "Completeness (%)", Number(0, 2, q.completeness));
    Field(out, Format("Gaps (> %.0f intervals)", kGapIntervals).c_str(), std::to_string(q.gaps.size()) + (q.gapsTruncated ? " (the longest)" : ""));
    Field(out, "Satellites per epoch",
          any ? Format("min %d  mean %.2f  max %d", q.satellitesMin, q.satellitesMean, q.satellitesMax) : "-");
    Field(out, "Epochs with < 4 satellites", std::to_string(q.epochsUnder4));
    Field(out, "Slips flagged / found", Format("%lld / %lld", q.slipsFlagged, q.slipsFound));
    Field(out, "MP1 / MP2 RMS (m)", Number(0, 3, q.mp1Rms) + " / " + Number(0, 3, q.mp2Rms));
    Field(out, "Epochs in counted arcs", std::to_string(q.multipathEpochs));
    Line(out, "");
}

// The gaps (when any) and the table of satellites.
void SatelliteSection(std::string& out, const QualitySummary& q) {
    if (!q.gaps.empty()) {
        Line(out, "Gaps: first missing epoch, last missing epoch");
        for (const QualityGap& g : q.gaps)
            Line(out, "  " + CalendarText(g.firstMissing, ' ') + "   " + CalendarText(g.lastMissing, ' '));
        Line(out, "");
    }

    Line(out, "Satellites");
    Line(out, "  Sat  Epochs  Epochs  Elev min  Elev max  CN0 mean  Slips    Slips  MP1 RMS  MP2 RMS");
    Line(out, "         (C1)    (L1)     (deg)     (deg)   (dB-Hz)  flagged  found      (m)      (m)");
    for (int s = 0; s < kSatelliteCount; ++s) {
        const SatelliteQuality& sat = q.satellites[s];
        if (sat.epochs == 0 && sat.epochsL1 == 0) continue;
        Line(out, Format("  G%02d %7lld %7lld ", s + 1, sat.epochs, sat.epochsL1) + Number(9, 1, sat.elevationMin) +
                      " " + Number(9, 1, sat.elevationMax) + " " + Number(9, 1, sat.cn0Mean) +
                      Format(" %8lld %6lld ", sat.slipsFlagged, sat.slipsFound) + Number(8, 3, sat.mp1Rms) + " " +
                      Number(8, 3, sat.mp2Rms));
    }
    Line(out, "");
}

// MP1 by elevation bin, then the position scatter.
void MultipathAndPositionSection(std::string& out, const QualitySummary& q) {
    Line(out, "MP1 against elevation");
    Line(out, "  Elevation (deg)   Epochs  MP1 RMS (m)");
    for (const ElevationBin& b : q.mp1ByElevation) {
        if (b.epochs == 0) continue;
        Line(out, Format("  %5.0f - %-5.0f  %10lld  ", b.from, b.to, b.epochs) + Number(11, 3, b.mp1Rms));
    }
    Line(out, "");

    Line(out, "Position");
    const PositionQuality& p = q.position;
    Field(out, "Epochs fixed / unfixed", Format("%lld / %lld", p.epochsFixed, q.epochsUnfixed));
    if (p.epochsFixed > 0) {
        Field(out, "Latitude (deg)", Number(0, 9, p.latitude));
        Field(out, "Longitude (deg)", Number(0, 9, p.longitude));
        Field(out, "Height (m, ellipsoidal)", Number(0, 4, p.height));
        Field(out, "X Y Z (m)", Number(0, 4, p.x) + "  " + Number(0, 4, p.y) + "  " + Number(0, 4, p.z));
        Field(out, "Std north/east/up (m)",
              Number(0, 3, p.stdNorth) + " / " + Number(0, 3, p.stdEast) + " / " + Number(0, 3, p.stdUp));
        Field(out, "95 % horizontal (m)", Number(0, 3, p.p95Horizontal));
        Field(out, "95 % vertical (m)", Number(0, 3, p.p95Vertical));
        Field(out, "Resolution of 95 % (m)", Number(0, 4, p.resolution));
    }
}

}  // namespace

std::string QualityReportText(const QualitySummary& q, const std::string& observationName) {
    std::string out;
    Line(out, "QUALITY REPORT  " + observationName);
    Line(out, "");
    Definitions(out);
    Line(out, "");
    SummarySection(out, q);
    SatelliteSection(out, q);
    MultipathAndPositionSection(out, q);
    return out;
}
