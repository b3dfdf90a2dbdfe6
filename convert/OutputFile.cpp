#include "convert/OutputFile.h"

#include <cerrno>

#include "platform/FileSystem.h"

bool OutputFile::Check(bool ok) {
    if (!ok && error_ == 0) error_ = file_ && file_->Error() != 0 ? file_->Error() : EIO;
    return ok;
}

bool OutputFile::Open(const std::string& path, std::unique_ptr<CFile> file, const std::string& writePath) {
    file_ = file ? std::move(file) : std::make_unique<CFile>();
    path_ = path;
    writePath_ = writePath.empty() ? path : writePath;
    error_ = 0;
    return Check(file_->Open(writePath_, CFile::modeWrite));
}

bool OutputFile::Write(const std::string& text) {
    if (error_ != 0 || !file_) return false;
    return text.empty() || Check(file_->Write(text.data(), text.size()));
}

bool OutputFile::Seek(int64_t offset) {
    if (error_ != 0 || !file_) return false;
    return Check(file_->Seek(offset));
}

bool OutputFile::Close() {
    if (!file_) return error_ == 0;
    // Output still in the buffer is written now: its failure is the file's too.
    if (file_->IsOpen() && error_ == 0) Check(file_->Flush());
    const bool closed = file_->Close();
    if (error_ == 0) Check(closed);
    return error_ == 0;
}

void OutputFile::Discard() {
    if (file_) file_->Close();
    if (!writePath_.empty()) RemoveFile(writePath_);
}
