#include "rawdata/AsciiRecordText.h"

#include <cmath>
#include <cstring>

#include "rawdata/GpsTime.h"
#include "rawdata/TextScan.h"

std::string_view RecordText(const uint8_t* record, int length) {
    if (record == nullptr || length <= 0) return {};
    const char* s = reinterpret_cast<const char*>(record);
    const void* zero = std::memchr(s, 0, static_cast<size_t>(length));
    return std::string_view(s, zero ? static_cast<size_t>(static_cast<const char*>(zero) - s) : static_cast<size_t>(length));
}

bool IsTimeOfWeek(double seconds) { return seconds >= 0 && seconds < GpsTime::kSecondsPerWeek; }

bool ReadHexWords(std::string_view text, size_t from, uint32_t* words, int count) {
    if (from >= text.size()) return false;
    const char* p = text.data() + from;
    const char* end = text.data() + text.size();
    for (int i = 0; i < count; ++i) {
        uint64_t v = 0;
        if (!ScanHex(p, end, v)) return false;
        words[i] = static_cast<uint32_t>(v & 0xFFFFFFu);
    }
    return true;
}

void SetFinite(SatObservation& sat, int k, double value) {
    if (std::isfinite(value)) sat.SetValue(k, value);
}
