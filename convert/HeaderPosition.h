#pragma once
#include <cstddef>
#include <optional>
#include <string>

// A header written before the first fix holds a default position; once a fix is
// known, its APPROX POSITION XYZ record is written over in place (the record has
// a fixed width, so the file around it stays as it is).

// Where a header text holds its APPROX POSITION XYZ record: the offset of the
// record's first character in the text and its length with the line end.
struct HeaderRecordPlace {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// The place of the APPROX POSITION XYZ record in headerText; none when it has none.
std::optional<HeaderRecordPlace> ApproxPositionPlace(const std::string& headerText);

// The record to write over place for the position x, y, z (m, earth-centred); none
// when it would not fill the place exactly.
std::optional<std::string> ApproxPositionPatch(const HeaderRecordPlace& place, double x, double y, double z);
