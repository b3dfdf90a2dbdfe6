#pragma once
#include <string>

#include "rawdata/GpsTime.h"

// Event kinds of a SiteEvent.
enum SiteEventKind : int {
    kEventKinematic = 20,       // kinematic data follow
    kEventNewSite = 30,         // new site occupation with markerName
    kEventSiteOrTime = 40,      // new site when markerName is set, else a time event
    kEventAntennaHeight = 41,   // new antenna height in value
    kEventIgnored = 50,         // ignored; the initial kind
    kEventKinematic6 = 60,      // kinematic data follow
    kEventNewSite5 = 70,        // new site occupation with markerName
};

// A decoded site, time-event or antenna-height record.
struct SiteEvent {
    GpsTime time;
    int kind = kEventIgnored;
    std::string description;  // free text (site information)
    double value = 0;         // antenna height, m (kind 41)
    std::string markerName;   // new marker name, empty when none
};
