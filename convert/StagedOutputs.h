#pragma once
#include <set>
#include <string>
#include <vector>

#include "platform/TempFile.h"

// The files of one run written under temporary names beside their final names
// and published together only when all of them are whole: until then (and for
// ever after a failure, a cancel or a stop signal) the files under the final names
// are those of before. What is not published is removed when this ends.
class StagedOutputs {
public:
    StagedOutputs() = default;
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;
    ~StagedOutputs();

    // Takes the lock of every path for as long as this lives, so that no other run
    // writes them meanwhile; false at the first held by another run, with
    // failedPath and reason set ("being written by another run (process N)"). A
    // path whose folder takes no lock file is left to fail when it is opened.
    bool Lock(const std::vector<std::string>& paths, std::string& failedPath, std::string& reason);

    // The temporary path to write finalPath's content to (temporary files left in
    // its folder by killed runs are removed first); empty with error set when it
    // cannot be created. A file staged with last is published after the others.
    std::string Stage(const std::string& finalPath, int& error, bool last = false);
    // Stages finalPrefix + each suffix under temporary names that share one prefix,
    // returned for whoever writes them (they are to be written as that prefix +
    // suffix); empty with error set when one cannot be created.
    std::string StageGroup(const std::string& finalPrefix, const std::vector<std::string>& suffixes, int& error);
    // Flushes every staged file to the disk and renames it over its final name,
    // those staged with last at the end. False with failedPath and error set at the
    // first that fails (it and the rest stay unpublished).
    bool Publish(std::string& failedPath, int& error);
    // Removes every staged file not published yet.
    void Discard();

private:
    struct Entry {
        std::string finalPath;
        TempFile temp;
        bool last = false;
    };
    std::vector<Entry> entries_;
    std::vector<OutputLock> locks_;
    std::set<std::string> cleaned_;  // folders whose stale temporary files were removed
};
