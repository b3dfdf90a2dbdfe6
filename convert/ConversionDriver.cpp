#include "convert/ConversionDriver.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "convert/Conversion.h"
#include "convert/OutputSet.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "platform/StopSignal.h"

// The checks, the three passes (each only after the previous one succeeded) and
// the success message.
ConversionResult Conversion::Run() {
    if (hooks_.stages) hooks_.stages->Start();
    state_.Reset(request_);
    creationTime_ = request_.creationTime ? *request_.creationTime : CalendarOf(CreationTime());
    if (CheckPaths() && ReadPass() && ObservationPass() && NavigationPass() && Publish()) {
        result_.success = true;
        result_.outcome = ConversionOutcome::Success;
        result_.messageId = kStrConverted;
        if (!request_.silent) ui_.ShowMessage(kStrConverted, MessageIcon::Information, {request_.sourcePath});
    }
    Lap(ConversionStage::Other);
    return result_;
}

// Refuses outputs that would overwrite a source or each other, or whose path holds
// a link or anything but a regular file, before anything is opened for writing.
bool Conversion::CheckPaths() {
    const OutputSet set = OutputSetOf(request_);
    const std::optional<OutputRefusal> refusal = CheckOutputSet(set);
    if (refusal && refusal->clash) return Fail(ConversionOutcome::SameFile, kStrFilesMustDiffer, MessageIcon::Stop);
    if (refusal) return FailWrite(refusal->output.path, refusal->reason);
    // No other run writes these outputs while this one runs.
    std::vector<std::string> paths;
    for (const PlannedOutput& output : set.outputs) paths.push_back(output.path);
    std::string path, reason;
    return staged_.Lock(paths, path, reason) || FailWrite(path, reason);
}

// Opens file to write the output path under a temporary name beside it; false
// with the result's failed path and reason set when it cannot be created.
bool Conversion::OpenOutput(OutputFile& file, const std::string& path, bool last, const OutputEncoding& encoding) {
    int error = 0;
    const std::string temp = staged_.Stage(path, error, last);
    if (!temp.empty() && file.Open(path, hooks_.newOutputFile ? hooks_.newOutputFile(path) : nullptr, temp, encoding))
        return true;
    result_.failedPath = path;
    result_.failureReason = ErrorText(temp.empty() ? error : file.Error());
    return false;
}

OutputEncoding Conversion::RinexEncoding(bool observation) const {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    OutputEncoding e;
    e.compact = observation && request_.hatanaka;
    e.gzip = request_.gzip;
    e.program = state_.header.program;
    const CalendarTime& t = creationTime_;
    char date[32];
    std::snprintf(date, sizeof date, "%02d-%s-%02d %02d:%02d", t.day % 100, kMonths[(t.month + 11) % 12],
                  t.year % 100, t.hour % 100, t.minute % 100);
    e.date = date;
    e.time = static_cast<uint32_t>(CreationSeconds());
    return e;
}

// Puts every output in place of the files of before, the observation file last.
bool Conversion::Publish() {
    std::string path;
    int error = 0;
    if (!staged_.Publish(path, error)) return FailWrite(path, ErrorText(error));
    result_.logWritten = logging_;
    result_.qualityWritten = quality_ != nullptr;
    return true;
}

// Opens source for a pass; false (the run failed) when it cannot be opened.
bool Conversion::OpenSource(SourceReader& source) {
    if (source.Open(request_, hooks_.newSourceFile ? hooks_.newSourceFile(request_.formatIndex) : nullptr))
        return true;
    source.Close();
    return Fail(ConversionOutcome::SourceUnreadable, kStrCannotOpenSource, MessageIcon::Stop);
}

// False (the run failed, naming the file and the reason) when a pass over source
// met a read error or a source changed since the read pass began.
bool Conversion::SourceIntact(SourceReader& source) {
    std::string path, reason;
    if (source.file && source.file->Error() != 0) {
        path = source.file->GetFilePath();
        reason = ErrorText(source.file->Error());
    } else if (SourcesUnchanged(sources_, path, reason)) {
        return true;
    }
    result_.failedPath = path;
    result_.failureReason = reason;
    return Fail(ConversionOutcome::SourceUnreadable, kStrReadFailed, MessageIcon::Stop, {path, reason});
}

// The kind of the next record of a pass over the source, after which the progress
// shows the share of the source read so far.
int Conversion::FetchNext(SourceReader& source) {
    const int kind = source.Next();
    Lap(ConversionStage::Framing);
    ui_.SetPosition(source.Progress());
    Lap(ConversionStage::Progress);
    return kind;
}

bool Conversion::CancelRequested() {
    const bool cancel = ui_.CheckCancel() || StopSignalReceived() != 0;
    Lap(ConversionStage::Progress);
    return cancel;
}

ConversionResult RunConversion(const ConversionRequest& request, ConversionState& state, ConversionUi& ui,
                               const ConversionHooks& hooks) {
    Conversion conversion(request, state, ui, hooks);
    return conversion.Run();
}
