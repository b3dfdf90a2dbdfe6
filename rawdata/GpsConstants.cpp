#include "rawdata/GpsConstants.h"

#include <cmath>

double SymmetricRemainder(double x, double m) {
    double r = Fmod(x, m);
    if (r < -m / 2) r += m;
    if (r > m / 2) r -= m;
    return r;
}

int SymmetricRemainder(int x, int m) {
    if (m == 0) return x;
    int r = x % m;
    const int half = m / 2;
    if (r < -half) r += m;
    if (r > half) r -= m;
    return r;
}
