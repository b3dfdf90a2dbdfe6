#include "app/dialog/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/dialog/RinexNaming.h"
#include "app/dialog/RunSettings.h"
#include "convert/StringTable.h"

namespace {

std::string HistoryKey(int position) {
    char key[16];
    std::snprintf(key, sizeof key, "History%02d", position);
    return key;
}

// Directory + "/*", followed by "." + extension when that is not empty.
std::string OutputPattern(const std::string& directory, const std::string& extension) {
    return directory + "/*" + (extension.empty() ? std::string() : "." + extension);
}

// A length kept in the profile: empty when not given, else metres with 4 decimals.
std::string MetresText(const std::optional<double>& metres) { return AntennaMetresText(metres); }

// The length of a profile text; empty when it holds none.
std::optional<double> ReadMetres(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The run settings of Advanced Options; a key the profile holds in no valid form
// leaves its value at construction.
void LoadRunSettings(MainDialogValues& v, const Profile& profile) {
    GpsTime t;
    if (ParseDateTime(profile.GetString(kAdvancedSection, "From", ""), t)) v.from = t;
    if (ParseDateTime(profile.GetString(kAdvancedSection, "To", ""), t)) v.to = t;
    if (v.from && v.to && *v.to < *v.from) v.from = v.to = std::nullopt;
    ParseInterval(profile.GetString(kAdvancedSection, "Interval", ""), v.interval);
    ParseCountry(profile.GetString(kAdvancedSection, "Country", ""), v.country);
}

}  // namespace

void LoadSettings(MainDialogValues& v, IDialogControls& controls, const Profile& profile,
                  const std::string& dataDirectory, double today) {
    v.sourceDirectory = profile.GetString(kDefaultsSection, "SrcDir", dataDirectory);
    v.observationDirectory = profile.GetString(kDefaultsSection, "ObsDir", dataDirectory);
    v.navigationDirectory = profile.GetString(kDefaultsSection, "NavDir", dataDirectory);
    v.observationExtension = profile.GetString(kDefaultsSection, "ObsExt", "RNX");
    v.navigationExtension = profile.GetString(kDefaultsSection, "NavExt", "EPH");
    v.sourcePath = v.sourceDirectory + "/*.*";
    v.recordedOn = std::floor(today);
    v.format = profile.GetInt(kDefaultsSection, "Format", 0);
    v.header[kMarkerName] = std::string(LoadString(kStrDefaultMarker));
    for (int i = 0; i < kHeaderTextCount; ++i) {
        const HeaderTextInfo& info = HeaderTextTable(i);
        if (info.defaultsKey)
            v.header[i] = ToUpperText(profile.GetString(kDefaultsSection, info.defaultsKey, ""));
    }
    v.autoNaming = profile.GetInt(kDefaultsSection, "Auto", 0) != 0;
    v.antennaHeight = ReadMetres(profile.GetString(kDefaultsSection, "AntHeight", ""));
    v.antennaEast = ReadMetres(profile.GetString(kDefaultsSection, "AntEast", ""));
    v.antennaNorth = ReadMetres(profile.GetString(kDefaultsSection, "AntNorth", ""));
    const int version = profile.GetInt(kAdvancedSection, "RinexVersion", 2);
    v.rinexVersion = version == 3 || version == 4 ? version : 2;
    LoadRunSettings(v, profile);
    v.qualityReport = profile.GetInt(kAdvancedSection, "QualityReport", 0) != 0;
    v.hatanaka = profile.GetInt(kAdvancedSection, "Hatanaka", 0) != 0;
    v.gzip = profile.GetInt(kAdvancedSection, "Gzip", 0) != 0;
    if (v.autoNaming) {
        DeriveRinexNames(v);
    } else {
        v.observationPath = OutputPattern(v.observationDirectory, v.observationExtension);
        v.navigationPath = OutputPattern(v.navigationDirectory, v.navigationExtension);
    }
    v.tx = profile.GetInt(kAdvancedSection, "Tx", 0) * 0.001;
    v.dopplerMode = profile.GetInt(kAdvancedSection, "SmouthedDopplers", 0);
    v.smoothedPseudoranges = profile.GetInt(kAdvancedSection, "SmouthedPseudoranges", 0) != 0;
    v.logFile = profile.GetInt(kAdvancedSection, "LogFile", 0) != 0;
    LoadHistories(controls, profile);
}

void LoadHistories(IDialogControls& controls, const Profile& profile) {
    for (int i = 0; i < kHeaderTextCount; ++i) {
        const HeaderTextInfo& info = HeaderTextTable(i);
        std::vector<std::string> entries;
        for (int position = 0; position < kHistorySize; ++position) {
            const std::string value = profile.GetString(info.historySection, HistoryKey(position), "");
            if (value.empty() || value == kUnusedEntry) break;
            entries.push_back(ToUpperText(value));
        }
        controls.SetEntries(info.controlId, entries);
    }
}

void AddToHistories(const MainDialogValues& v, IDialogControls& controls) {
    for (int i = 0; i < kHeaderTextCount; ++i) {
        const int id = HeaderTextTable(i).controlId;
        const std::string value = ToUpperText(v.header[i]);
        std::vector<std::string> entries{value};
        for (const std::string& e : controls.Entries(id))
            if (!EqualNoCase(e, value)) entries.push_back(e);
        if (entries.size() > static_cast<size_t>(kHistorySize)) entries.resize(kHistorySize);
        controls.SetEntries(id, entries);
        controls.SetSelection(id, 0);
    }
}

bool StoreDefaults(const MainDialogValues& v, const IDialogControls& controls, Profile& profile) {
    profile.SetString(kDefaultsSection, "SrcDir", v.sourceDirectory);
    profile.SetString(kDefaultsSection, "ObsDir", v.observationDirectory);
    profile.SetString(kDefaultsSection, "NavDir", v.navigationDirectory);
    profile.SetString(kDefaultsSection, "ObsExt", v.observationExtension);
    profile.SetString(kDefaultsSection, "NavExt", v.navigationExtension);
    profile.SetInt(kDefaultsSection, "Format", v.format);
    for (int i = 0; i < kHeaderTextCount; ++i) {
        const HeaderTextInfo& info = HeaderTextTable(i);
        if (info.defaultsKey) profile.SetString(kDefaultsSection, info.defaultsKey, v.header[i]);
    }
    profile.SetInt(kDefaultsSection, "Auto", v.autoNaming ? 1 : 0);
    profile.SetString(kDefaultsSection, "AntHeight", MetresText(v.antennaHeight));
    profile.SetString(kDefaultsSection, "AntEast", MetresText(v.antennaEast));
    profile.SetString(kDefaultsSection, "AntNorth", MetresText(v.antennaNorth));
    return StoreHistories(controls, profile);  // writes the file once for all
}

bool StoreHistories(const IDialogControls& controls, Profile& profile) {
    for (int i = 0; i < kHeaderTextCount; ++i) {
        const HeaderTextInfo& info = HeaderTextTable(i);
        const std::vector<std::string> entries = controls.Entries(info.controlId);
        for (int position = 0; position < kHistorySize; ++position) {
            const std::string& text =
                position < static_cast<int>(entries.size()) ? entries[position] : std::string(kUnusedEntry);
            profile.SetString(info.historySection, HistoryKey(position), text);
        }
    }
    return profile.Save();
}

bool StoreAdvanced(const MainDialogValues& v, Profile& profile) {
    const double ms = std::floor(v.tx * 1000.0 + 0.5);
    profile.SetInt(kAdvancedSection, "Tx",
                   std::isfinite(ms) ? static_cast<int>(std::clamp(ms, -2147483647.0, 2147483647.0)) : 0);
    profile.SetInt(kAdvancedSection, "SmouthedDopplers", v.dopplerMode);
    profile.SetInt(kAdvancedSection, "SmouthedPseudoranges", v.smoothedPseudoranges ? 1 : 0);
    profile.SetInt(kAdvancedSection, "LogFile", v.logFile ? 1 : 0);
    profile.SetInt(kAdvancedSection, "RinexVersion", v.rinexVersion == 3 || v.rinexVersion == 4 ? v.rinexVersion : 2);
    profile.SetInt(kAdvancedSection, "QualityReport", v.qualityReport ? 1 : 0);
    const RunSettingsText run = RunSettingsTextOf(v);
    profile.SetString(kAdvancedSection, "From", run.from);
    profile.SetString(kAdvancedSection, "To", run.to);
    profile.SetString(kAdvancedSection, "Interval", run.interval);
    profile.SetString(kAdvancedSection, "Country", run.country);
    profile.SetInt(kAdvancedSection, "Hatanaka", v.hatanaka ? 1 : 0);
    profile.SetInt(kAdvancedSection, "Gzip", v.gzip ? 1 : 0);
    return profile.Save();
}
