#include "rawdata/Decoder.h"

#include "rawdata/DecodeKBinGpsData.h"
#include "rawdata/DecodeKVarGpsData.h"

std::unique_ptr<CDecodeGpsData> CreateDecoder(int formatIndex) {
    switch (formatIndex) {
        case 0: return std::make_unique<CDecodeKVarGpsData>();
        case 1: return std::make_unique<CDecodeKBinGpsData>();
        default: return nullptr;
    }
}
