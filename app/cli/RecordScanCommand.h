#pragma once
#include <ostream>
#include <string>

// --scan FILE: writes a listing of the records of a raw data file to out.
// Returns the exit status (0 when the file could be read).
int RunRecordScan(const std::string& path, std::ostream& out, std::ostream& err);
