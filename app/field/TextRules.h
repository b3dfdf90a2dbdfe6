#pragma once
#include <string>
#include <string_view>

// Text rules of the field sub-fields. A field's text is a row of character cells,
// one char32_t each (the degree sign and the double quote are single cells);
// positions are cell indices.

// Applies the integer text rule to cells first..last of text in place:
// - one cell: a blank or a digit; a blank becomes "0";
// - else leading blanks, zeros and plus signs (before the last cell) become blanks;
//   from the first other cell on, a number: an optional "-" then digits, blanks and
//   "-" after the first digit becoming "0"; a "-" followed by a blank or "-" makes
//   that cell "1", except on the second-to-last cell, where "- " becomes " 0" and
//   negativeZero is set; a last cell left blank becomes "0".
// A sign alone on the last cell is refused: it does not read as a number.
// Returns -1 when accepted, else the position of the first refused cell (the text
// may then be partly rewritten; the caller restores it).
int ApplyIntegerRule(std::u32string& text, int first, int last, bool& negativeZero);

// Applies the month-name rule after a letter was typed on cell first + typed
// (typed 0..2) of the three cells at first. Upper-case letters become lower case;
// a first or second letter that does not leave a month spelled completes to the
// month it starts ("j" gives "jan", "ju" keeps "jun" or "jul"), the third letter
// must spell a month. Returns the month 1..12, 0 when refused.
int ApplyMonthRule(std::u32string& text, int first, int typed);

// Three-letter lower-case name of month 1..12 ("jan".."dec"); "???" outside.
std::string_view MonthName(int month);

// Right-aligned decimal text of value in at least width characters, as "%*d".
std::string FormatInteger(long long value, int width);
// Right-aligned fixed-point text with decimals digits after the point in at least
// width characters, as "%*.*f" in the "C" locale (whatever the process locale).
std::string FormatFixed(double value, int width, int decimals);

// Writes the ASCII text s into the cells of text from position first on (cells
// beyond the text's end are not written).
void WriteCells(std::u32string& text, int first, std::string_view s);

// Reads the number in cells first..last (blanks around it allowed). False when the
// cells hold no number or more than one.
bool ReadInteger(const std::u32string& text, int first, int last, long long& value);
bool ReadReal(const std::u32string& text, int first, int last, double& value);

// UTF-8 text of cells.
std::string CellsToUtf8(std::u32string_view cells);
