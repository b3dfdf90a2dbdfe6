#pragma once
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <string>

// The operating system's file-system services the application needs, beside the
// files themselves (platform/File.h). Failures are return values with the
// system's error number.

// The system's text for an error number (for example "No space left on device"),
// or the text of CFile::kErrorDamagedGzip.
std::string ErrorText(int error);

// What is at a path, without following a final symbolic link.
enum class PathKind {
    Missing,    // nothing (or the path cannot be looked at: error says why)
    File,       // a regular file, or a link to one
    Directory,  // a folder, or a link to one
    Other,      // anything else: a device, a pipe, a dangling link, ...
};
// The kind of what path names; error receives the system's error number when
// the path cannot be looked at (0 otherwise).
PathKind KindOfPath(const std::string& path, int* error = nullptr);
// True when path itself is a symbolic link (whatever it points to).
bool IsSymbolicLink(const std::string& path);

// What identifies the content of a file between two looks at it: the file on
// disk, its length and its last modification (nanoseconds since 1970).
struct FileStamp {
    unsigned long long device = 0, inode = 0;
    long long size = -1;
    long long modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
// The stamp of the file at path (links followed); false with error set when it
// cannot be looked at.
bool StampOfFile(const std::string& path, FileStamp& stamp, int& error);

// Reads up to size leading bytes of the regular file at path into buffer (of the
// data a gzip file holds, as CFile reads it); count
// receives the number read and modified its last-modification time (seconds since
// 1970). False, with error set, when it cannot be opened.
bool ReadFileHead(const std::string& path, unsigned char* buffer, size_t size, size_t& count,
                  std::time_t& modified, int& error);

// Creates a new empty file at path, failing (error set) when anything is there
// already: a file made this way is the caller's to remove.
bool CreateNewFile(const std::string& path, int& error);

// Removes the file at path; false when it could not be removed.
bool RemoveFile(const std::string& path);

// The absolute, lexically normalised form of path ("." and ".." folded), relative
// paths taken from the current directory. Case is kept.
std::string FullPath(const std::string& path);

// True when the two paths name the same file: equal without regard to the case of
// the letters a to z (the file may sit on a file system that ignores case), equal
// once made absolute and normalised, or both existing and one file on disk.
bool SameFile(const std::string& a, const std::string& b);


// True when stream is connected to a terminal (a person may be reading or typing).
bool IsTerminal(std::FILE* stream);

// The running program's full path, or an empty text when it is unknown.
std::string ExecutablePath();
// The process's current directory (empty when it cannot be read).
std::string WorkingDirectory();
// The user's home folder: $HOME when it is absolute, else the password database's
// entry for the user (empty when neither gives one).
std::string UserHomeDirectory();
