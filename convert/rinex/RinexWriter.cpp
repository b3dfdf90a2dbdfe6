#include "convert/rinex/RinexWriter.h"

#include "convert/rinex/Rinex3Nav.h"
#include "convert/rinex/Rinex3ObsHeader.h"
#include "convert/rinex/Rinex3ObsRecord.h"
#include "convert/rinex/Rinex4.h"
#include "convert/rinex/RinexObsRecord.h"

namespace {

constexpr RinexWriter kRinex2 = {
    2,
    [](const RinexObsHeader& h) { return h.HeaderText(); },
    [](const RinexEpoch& e, const RinexObsHeader& h) { return EpochText(e, h.typeMask); },
    AntennaHeightRecord,
    NewSiteRecord,
    KinematicRecord,
    EventRecord,
    NavHeaderText,
    NavRecordText,
    [](const RinexNavHeader&) { return std::string(); },
};

constexpr RinexWriter kRinex3 = {
    3,
    rinex3::ObsHeaderText,
    [](const RinexEpoch& e, const RinexObsHeader& h) { return rinex3::EpochText(e, h.typeMask, h.cn0Mask); },
    rinex3::AntennaHeightRecord,
    rinex3::NewSiteRecord,
    rinex3::KinematicRecord,
    rinex3::EventRecord,
    rinex3::NavHeaderText,
    rinex3::NavRecordText,
    [](const RinexNavHeader&) { return std::string(); },
};

constexpr RinexWriter kRinex4 = {
    4,
    rinex4::ObsHeaderText,
    [](const RinexEpoch& e, const RinexObsHeader& h) { return rinex3::EpochText(e, h.typeMask, h.cn0Mask); },
    rinex3::AntennaHeightRecord,
    rinex3::NewSiteRecord,
    rinex3::KinematicRecord,
    rinex3::EventRecord,
    rinex4::NavHeaderText,
    rinex4::NavRecordText,
    rinex4::NavMessagesText,
};

}  // namespace

const RinexWriter& RinexWriterFor(int version) {
    return version == 4 ? kRinex4 : (version == 3 ? kRinex3 : kRinex2);
}
