#include "convert/GzipWriter.h"

#ifndef QERN_WITHOUT_ZLIB
#include <zlib.h>
#endif

#include <algorithm>

#include "platform/File.h"

#ifdef QERN_WITHOUT_ZLIB
// Built without zlib: every gzipped output fails.
GzipWriter::GzipWriter(CFile& file, std::string name, uint32_t time, int level)
    : file_(file), name_(std::move(name)), time_(time), level_(level) {
    failed_ = true;
}
GzipWriter::~GzipWriter() = default;
bool GzipWriter::Write(std::string_view) { return false; }
bool GzipWriter::WriteReplaceable(std::string_view) { return false; }
bool GzipWriter::Replace(size_t, std::string_view) { return false; }
bool GzipWriter::Finish() { return false; }
#else
namespace {

constexpr size_t kBufferSize = 1 << 17;
constexpr size_t kStoredBlock = 65535;  // the most a stored deflate block holds

z_stream& Stream(void* p) { return *static_cast<z_stream*>(p); }

void PutLe32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

GzipWriter::GzipWriter(CFile& file, std::string name, uint32_t time, int level)
    : file_(file), name_(std::move(name)), time_(time), level_(level), buffer_(kBufferSize) {
    auto* z = new z_stream{};
    stream_ = z;
    // Raw deflate: the gzip header and trailer are written here.
    if (deflateInit2(z, level_, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) failed_ = true;
}

GzipWriter::~GzipWriter() {
    deflateEnd(&Stream(stream_));
    delete &Stream(stream_);
}

// The member header: magic, deflate, the name flag and the name on the first member
// only, the time, no extra flags, Unix.
std::string GzipWriter::HeaderBytes() {
    std::string h = {'\x1f', '\x8b', '\x08', static_cast<char>(first_ && !name_.empty() ? 0x08 : 0x00)};
    PutLe32(h, time_);
    h.push_back('\0');
    h.push_back('\x03');
    if (first_ && !name_.empty()) {
        h += name_;
        h.push_back('\0');
    }
    first_ = false;
    return h;
}

bool GzipWriter::Put(const void* data, size_t size) {
    if (failed_) return false;
    if (size > 0 && !file_.Write(data, size)) failed_ = true;
    return !failed_;
}

bool GzipWriter::StartMember() {
    if (inMember_) return true;
    const std::string header = HeaderBytes();
    if (!Put(header.data(), header.size())) return false;
    if (deflateReset(&Stream(stream_)) != Z_OK) return !(failed_ = true);
    crc_ = static_cast<uint32_t>(crc32(0L, Z_NULL, 0));
    size_ = 0;
    inMember_ = true;
    return true;
}

bool GzipWriter::Deflate(int flush) {
    z_stream& z = Stream(stream_);
    do {
        z.next_out = buffer_.data();
        z.avail_out = static_cast<uInt>(buffer_.size());
        const int status = deflate(&z, flush);
        if (status == Z_STREAM_ERROR) return !(failed_ = true);
        if (!Put(buffer_.data(), buffer_.size() - z.avail_out)) return false;
        if (flush == Z_FINISH && status == Z_STREAM_END) return true;
    } while (z.avail_out == 0 || (flush == Z_FINISH));
    return true;
}

bool GzipWriter::Write(std::string_view data) {
    if (failed_ || !StartMember()) return false;
    if (data.empty()) return true;
    z_stream& z = Stream(stream_);
    crc_ = static_cast<uint32_t>(crc32(crc_, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    size_ += static_cast<uint32_t>(data.size());
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    return Deflate(Z_NO_FLUSH);
}

bool GzipWriter::EndMember() {
    if (!inMember_ || failed_) return !failed_;
    inMember_ = false;
    if (!Deflate(Z_FINISH)) return false;
    std::string trailer;
    PutLe32(trailer, crc_);
    PutLe32(trailer, size_);
    return Put(trailer.data(), trailer.size());
}

bool GzipWriter::WriteReplaceable(std::string_view text) {
    if (!EndMember()) return false;
    std::string member = HeaderBytes();
    replaceableAt_ = file_.GetPosition() + static_cast<int64_t>(member.size());
    replaceable_.assign(text);
    member.reserve(member.size() + text.size() + 5 * (text.size() / kStoredBlock + 1) + 8);
    size_t at = 0;
    do {
        const size_t n = std::min(kStoredBlock, text.size() - at);
        const bool last = at + n == text.size();
        member.push_back(last ? '\x01' : '\x00');
        member.push_back(static_cast<char>(n & 0xFF));
        member.push_back(static_cast<char>(n >> 8));
        member.push_back(static_cast<char>(~n & 0xFF));
        member.push_back(static_cast<char>((~n >> 8) & 0xFF));
        member.append(text.substr(at, n));
        at += n;
    } while (at < text.size());
    PutLe32(member, static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()))));
    PutLe32(member, static_cast<uint32_t>(text.size()));
    return Put(member.data(), member.size());
}

bool GzipWriter::Replace(size_t offset, std::string_view bytes) {
    if (failed_ || replaceableAt_ < 0 || offset + bytes.size() > replaceable_.size()) return false;
    replaceable_.replace(offset, bytes.size(), bytes);
    // The member's header is as long as before: the text starts at the same place.
    const int64_t end = file_.GetPosition();
    const int64_t textAt = replaceableAt_;
    // Stored blocks: 5 bytes before each 65535 bytes of text.
    for (size_t at = offset; at < offset + bytes.size();) {
        const size_t block = at / kStoredBlock;
        const size_t n = std::min(offset + bytes.size(), (block + 1) * kStoredBlock) - at;
        if (!file_.Seek(textAt + static_cast<int64_t>(5 * (block + 1) + at)) || !Put(replaceable_.data() + at, n))
            return !(failed_ = true);
        at += n;
    }
    const size_t blocks = replaceable_.empty() ? 1 : (replaceable_.size() + kStoredBlock - 1) / kStoredBlock;
    std::string crc;
    PutLe32(crc, static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(replaceable_.data()),
                                             static_cast<uInt>(replaceable_.size()))));
    if (!file_.Seek(textAt + static_cast<int64_t>(5 * blocks + replaceable_.size())) || !Put(crc.data(), 4) ||
        !file_.Seek(end))
        return !(failed_ = true);
    return true;
}

bool GzipWriter::Finish() {
    // Even an empty file is one whole member.
    if (first_ && !StartMember()) return false;
    return EndMember();
}
#endif
