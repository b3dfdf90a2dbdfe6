#pragma once

// The raw data format a conversion reads; its values are the indices of the
// dialog's "File Format" list and of the format parameters below the request.
enum RawFormat : int {
    kRawAscii = 0,
    kRawBinary = 1,
};

// The RINEX version a conversion writes; its values are the version numbers.
enum RinexVersion : int {
    kRinex2 = 2,
    kRinex3 = 3,
    kRinex4 = 4,
};
