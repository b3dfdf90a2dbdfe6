#include "convert/rinex/CompactRinex.h"

#include <algorithm>
#include <charconv>

namespace {

// A difference that reaches this is not written: the arc starts again.
constexpr int64_t kDifferenceLimit = 10000000000000LL;  // 10^13

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    s = TrimRight(s);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    return s;
}

// Columns [from, from + count) of line, blank beyond its end.
std::string Columns(std::string_view line, size_t from, size_t count) {
    std::string out(count, ' ');
    if (from < line.size()) line.substr(from, count).copy(out.data(), count);
    return out;
}

int IntegerOf(std::string_view s) {
    s = Trim(s);
    int n = 0;
    std::from_chars(s.data(), s.data() + s.size(), n);
    return n;
}

// The digits of a fixed-point field as one integer ("-12.345" gives -12345).
int64_t DigitsOf(std::string_view field) {
    int64_t n = 0;
    bool negative = false;
    for (const char c : field) {
        if (c == '-') negative = true;
        if (c >= '0' && c <= '9') n = n * 10 + (c - '0');
    }
    return negative ? -n : n;
}

// The text difference of now against before: blank where a character stays, '&'
// where it turned blank, the new character elsewhere; trailing blanks dropped.
void AppendTextDifference(std::string& out, std::string_view before, std::string_view now) {
    const size_t length = std::max(before.size(), now.size());
    const size_t start = out.size();
    for (size_t i = 0; i < length; ++i) {
        const char was = i < before.size() ? before[i] : ' ';
        const char is = i < now.size() ? now[i] : ' ';
        out.push_back(is == was ? ' ' : (is == ' ' ? '&' : is));
    }
    while (out.size() > start && out.back() == ' ') out.pop_back();
}

}  // namespace

CompactRinexEncoder::CompactRinexEncoder(std::string_view program, std::string_view date)
    : program_(program), date_(date) {}

namespace {

void AppendInteger(std::string& out, int64_t n) {
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, n);
    out.append(text, r.ptr);
}

}  // namespace

void CompactRinexEncoder::Arc::Append(int64_t value, std::string& out) {
    if (count > 0) {
        std::array<int64_t, kOrder + 1> d{};
        d[0] = value;
        for (int k = 1; k <= kOrder; ++k) d[k] = d[k - 1] - last[k - 1];
        const int order = std::min(count, kOrder);
        const int64_t written = d[order];
        if (written > -kDifferenceLimit && written < kDifferenceLimit) {
            AppendInteger(out, written);
            std::copy(d.begin(), d.begin() + kOrder, last.begin());
            ++count;
            return;
        }
    }
    AppendInteger(out, kOrder);
    out += '&';
    AppendInteger(out, value);
    last[0] = value;
    count = 1;
}

void CompactRinexEncoder::Encode(std::string_view text, std::string& out) {
    pending_.append(text);
    size_t start = 0;
    for (size_t lf = pending_.find('\n'); lf != std::string::npos; lf = pending_.find('\n', start)) {
        size_t end = lf;
        if (end > start && pending_[end - 1] == '\r') --end;
        if (lineEnd_.empty()) lineEnd_ = end < lf ? "\r\n" : "\n";
        Line(std::string_view(pending_).substr(start, end - start), out);
        start = lf + 1;
    }
    pending_.erase(0, start);
}

void CompactRinexEncoder::AppendLine(std::string& out, std::string_view line) {
    out.append(line);
    out.append(lineEnd_);
}

void CompactRinexEncoder::Line(std::string_view line, std::string& out) {
    if (version_ == 0) {
        version_ = IntegerOf(line.substr(0, std::min<size_t>(line.size(), 9))) >= 3 ? 3 : 2;
        std::string vers = Columns(version_ == 3 ? "3.0" : "1.0", 0, 20) + Columns("COMPACT RINEX FORMAT", 0, 40);
        AppendLine(out, vers + "CRINEX VERS   / TYPE");
        AppendLine(out, Columns(program_, 0, 40) + Columns(date_, 0, 20) + "CRINEX PROG / DATE");
    }
    if (inHeader_) {
        AppendLine(out, line);
        HeaderLine(line);
        return;
    }
    if (specialLines_ > 0) {
        AppendLine(out, line);
        --specialLines_;
        return;
    }
    if (epochLinesLeft_ > 0) {
        // A RINEX 2 continuation line: up to 12 more satellites.
        const int listed = static_cast<int>(ids_.size());
        for (int i = 0; i < 12 && listed + i < satellites_; ++i) ids_.push_back(Columns(line, 32 + 3 * i, 3));
        if (--epochLinesLeft_ == 0 && linesLeft_ == 0) EndRecord(out);
        return;
    }
    if (linesLeft_ > 0) {
        if (version_ == 3) {
            ids_.push_back(Columns(line, 0, 3));
            fields_.emplace_back(line.size() > 3 ? line.substr(3) : std::string_view());
        } else {
            // Five fields of 16 columns to a line, each satellite on whole lines.
            const int perSatellite = std::max(1, (types2_ + 4) / 5);
            const int done = satellites_ * perSatellite - linesLeft_;
            if (done % perSatellite == 0) fields_.emplace_back();
            fields_.back() += Columns(line, 0, 80);
        }
        if (--linesLeft_ == 0) EndRecord(out);
        return;
    }
    EpochLine(line, out);
}

