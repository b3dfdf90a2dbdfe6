#include "app/dialog/TxText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

std::string TxText(double tx) {
    const double ms = std::floor(tx * 1000.0 + 0.5);
    if (!std::isfinite(ms) || std::fabs(ms) > 9.0e18) return "0";
    return std::to_string(static_cast<long long>(ms));
}

bool ParseTxText(const std::string& text, double& tx) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE) return false;
    tx = static_cast<double>(value) * 0.001;
    return true;
}

bool TxInRange(double tx) {
    const double ms = std::floor(tx * 1000.0 + 0.5);
    return ms >= kTxMinMs && ms <= kTxMaxMs;
}

std::string TxRangeMessage() {
    return "Please enter an integer between " + std::to_string(kTxMinMs) + " and " + std::to_string(kTxMaxMs) + ".";
}
