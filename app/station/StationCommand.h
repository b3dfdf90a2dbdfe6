#pragma once
#include <ostream>
#include <string>
#include <vector>

// qern2rinex --station DIR SOURCE [options]: runs a permanent station until a stop
// signal (or the end of standard input); its log lines go to log. Returns the
// exit status: 0 after a stop or the end of the stream, 1 when the station cannot
// run, 2 for a misuse of the command line.
int RunStation(const std::vector<std::string>& parameters, std::ostream& log);
