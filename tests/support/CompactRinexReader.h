#pragma once
// Restores a Compact RINEX file (1.0 for RINEX 2, 3.0 for RINEX 3) to the RINEX
// observation text it stands for, lines ended by CR LF and without trailing blanks.
// Written from the format's description, apart from the converter's encoder, to
// prove the encoder's output. Also: the lines of a text without trailing blanks, and
// gunzip through zlib.
#include <zlib.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace crxread {

// text with every line's trailing blanks removed and CR LF line ends.
inline std::string WithoutTrailingBlanks(std::string_view text) {
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        if (end > start && text[end - 1] == '\r') --end;
        std::string_view line = text.substr(start, end - start);
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        out.append(line);
        out.append("\r\n");
        start = next;
    }
    return out;
}

// The bytes a gzip file (one or more members) holds; false when it is not whole.
inline bool Gunzip(const std::string& gz, std::string& out) {
    out.clear();
    z_stream z{};
    if (inflateInit2(&z, 16 + 15) != Z_OK) return false;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gz.data()));
    z.avail_in = static_cast<uInt>(gz.size());
    char buffer[1 << 15];
    bool ok = !gz.empty();
    while (ok) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        const int status = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
        if (status == Z_STREAM_END) {
            if (z.avail_in == 0) break;
            inflateReset(&z);  // the next member
        } else if (status != Z_OK) {
            ok = false;
        }
    }
    inflateEnd(&z);
    return ok;
}

class Reader {
public:
    // The restored text; false with error set ("line N: ...") on a malformed file.
    bool Restore(std::string_view crx, std::string& out, std::string& error) {
        out.clear();
        size_t at = 0;
        int number = 0;
        std::vector<std::string_view> lines;
        while (at < crx.size()) {
            size_t end = crx.find('\n', at);
            const size_t next = end == std::string_view::npos ? crx.size() : end + 1;
            if (end == std::string_view::npos) end = crx.size();
            if (end > at && crx[end - 1] == '\r') --end;
            lines.push_back(crx.substr(at, end - at));
            at = next;
        }
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(number) + ": " + why;
            return false;
        };
        auto next = [&](std::string_view& line) {
            if (static_cast<size_t>(number) >= lines.size()) return false;
            line = lines[number++];
            return true;
        };
        std::string_view line;
        if (!next(line) || Label(line) != "CRINEX VERS   / TYPE") return fail("no CRINEX VERS / TYPE");
        const std::string vers(Trim(line.substr(0, 20)));
        if (vers != "1.0" && vers != "3.0") return fail("Compact RINEX version " + vers);
        three_ = vers == "3.0";
        if (!next(line) || Label(line) != "CRINEX PROG / DATE") return fail("no CRINEX PROG / DATE");
        // The header, as it is.
        char system = ' ';
        for (;;) {
            if (!next(line)) return fail("no END OF HEADER");
            Emit(out, line);
            const std::string_view label = Label(line);
            if (label == "END OF HEADER") break;
            if (label == "# / TYPES OF OBSERV" && !Trim(line.substr(0, 6)).empty())
                types_[' '] = std::stoi(std::string(line.substr(0, 6)));
            if (label == "SYS / # / OBS TYPES") {
                if (line[0] != ' ') system = line[0];
                types_[system] = std::stoi(std::string(line.substr(3, 3)));
            }
        }
        std::string epoch;
        std::map<std::string, Satellite> last;
        Value clock;
        while (next(line)) {
            std::string text;
            const bool fresh = !line.empty() && line[0] == (three_ ? '>' : '&');
            if (fresh) {
                text = line;
                if (!three_) text[0] = ' ';
            } else {
                if (epoch.empty()) return fail("a difference with no epoch line before");
                text = Apply(epoch, line);
            }
            const size_t flagAt = three_ ? 31 : 28;
            const char flag = text.size() > flagAt ? text[flagAt] : ' ';
            const int count = Number(text, flagAt + 1, 3);
            if (flag >= '2' && flag <= '5') {
                if (!fresh) return fail("an event record as a difference");
                Emit(out, text);
                for (int i = 0; i < count; ++i) {
                    if (!next(line)) return fail("event record cut short");
                    Emit(out, line);
                }
                continue;
            }
            epoch = text;
            // The clock offset line.
            if (!next(line)) return fail("no clock offset line");
            bool hasClock = !line.empty();
            int64_t clockValue = 0;
            if (hasClock && !clock.Take(line, clockValue)) return fail("clock offset \"" + std::string(line) + "\"");
            if (!hasClock) clock = Value();
            const size_t listAt = three_ ? 41 : 32;
            std::vector<std::string> ids;
            for (int i = 0; i < count; ++i) ids.push_back(Padded(epoch, listAt + 3 * i, 3));
            // The epoch line (and RINEX 2 continuation lines of 12 satellites).
            std::string head = Padded(epoch, 0, three_ ? 35 : 32);
            if (three_) {
                if (hasClock) head += "      " + Fixed(clockValue, 15, 12);
                Emit(out, head);
            } else {
                for (int i = 0; i < count && i < 12; ++i) head += ids[i];
                head.resize(68, ' ');
                if (hasClock) head += Fixed(clockValue, 12, 9);
                Emit(out, head);
                for (int first = 12; first < count; first += 12) {
                    std::string more(32, ' ');
                    for (int i = first; i < count && i < first + 12; ++i) more += ids[i];
                    Emit(out, more);
                }
            }
            std::map<std::string, Satellite> now;
            for (const std::string& id : ids) {
                if (!next(line)) return fail("satellite " + id + " missing");
                const int types = types_[three_ ? id[0] : ' '];
                Satellite sat;
                auto before = last.find(id);
                if (before != last.end()) sat = before->second;
                sat.values.resize(types);
                // types fields, each followed by one blank, then the flags' difference.
                size_t pos = 0;
                std::string fields = three_ ? id : std::string();
                std::vector<std::string> texts(types);
                for (int t = 0; t < types; ++t) {
                    size_t blank = pos <= line.size() ? line.find(' ', pos) : std::string_view::npos;
                    if (blank == std::string_view::npos) blank = line.size();
                    const std::string_view item = pos < line.size() ? line.substr(pos, blank - pos) : std::string_view();
                    pos = blank + 1;
                    if (item.empty()) {
                        sat.values[t] = Value();
                        texts[t] = std::string(14, ' ');
                        continue;
                    }
                    int64_t v = 0;
                    if (!sat.values[t].Take(item, v)) return fail("observation \"" + std::string(item) + "\"");
                    texts[t] = Fixed(v, 14, 3);
                }
                const std::string_view flagDiff = pos < line.size() ? line.substr(pos) : std::string_view();
                sat.flags = Apply(sat.flags, flagDiff);
                sat.flags.resize(2 * types, ' ');
                for (int t = 0; t < types; ++t) {
                    if (!three_ && t > 0 && t % 5 == 0) {
                        Emit(out, fields);
                        fields.clear();
                    }
                    fields += texts[t] + sat.flags.substr(2 * t, 2);
                }
                Emit(out, fields);
                now[id] = sat;
            }
            last.swap(now);
        }
        return true;
    }

