#include "app/station/StationConfig.h"

#include <cstdlib>

#include "platform/Profile.h"

namespace {

constexpr const char* kSection = "Station";

// A number of metres, or nothing for an empty text.
bool OptionalMetres(const std::string& text, std::optional<double>& out) {
    if (text.empty()) return true;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') return false;
    out = v;
    return true;
}

bool TakePeriod(const std::string& text, StationConfig& config, std::string& error) {
    const double seconds = ParseDuration(text);
    if (seconds != 0 && seconds != 900 && seconds != 3600) {
        error = "period \"" + text + "\" is not one of 15m, 1h, none";
        return false;
    }
    config.periodSeconds = static_cast<int>(seconds);
    return true;
}

bool TakeLatency(const std::string& text, StationConfig& config, std::string& error) {
    const double seconds = ParseDuration(text);
    if (seconds < 0 || seconds > 3600) {
        error = "latency \"" + text + "\" is not a time of 0 to 1h";
        return false;
    }
    config.latency = seconds;
    return true;
}

}  // namespace

double ParseDuration(const std::string& text) {
    if (text == "none") return 0;
    if (text.empty()) return -1;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || v < 0) return -1;
    const std::string unit(end);
    if (unit.empty() || unit == "s") return v;
    if (unit == "m" || unit == "min") return v * 60;
    if (unit == "h") return v * 3600;
    if (unit == "d") return v * 86400;
    return -1;
}

bool ParseStationOptions(const std::vector<std::string>& parameters, StationOptions& options, std::string& error) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < parameters.size(); ++i) {
        const std::string& p = parameters[i];
        const bool hasValue = i + 1 < parameters.size();
        if (p == "--daily") {
            options.daily = true;
        } else if (p == "--config" || p == "--period" || p == "--latency") {
            if (!hasValue) {
                error = p + " needs a value";
                return false;
            }
            (p == "--config" ? options.configPath : p == "--period" ? options.period : options.latency) =
                parameters[++i];
        } else if (p.size() > 1 && p[0] == '-' && p[1] == '-') {
            error = "unknown station option " + p;
            return false;
        } else {
            positional.push_back(p);
        }
    }
    if (positional.empty() || positional.size() > 2) {
        error = "--station needs a folder and a source: --station DIR SOURCE";
        return false;
    }
    options.directory = positional[0];
    if (positional.size() == 2) options.source = positional[1];
    if (options.configPath.empty()) options.configPath = options.directory + "/station.ini";
    return true;
}

namespace {

// The header texts and the conversion settings of the station's files.
bool LoadConversionSettings(const Profile& ini, ConversionRequest& r, std::string& error) {
    auto text = [&](const char* key, const std::string& fallback = "") {
        return ini.GetString(kSection, key, fallback);
    };
    r.markerName = text("MarkerName", "SITE");
    r.markerNumber = text("MarkerNumber");
    r.observer = text("Observer");
    r.agency = text("Agency");
    r.receiverNumber = text("ReceiverNumber");
    r.receiverType = text("ReceiverType");
    r.receiverVersion = text("ReceiverVersion");
    r.antennaNumber = text("AntennaNumber");
    r.antennaType = text("AntennaType");
    if (!OptionalMetres(text("AntennaHeight"), r.antennaHeight) ||
        !OptionalMetres(text("AntennaEast"), r.antennaEast) || !OptionalMetres(text("AntennaNorth"), r.antennaNorth)) {
        error = "an antenna height or offset is not a number of metres";
        return false;
    }
    r.tx = ini.GetInt(kSection, "Tx", 75) * 0.001;
    r.smoothedDopplers = ini.GetInt(kSection, "SmoothedDopplers", 0) != 0;
    r.smoothedPseudoranges = ini.GetInt(kSection, "SmoothedPseudoranges", 0) != 0;
    const int version = ini.GetInt(kSection, "RinexVersion", 2);
    if (version < 2 || version > 4) {
        error = "RinexVersion " + std::to_string(version) + " is not 2, 3 or 4";
        return false;
    }
    r.rinexVersion = static_cast<RinexVersion>(version);
    r.quality = ini.GetInt(kSection, "QualityReport", 1) != 0;
    r.hatanaka = ini.GetInt(kSection, "Hatanaka", 0) != 0;
    r.gzip = ini.GetInt(kSection, "Gzip", 0) != 0;
    r.silent = true;
    return true;
}

}  // namespace

bool LoadStationConfig(const StationOptions& options, StationConfig& config, std::string& error) {
    const Profile ini(options.configPath);
    auto text = [&](const char* key, const std::string& fallback = "") {
        return ini.GetString(kSection, key, fallback);
    };
    config.source = options.source.empty() ? text("Source") : options.source;
    if (config.source.empty()) {
        error = "no source: give SOURCE after DIR, or Source= in the configuration";
        return false;
    }
    const std::string format = text("Format", "binary");
    if (format == "binary" || format == "1") {
        config.formatIndex = kRawBinary;
    } else if (format == "ascii" || format == "0") {
        config.formatIndex = kRawAscii;
    } else {
        error = "Format \"" + format + "\" is neither binary nor ascii";
        return false;
    }
    const std::string kind = text("RawKind", "Q");
    if (kind != "Q" && kind != "R") {
        error = "RawKind \"" + kind + "\" is neither Q (receiver-dated) nor R (satellite-dated)";
        return false;
    }
    config.rawKind = kind == "Q" ? kRecordReceiverDated : kRecordSatelliteDated;
    config.request.formatIndex = config.formatIndex;
    if (!LoadConversionSettings(ini, config.request, error)) return false;
    config.country = text("Country", "XXX");
    config.daily = ini.GetInt(kSection, "Daily", 0) != 0 || options.daily;
    if (!TakePeriod(options.period.empty() ? text("Period", "1h") : options.period, config, error)) return false;
    if (!TakeLatency(options.latency.empty() ? text("Latency", "30s") : options.latency, config, error)) return false;
    if (config.periodSeconds == 0 && !config.daily) {
        error = "no period to write: --period none needs --daily";
        return false;
    }
    return true;
}
