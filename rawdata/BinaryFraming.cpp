#include "rawdata/DataFile.h"

#include <cstring>

int FrameLength(const uint8_t* record, int size) {
    if (size <= 0 || record[0] != 0xFE) return 0;
    const void* end = std::memchr(record + 1, 0xFF, static_cast<size_t>(size - 1));
    return end == nullptr ? 0 : static_cast<int>(static_cast<const uint8_t*>(end) - record) + 1;
}

int Unescape(uint8_t* record, int length) {
    if (length < 2 || record[0] != 0xFE || record[length - 1] != 0xFF) return 0;
    const int last = length - 1;
    // The bytes between escape pairs move down in runs; up to the first escape
    // every byte stays where it is.
    int out = 1;
    int in = 1;
    while (in < last) {
        const void* found = std::memchr(record + in, 0xFD, static_cast<size_t>(last - in));
        const int escape = found ? static_cast<int>(static_cast<const uint8_t*>(found) - record) : last;
        if (out != in) std::memmove(record + out, record + in, static_cast<size_t>(escape - in));
        out += escape - in;
        if (escape == last) break;
        if (escape + 1 >= last) return 0;
        const uint8_t code = record[escape + 1];
        if (code > 2) return 0;
        record[out++] = static_cast<uint8_t>(0xFD + code);
        in = escape + 2;
    }
    record[out++] = 0xFF;
    return out;
}

uint16_t Checksum(const uint8_t* record, int length) {
    // The checksum's raw bytes sit just before the end byte; each of its two bytes
    // may have been escaped into a pair 0xFD, code. Find where they begin.
    int lowStart = length - 2;
    if (length >= 3 && record[length - 3] == 0xFD) lowStart = length - 3;
    int highStart = lowStart - 1;
    if (lowStart >= 2 && record[lowStart - 2] == 0xFD) highStart = lowStart - 2;
    uint32_t sum = 0;
    for (int i = 1; i < highStart; ++i) sum += record[i];
    return static_cast<uint16_t>(sum & 0xFFFF);
}

int BinaryRecordKind(uint8_t letter) {
    switch (letter) {
        case 'R': return kRecordSatelliteDated;
        case 'Q': return kRecordReceiverDated;
        case 'E': return kRecordEphemeris;
        case 'A': return kRecordA;
        case 'M':
        case 'm': return kRecordSiteEvent;
        case 'H': return kRecordAntennaHeight;
        case 'U': return kRecordIonoUtc;
        default: return kRecordOther;
    }
}

int AsciiRecordKind(uint8_t letter) {
    switch (letter) {
        case 'I': return kRecordI;
        case 'G': return kRecordG;
        case 'L': return kRecordL;
        case 'R': return kRecordSatelliteDated;
        case 'Q': return kRecordReceiverDated;
        case 'E': return kRecordEphemeris;
        case 'A': return kRecordA;
        case 'M':
        case 'T': return kRecordSiteEvent;
        case 'V': return kRecordAntennaHeight;
        case 'U': return kRecordIonoUtc;
        default: return kRecordOther;
    }
}
