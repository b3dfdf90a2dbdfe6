#include "tools/rawsim/Stream.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include "rawdata/Decoder.h"
#include "rawdata/RecordStream.h"

namespace {

struct TimedRecord {
    std::vector<uint8_t> bytes;
    double time = 0;  // GPS seconds of the epoch it goes with
};

bool ReadRecords(const StreamRequest& r, std::vector<TimedRecord>& out, std::string& error) {
    std::ifstream in(r.input, std::ios::binary);
    if (!in) {
        error = r.input + ": cannot be read";
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    RecordStream stream(r.formatIndex);
    stream.Feed(bytes.data(), bytes.size());
    const auto decoder = CreateDecoder(r.formatIndex);
    uint16_t week = 0;
    double last = -1;
    std::vector<uint8_t> record;
    for (int kind; (kind = stream.Next(record)) != kRecordEnd;) {
        if (kind == kRecordReceiverDated || kind == kRecordSatelliteDated) {
            std::vector<uint8_t> copy(record);
            copy.push_back(0);
            ObservationEpoch epoch;
            if (decoder->DecodeObservation(copy.data(), static_cast<int>(record.size()), epoch, week))
                last = epoch.time.week * 604800.0 + epoch.time.seconds;
        }
        out.push_back({record, last});
    }
    // The records before the first epoch go with it.
    double first = -1;
    for (const auto& t : out)
        if (t.time >= 0) {
            first = t.time;
            break;
        }
    for (auto& t : out)
        if (t.time < 0) t.time = first;
    if (out.empty()) {
        error = r.input + ": no records";
        return false;
    }
    return true;
}

bool WriteAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t k = write(fd, p, n);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        p += k;
        n -= static_cast<size_t>(k);
    }
    return true;
}

bool SendAll(int fd, const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t k = send(fd, p, n, MSG_NOSIGNAL);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        p += k;
        n -= static_cast<size_t>(k);
    }
    return true;
}

void WriteReady(const std::string& path, const std::string& text) {
    if (path.empty()) return;
    const std::string temp = path + ".tmp";
    std::ofstream(temp) << text << "\n";
    std::rename(temp.c_str(), path.c_str());
}

// The index of the first record at or after stream time t.
size_t IndexAt(const std::vector<TimedRecord>& records, double t) {
    size_t i = 0;
    while (i < records.size() && records[i].time < t) ++i;
    return i;
}

// Paces the records: each one waits until its time from the first, divided by
// the speed, has passed (plus the pauses before it).
class Pacer {
public:
    Pacer(const StreamRequest& r, double first) : r_(r), first_(first), start_(Clock::now()) {}
    void Wait(double t) {
        while (nextPause_ < r_.pauses.size() && t - first_ >= r_.pauses[nextPause_].first) {
            std::this_thread::sleep_for(std::chrono::duration<double>(r_.pauses[nextPause_].second));
            paused_ += r_.pauses[nextPause_].second;
            ++nextPause_;
        }
        if (r_.speed <= 0) return;
        const auto due = start_ + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>((t - first_) / r_.speed + paused_ + shifted_));
        std::this_thread::sleep_until(due);
    }
    // A resend goes back in stream time without waiting for it again.
    void Shift(double streamSeconds) {
        if (r_.speed > 0) shifted_ += streamSeconds / r_.speed;
    }

private:
    using Clock = std::chrono::steady_clock;
    const StreamRequest& r_;
    double first_;
    Clock::time_point start_;
    size_t nextPause_ = 0;
    double paused_ = 0, shifted_ = 0;
};

// Sends records over fd from index i on; returns the index it stopped at (the
// end, or the record where the connection was cut or lost); cut tells which.
size_t SendFrom(int fd, bool socket, const std::vector<TimedRecord>& records, size_t i, Pacer& pacer,
                const StreamRequest& r, bool& cut) {
    cut = false;
    const double began = records[i < records.size() ? i : 0].time;
    while (i < records.size()) {
        const double t = records[i].time;
        pacer.Wait(t);
        if (r.cutEvery > 0 && t - began >= r.cutEvery) {
            // Half a record, then the cut.
            const auto& b = records[i].bytes;
            if (socket) SendAll(fd, b.data(), b.size() / 2);
            cut = true;
            return i;
        }
        // Every record of one epoch time in one write, as a receiver sends them.
        std::vector<uint8_t> batch;
        size_t j = i;
        while (j < records.size() && records[j].time == t) {
            batch.insert(batch.end(), records[j].bytes.begin(), records[j].bytes.end());
            ++j;
        }
        if (!(socket ? SendAll(fd, batch.data(), batch.size()) : WriteAll(fd, batch.data(), batch.size()))) return i;
        i = j;
    }
    return i;
}

