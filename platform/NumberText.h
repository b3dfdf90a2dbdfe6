#pragma once
#include <cstddef>

// Numbers to and from text in the C locale's form (a point before the decimals),
// whatever locale the program runs in: the forms of the RINEX files and of the
// raw files' texts. The same code on every system the program is built for.

// Writes x as printf's %.*f (fixed) or %.*e (scientific) would in the C locale,
// into buffer of size characters (terminated); returns the length of the text,
// which may be size or more when buffer is too small (nothing is then promised
// about buffer but its termination).
int FormatFixed(char* buffer, size_t size, int precision, double x);
int FormatScientific(char* buffer, size_t size, int precision, double x);

// Reads a decimal number at [first, last): digits with an optional point and
// decimals, then an optional exponent (e or E, an optional sign, digits); no sign,
// blank, hexadecimal form, infinity or NaN of its own. Returns the end of the number
// read with value set to the nearest double; nullptr, value untouched, when no
// number begins at first or when it lies outside a double's range (it would round
// to infinity, or to zero from digits that are not all zero).
const char* ReadDecimal(const char* first, const char* last, double& value);
