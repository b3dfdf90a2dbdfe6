#include <algorithm>
#include <string>

#include "convert/Conversion.h"
#include "convert/rinex/RinexNav.h"

// Writes the navigation file from the kept ionosphere/UTC record and the stored
// ephemerides. False when the conversion ends here.
bool Conversion::NavigationPass() {
    ui_.SetStatus(std::string(LoadString(kStrWritingNavigation)));
    ui_.SetPosition(0);
    OutputFile navigation;
    if (!OpenOutput(navigation, request_.navigationPath, false, RinexEncoding(false)))
        return Fail(ConversionOutcome::NavigationNotCreated, kStrCannotCreateNavigation, MessageIcon::Stop);
    RinexNavHeader header = MakeNavHeader(state_.tracker.ionoUtc, creationTime_);
    header.timeZone = request_.creationZone;
    const EphemerisStore& store = state_.tracker.store;
    // The raw data do not tell which satellite sent the message: the lowest-numbered
    // one with an ephemeris in the file is named.
    header.messageTime = state_.ionoUtcTime;
    header.messageSatellite = kSatelliteCount;
    for (const Ephemeris* eph = store.First(); eph; eph = store.Next(*eph))
        header.messageSatellite = std::min(header.messageSatellite, eph->satellite + 1);
    navigation.Write(writer_.navHeader(header) + writer_.navMessages(header));
    const int count = store.Count();
    int i = 0;
    for (const Ephemeris* eph = store.First(); eph && !navigation.Failed(); eph = store.Next(*eph)) {
        if (CancelRequested()) {
            navigation.Close();
            return FailCancelled();
        }
        const std::string text = writer_.navRecord(*eph);
        Lap(ConversionStage::Formatting);
        navigation.Write(text);
        Lap(ConversionStage::Writing);
        ++i;
        ++result_.ephemeridesWritten;
        ui_.SetPosition(static_cast<unsigned>((static_cast<unsigned>(i) * 100u) / static_cast<unsigned>(count)));
    }
    const bool closed = navigation.Close();
    Lap(ConversionStage::Writing);
    if (!closed) return FailWrite(navigation);
    return true;
}
