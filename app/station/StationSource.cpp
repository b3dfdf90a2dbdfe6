#include "app/station/StationSource.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/FileSystem.h"
#include "platform/StopSignal.h"

namespace {

constexpr int kFirstBackOffMs = 1000;
constexpr int kLongestBackOffMs = 30000;
// A followed file is looked at again after this long at its end.
constexpr int kFollowPollMs = 200;

// Sleeps ms milliseconds, or less when a stop signal comes.
void Pause(int ms) {
    while (ms > 0 && StopSignalReceived() == 0) {
        const int step = std::min(ms, 100);
        poll(nullptr, 0, step);
        ms -= step;
    }
}

// Waits up to timeoutMs for fd to be readable and reads; >0 bytes, 0 nothing yet,
// -1 the end of the stream, -2 an error (errno set).
long PollRead(int fd, uint8_t* buffer, size_t count, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, timeoutMs);
    if (ready < 0) return errno == EINTR ? 0 : -2;
    if (ready == 0) return 0;
    const ssize_t n = read(fd, buffer, count);
    if (n > 0) return n;
    if (n == 0) return -1;
    return errno == EINTR || errno == EAGAIN ? 0 : -2;
}

// A source that is opened, read until it fails, and opened again after a back-off
// that doubles up to 30 s and starts afresh once bytes came.
class ReconnectingSource : public StationSource {
public:
    long Read(uint8_t* buffer, size_t count, int timeoutMs) override {
        if (fd_ < 0) {
            if (backOffMs_ > 0) Pause(backOffMs_);
            std::string error;
            fd_ = Connect(error);
            if (fd_ < 0) {
                Fail(error + "; retrying in " + std::to_string(NextBackOff() / 1000) + " s");
                return 0;
            }
            restarted_ = true;
            state_ = "connected";
        }
        const long n = PollRead(fd_, buffer, count, timeoutMs);
        if (n > 0) {
            backOffMs_ = 0;
            state_ = "receiving";
            return n;
        }
        if (n == 0) return 0;
        const std::string reason = n == -1 ? "closed by the other end" : ErrorText(errno);
        close(fd_);
        fd_ = -1;
        Fail(Name() + ": " + reason + "; reconnecting in " + std::to_string(NextBackOff() / 1000) + " s");
        return 0;
    }
    ~ReconnectingSource() override {
        if (fd_ >= 0) close(fd_);
    }

protected:
    virtual int Connect(std::string& error) = 0;
    virtual std::string Name() const = 0;

private:
    int NextBackOff() {
        backOffMs_ = backOffMs_ == 0 ? kFirstBackOffMs : std::min(backOffMs_ * 2, kLongestBackOffMs);
        return backOffMs_;
    }
    int fd_ = -1;
    int backOffMs_ = 0;
};

class TcpSource : public ReconnectingSource {
public:
    TcpSource(std::string host, std::string port) : host_(std::move(host)), port_(std::move(port)) {}

protected:
    std::string Name() const override { return "tcp:" + host_ + ":" + port_; }
    int Connect(std::string& error) override {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (const int e = getaddrinfo(host_.c_str(), port_.c_str(), &hints, &found); e != 0) {
            error = Name() + ": " + gai_strerror(e);
            return -1;
        }
        int fd = -1;
        int lastError = 0;
        for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
            fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
            if (fd < 0) continue;
            int err = connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
            if (err == EINPROGRESS) {
                // At most 10 s for the other end to answer.
                pollfd p{fd, POLLOUT, 0};
                err = ETIMEDOUT;
                socklen_t len = sizeof err;
                if (poll(&p, 1, 10000) == 1) getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len);
            }
            if (err != 0) {
                lastError = err;
                close(fd);
                fd = -1;
            }
        }
        freeaddrinfo(found);
        if (fd < 0) error = Name() + ": " + ErrorText(lastError);
        return fd;
    }

private:
    std::string host_, port_;
};

speed_t BaudConstant(int baud) {
    switch (baud) {
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        case 460800: return B460800;
        case 921600: return B921600;
        default: return B0;
    }
}

class SerialSource : public ReconnectingSource {
public:
    SerialSource(std::string device, speed_t speed) : device_(std::move(device)), speed_(speed) {}

protected:
    std::string Name() const override { return "serial:" + device_; }
    int Connect(std::string& error) override {
        const int fd = open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            error = Name() + ": " + ErrorText(errno);
            return -1;
        }
        termios t{};
        if (tcgetattr(fd, &t) == 0) {
            cfmakeraw(&t);
            t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
            t.c_cflag |= CS8 | CLOCAL | CREAD;
            cfsetispeed(&t, speed_);
            cfsetospeed(&t, speed_);
            if (tcsetattr(fd, TCSANOW, &t) != 0) {
                error = Name() + ": " + ErrorText(errno);
                close(fd);
                return -1;
            }
        }
        return fd;
    }

