#include "convert/StagedOutputs.h"

#include <cerrno>

#include "platform/FileSystem.h"

StagedOutputs::~StagedOutputs() {
    Discard();
    for (OutputLock& lock : locks_) UnlockOutput(lock);
}

bool StagedOutputs::Lock(const std::vector<std::string>& paths, std::string& failedPath, std::string& reason) {
    for (const std::string& path : paths) {
        OutputLock lock;
        int error = 0;
        long holder = 0;
        if (!LockOutput(path, lock, error, holder)) {
            if (error != EWOULDBLOCK) continue;  // nothing can be written there: opening it says why
            failedPath = path;
            reason = error == EWOULDBLOCK ? "being written by another run" +
                                                (holder > 0 ? " (process " + std::to_string(holder) + ")" : std::string())
                                          : ErrorText(error);
            return false;
        }
        locks_.push_back(lock);
    }
    return true;
}

std::string StagedOutputs::Stage(const std::string& finalPath, int& error, bool last) {
    const std::string folder = FolderOf(finalPath);
    if (cleaned_.insert(folder).second) RemoveStaleTemps(folder);
    Entry entry{finalPath, {}, last};
    if (!CreateTempBeside(finalPath, entry.temp, error)) return {};
    entries_.push_back(std::move(entry));
    return entries_.back().temp.path;
}

std::string StagedOutputs::StageGroup(const std::string& finalPrefix, const std::vector<std::string>& suffixes,
                                      int& error) {
    const std::string folder = FolderOf(finalPrefix);
    if (cleaned_.insert(folder).second) RemoveStaleTemps(folder);
    const unsigned number = NewTempNumber();
    for (const std::string& suffix : suffixes) {
        Entry entry{finalPrefix + suffix, {}, false};
        if (!CreateTempNumbered(entry.finalPath, number, entry.temp, error)) return {};
        entries_.push_back(std::move(entry));
    }
    return TempPathOf(finalPrefix, number);
}

bool StagedOutputs::Publish(std::string& failedPath, int& error) {
    std::set<std::string> folders;
    for (const bool last : {false, true})
        for (Entry& e : entries_) {
            if (e.last != last || e.temp.path.empty()) continue;
            if (!PublishTemp(e.temp, e.finalPath, error)) {
                failedPath = e.finalPath;
                return false;
            }
            folders.insert(FolderOf(e.finalPath));
        }
    // The renames themselves survive a power cut.
    for (const std::string& folder : folders) SyncFolder(folder);
    entries_.clear();
    return true;
}

void StagedOutputs::Discard() {
    for (Entry& e : entries_) DiscardTemp(e.temp);
    entries_.clear();
}
