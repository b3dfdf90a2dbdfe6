#include "tools/rawsim/Faults.h"

#include <algorithm>
#include <sstream>

namespace {
const FaultType kAll[] = {FaultType::Checksum, FaultType::Escape,    FaultType::Prn, FaultType::Cut,
                          FaultType::Garbage,  FaultType::Unhealthy, FaultType::Iode};
}

const char* FaultName(FaultType type) {
    switch (type) {
    case FaultType::Checksum: return "checksum";
    case FaultType::Escape: return "escape";
    case FaultType::Prn: return "prn";
    case FaultType::Cut: return "cut";
    case FaultType::Garbage: return "garbage";
    case FaultType::Unhealthy: return "unhealthy";
    case FaultType::Iode: return "iode";
    }
    return "?";
}

bool FaultPlan::Has(FaultType type) const {
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool ParseFaultList(const std::string& list, FaultPlan& plan, std::string& error) {
    std::stringstream in(list);
    std::string name;
    while (std::getline(in, name, ',')) {
        if (name.empty()) continue;
        if (name == "all") {
            for (FaultType t : kAll) {
                if (!plan.Has(t)) plan.types.push_back(t);
            }
            continue;
        }
        bool found = false;
        for (FaultType t : kAll) {
            if (name == FaultName(t)) {
                if (!plan.Has(t)) plan.types.push_back(t);
                found = true;
            }
        }
        if (!found) {
            error = "unknown fault '" + name + "' (checksum, escape, prn, cut, garbage, unhealthy, iode, all)";
            return false;
        }
    }
    return true;
}
