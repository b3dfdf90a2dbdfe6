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
    return static_cast<unsigned>((static_cast<uint64_t>(position) * 100u) / static_cast<uint64_t>(fileLength));
}

void SourceReader::Close() {
    if (file) file->Close();
    file.reset();
    decoder.reset();
}
