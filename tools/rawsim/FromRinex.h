#pragma once
#include <string>

#include "tools/rawsim/RawWriter.h"
#include "tools/rawsim/Truth.h"

// Turning a real RINEX 2 recording into a receiver-dated raw file.
struct FromRinexOptions {
    std::string obsPath;
    std::string navPath;
    int defaultCn0 = 45;  // dB-Hz, for values without a signal strength digit
};

// Carrier-to-noise density (dB-Hz) that a RINEX signal strength digit 1..9 stands for
// (the lowest density that gives that digit back); fallback for 0.
int Cn0OfStrength(int digit, int fallback);

// Reads obsPath and navPath and writes through writer: the antenna height record, one
// "Q" epoch per observation epoch (codes as travel times, phases in cycles, Dopplers
// from the phase rate where the file has none, lock counters that change where the
// file flags a loss of lock), every navigation record as an "E" record once its
// transmission time is reached, one "U" record after the first epoch, and the event
// records of the file's event flags (2 kinematic, 3 new site, 4 antenna height, 5 time
// event) where the layout has a record for them. header
// receives the station position and the antenna height. False with a message on failure.
bool WriteRawFromRinex(const FromRinexOptions& options, RawWriter& writer, Truth& header, std::string& error);
