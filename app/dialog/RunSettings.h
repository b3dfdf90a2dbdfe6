#pragma once
#include <optional>
#include <string>

#include "app/dialog/DialogValues.h"
#include "rawdata/GpsTime.h"

// The values a person types for a run beside the header texts (antenna, time
// window, interval, country code), read and checked by one rule for the window
// and the command line.

// Largest antenna height or offset taken (m): what ANTENNA: DELTA H/E/N shows with
// room to spare, far beyond any mast.
inline constexpr double kMaxAntennaMetres = 999.9999;

// Reads a plain decimal number (digits with at most one point) that fills text;
// false otherwise (no sign, exponent, hexadecimal, infinity or blank).
bool ReadNumber(const std::string& text, double& value);
// Reads a plain decimal number with an optional sign ("-0.25", "+1.5"); false otherwise.
bool ReadSignedNumber(const std::string& text, double& value);

// An antenna height or offset as typed: blanks around it ignored, a decimal comma
// taken as a point. Empty text: none given (true, metres empty). False when the
// text is no number or lies beyond kMaxAntennaMetres.
bool ReadAntennaMetres(const std::string& text, std::optional<double>& metres);
// metres as the window shows it (4 decimals, "1.5430"); empty when none.
std::string AntennaMetresText(const std::optional<double>& metres);

// The RINEX form of an antenna type (ANT # / TYPE): the type in columns 1-16,
// the radome in 17-20, "NONE" when none is given. The text is read as a type,
// optionally followed by blanks and a radome of up to 4 characters (its last
// word); a blank text stays blank. Empty when the text does not fit that form
// (a type over 16 characters, or a radome over 4).
std::optional<std::string> RinexAntennaType(const std::string& text);

// Reads "YYYY-MM-DD hh:mm:ss" (seconds may have a fraction) as GPS time; false
// when the text is not such a date and time.
bool ParseDateTime(const std::string& text, GpsTime& t);
// t as "YYYY-MM-DD hh:mm:ss" with the seconds' fraction when it has one (the form
// ParseDateTime reads).
std::string DateTimeText(const GpsTime& t);

// Reads an interval of written epochs: a positive multiple of 0.1 s up to a day,
// rounded to 0.1 s; false otherwise.
bool ParseInterval(const std::string& text, double& seconds);
// seconds as ParseInterval reads it ("30", "0.5"); empty for 0 (every epoch).
std::string IntervalText(double seconds);

// Reads a country code of RINEX 3 long file names: three letters, given in upper
// case; false otherwise.
bool ParseCountry(const std::string& text, std::string& country);

// The run settings of Advanced Options as their edits show them.
struct RunSettingsText {
    std::string from, to;  // DateTimeText, empty: open
    std::string interval;  // IntervalText, empty: every epoch
    std::string country;
};
enum class RunSetting { From, To, Interval, Country };
// A run setting refused, with the message naming its field.
struct RunSettingRefusal {
    RunSetting field;
    std::string message;
};

RunSettingsText RunSettingsTextOf(const MainDialogValues& values);
// Reads text into values (from, to, interval, country) with the bounds of the
// command line's --from, --to, --interval and --country; on a refusal values are
// unchanged.
std::optional<RunSettingRefusal> ReadRunSettings(const RunSettingsText& text, MainDialogValues& values);

// The run settings of values that leave epochs out, as a line below the advanced
// summary: "( epochs from A to B, every 30 s )" (the parts given); empty when
// every epoch is written.
std::string RunSettingsSummary(const MainDialogValues& values);
