#include "convert/OutputFile.h"

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "convert/GzipWriter.h"
#include "convert/rinex/CompactRinex.h"
#include "platform/FileSystem.h"

namespace {

constexpr size_t kBatchSize = 1 << 18;      // text handed to the encoding thread at once
constexpr size_t kQueuedLimit = 4u << 20;   // text waiting for it at most (the writer waits beyond)

}  // namespace

// The encoding thread and the steps waiting for it, in order.
struct OutputFile::Encoder {
    struct Task {
        Step step;
        std::string text;
        size_t offset;
    };
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Task> tasks;
    size_t queued = 0;  // bytes of text in tasks
    bool stop = false;
    std::thread thread;
};

OutputFile::OutputFile() = default;
OutputFile::~OutputFile() { StopEncoder(); }

bool OutputFile::Check(bool ok) {
    int none = 0;
    if (!ok) error_.compare_exchange_strong(none, file_ && file_->Error() != 0 ? file_->Error() : EIO);
    return ok;
}

bool OutputFile::Open(const std::string& path, std::unique_ptr<CFile> file, const std::string& writePath,
                      const OutputEncoding& encoding) {
    StopEncoder();
    file_ = file ? std::move(file) : std::make_unique<CFile>();
    path_ = path;
    writePath_ = writePath.empty() ? path : writePath;
    error_ = 0;
    headerAt_ = -1;
    headerShift_ = 0;
    compact_.reset();
    gzip_.reset();
    batch_.clear();
    if (!Check(file_->Open(writePath_, CFile::modeWrite))) return false;
    if (encoding.compact) compact_ = std::make_unique<CompactRinexEncoder>(encoding.program, encoding.date);
    if (encoding.gzip) {
        // The name the file has once gunzipped: the output's own without ".gz".
        std::string name = path.substr(path.find_last_of('/') + 1);
        if (name.size() > 3 && name.compare(name.size() - 3, 3, ".gz") == 0) name.resize(name.size() - 3);
        gzip_ = std::make_unique<GzipWriter>(*file_, name, encoding.time);
    }
    if (compact_ || gzip_) {
        encoder_ = std::make_unique<Encoder>();
        encoder_->thread = std::thread([this] {
            Encoder& e = *encoder_;
            for (;;) {
                std::unique_lock<std::mutex> lock(e.mutex);
                e.changed.wait(lock, [&] { return e.stop || !e.tasks.empty(); });
                if (e.tasks.empty()) return;
                Encoder::Task task = std::move(e.tasks.front());
                e.tasks.pop_front();
                lock.unlock();
                const bool last = task.step == Step::Finish;
                if (error_ == 0) Do(task.step, task.text, task.offset);
                lock.lock();
                e.queued -= task.text.size();
                e.changed.notify_all();
                if (last) return;
            }
        });
    }
    return true;
}

void OutputFile::StopEncoder() {
    if (!encoder_) return;
    {
        std::lock_guard<std::mutex> lock(encoder_->mutex);
        encoder_->stop = true;
        encoder_->tasks.clear();
    }
    encoder_->changed.notify_all();
    if (encoder_->thread.joinable()) encoder_->thread.join();
    encoder_.reset();
}

bool OutputFile::Send(Step step, std::string text, size_t offset) {
    Encoder& e = *encoder_;
    std::unique_lock<std::mutex> lock(e.mutex);
    e.changed.wait(lock, [&] { return e.queued < kQueuedLimit || error_ != 0; });
    e.queued += text.size();
    e.tasks.push_back(Encoder::Task{step, std::move(text), offset});
    e.changed.notify_all();
    return error_ == 0;
}

bool OutputFile::Put(const std::string& bytes) {
    if (gzip_) return Check(gzip_->Write(bytes));
    return bytes.empty() || Check(file_->Write(bytes.data(), bytes.size()));
}

bool OutputFile::Do(Step step, const std::string& text, size_t offset) {
    switch (step) {
        case Step::Write:
            if (!compact_) return Put(text);
            encoded_.clear();
            compact_->Encode(text, encoded_);
            return Put(encoded_);
        case Step::Header: {
            const std::string* bytes = &text;
            if (compact_) {
                // The header goes through Compact RINEX unchanged, after its own lines.
                encoded_.clear();
                compact_->Encode(text, encoded_);
                headerShift_ = encoded_.size() >= text.size() ? encoded_.size() - text.size() : 0;
                bytes = &encoded_;
            }
            if (gzip_) {
                headerAt_ = 0;
                return Check(gzip_->WriteReplaceable(*bytes));
            }
            headerAt_ = file_->GetPosition() + static_cast<int64_t>(headerShift_);
            return Check(file_->Write(bytes->data(), bytes->size()));
        }
        case Step::Patch: {
            if (headerAt_ < 0) return Check(false);
            if (gzip_) return Check(gzip_->Replace(headerShift_ + offset, text));
            const int64_t end = file_->GetPosition();
            return Check(file_->Seek(headerAt_ + static_cast<int64_t>(offset))) &&
                   Check(file_->Write(text.data(), text.size())) && Check(file_->Seek(end));
        }
        case Step::Finish:
            return !gzip_ || Check(gzip_->Finish());
    }
    return false;
}

bool OutputFile::Write(const std::string& text) {
    if (error_ != 0 || !file_) return false;
    if (!encoder_) return Do(Step::Write, text, 0);
    batch_ += text;
    if (batch_.size() < kBatchSize) return true;
    std::string piece;
    piece.swap(batch_);
    batch_.reserve(kBatchSize + 4096);
    return Send(Step::Write, std::move(piece));
}

bool OutputFile::WriteHeader(const std::string& text) {
    if (error_ != 0 || !file_) return false;
    if (!encoder_) return Do(Step::Header, text, 0);
    if (!batch_.empty() && !Send(Step::Write, std::move(batch_))) return false;
    batch_.clear();
    return Send(Step::Header, text);
}

bool OutputFile::Patch(size_t offset, const std::string& text) {
    if (error_ != 0 || !file_) return false;
    if (!encoder_) return Do(Step::Patch, text, offset);
    if (!batch_.empty() && !Send(Step::Write, std::move(batch_))) return false;
    batch_.clear();
    return Send(Step::Patch, text, offset);
}

bool OutputFile::Close() {
    if (!file_) return error_ == 0;
    if (encoder_) {
        // What is left, then the end of the encoding; the thread ends after it.
        if (error_ == 0 && !batch_.empty()) Send(Step::Write, std::move(batch_));
        batch_.clear();
        if (error_ == 0) Send(Step::Finish, std::string());
        {
            // The thread does what is queued (skipping it after a failure), then ends.
            std::lock_guard<std::mutex> lock(encoder_->mutex);
            encoder_->stop = true;
        }
        encoder_->changed.notify_all();
        encoder_->thread.join();
        encoder_.reset();
    }
    // Output still in the buffer is written now: its failure is the file's too.
    if (file_->IsOpen() && error_ == 0) Check(file_->Flush());
    const bool closed = file_->Close();
    if (error_ == 0) Check(closed);
    return error_ == 0;
}

void OutputFile::Discard() {
    StopEncoder();
    if (file_) file_->Close();
    if (!writePath_.empty()) RemoveFile(writePath_);
}
