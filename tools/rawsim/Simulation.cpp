#include "tools/rawsim/Simulation.h"

#include <memory>

#include "tools/rawsim/RinexReader.h"

namespace {

std::unique_ptr<RecordEncoder> MakeEncoder(RawLayout layout, const CsvOptions& csv) {
    if (layout == RawLayout::AsciiCsv) return CreateCsvEncoder(csv);
    return CreateEncoder(layout);
}

// The truth of one run: kept in memory (when asked) and streamed to the JSON file
// (when asked, from the moment it is opened).
class TruthRouter : public TruthSink {
public:
    explicit TruthRouter(const SimulationOutput& o) : output_(o) {
        if (o.truth) *o.truth = Truth();
    }
    // Opens the JSON file with the header fields; true when none is asked for.
    bool StartJson(const Truth& header, std::string& error) {
        if (output_.truthPath.empty()) return true;
        if (!json_.Open(output_.truthPath, header, output_.truthEpochEvery)) {
            error = "cannot create " + output_.truthPath;
            return false;
        }
        jsonOpen_ = true;
        return true;
    }
    // Completes the in-memory truth and the JSON file.
    bool Finish(const Truth& header, const TruthCounts& counts, std::string& error) {
        if (output_.truth) {
            Truth& t = *output_.truth;
            Truth filled = header;
            filled.epochs = std::move(t.epochs);
            filled.ephemerides = std::move(t.ephemerides);
            filled.ionoUtc = std::move(t.ionoUtc);
            filled.events = std::move(t.events);
            filled.faults = std::move(t.faults);
            filled.counts = counts;
            t = std::move(filled);
        }
        if (jsonOpen_ && !json_.Finish(counts, header.antennaHeight)) {
            error = "cannot write " + output_.truthPath;
            return false;
        }
        return true;
    }
    void OnEpoch(const TruthEpoch& e) override {
        if (output_.truth) output_.truth->epochs.push_back(e);
        if (jsonOpen_) json_.OnEpoch(e);
    }
    void OnEphemeris(const Ephemeris& e) override {
        if (output_.truth) output_.truth->ephemerides.push_back(e);
        if (jsonOpen_) json_.OnEphemeris(e);
    }
    void OnIonoUtc(const IonoUtc& i) override {
        if (output_.truth) output_.truth->ionoUtc.push_back(i);
        if (jsonOpen_) json_.OnIonoUtc(i);
    }
    void OnEvent(const TruthEvent& e) override {
        if (output_.truth) output_.truth->events.push_back(e);
        if (jsonOpen_) json_.OnEvent(e);
    }
    void OnFault(const TruthFault& f) override {
        if (output_.truth) output_.truth->faults.push_back(f);
        if (jsonOpen_) json_.OnFault(f);
    }

private:
    const SimulationOutput& output_;
    TruthJsonWriter json_;
    bool jsonOpen_ = false;
};

bool OpenRaw(RawWriter& writer, const SimulationOutput& o, std::string& error) {
    if (!o.rawPath.empty()) {
        if (!writer.Open(o.rawPath)) {
            error = "cannot create " + o.rawPath;
            return false;
        }
    } else if (o.memory) {
        writer.OpenMemory(o.memory);
    }
    return true;
}

// Closes the raw file and completes the truth; ok tells whether the run succeeded.
bool Close(RawWriter& writer, TruthRouter& router, const Truth& header, const SimulationOutput& o, bool ok,
           std::string& error) {
    const bool closed = writer.Close();
    Truth h = header;
    if (writer.FirstAntennaHeight() != 0) h.antennaHeight = writer.FirstAntennaHeight();
    std::string finishError;
    const bool finished = router.Finish(h, writer.Counts(), finishError);
    if (!ok) return false;
    if (!closed) {
        error = "cannot write " + o.rawPath;
        return false;
    }
    if (!finished) {
        error = finishError;
        return false;
    }
    return true;
}

}  // namespace

bool RunSynth(const SynthRequest& request, const SimulationOutput& output, SynthSummary& summary,
              std::string& error) {
    TruthRouter router(output);
    RawWriter writer(MakeEncoder(request.layout, request.csv), request.faults, &router);
    if (!OpenRaw(writer, output, error)) return false;
    // Header fields first, so that the JSON file starts before the records.
    const SynthOptions& o = request.synth;
    Truth header;
    header.layout = LayoutName(request.layout);
    for (int k = 0; k < 3; ++k) header.station[k] = o.station[k];
    header.clockOffset = o.clockOffset;
    header.clockDrift = o.clockDrift;
    header.clockEpoch = o.start;
    header.tx = o.tx;
    if (!router.StartJson(header, error)) return false;

    std::unique_ptr<EphemerisSource> orbits;
    if (request.useNavigation) {
        orbits = std::make_unique<EphemerisList>(request.navigation);
    } else {
        orbits = std::make_unique<NominalConstellation>(o.start);
    }
    const IonoUtc iono = request.hasIonoUtc ? request.ionoUtc : NominalIonoUtc(o.start.week);
    const bool ok = Synthesize(o, *orbits, iono, writer, header, summary, error);
    return Close(writer, router, header, output, ok, error);
}

bool RunFromRinex(const FromRinexRequest& request, const SimulationOutput& output, std::string& error) {
    TruthRouter router(output);
    RawWriter writer(MakeEncoder(request.layout, request.csv), request.faults, &router);
    // The station comes from the observation header, read before any record is written.
    RinexObsReader probe;
    if (!probe.Open(request.rinex.obsPath, error)) return false;
    if (!OpenRaw(writer, output, error)) return false;
    Truth header;
    header.layout = LayoutName(request.layout);
    for (int k = 0; k < 3; ++k) header.station[k] = probe.Header().position[k];
    header.antennaHeight = probe.Header().antennaHeight;
    header.tx = 0;
    if (!router.StartJson(header, error)) return false;
    const bool ok = WriteRawFromRinex(request.rinex, writer, header, error);
    return Close(writer, router, header, output, ok, error);
}

GpsTime NominalStart() { return GpsTime(2300, 3 * 86400.0); }

SynthRequest SampleRequest(RawLayout layout) {
    SynthRequest r;
    r.layout = layout;
    r.synth.receiverDated = true;
    r.synth.satelliteDated = layout != RawLayout::AsciiFixed;
    r.synth.start = NominalStart();
    r.synth.duration = 600;
    r.synth.interval = 5;
    r.synth.dual = layout != RawLayout::AsciiFixed;
    r.synth.events = true;
    r.synth.slipEvery = 40;
    return r;
}

bool WriteSample(const std::string& directory, std::string& error) {
    struct Item {
        RawLayout layout;
        const char* name;
    };
    const Item items[] = {{RawLayout::Binary, "sample.bin"},
                          {RawLayout::AsciiCsv, "sample.csv"},
                          {RawLayout::AsciiFixed, "sample.fix"}};
    for (const Item& item : items) {
        SimulationOutput out;
        out.rawPath = directory + "/" + item.name;
        out.truthPath = out.rawPath + ".truth.json";
        SynthSummary summary;
        if (!RunSynth(SampleRequest(item.layout), out, summary, error)) return false;
    }
    return true;
}
