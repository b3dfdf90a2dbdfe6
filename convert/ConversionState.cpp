#include "convert/ConversionState.h"

void ConversionState::Reset(const ConversionRequest& request) {
    header.markerName = request.markerName;
    header.markerNumber = request.markerNumber;
    header.observer = request.observer;
    header.agency = request.agency;
    header.receiverNumber = request.receiverNumber;
    header.receiverType = request.receiverType;
    header.receiverVersion = request.receiverVersion;
    header.antennaNumber = request.antennaNumber;
    header.antennaType = request.antennaType;
    header.SetAntennaHeight(0.0);
    header.SetTypeMask(0);
    header.SetFirstTime(GpsTime());
    header.SetLastTime(GpsTime());
    header.SetInterval(0.0);
    header.SetComment("");
    tracker.rawKind = kRecordNone;
    tracker.store.Clear();
    tracker.ionoUtc.Clear();  // a record of an earlier source must not reach this navigation file
    ionoUtcTime = GpsTime();
    // A continuation goes on with the position and receiver clock of the conversion
    // before, as one long conversion would.
    if (request.continuation) return;
    positionFixed = false;
    positionApproximate = false;
    solver.Reset(request.smoothedPseudoranges);
    clockOffset = 0.0;
    clockDrift = 0.0;
}
