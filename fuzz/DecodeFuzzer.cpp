// libFuzzer target: arbitrary bytes as a raw data file of one format (QERN_FUZZ_FORMAT,
// 0 ASCII or 1 binary), framed with ReadRecord and decoded with every operation.
#include <cstddef>
#include <cstdint>

#include "fuzz/DecodeHarness.h"

#ifndef QERN_FUZZ_FORMAT
#error "QERN_FUZZ_FORMAT must be 0 (ASCII) or 1 (binary)"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    decodeharness::FeedRawData(QERN_FUZZ_FORMAT, data, size);
    return 0;
}
