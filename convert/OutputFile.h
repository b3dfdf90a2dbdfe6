#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/File.h"

// A RINEX output file of a pass. Every write, seek and the close are checked; the
// first failure is kept with the system's error number, and nothing more is
// written after it.
class OutputFile {
public:
    // Creates (or truncates) writePath with file (a plain CFile when null) to write
    // the content of the output path (writePath empty: path itself); false when it
    // cannot be created.
    bool Open(const std::string& path, std::unique_ptr<CFile> file, const std::string& writePath = "");
    // Writes text whole; false once anything failed.
    bool Write(const std::string& text);
    // Moves to offset bytes from the start; false once anything failed.
    bool Seek(int64_t offset);
    // The write position, bytes from the start.
    int64_t Position() const { return file_ ? file_->GetPosition() : 0; }
    // Flushes and closes; false when this or anything before it failed.
    bool Close();
    // Closes the file and removes what was written from the disk.
    void Discard();

    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }
    // The output's path (not the temporary one it may be written to).
    const std::string& Path() const { return path_; }

private:
    bool Check(bool ok);

    std::unique_ptr<CFile> file_;
    std::string path_;
    std::string writePath_;
    int error_ = 0;
};
