// The quality report of a conversion: fed with the written epochs and their fixes,
// written beside the observation file, and its position scatter the one the ".pos"
// log shows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

// The README's sample converted with the quality report and the log files on.
struct SampleRun {
    ScratchDir dir;
    ConversionRequest request;
    ConversionResult result;

    explicit SampleRun(double interval = 0) {
        std::string error;
        EXPECT_TRUE(WriteSample(dir.File(""), error)) << error;
        request = Request(dir, dir.File("sample.bin"));
        request.recordingDate = NominalStart().ToDays();
        request.logFile = true;
        request.quality = true;
        request.interval = interval;
        ConversionState state;
        ScriptedUi ui;
        result = RunConversion(request, state, ui);
        EXPECT_TRUE(result.success);
    }
};

}  // namespace

TEST(QualityConversion, PositionScatterIsTheOneOfThePositionLog) {
    SampleRun run;
    ASSERT_TRUE(run.result.quality);
    const QualitySummary& q = *run.result.quality;
    EXPECT_EQ(q.epochsWritten, run.result.epochsWritten);
    EXPECT_TRUE(run.result.qualityWritten);
    const std::string report = ReadAll(run.request.observationPath + ".qc");
    EXPECT_NE(report.find("QUALITY REPORT  OUT.05O"), std::string::npos);

    // Mean and scatter of the ".pos" fixes, computed here in the local frame of their mean.
    const std::vector<std::string> lines = Lines(ReadAll(run.request.observationPath + ".pos"));
    std::vector<std::array<double, 3>> fixes;
    for (size_t i = 1; i < lines.size(); ++i) {
        double t, x, y, z;
        ASSERT_EQ(std::sscanf(lines[i].c_str(), "%lf\t%lf\t%lf\t%lf", &t, &x, &y, &z), 4);
        fixes.push_back({x, y, z});
    }
    ASSERT_EQ(static_cast<long long>(fixes.size()), q.position.epochsFixed);
    double mean[3] = {0, 0, 0};
    for (const auto& f : fixes)
        for (int k = 0; k < 3; ++k) mean[k] += f[k] / static_cast<double>(fixes.size());
    EXPECT_NEAR(q.position.x, mean[0], 1e-4);
    EXPECT_NEAR(q.position.y, mean[1], 1e-4);
    EXPECT_NEAR(q.position.z, mean[2], 1e-4);
    const double lat = std::atan2(mean[2], std::hypot(mean[0], mean[1]) * (1 - 0.00669438));  // near enough for a rotation
    const double lon = std::atan2(mean[1], mean[0]);
    double sum[3] = {0, 0, 0};
    for (const auto& f : fixes) {
        const double dx = f[0] - mean[0], dy = f[1] - mean[1], dz = f[2] - mean[2];
        const double north = -std::sin(lat) * std::cos(lon) * dx - std::sin(lat) * std::sin(lon) * dy + std::cos(lat) * dz;
        const double east = -std::sin(lon) * dx + std::cos(lon) * dy;
        const double up = std::cos(lat) * std::cos(lon) * dx + std::cos(lat) * std::sin(lon) * dy + std::sin(lat) * dz;
        sum[0] += north * north;
        sum[1] += east * east;
        sum[2] += up * up;
    }
    const double n = static_cast<double>(fixes.size());
    EXPECT_NEAR(q.position.stdNorth, std::sqrt(sum[0] / n), 1e-4);
    EXPECT_NEAR(q.position.stdEast, std::sqrt(sum[1] / n), 1e-4);
    EXPECT_NEAR(q.position.stdUp, std::sqrt(sum[2] / n), 1e-4);
    std::printf("sample: %zu fixes, std north %.4f east %.4f up %.4f m\n", fixes.size(), q.position.stdNorth,
                q.position.stdEast, q.position.stdUp);
}

// Decimated output: the report describes the written file, not the raw epochs.
TEST(QualityConversion, DescribesTheWrittenEpochs) {
    SampleRun run(30.0);
    ASSERT_TRUE(run.result.quality);
    EXPECT_EQ(run.result.quality->epochsWritten, run.result.epochsWritten);
    EXPECT_EQ(run.result.quality->interval, 30.0);
    EXPECT_EQ(run.result.quality->completeness, 100.0);
}
