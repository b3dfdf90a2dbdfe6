#include "rawdata/DataFile.h"

int FrameLength(const uint8_t* record, int size) {
    if (size <= 0 || record[0] != 0xFE) return 0;
    for (int i = 1; i < size; ++i)
        if (record[i] == 0xFF) return i + 1;
    return 0;
}

int Unescape(uint8_t* record, int length) {
    if (length < 2 || record[0] != 0xFE || record[length - 1] != 0xFF) return 0;
    int out = 1;
    const int last = length - 1;
    for (int in = 1; in < last; ++in) {
        uint8_t b = record[in];
        if (b == 0xFD) {
            if (in + 1 >= last) return 0;
            const uint8_t code = record[++in];
            if (code > 2) return 0;
            b = static_cast<uint8_t>(0xFD + code);
        }
        record[out++] = b;
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

uint32_t BigEndian(const uint8_t* bytes, int n) {
    if (n > 4) n = 4;
    uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | bytes[i];
    return v;
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
