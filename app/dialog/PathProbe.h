#pragma once
#include <string>

#include "platform/FileSystem.h"

// What probing one path found out (see ProbePath).
struct PathProbe {
    bool exists = false;        // the path names a file that could be opened for reading
    bool ascii = true;          // no byte of 128 or more among the file's first 1000 bytes
                                // (of the data a gzip file holds)
    std::string directory;      // the full path's folder, without a trailing "/"
    std::string title;          // the file name up to its last "." (case kept)
    std::string extension = "TXT";  // the file name after its last "." (case kept)
    // The title of the raw data a source holds, which names its outputs: the title,
    // and of a gzip name ("x.bin.gz", any case of "gz") the name before ".gz" up to
    // its last "." ("x").
    std::string rawTitle;
    double modified = 0.0;      // last modification, local time, in days since the GPS origin
    std::string problem;        // why the probe failed, for a person ("is a folder", the system's text)
};

// Number of leading bytes ProbePath inspects for the binary test.
constexpr int kProbeBytes = 1000;

// Probes path: whether it names a readable file, whether that file holds binary
// data, and its directory, title and extension. A path that does not exist yet
// probes true with exists false when a file could be created there (the test
// file is removed again). Returns false, leaving the probe at its initial values
// with directory = defaultDirectory, when the path is empty, names a directory, or
// names something that exists but cannot be read (such a file is never replaced,
// truncated or deleted), when its missing file name holds a wildcard ("*" or "?":
// a pattern such as "/data/*.RNX"), or when nothing can be created there.
bool ProbePath(const std::string& path, PathProbe& probe, const std::string& defaultDirectory);

// Directory + "/" + title, followed by "." + extension when the extension is not empty.
std::string JoinPath(const std::string& directory, const std::string& title,
                     const std::string& extension);
