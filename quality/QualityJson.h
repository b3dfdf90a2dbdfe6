#pragma once
#include <string>
#include <string_view>

#include "quality/QualitySummary.h"

// s as a JSON string: in double quotes, with the quote, the backslash and the
// control characters escaped.
std::string JsonString(std::string_view s);
// x as a JSON number with the given decimals, or null when x is not a finite number.
std::string JsonNumber(double x, int decimals);

// The object that the JSON summary of a conversion holds under the key "quality", on
// one line. Every key is always present: epochs_expected, epochs_written,
// completeness (%), gaps ([first missing, last missing] GPS times), mp1_rms, mp2_rms
// (m), slips_flagged, slips_found, satellites ({"G05": {epochs, epochs_l1,
// elevation_min, elevation_max (degrees), cn0_mean (dB-Hz), slips_flagged, slips_found,
// mp1_rms, mp2_rms}, ...} for every satellite seen), satellites_per_epoch {min, mean,
// max}, epochs_under_4, position ({latitude, longitude (degrees), height (m), x, y, z,
// std_north, std_east, std_up, p95_horizontal, p95_vertical (m), epochs_fixed,
// epochs_unfixed} or null without a fix). A figure that cannot be given is null.
std::string QualityJson(const QualitySummary& q);
