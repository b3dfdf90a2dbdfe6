#pragma once
#include <string>

#include "rawdata/GpsTime.h"

// Calendar text of GPS time t rounded to the millisecond: "2005-04-02T00:10:00",
// with ".250" appended when the milliseconds are not zero. separator stands between
// date and time ('T' for JSON, ' ' for the text report).
std::string CalendarText(const GpsTime& t, char separator);
