#include "rawdata/DataFile.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes the buffer takes from the file at most: one less than its size, so that the
// ASCII text can always be terminated with a zero byte.
constexpr int kFillLimit = kRecordBufferSize - 1;

constexpr uint8_t kBinSync = 0xFE;
constexpr uint8_t kBinEnd = 0xFF;
constexpr uint8_t kStx = 0x02;
constexpr uint8_t kEtx = 0x03;

// The state of one framed stream: the owned buffer, the read cursor into it and the
// count of valid bytes.
struct FrameState {
    uint8_t* buffer;
    uint8_t*& cursor;
    int& valid;
};

// The first byte b in [from, to), or to.
uint8_t* Find(uint8_t* from, uint8_t* to, uint8_t b) {
    if (from >= to) return to;
    void* found = std::memchr(from, b, static_cast<size_t>(to - from));
    return found == nullptr ? to : static_cast<uint8_t*>(found);
}

// Looks for the next complete record between the cursor and the end of the valid
// bytes: the last sync byte before the first end byte that follows a sync byte.
// On success sets start and count of the record, moves the cursor past it and
// returns true. Otherwise the cursor rests on the first sync byte when there is one
// (the possible start of a record) and false is returned.
bool FindRecord(FrameState& st, uint8_t sync, uint8_t end, const uint8_t*& start, int& count) {
    uint8_t* const stop = st.buffer + st.valid;
    uint8_t* s = Find(st.cursor, stop, sync);
    if (s == stop) return false;
    st.cursor = s;
    uint8_t* e = Find(s + 1, stop, end);
    if (e == stop) return false;
    for (uint8_t* p = Find(s + 1, e, sync); p != e; p = Find(p + 1, e, sync)) s = p;
    start = s;
    count = static_cast<int>(e - s) + 1;
    st.cursor = e + 1;
    return true;
}

// Offset within the k buffered bytes at tail from which bytes are kept when the
// buffer is full without a complete record. Bytes before the last sync byte can never
// be part of a record (a record starts at the last sync byte before its end byte);
// a single unterminated record filling the whole buffer is longer than any record
// can be. Both are dropped so that reading goes on with the rest of the file.
int KeepFrom(const uint8_t* tail, int k, uint8_t sync) {
    for (int i = k - 1; i > 0; --i)
        if (tail[i] == sync) return i;
    return k;
}

// Moves the unconsumed bytes to the start of the buffer and reads up to kFillLimit - k
// more from the file. Returns the number of bytes read (0 at the end of the file).
size_t Refill(CFile& file, FrameState& st, uint8_t sync) {
    int k = 0;
    if (st.cursor) {
        const uint8_t* tail = st.cursor;
        k = st.valid - static_cast<int>(tail - st.buffer);
        if (k >= kFillLimit) {
            const int drop = KeepFrom(tail, k, sync);
            tail += drop;
            k -= drop;
        }
        if (k > 0) std::memmove(st.buffer, tail, static_cast<size_t>(k));
    }
    st.cursor = st.buffer;
    st.valid = k;
    const size_t n = file.Read(st.buffer + k, static_cast<size_t>(kFillLimit - k));
    st.valid = k + static_cast<int>(n);
    st.buffer[st.valid] = 0;
    return n;
}

// Copies the next complete record of the stream to out and sets length; returns the
// start of the copied record, or null at the end of the data (length 0).
const uint8_t* NextRecord(CFile& file, FrameState& st, uint8_t sync, uint8_t end, uint8_t* out,
                          int& length) {
    for (;;) {
        if (st.cursor) {
            const uint8_t* start = nullptr;
            int count = 0;
            if (FindRecord(st, sync, end, start, count)) {
                std::memcpy(out, start, static_cast<size_t>(count));
                length = count;
                return out;
            }
        }
        if (Refill(file, st, sync) == 0) {
            length = 0;
            return nullptr;
        }
    }
}

}  // namespace

CDataFile::~CDataFile() {
    buffer_.reset();
    cursor_ = nullptr;
}

int CDataFile::ReadRecord(uint8_t* /*buffer*/, int& length) {
    length = 0;
    return 0;
}

CKBinDataFile::CKBinDataFile() { buffer_ = std::make_unique<uint8_t[]>(kRecordBufferSize); }

CKBinDataFile::~CKBinDataFile() {
    buffer_.reset();
    cursor_ = nullptr;
    valid_ = 0;
}

int CKBinDataFile::ReadRecord(uint8_t* buffer, int& length) {
    FrameState st{buffer_.get(), cursor_, valid_};
    const uint8_t* rec = NextRecord(*this, st, kBinSync, kBinEnd, buffer, length);
    if (!rec || length == 0) return kRecordEnd;
    return BinaryRecordKind(rec[1]);
}

int64_t CKBinDataFile::GetPosition() const {
    const int64_t pending = cursor_ ? valid_ - (cursor_ - buffer_.get()) : 0;
    // NOLINTNEXTLINE(bugprone-parent-virtual-call): the file's own position, before the buffered bytes
    return CFile::GetPosition() - pending;
}

CKVarDataFile::CKVarDataFile() {
    buffer_ = std::make_unique<uint8_t[]>(kRecordBufferSize);
    buffer_[0] = 0;
}

CKVarDataFile::~CKVarDataFile() {
    buffer_.reset();
    cursor_ = nullptr;
    valid_ = 0;
}

int CKVarDataFile::ReadRecord(uint8_t* buffer, int& length) {
    FrameState st{buffer_.get(), cursor_, valid_};
    const uint8_t* rec = NextRecord(*this, st, kStx, kEtx, buffer, length);
    if (!rec || length == 0) {
        buffer[0] = 0;
        return kRecordEnd;
    }
    buffer[length] = 0;
    // The type letter stands at index 4; a record too short to hold one is of another type.
    if (length < 6) return kRecordOther;
    return AsciiRecordKind(rec[4]);
}

int64_t CKVarDataFile::GetPosition() const {
    const int64_t pending = cursor_ ? valid_ - (cursor_ - buffer_.get()) : 0;
    // NOLINTNEXTLINE(bugprone-parent-virtual-call): the file's own position, before the buffered bytes
    return CFile::GetPosition() - pending;
}

std::unique_ptr<CDataFile> CreateDataFile(int formatIndex) {
    switch (formatIndex) {
        case 0: return std::make_unique<CKVarDataFile>();
        case 1: return std::make_unique<CKBinDataFile>();
        default: return nullptr;
    }
}
