#pragma once

// The dual- and single-frequency combinations of the quality statistics and the
// thresholds of cycle-slip detection. Phases in cycles, codes and results in metres.

// A slip is found when the ionospheric residual (dual frequency) changes by more
// than this between consecutive epochs, m.
inline constexpr double kIonosphericSlipThreshold = 0.10;
// A slip is found when the code-minus-carrier of single-frequency data changes by
// more than this between consecutive epochs, m (code noise and multipath stay well
// below; a slip must exceed about 53 L1 cycles to show).
inline constexpr double kCodeCarrierSlipThreshold = 10.0;

// alpha = (f1 / f2)^2 of the GPS L1 and L2 carriers.
double FrequencyRatioSquared();

// Multipath combination of the L1 code P1 (or C1), m:
// P1 - (1 + 2/(alpha-1)) lambda1 L1 + (2/(alpha-1)) lambda2 L2.
double Multipath1(double p1, double l1, double l2);
// Multipath combination of the L2 code P2, m:
// P2 - (2 alpha/(alpha-1)) lambda1 L1 + (2 alpha/(alpha-1) - 1) lambda2 L2.
double Multipath2(double p2, double l1, double l2);
// Ionospheric residual lambda1 L1 - lambda2 L2, m.
double IonosphericResidual(double l1, double l2);
// Code-minus-carrier of L1 as lambda1 L1 - C1, m.
double CodeCarrierL1(double l1, double c1);
