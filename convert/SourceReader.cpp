#include "convert/SourceReader.h"

bool SourceReader::Open(const ConversionRequest& request, std::unique_ptr<CDataFile> given) {
    file = given ? std::move(given) : CreateDataFile(request.formatIndex);
    decoder = CreateDecoder(request.formatIndex);
    if (!file || !decoder) return false;
    const bool opened = request.sourceParts.empty() ? file->Open(request.sourcePath, CFile::modeRead)
                                                    : file->OpenSequence(request.sourceParts);
    if (!opened) return false;
    fileLength = file->GetLength();
    decoder->Reset();
    return true;
}

int SourceReader::Next() {
    length = 0;
    const int kind = file->ReadRecord(buffer.data(), length);
    if (length < 0 || length > kRecordBufferSize) length = 0;
    return kind;
}

unsigned SourceReader::Progress() const {
    const int64_t position = file->GetPosition();
    if (fileLength <= 0 || position <= 0) return 0;
    // Of a compressed source the length of its data is estimated from the ratio so far.
    const double ratio = file->DataPerStoredByte();
    if (ratio != 1.0) {
        const double percent = static_cast<double>(position) * 100.0 / (static_cast<double>(fileLength) * ratio);
        return percent < 100.0 ? static_cast<unsigned>(percent) : 100u;
    }
    return static_cast<unsigned>((static_cast<uint64_t>(position) * 100u) / static_cast<uint64_t>(fileLength));
}

void SourceReader::Close() {
    if (file) file->Close();
    file.reset();
    decoder.reset();
}
