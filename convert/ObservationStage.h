#pragma once
// The second stage of the observation pass: the observation file's records,
// handed over in order by the first stage (which reads, decodes and positions),
// are formatted as RINEX text and written here, on a thread of their own when the
// conversion has the machine's cores to itself, so that both stages run at once.
#include <memory>
#include <string>
#include <vector>

#include "convert/ConversionStage.h"
#include "convert/rinex/RinexEpoch.h"
#include "convert/rinex/RinexObsHeader.h"
#include "convert/rinex/RinexWriter.h"

class OutputFile;

class ObservationStage {
public:
    // Writes to file through writer; ownThread: on a thread of its own, else at once
    // in the caller's (stages, when given, is then told of formatting and writing).
    ObservationStage(OutputFile& file, const RinexWriter& writer, bool ownThread, StageObserver* stages = nullptr);
    ~ObservationStage();  // as Abandon
    ObservationStage(const ObservationStage&) = delete;
    ObservationStage& operator=(const ObservationStage&) = delete;

    // The header's text, written first; header gives the types of the epochs after it.
    void Header(const std::string& text, const RinexObsHeader& header);
    // One observation record, formatted with the header's types.
    void Epoch(const RinexEpoch& epoch);
    // Text of another record, written as it is.
    void Text(std::string text);
    // True once the file failed; while a thread writes, a little after the write that failed.
    bool Failed() const;
    // Waits until everything handed over is written (or skipped after a failure)
    // and ends the thread: the file is the caller's again. What formatting or
    // writing threw on the thread is thrown here.
    void Finish();
    // Drops what waits to be written and ends the thread: the file is the caller's again.
    void Abandon();

private:
    enum class Kind { Header, Epoch, Text };
    struct Item {
        explicit Item(const RinexEpoch& e) : kind(Kind::Epoch), epoch(e) {}  // copied once
        Item(Kind k, std::string t) : kind(k), text(std::move(t)) {}
        Kind kind;
        RinexEpoch epoch;
        std::string text;
        std::shared_ptr<const RinexObsHeader> header;
    };
    struct Thread;
    void HandOver(bool last);
    void Do(const Item& item);
    void Lap(ConversionStage stage) {
        if (stages_) stages_->Lap(stage);
    }

    OutputFile& file_;
    const RinexWriter& writer_;
    StageObserver* stages_;
    std::shared_ptr<const RinexObsHeader> header_;  // the types Do formats epochs with
    std::vector<Item> pending_;                     // items not handed over yet
    std::unique_ptr<Thread> thread_;
};