private:
    // One observable along its arc: the last value and its differences.
    struct Value {
        int order = 0;  // 0: no arc
        int count = 0;
        std::vector<int64_t> last;
        // Reads "m&value" (a new arc of order m) or a difference; false when
        // malformed or a difference comes with no arc.
        bool Take(std::string_view item, int64_t& value) {
            const size_t amp = item.find('&');
            if (amp != std::string_view::npos) {
                order = static_cast<int>(Integer(item.substr(0, amp)));
                if (order < 1 || amp + 1 >= item.size()) return false;
                value = Integer(item.substr(amp + 1));
                last.assign(order, 0);
                last[0] = value;
                count = 1;
                return true;
            }
            if (order == 0 || item.empty()) return false;
            const int m = count < order ? count : order;
            std::vector<int64_t> d(m + 1);
            d[m] = Integer(item);
            for (int j = m - 1; j >= 0; --j) d[j] = d[j + 1] + last[j];
            for (int j = 0; j <= m && j < order; ++j) last[j] = d[j];
            value = d[0];
            ++count;
            return true;
        }
    };
    struct Satellite {
        std::vector<Value> values;
        std::string flags;
    };

    static int64_t Integer(std::string_view s) {
        int64_t n = 0;
        bool minus = false;
        for (char c : s) {
            if (c == '-') minus = true;
            else n = n * 10 + (c - '0');
        }
        return minus ? -n : n;
    }
    static std::string_view Trim(std::string_view s) {
        while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
        while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
        return s;
    }
    static std::string_view Label(std::string_view line) {
        std::string_view label = line.size() > 60 ? line.substr(60) : std::string_view();
        while (!label.empty() && label.back() == ' ') label.remove_suffix(1);
        return label;
    }
    static std::string Padded(const std::string& s, size_t from, size_t count) {
        std::string out = from < s.size() ? s.substr(from, count) : std::string();
        out.resize(count, ' ');
        return out;
    }
    static int Number(const std::string& s, size_t from, size_t count) {
        const std::string field = Padded(s, from, count);
        const std::string_view t = Trim(field);
        return t.empty() ? 0 : static_cast<int>(Integer(t));
    }
    // old changed by a text difference: blank keeps, '&' blanks, others replace.
    static std::string Apply(std::string old, std::string_view diff) {
        if (old.size() < diff.size()) old.resize(diff.size(), ' ');
        for (size_t i = 0; i < diff.size(); ++i)
            if (diff[i] == '&') old[i] = ' ';
            else if (diff[i] != ' ') old[i] = diff[i];
        return old;
    }
    // An integer of digits as a fixed-point field with decimals places.
    static std::string Fixed(int64_t v, int width, int decimals) {
        const bool minus = v < 0;
        std::string digits = std::to_string(minus ? -v : v);
        if (static_cast<int>(digits.size()) <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
        digits.insert(digits.size() - decimals, ".");
        if (minus) digits.insert(0, "-");
        if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), ' ');
        return digits;
    }
    static void Emit(std::string& out, std::string_view line) {
        while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
        out.append(line);
        out.append("\r\n");
    }

    bool three_ = false;
    std::map<char, int> types_;
};

}  // namespace crxread
