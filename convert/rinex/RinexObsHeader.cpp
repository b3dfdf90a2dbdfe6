#include "convert/rinex/RinexObsHeader.h"

#include "convert/rinex/RinexFormat.h"

using namespace rinex;

std::string VersionTypeRecord(const RinexFileHeader& h) {
    std::string c = integer(6, h.version) + text(14, h.versionSuffix) + character(1, h.fileType) +
                    text(19, h.fileTypeText) + character(1, h.satelliteSystem) +
                    text(19, h.satelliteSystemText);
    return HeaderRecord(c, "RINEX VERSION / TYPE");
}

std::string ProgramRecord(const RinexFileHeader& h) {
    std::string c =
        text(20, h.program) + text(20, h.runBy) + text(20, FormatCreationDate(h.creationDate));
    return HeaderRecord(c, "PGM / RUN BY / DATE");
}

std::string MarkerNameRecord(std::string_view name) {
    return HeaderRecord(text(60, name), "MARKER NAME");
}

std::string ApproxPositionRecord(double x, double y, double z) {
    return HeaderRecord(fixed(14, 4, x) + fixed(14, 4, y) + fixed(14, 4, z),
                        "APPROX POSITION XYZ");
}

std::string AntennaDeltaRecord(double h, double e, double n) {
    return HeaderRecord(fixed(14, 4, h) + fixed(14, 4, e) + fixed(14, 4, n),
                        "ANTENNA: DELTA H/E/N");
}

std::string ObservationTimeRecord(const GpsTime& t, std::string_view label) {
    const RinexDateTime d = SplitTime(t, 6);
    std::string c = integer(6, d.year) + integer(6, d.month) + integer(6, d.day) +
                    integer(6, d.hour) + integer(6, d.minute) + fixed(12, 6, d.seconds) +
                    text(6, "") + "GPS";
    return HeaderRecord(c, label);
}

int RinexTypeCount(uint16_t typeMask) {
    int n = 0;
    for (int k = 0; k < kRinexTypeCount; ++k) n += (typeMask >> kRinexTypeOrder[k]) & 1;
    return n;
}

std::string RinexObsHeader::HeaderText() const {
    std::string out = VersionTypeRecord(*this) + ProgramRecord(*this);
    if (!comment.empty()) out += rinex::comment(comment);
    if (!markerName.empty()) out += MarkerNameRecord(markerName);
    if (!markerNumber.empty()) out += HeaderRecord(text(20, markerNumber), "MARKER NUMBER");
    // Required by RINEX 2.11: written with blank fields when the texts are empty.
    out += HeaderRecord(text(20, observer) + text(40, agency), "OBSERVER / AGENCY");
    out += HeaderRecord(text(20, receiverNumber) + text(20, receiverType) + text(20, receiverVersion),
                        "REC # / TYPE / VERS");
    out += HeaderRecord(text(20, antennaNumber) + text(20, antennaType), "ANT # / TYPE");
    out += ApproxPositionRecord(approxX, approxY, approxZ);
    out += AntennaDeltaRecord(antennaDeltaH, antennaDeltaE, antennaDeltaN);
    if (!antennaComment.empty()) out += rinex::comment(antennaComment);
    out += HeaderRecord(integer(6, wavelengthFactorL1) + integer(6, wavelengthFactorL2),
                        "WAVELENGTH FACT L1/2");
    // The count and the names of the types present; all blank when there is none.
    const int typeCount = RinexTypeCount(typeMask);
    std::string types = typeCount == 0 ? std::string() : integer(6, typeCount);
    for (int k = 0; k < kRinexTypeCount; ++k)
        if ((typeMask >> kRinexTypeOrder[k]) & 1) types += text(4, "") + text(2, kRinexTypeNames[k]);
    out += HeaderRecord(types, "# / TYPES OF OBSERV");
    if (interval >= 0.1) out += HeaderRecord(fixed(8, 1, interval), "INTERVAL");
    out += ObservationTimeRecord(firstTime, "TIME OF FIRST OBS");
    out += ObservationTimeRecord(lastTime, "TIME OF LAST OBS");
    out += EndOfHeader();
    return out;
}
