#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

// Numbers of the system's message and caption strings.
enum StringId : int {
    kStrAboutMenu = 101,          // "&About KVT..."
    kStrCaption = 104,            // "QERN to RINEX"
    kStrOpen = 113,               // file dialog title "Open"
    kStrSaveAs = 114,             // file dialog title "Save As"
    kStrInvalidFileName = 115,
    kStrOverwrite = 116,          // %s: list of existing output files
    kStrInvalidPath = 117,
    kStrFilesMustDiffer = 118,
    kStrConverted = 121,          // %s: source path
    kStrCanceled = 122,
    kStrReading = 123,
    kStrWritingObservation = 124,
    kStrWritingNavigation = 125,
    kStrCannotOpenSource = 127,
    kStrCannotCreateObservation = 128,
    kStrCannotCreateNavigation = 129,
    kStrInsufficientData = 130,   // %d records, %d ephemerides, %d iono/UTC records
    kStrDefaultMarker = 131,      // "SITE"
    kStrExtrapolation = 132,      // %d ms, %s doppler kind
    kStrInstantaneous = 133,
    kStrSmoothed = 134,
    kStrNoEpochWritten = 135,     // %d records of the chosen kind, %d positioned
    kStrTooLong = 136,            // %1: character limit of a header text
    kStrEnterInteger = 137,       // Advanced Options: Tx text is not a number
    kStrWriteFailed = 138,        // %s: output path, %s: the system's reason
    kStrReadFailed = 139,         // %s: source path, %s: the reason
    kStrNoAsciiForm = 140,        // %1: label of a header text, %2: its character without an ASCII form
    kStrNoMetres = 141,           // %1: label of an antenna height or offset, %2: its text
    kStrNoAntennaForm = 142,      // %1: label of the antenna type, %2: its text
};

// The text of string id, or an empty text for an unknown id.
std::string_view LoadString(int id);

// Replaces the placeholders of format by args, in order: "%s" and "%d" take the
// next argument; "%1" to "%9" take the argument of that number; "%%" gives "%".
// A placeholder without an argument stays as written.
std::string FormatMessageText(std::string_view format, std::initializer_list<std::string> args);

// LoadString(id) formatted with args.
std::string FormatString(int id, std::initializer_list<std::string> args = {});
