#pragma once
#include <string>
#include <string_view>

#include "convert/ConversionUi.h"

// Reads a position pasted as text: three numbers separated by blanks, commas or
// semicolons, either latitude and longitude in decimal degrees and the height in
// metres ("35.1608 139.6138 68.2"), or earth-centred X, Y, Z in metres (told
// apart by their size). On success position holds latitude and longitude in
// radians and the height in metres and reason is empty; otherwise position is
// left as it was, reason says what could not be read, and false is returned.
// Heights are limited to the altitude field's -999.999..9999.999 m.
bool ReadPastedPosition(std::string_view text, ApproximatePosition& position, std::string& reason);
