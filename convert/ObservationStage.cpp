#include "convert/ObservationStage.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#ifdef __linux__
#include <pthread.h>
#endif

#include "convert/OutputFile.h"

namespace {

constexpr size_t kChunkItems = 64;    // records handed over at once
constexpr size_t kChunksWaiting = 4;  // handed over and not yet written, at most (the first stage waits beyond)

}  // namespace

// The writing thread and the chunks of records waiting for it, in order.
struct ObservationStage::Thread {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<Item>> full;    // chunks waiting, oldest first
    std::vector<std::vector<Item>> spare;  // written chunks, kept for reuse
    bool finishing = false;                // no chunk comes after those waiting
    std::atomic<bool> abandoned{false};
    std::atomic<bool> broken{false};       // formatting or writing threw: error holds it
    std::exception_ptr error;
    std::thread thread;
};

ObservationStage::ObservationStage(OutputFile& file, const RinexWriter& writer, bool ownThread,
                                   StageObserver* stages)
    : file_(file), writer_(writer), stages_(ownThread ? nullptr : stages) {
    if (!ownThread) return;
    pending_.reserve(kChunkItems);
    thread_ = std::make_unique<Thread>();
    thread_->thread = std::thread([this] {
        Thread& t = *thread_;
        for (;;) {
            std::vector<Item> chunk;
            {
                std::unique_lock<std::mutex> lock(t.mutex);
                t.changed.wait(lock, [&] { return t.finishing || !t.full.empty(); });
                if (t.full.empty()) return;
                chunk = std::move(t.full.front());
                t.full.pop_front();
            }
            t.changed.notify_all();  // room for the first stage
            try {
                for (const Item& item : chunk) {
                    if (t.abandoned || t.broken || file_.Failed()) break;
                    Do(item);
                }
            } catch (...) {
                // Given to the first stage, as if it had formatted and written itself.
                t.error = std::current_exception();
                t.broken = true;
            }
            chunk.clear();
            const std::lock_guard<std::mutex> lock(t.mutex);
            t.spare.push_back(std::move(chunk));
        }
    });
#ifdef __linux__
    pthread_setname_np(thread_->thread.native_handle(), "qern2rinex-obs");  // as top and perf show it
#endif
}

ObservationStage::~ObservationStage() { Abandon(); }

void ObservationStage::HandOver(bool last) {
    if (pending_.size() < (last ? 1 : kChunkItems)) return;
    Thread& t = *thread_;
    {
        std::unique_lock<std::mutex> lock(t.mutex);
        t.changed.wait(lock, [&] { return t.full.size() < kChunksWaiting; });
        t.full.push_back(std::move(pending_));
        pending_.clear();
        if (!t.spare.empty()) {
            pending_ = std::move(t.spare.back());
            t.spare.pop_back();
        }
    }
    t.changed.notify_all();
    pending_.reserve(kChunkItems);
}

void ObservationStage::Header(const std::string& text, const RinexObsHeader& header) {
    auto copy = std::make_shared<const RinexObsHeader>(header);
    if (!thread_) {
        header_ = std::move(copy);
        file_.WriteHeader(text);
        Lap(ConversionStage::Writing);
        return;
    }
    pending_.emplace_back(Kind::Header, text).header = std::move(copy);
    HandOver(false);
}

void ObservationStage::Epoch(const RinexEpoch& epoch) {
    if (!thread_) {
        const std::string text = writer_.epoch(epoch, *header_);
        Lap(ConversionStage::Formatting);
        file_.Write(text);
        Lap(ConversionStage::Writing);
        return;
    }
    pending_.emplace_back(epoch);
    HandOver(false);
}

void ObservationStage::Text(std::string text) {
    if (!thread_) {
        file_.Write(text);
        Lap(ConversionStage::Writing);
        return;
    }
    pending_.emplace_back(Kind::Text, std::move(text));
    HandOver(false);
}

// On the writing thread.
void ObservationStage::Do(const Item& item) {
    switch (item.kind) {
        case Kind::Header:
            header_ = item.header;
            file_.WriteHeader(item.text);
            break;
        case Kind::Epoch:
            file_.Write(writer_.epoch(item.epoch, *header_));
            break;
        case Kind::Text:
            file_.Write(item.text);
            break;
    }
}

bool ObservationStage::Failed() const { return file_.Failed() || (thread_ && thread_->broken); }

void ObservationStage::Finish() {
    if (!thread_) return;
    HandOver(true);
    {
        const std::lock_guard<std::mutex> lock(thread_->mutex);
        thread_->finishing = true;
    }
    thread_->changed.notify_all();
    thread_->thread.join();
    const std::exception_ptr error = thread_->error;
    thread_.reset();
    if (error) std::rethrow_exception(error);
}

void ObservationStage::Abandon() {
    if (!thread_) return;
    thread_->abandoned = true;
    {
        const std::lock_guard<std::mutex> lock(thread_->mutex);
        thread_->full.clear();
        thread_->finishing = true;
    }
    thread_->changed.notify_all();
    thread_->thread.join();
    thread_.reset();
    pending_.clear();
}
