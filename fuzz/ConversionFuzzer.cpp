// libFuzzer target: arbitrary bytes as a raw data file converted whole and silently,
// once as an ASCII file and once as a binary one, in one conversion state. The first
// byte chooses the order of the formats, Tx, the smoothing and log options, the
// recording date and the header text lengths (conversionharness::OptionsOf); the rest
// is the file, written to a directory of this process (under /dev/shm when present).
// Besides crashes, leaks and undefined behaviour, a run stops on a conversion result
// that breaks its promises and on a RINEX line that is longer than 80 characters, not
// ended by CR LF, holds a control character or a non-finite number.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/ConversionHarness.h"

namespace {

// The process's scratch directory, removed at exit.
conversionharness::ScratchDir& Scratch() {
    static conversionharness::ScratchDir dir;
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    conversionharness::ScratchDir& dir = Scratch();
    if (!dir.Ok()) conversionharness::Fail(-1, "no scratch directory");
    conversionharness::ConvertBytes(dir, data, size);
    return 0;
}
