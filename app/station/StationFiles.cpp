#include "app/station/StationFiles.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>

#include "platform/FileSystem.h"
#include "platform/TempFile.h"

GpsTime TimeOf(double seconds) {
    const double week = std::floor(seconds / kSecondsPerWeekD);
    return GpsTime(static_cast<uint16_t>(week), seconds - week * kSecondsPerWeekD);
}

double SecondsOf(const GpsTime& t) { return t.week * kSecondsPerWeekD + t.seconds; }

// The start of the period of length seconds that holds t (half a millisecond
// early counts as on time: satellite-dated tags plus Tx land just short of it).
int64_t PeriodStart(double t, int seconds) {
    return static_cast<int64_t>(std::floor((t + 5e-4) / seconds)) * seconds;
}

std::string Number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string CalendarText(double seconds) {
    const CalendarTime c = TimeOf(seconds).ToCalendar();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    return text;
}

// Writes text to path through a temporary file renamed over it; false on failure.
bool WriteAtomically(const std::string& path, const void* bytes, size_t count) {
    TempFile temp;
    int error = 0;
    if (!CreateTempBeside(path, temp, error)) return false;
    const auto* p = static_cast<const uint8_t*>(bytes);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = write(temp.lockFd, p + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            DiscardTemp(temp);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (!PublishTemp(temp, path, error)) {
        DiscardTemp(temp);
        return false;
    }
    return SyncFolder(FolderOf(path));
}

bool WriteAtomically(const std::string& path, const std::string& text) {
    return WriteAtomically(path, text.data(), text.size());
}

bool WriteAll(int fd, const uint8_t* p, size_t count) {
    while (count > 0) {
        const ssize_t n = write(fd, p, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        count -= static_cast<size_t>(n);
    }
    return true;
}
