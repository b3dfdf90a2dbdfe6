#include "platform/Profile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdlib.h>
#include <sstream>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string Trim(const std::string& s) {
    const char* blanks = " \t\r\n";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) return std::string();
    const size_t last = s.find_last_not_of(blanks);
    return s.substr(first, last - first + 1);
}

// The value as read from the file: trimmed, one pair of surrounding quotes removed.
std::string DecodeValue(const std::string& raw) {
    std::string v = Trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

// The value as written to the file: line breaks as blanks, quoted when reading the
// bare text back would change it.
std::string EncodeValue(const std::string& value) {
    std::string v = value;
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    const bool needsQuotes =
        !v.empty() && (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' ||
                       v.back() == '\t' || (v.size() >= 2 && v.front() == '"' && v.back() == '"'));
    return needsQuotes ? "\"" + v + "\"" : v;
}

// Names of sections and keys: line breaks, brackets and '=' would break the file.
std::string CleanName(const std::string& name) {
    std::string n = name;
    for (char& c : n)
        if (c == '\r' || c == '\n' || c == '=' || c == '[' || c == ']') c = '_';
    return Trim(n);
}

// Creates directory and its missing parents; true when it exists afterwards.
bool MakeDirectories(const std::string& directory) {
    if (directory.empty()) return true;
    struct stat st {};
    if (stat(directory.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const size_t slash = directory.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(directory.substr(0, slash)))
        return false;
    return mkdir(directory.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

Profile::Profile(std::string path) : path_(std::move(path)) { Reload(); }

bool Profile::Reload() {
    sections_.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in) return false;
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        const std::string t = Trim(line);
        if (t.empty() || t[0] == ';' || t[0] == '#') continue;
        if (t.front() == '[') {
            const size_t close = t.find(']');
            const std::string name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            current = nullptr;
            for (Section& s : sections_)
                if (SameName(s.name, name)) current = &s;
            if (!current) {
                sections_.push_back(Section{name, {}});
                current = &sections_.back();
            }
            continue;
        }
        const size_t eq = t.find('=');
        if (!current || eq == std::string::npos) continue;
        const std::string key = Trim(t.substr(0, eq));
        const std::string value = DecodeValue(t.substr(eq + 1));
        bool replaced = false;
        for (auto& kv : current->keys)
            if (SameName(kv.first, key)) {
                kv.second = value;
                replaced = true;
            }
        if (!replaced) current->keys.emplace_back(key, value);
    }
    return true;
}

const std::string* Profile::Find(const std::string& section, const std::string& key) const {
    for (const Section& s : sections_) {
        if (!SameName(s.name, section)) continue;
        for (const auto& kv : s.keys)
            if (SameName(kv.first, key)) return &kv.second;
    }
    return nullptr;
}

std::string Profile::GetString(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const {
    const std::string* v = Find(section, key);
    return v ? *v : defaultValue;
}

int Profile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
    const std::string* v = Find(section, key);
    if (!v) return defaultValue;
    const char* begin = v->c_str();
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || n < -2147483647L - 1 || n > 2147483647L) return defaultValue;
    return static_cast<int>(n);
}

bool Profile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value) {
    SetString(section, key, value);
    return Save();
}

bool Profile::WriteInt(const std::string& section, const std::string& key, int value) {
    return WriteString(section, key, std::to_string(value));
}

void Profile::SetInt(const std::string& section, const std::string& key, int value) {
    SetString(section, key, std::to_string(value));
}

void Profile::SetString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string sectionName = CleanName(section);
    const std::string keyName = CleanName(key);
    const std::string stored = DecodeValue(EncodeValue(value));
    Section* target = nullptr;
    for (Section& s : sections_)
        if (SameName(s.name, sectionName)) target = &s;
    if (!target) {
        sections_.push_back(Section{sectionName, {}});
        target = &sections_.back();
    }
    bool found = false;
    for (auto& kv : target->keys)
        if (SameName(kv.first, keyName)) {
            kv.second = stored;
            found = true;
        }
    if (!found) target->keys.emplace_back(keyName, stored);
}

bool Profile::Save() const {
    if (path_.empty()) return false;
    const size_t slash = path_.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeDirectories(path_.substr(0, slash)))
        return false;
    std::ostringstream text;
    for (const Section& s : sections_) {
        text << '[' << s.name << "]\n";
        for (const auto& kv : s.keys) text << kv.first << '=' << EncodeValue(kv.second) << '\n';
        text << '\n';
    }
    // A temporary file of its own beside the profile, renamed over it when whole.
    std::string temporary = path_ + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return false;
    const std::string bytes = text.str();
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
    const bool closed = close(fd) == 0;
    if (written != bytes.size() || !closed || std::rename(temporary.c_str(), path_.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::string Profile::DefaultPath(const std::string& programName) {
    std::string base;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] == '\0') return std::string();
        base = std::string(home) + "/.config";
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    return base + "/" + programName + ".ini";
}
