#pragma once
#include <string>
#include <vector>

// The browser edition's side of a run: the page calls the engine's main with
// command-line arguments (the program's own options and parameters) and reads one
// JSON object from standard output. Outputs go to the folders of the profile the
// page writes; the page reads them back from the in-memory file system.

// Runs what arguments ask: "--scan FILE" gives the file's facts, anything else one
// conversion as a silent command-line run would make it (a splice with --splice).
// Returns the JSON object for the page.
std::string RunForPage(const std::vector<std::string>& arguments);
