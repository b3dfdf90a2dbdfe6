#include "rawdata/RecordStream.h"

#include <algorithm>
#include <deque>

// The bytes handed in, read by the format's framing as if they were a file that
// ends where they end for now.
struct FedBytes {
    std::deque<uint8_t> queue;
    int64_t fed = 0;

    size_t Take(void* out, size_t count) {
        const size_t n = std::min(count, queue.size());
        std::copy_n(queue.begin(), n, static_cast<uint8_t*>(out));
        queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(n));
        return n;
    }
};

namespace {

template <class Framing>
class FedFile : public Framing, public FedBytes {
public:
    size_t Read(void* buffer, size_t count) override { return Take(buffer, count); }
};

}  // namespace

RecordStream::RecordStream(int formatIndex) : buffer_(kRecordBufferSize + 1) {
    if (formatIndex == 0) {
        auto file = std::make_unique<FedFile<CKVarDataFile>>();
        fed_ = file.get();
        file_ = std::move(file);
    } else {
        auto file = std::make_unique<FedFile<CKBinDataFile>>();
        fed_ = file.get();
        file_ = std::move(file);
    }
}

RecordStream::~RecordStream() = default;

void RecordStream::Feed(const uint8_t* bytes, size_t count) {
    fed_->queue.insert(fed_->queue.end(), bytes, bytes + count);
    fed_->fed += static_cast<int64_t>(count);
}

int RecordStream::Next(std::vector<uint8_t>& record) {
    int length = 0;
    const int kind = file_->ReadRecord(buffer_.data(), length);
    if (kind == kRecordEnd || length <= 0) {
        record.clear();
        return kRecordEnd;
    }
    record.assign(buffer_.begin(), buffer_.begin() + length);
    return kind;
}

int64_t RecordStream::Consumed() const {
    // The framing's position counts what its reads took minus what it still
    // buffers; its reads took everything fed but the queue.
    return fed_->fed - static_cast<int64_t>(fed_->queue.size()) + file_->GetPosition();
}
