#include "convert/StringTable.h"

#include <vector>

namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kStrings[] = {
    {kStrAboutMenu, "&About KVT..."},
    {kStrCaption, "QERN to RINEX"},
    {kStrOpen, "Open"},
    {kStrSaveAs, "Save As"},
    {kStrInvalidFileName, "Please enter a valid file name !"},
    {kStrOverwrite, "Output file(s) :\n\n%s\nalready exist(s) !\n\nOverwrite existing file(s) ?"},
    {kStrInvalidPath, "Please enter a valid path !"},
    {kStrFilesMustDiffer, "Input and output files must all be differents !"},
    {kStrConverted, "Source file\n\n%s\n\nsuccessfully converted to RINEX !"},
    {kStrCanceled, "Operation canceled by user !"},
    {kStrReading, "Reading source file..."},
    {kStrWritingObservation, "Writing observation file..."},
    {kStrWritingNavigation, "Writing navigation file..."},
    {kStrCannotOpenSource, "Unable to open source file !"},
    {kStrCannotCreateObservation, "Unable to create Observation file !"},
    {kStrCannotCreateNavigation, "Unable to create Navigation file !"},
    {kStrInsufficientData,
     "Data founds in source file :\n\n%d Records,\n%d Ephemeris,\n%d Iono UTC data,\n\nare not "
     "sufficient to complete operation !"},
    {kStrDefaultMarker, "SITE"},
    {kStrExtrapolation, "( Tr = Ts + %d ms, using %s dopplers )"},
    {kStrInstantaneous, "instantaneous"},
    {kStrSmoothed, "smoothed"},
    {kStrNoEpochWritten,
     "No epoch could be written :\n\n%d Records,\n%d with a position,\n\nare not sufficient to "
     "complete operation !"},
    {kStrTooLong, "Please enter no more than %1 characters."},
    {kStrEnterInteger, "Please enter an integer."},
    {kStrWriteFailed, "Unable to write file\n\n%s\n\n%s !"},
    {kStrReadFailed, "Unable to read file\n\n%s\n\n%s !"},
    {kStrNoAsciiForm, "%1 : \"%2\" has no ASCII form for a RINEX header."},
    {kStrNoMetres, "%1 : \"%2\" is no length in metres from -999.9999 to 999.9999."},
    {kStrNoAntennaForm,
     "%1 : \"%2\" does not fit the RINEX form: the antenna type in up to 16 characters, then "
     "its radome in up to 4 (NONE when left out)."},
};

}  // namespace

std::string_view LoadString(int id) {
    for (const Entry& e : kStrings)
        if (e.id == id) return e.text;
    return {};
}

std::string FormatMessageText(std::string_view format, std::initializer_list<std::string> args) {
    const std::vector<std::string> list(args);
    std::string out;
    size_t next = 0;  // next sequential argument
    for (size_t i = 0; i < format.size(); ++i) {
        const char ch = format[i];
        if (ch != '%' || i + 1 >= format.size()) {
            out += ch;
            continue;
        }
        const char conversion = format[i + 1];
        if (conversion == '%') {
            out += '%';
            ++i;
        } else if ((conversion == 's' || conversion == 'd') && next < list.size()) {
            out += list[next++];
            ++i;
        } else if (conversion >= '1' && conversion <= '9' && static_cast<size_t>(conversion - '1') < list.size()) {
            out += list[conversion - '1'];
            ++i;
        } else {
            out += ch;
        }
    }
    return out;
}

std::string FormatString(int id, std::initializer_list<std::string> args) {
    return FormatMessageText(LoadString(id), args);
}
