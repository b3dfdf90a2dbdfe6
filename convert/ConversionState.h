#pragma once
#include "convert/ConversionRequest.h"
#include "convert/ReceptionTime.h"
#include "convert/rinex/RinexObsHeader.h"
#include "positioning/GeoPosition.h"
#include "positioning/PositionSolver.h"
#include "rawdata/EpochTracker.h"

// The state of the conversion driver. It is owned by the application for its
// whole life: part of it is reset at the start of every conversion, the rest
// (phase offset tables, the solver's ambiguity references and last fix, the
// approximate position of the header) carries over from one conversion to the
// next, as it would in one interactive session.
struct ConversionState {
    RinexObsHeader header;          // header texts and the values the passes fill in
    EpochTracker tracker;           // raw-data kind, epoch window, ephemeris store, kept IonoUtc
    PositionSolver solver;
    bool positionFixed = false;     // a position exists for the current epoch
    bool positionApproximate = false;  // that position is only the asked or default one
    GeoPosition position;           // current position, earth-centred, m
    double clockOffset = 0.0;       // receiver clock offset, s
    double clockDrift = 0.0;        // receiver clock drift, s/s
    PhaseOffsetTables phaseOffsets; // whole-cycle phase offsets per satellite
    GpsTime ionoUtcTime;            // when the kept ionosphere/UTC record came: the time of the
                                    // epoch record read last (the first one for earlier records)
    // The last output epoch of the latest observation pass (selected or not): where
    // a continuing conversion (ConversionRequest::continuation) goes on from.
    RinexEpoch lastOutput;

    // Start of a conversion: header texts from the request; antenna height, type
    // mask, first and last time, interval and comment cleared; raw-data kind 0;
    // ephemeris store and kept ionosphere/UTC record emptied; no position fixed;
    // the solver reset with the request's smoothed-pseudoranges option; clock
    // offset and drift 0 (a continuation keeps position, solver and clock).
    void Reset(const ConversionRequest& request);
};