private:
    std::string device_;
    speed_t speed_;
};

class StdinSource : public StationSource {
public:
    long Read(uint8_t* buffer, size_t count, int timeoutMs) override {
        const long n = PollRead(STDIN_FILENO, buffer, count, timeoutMs);
        if (n > 0) state_ = "receiving";
        if (n == -2) {
            Fail(std::string("standard input: ") + ErrorText(errno));
            return -1;
        }
        return n;
    }
};

// A file another program appends to: read to its end, then looked at again every
// 200 ms; a new file under the name (rotation) is read from its start once the old
// one is read to its end, a file cut shorter than what was read from its start.
class FollowedFile : public StationSource {
public:
    explicit FollowedFile(std::string path) : path_(std::move(path)) {}
    ~FollowedFile() override {
        if (fd_ >= 0) close(fd_);
    }

    long Read(uint8_t* buffer, size_t count, int timeoutMs) override {
        if (fd_ < 0 && !OpenFile()) {
            Pause(std::min(timeoutMs, 1000));
            return 0;
        }
        const ssize_t n = read(fd_, buffer, count);
        if (n > 0) {
            place_.offset += n;
            state_ = "receiving";
            return n;
        }
        if (n < 0 && errno != EINTR) Fail(path_ + ": " + ErrorText(errno));
        struct stat now {};
        if (stat(path_.c_str(), &now) == 0 &&
            (static_cast<uint64_t>(now.st_ino) != place_.inode || static_cast<uint64_t>(now.st_dev) != place_.device ||
             now.st_size < place_.offset)) {
            // What the writer added before it moved to the new file comes first.
            const ssize_t rest = read(fd_, buffer, count);
            if (rest > 0) {
                place_.offset += rest;
                return rest;
            }
            close(fd_);
            fd_ = -1;
            resume_ = FilePlace{};
            return 0;
        }
        state_ = "waiting";
        Pause(std::min(timeoutMs, kFollowPollMs));
        return 0;
    }
    bool StreamStart(FilePlace& place) const override {
        place = start_;
        return true;
    }
    void ResumeAt(const FilePlace& place) override { resume_ = place; }

private:
    bool OpenFile() {
        // After a restart the file read before may have been rotated to PATH.1
        // meanwhile: its rest comes first.
        for (const std::string& candidate : {path_ + ".1", path_}) {
            if (candidate != path_ && resume_.inode == 0) continue;
            fd_ = open(candidate.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd_ < 0) continue;
            struct stat st {};
            fstat(fd_, &st);
            place_ = FilePlace{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), 0};
            const bool same = resume_.inode == place_.inode && resume_.device == place_.device &&
                              resume_.offset <= st.st_size;
            if (same && lseek(fd_, resume_.offset, SEEK_SET) == resume_.offset) {
                place_.offset = resume_.offset;
            } else if (candidate != path_) {
                close(fd_);
                fd_ = -1;
                continue;
            }
            start_ = place_;
            restarted_ = true;
            return true;
        }
        if (errno != ENOENT || error_.empty()) Fail(path_ + ": " + ErrorText(errno) + "; waiting for it");
        return false;
    }

    std::string path_;
    int fd_ = -1;
    FilePlace place_;   // the next byte to read
    FilePlace start_;   // where reading began after the last restart
    FilePlace resume_;
};

}  // namespace

std::unique_ptr<StationSource> MakeStationSource(const std::string& address, std::string& error) {
    if (address == "-") return std::make_unique<StdinSource>();
    if (address.rfind("tcp:", 0) == 0) {
        const std::string rest = address.substr(4);
        const size_t colon = rest.rfind(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == rest.size()) {
            error = "\"" + address + "\" is not tcp:HOST:PORT";
            return nullptr;
        }
        return std::make_unique<TcpSource>(rest.substr(0, colon), rest.substr(colon + 1));
    }
    if (address.rfind("serial:", 0) == 0) {
        std::string device = address.substr(7);
        int baud = 115200;
        if (const size_t colon = device.rfind(':'); colon != std::string::npos) {
            baud = std::atoi(device.c_str() + colon + 1);
            device.resize(colon);
        }
        const speed_t speed = BaudConstant(baud);
        if (device.empty() || speed == B0) {
            error = "\"" + address + "\" is not serial:DEVICE[:BAUD] with a standard baud rate";
            return nullptr;
        }
        return std::make_unique<SerialSource>(device, speed);
    }
    return std::make_unique<FollowedFile>(address);
}
