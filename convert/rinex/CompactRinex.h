#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Compact RINEX: an observation file's text made smaller and restorable exactly
// (but for trailing blanks). Version 1.0 for RINEX 2 files, 3.0 for RINEX 3.
//
// Header lines go through unchanged, after the "CRINEX VERS / TYPE" and "CRINEX
// PROG / DATE" lines. Each epoch line is written as its text difference with the
// epoch line before (a character that stays is a blank, one that turns blank is
// '&'); the receiver clock offset follows on a line of its own; then one line per
// satellite of the epoch with each observation as an integer of its digits,
// differenced to the third order, and the LLI and signal strength characters as a
// text difference with the satellite's previous ones. "3&" before a value starts an
// arc again: at the first epoch, where the value was missing the epoch before,
// where the satellite comes back, after an event record, and where a difference
// would outgrow the field; a satellite starting afresh has all its flags written.
// Event records are written whole.
class CompactRinexEncoder {
public:
    // program and date ("dd-Mmm-yy hh:mm") fill the CRINEX PROG / DATE line.
    CompactRinexEncoder(std::string_view program, std::string_view date);

    // Encodes plain observation text (any pieces of it, in order), appending the
    // Compact RINEX text of every line it completes to out.
    void Encode(std::string_view text, std::string& out);

    // The highest difference order of the observation arcs.
    static constexpr int kOrder = 3;

private:
    // An observation or clock offset differenced along its arc.
    struct Arc {
        int count = 0;  // values so far in the arc (0: none, the next one starts it)
        std::array<int64_t, kOrder> last{};  // the last value and its differences
        void Append(int64_t value, std::string& out);
    };
    struct SatelliteState {
        std::string id;
        std::vector<Arc> arcs;
        std::string flags;
    };

    void Line(std::string_view line, std::string& out);
    void HeaderLine(std::string_view line);
    void EpochLine(std::string_view line, std::string& out);
    void EndRecord(std::string& out);
    void WriteEpochAndClock(std::string& out);
    int TypesOf(std::string_view satellite) const;
    void AppendLine(std::string& out, std::string_view line);

    std::string program_;
    std::string date_;
    std::string pending_;     // the part of a line not ended yet
    std::string lineEnd_;     // the line end of the plain text, kept
    int version_ = 0;         // RINEX major version; 0 before the first line
    bool inHeader_ = true;
    bool restart_ = true;     // the next epoch starts everything afresh
    int specialLines_ = 0;    // lines of an event record still to copy

    // The observation record being gathered.
    std::string epoch_;       // its epoch line text (satellites joined)
    std::string clock_;       // its clock offset field
    int satellites_ = 0;      // satellites it announces
    int epochLinesLeft_ = 0;  // RINEX 2 continuation lines of satellites still to come
    std::vector<std::string> ids_;
    std::vector<std::string> fields_;  // per satellite, its observation fields (16 columns each)
    int linesLeft_ = 0;       // observation lines still to come

    std::string lastEpoch_;
    Arc clockArc_;
    std::vector<SatelliteState> previous_;
    std::vector<SatelliteState> current_;
    int types2_ = 0;                    // RINEX 2 observation types
    std::array<int, 128> types3_{};     // RINEX 3 observation types per system letter
    char lastSystem_ = ' ';
};
