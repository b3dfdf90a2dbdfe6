// The source read as it was when the run began: a source appended to, cut or
// failing with a read error while the conversion reads it ends the run as a
// failure naming the file and the reason; a FIFO or device source is refused.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

#include "convert/StringTable.h"
#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/Constellation.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {


// A person who does something to the source at a given cancel poll.
class MeddlingUi : public ScriptedUi {
public:
    MeddlingUi(long poll, std::function<void()> act) : poll_(poll), act_(std::move(act)) {}
    bool CheckCancel() override {
        if (seen_++ == poll_ && act_) act_();
        return ScriptedUi::CheckCancel();
    }

private:
    long poll_;
    std::function<void()> act_;
    long seen_ = 0;
};

}  // namespace

TEST(SourceCheck, ASourceThatChangesOrFailsWhileReadFailsTheRun) {
    const struct {
        const char* what;
        long poll;        // cancel poll at which the source is meddled with (24 records a pass)
        int meddle;       // 0 append, 1 cut, 2 EIO from the platform file after limit bytes, 3 a FIFO
        const char* reason;
    } cases[] = {
        {"appended in the read pass", 5, 0, "changed while it was read"},
        {"cut in the read pass", 5, 1, "changed while it was read"},
        {"appended in the observation pass", 30, 0, "changed while it was read"},
        {"read error", -1, 2, "Input/output error"},
        {"FIFO", -1, 3, "is not a regular file (a FIFO, a device or a folder)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const GpsTime start = NominalStart();
        NominalConstellation constellation(start);
        RawFile raw(dir.File("SRC.RAW"));
        for (int k = 0; k < 4; ++k) raw.AddEphemeris(constellation.EphemerisAt(NominalConstellation::Prns()[k], start));
        for (int i = 0; i < 20; ++i) {
            SimEpoch e = Epoch('Q', 0.0);
            e.time = start.AddSeconds(30.0 * i);
            raw.Add(e);
        }
        raw.Close();
        ConversionRequest request = Request(dir, dir.File("SRC.RAW"));
        request.recordingDate = start.ToDays();
        const std::string source = request.sourcePath;
        const auto size = std::filesystem::file_size(source);
        ConversionHooks hooks;
        if (c.meddle == 2) hooks.newSourceFile = [&](int) { return std::make_unique<FailingSource>(size / 2); };
        if (c.meddle == 3) {
            std::filesystem::remove(source);
            ASSERT_EQ(mkfifo(source.c_str(), 0600), 0);
        }
        MeddlingUi ui(c.poll, [&] {
            if (c.meddle == 0) std::ofstream(source, std::ios::app) << std::string(100, '\0');
            if (c.meddle == 1) std::filesystem::resize_file(source, size / 2);
        });
        ConversionState state;
        const ConversionResult r = RunConversion(request, state, ui, hooks);
        EXPECT_EQ(r.outcome, ConversionOutcome::SourceUnreadable);
        EXPECT_EQ(r.failedPath, source);
        EXPECT_EQ(r.failureReason, c.reason);
        EXPECT_EQ(ui.MessageIds(), std::vector<int>{kStrReadFailed});
        EXPECT_FALSE(Exists(request.observationPath));
    }
}
