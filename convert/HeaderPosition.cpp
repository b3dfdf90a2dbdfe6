#include "convert/HeaderPosition.h"

#include "convert/rinex/RinexObsHeader.h"

namespace {
constexpr std::size_t kLabelColumn = 60;  // header labels start in column 61
}  // namespace

std::optional<HeaderRecordPlace> ApproxPositionPlace(const std::string& headerText) {
    const std::size_t label = headerText.find("APPROX POSITION XYZ");
    if (label == std::string::npos || label < kLabelColumn) return std::nullopt;
    const std::size_t end = headerText.find('\n', label);
    if (end == std::string::npos) return std::nullopt;
    return HeaderRecordPlace{label - kLabelColumn, end + 1 - (label - kLabelColumn)};
}

std::optional<std::string> ApproxPositionPatch(const HeaderRecordPlace& place, double x, double y, double z) {
    std::string record = ApproxPositionRecord(x, y, z);
    if (record.size() != place.length) return std::nullopt;
    return record;
}
