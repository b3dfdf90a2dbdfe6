#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rawdata/Observation.h"

// Pieces shared by the two layouts of the ASCII raw format.

// The byte that ends a record's text.
inline constexpr char kEtx = 0x03;

// The record text: up to length bytes, ending early at a zero byte.
std::string_view RecordText(const uint8_t* record, int length);

// True when seconds is a usable time of week.
bool IsTimeOfWeek(double seconds);

// Reads count hexadecimal navigation words (24 bits each) from text starting at index from.
bool ReadHexWords(std::string_view text, size_t from, uint32_t* words, int count);

// Stores a measurement computed from text numbers only when it is a finite number
// (sums and differences of huge values can overflow).
void SetFinite(SatObservation& sat, int k, double value);
