#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "rawdata/GpsTime.h"

// Fixed-width field primitives of the RINEX 2 writers. Every primitive returns
// (or appends) a new text; none cuts a value longer than its width. The Append
// forms add the same text to the end of out without a temporary string.
namespace rinex {

// End of every written line.
inline constexpr std::string_view kLineEnd = "\r\n";
// Characters of a line before the line end.
inline constexpr int kLineWidth = 80;

// s left-justified and blank-padded to width ("%-*s"); width blanks for an empty s.
std::string text(int width, std::string_view s);
// The one-character text ch, left-justified in width.
std::string character(int width, char ch);
// n right-justified in width ("%*d").
std::string integer(int width, long long n);
// x in fixed-point notation with precision decimals, right-justified ("%*.*f").
std::string fixed(int width, int precision, double x);
// x in scientific notation with precision decimals, the letter D and a signed
// two-digit exponent, right-justified in width: exponent(19, 12, 1.5) is
// " 1.500000000000D+00". Magnitudes that would need a three-digit exponent give
// zero when below 1e-99 and the largest value of the field (9.99..D+99, with the
// sign of x) when 1e100 or more; NaN gives zero and infinities the largest value.
std::string exponent(int width, int precision, double x);
// text(60, s) + text(20, "COMMENT") + CR LF.
std::string comment(std::string_view s);
// 60 blanks + text(20, "END OF HEADER") + CR LF.
std::string EndOfHeader();

void AppendText(std::string& out, int width, std::string_view s);
void AppendBlanks(std::string& out, int count);
void AppendInteger(std::string& out, int width, long long n);
void AppendFixed(std::string& out, int width, int precision, double x);
void AppendExponent(std::string& out, int width, int precision, double x);
// n modulo 100 with two digits, zero-padded ("%02d", Fortran I2.2); negative n gives 00.
void AppendTwoDigits(std::string& out, int n);

// One observation field of 16 columns: fixed(14, 3, v), the loss-of-lock digit and
// the signal-strength digit (each written blank when 0, and 9 when above 9). An
// absent value, or one that does not print within F14.3 (only damaged raw data give
// one), is written as 16 blanks so that the line keeps its columns. A value that
// rounds to zero is written without a minus sign.
void AppendObservation(std::string& out, bool present, double v, int lli, int strength);

// A header record: columns (blank-padded to 60) + text(20, label) + CR LF.
std::string HeaderRecord(std::string_view columns, std::string_view label);

// Calendar fields of a GPS time rounded to a number of decimals of a second, so
// that a time a hair below a whole minute carries into the minute.
struct RinexDateTime {
    int year = 1980;
    int month = 1;
    int day = 6;
    int hour = 0;
    int minute = 0;
    double seconds = 0.0;  // whole seconds plus the rounded fraction, [0, 60)
};

// The calendar fields of t with its seconds rounded to `decimals` places (0..9):
// the rounded time is split into week and whole seconds (carrying into the next
// second, minute, day or week as needed), converted with ToCalendar, and the
// rounded fraction added back to the seconds.
RinexDateTime SplitTime(const GpsTime& t, int decimals);

// A local date-time as "%d-%b-%y %H:%M" with English month names, e.g.
// "09-Apr-01 12:10", independent of the machine's locale.
std::string FormatCreationDate(const CalendarTime& date);

}  // namespace rinex