bool StreamTcp(const StreamRequest& r, const std::vector<TimedRecord>& records, std::string& error,
               const std::function<void(const std::string&)>& note) {
    const int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(r.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (server < 0 || bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(server, 1) != 0) {
        error = "tcp port " + std::to_string(r.port) + ": " + std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof address;
    getsockname(server, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);
    note("listening on 127.0.0.1:" + std::to_string(port));
    WriteReady(r.readyFile, std::to_string(port));
    Pacer pacer(r, records.front().time);
    size_t i = 0;
    while (i < records.size()) {
        const int client = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR) continue;
            error = std::string("accept: ") + std::strerror(errno);
            close(server);
            return false;
        }
        note("connected at record " + std::to_string(i));
        bool cut = false;
        const size_t stopped = SendFrom(client, true, records, i, pacer, r, cut);
        if (stopped >= records.size()) {
            std::this_thread::sleep_for(std::chrono::duration<double>(r.linger));
            close(client);
            break;
        }
        close(client);
        note(std::string(cut ? "cut" : "connection lost") + " at record " + std::to_string(stopped));
        // Sent again from resend seconds before.
        const double back = records[stopped].time - r.resend;
        i = IndexAt(records, back);
        pacer.Shift(records[stopped].time - records[i].time);
        if (cut && i == 0 && stopped == 0) break;  // a cut before anything: nothing would ever pass
    }
    close(server);
    return true;
}

bool StreamPty(const StreamRequest& r, const std::vector<TimedRecord>& records, std::string& error,
               const std::function<void(const std::string&)>& note) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = std::string("pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    const std::string name = ptsname(master);
    // The terminal's line discipline made transparent, and held open so that what
    // is written waits for the reader instead of being lost between its opens.
    const int slave = open(name.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    if (slave >= 0 && tcgetattr(slave, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
    }
    if (!r.path.empty()) {
        unlink(r.path.c_str());
        if (symlink(name.c_str(), r.path.c_str()) != 0) {
            error = r.path + ": " + std::strerror(errno);
            return false;
        }
    }
    note("terminal " + name);
    WriteReady(r.readyFile, name);
    Pacer pacer(r, records.front().time);
    bool cut = false;
    SendFrom(master, false, records, 0, pacer, r, cut);
    // Waits for the reader to take what is buffered, then lingers.
    for (int waited = 0; waited < 600; ++waited) {
        int queued = 0;
        if (ioctl(slave, FIONREAD, &queued) != 0 || queued == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(r.linger));
    if (!r.path.empty()) unlink(r.path.c_str());
    close(slave);
    close(master);
    return true;
}

bool StreamFile(const StreamRequest& r, const std::vector<TimedRecord>& records, std::string& error,
                const std::function<void(const std::string&)>& note) {
    Pacer pacer(r, records.front().time);
    size_t i = 0;
    while (i < records.size()) {
        const int fd = open(r.path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = r.path + ": " + std::strerror(errno);
            return false;
        }
        bool cut = false;
        i = SendFrom(fd, false, records, i, pacer, r, cut);
        close(fd);
        if (!cut) break;
        // The logger's rotation: the file moves aside and a new one begins.
        std::rename(r.path.c_str(), (r.path + ".1").c_str());
        note("rotated at record " + std::to_string(i));
    }
    return true;
}

}  // namespace

bool RunStream(const StreamRequest& request, std::string& error,
               const std::function<void(const std::string&)>& note) {
    std::vector<TimedRecord> records;
    if (!ReadRecords(request, records, error)) return false;
    switch (request.target) {
        case StreamRequest::Target::Tcp: return StreamTcp(request, records, error, note);
        case StreamRequest::Target::Pty: return StreamPty(request, records, error, note);
        case StreamRequest::Target::File: return StreamFile(request, records, error, note);
        case StreamRequest::Target::Stdout: {
            Pacer pacer(request, records.front().time);
            bool cut = false;
            SendFrom(STDOUT_FILENO, false, records, 0, pacer, request, cut);
            return true;
        }
    }
    return true;
}