void CompactRinexEncoder::HeaderLine(std::string_view line) {
    const std::string_view label = TrimRight(line.size() > 60 ? line.substr(60) : std::string_view());
    if (label == "END OF HEADER") {
        inHeader_ = false;
    } else if (label == "# / TYPES OF OBSERV" && !Trim(line.substr(0, 6)).empty()) {
        types2_ = IntegerOf(line.substr(0, 6));
    } else if (label == "SYS / # / OBS TYPES") {
        if (line[0] != ' ') lastSystem_ = line[0];
        if (!Trim(line.substr(3, 3)).empty())
            types3_[static_cast<unsigned char>(lastSystem_) & 127] = IntegerOf(line.substr(3, 3));
    }
}

void CompactRinexEncoder::EpochLine(std::string_view line, std::string& out) {
    const bool v3 = version_ == 3;
    const char flag = Columns(line, v3 ? 31 : 28, 1)[0];
    const int count = IntegerOf(Columns(line, v3 ? 32 : 29, 3));
    if (flag >= '2' && flag <= '5') {
        // An event record: its line and its header lines whole; what follows starts afresh.
        std::string whole(TrimRight(line));
        if (!v3 && !whole.empty()) whole[0] = '&';
        AppendLine(out, whole);
        specialLines_ = count;
        restart_ = true;
        return;
    }
    satellites_ = std::max(0, count);
    ids_.clear();
    fields_.clear();
    if (v3) {
        epoch_ = Columns(line, 0, 41);
        clock_ = Columns(line, 41, 15);
        linesLeft_ = satellites_;
    } else {
        epoch_ = Columns(line, 0, 32);
        clock_ = Columns(line, 68, 12);
        for (int i = 0; i < 12 && i < satellites_; ++i) ids_.push_back(Columns(line, 32 + 3 * i, 3));
        epochLinesLeft_ = satellites_ > 0 ? (satellites_ - 1) / 12 : 0;
        linesLeft_ = satellites_ * std::max(1, (types2_ + 4) / 5);
    }
    if (epochLinesLeft_ == 0 && linesLeft_ == 0) EndRecord(out);
}

int CompactRinexEncoder::TypesOf(std::string_view satellite) const {
    if (version_ != 3) return types2_;
    return satellite.empty() ? 0 : types3_[static_cast<unsigned char>(satellite[0]) & 127];
}

// The epoch line as a text difference (whole at a restart) and the clock offset's
// line of the record that ends.
void CompactRinexEncoder::WriteEpochAndClock(std::string& out) {
    std::string epoch = epoch_;
    for (const std::string& id : ids_) epoch += id;
    std::string line;
    if (restart_ || lastEpoch_.empty()) {
        line = TrimRight(epoch);
        if (version_ != 3 && !line.empty()) line[0] = '&';
        clockArc_.count = 0;
        previous_.clear();
    } else {
        AppendTextDifference(line, lastEpoch_, epoch);
    }
    AppendLine(out, line);
    lastEpoch_ = std::move(epoch);
    restart_ = false;

    line.clear();
    if (Trim(clock_).empty())
        clockArc_.count = 0;
    else
        clockArc_.Append(DigitsOf(clock_), line);
    AppendLine(out, line);
}

void CompactRinexEncoder::EndRecord(std::string& out) {
    WriteEpochAndClock(out);
    std::string line;
    current_.clear();
    for (size_t i = 0; i < ids_.size(); ++i) {
        const int types = TypesOf(ids_[i]);
        auto found = std::find_if(previous_.begin(), previous_.end(),
                                  [&](const SatelliteState& s) { return s.id == ids_[i]; });
        SatelliteState state;
        if (found != previous_.end()) state = std::move(*found);
        state.id = ids_[i];
        state.arcs.resize(types);
        if (fields_.size() <= i) fields_.resize(i + 1);
        std::string& fields = fields_[i];
        fields.resize(16 * types, ' ');
        std::string flags(2 * types, ' ');
        line.clear();
        for (int t = 0; t < types; ++t) {
            const std::string_view value = std::string_view(fields).substr(16 * t, 14);
            if (Trim(value).empty())
                state.arcs[t].count = 0;
            else
                state.arcs[t].Append(DigitsOf(value), line);
            line.push_back(' ');
            flags[2 * t] = fields[16 * t + 14];
            flags[2 * t + 1] = fields[16 * t + 15];
        }
        if (found != previous_.end()) {
            AppendTextDifference(line, state.flags, flags);
        } else {
            // A satellite starting afresh has every flag written, a blank one as '&', so
            // that no reader applies them to flags it may still hold for it.
            for (const char f : flags) line.push_back(f == ' ' ? '&' : f);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        AppendLine(out, line);
        state.flags = std::move(flags);
        current_.push_back(std::move(state));
    }
    previous_.swap(current_);
}
