#pragma once
#include <string>
#include <vector>

#include "convert/ConversionRequest.h"
#include "platform/FileSystem.h"

// The sources of a conversion as the read pass found them: every pass reads them
// as they were then, or the conversion fails.
struct SourceStamps {
    std::vector<std::string> paths;  // the source, or every piece of a splice
    std::vector<FileStamp> stamps;
};

// Takes the stamps of the sources of request; false with path and reason set when
// one cannot be looked at or is no regular file (a FIFO or device never ends).
bool StampSources(const ConversionRequest& request, SourceStamps& sources, std::string& path, std::string& reason);

// Checks that every source still has its stamp; false with path and reason set
// ("changed while it was read") when one was appended to, cut, rewritten or replaced.
bool SourcesUnchanged(const SourceStamps& sources, std::string& path, std::string& reason);
