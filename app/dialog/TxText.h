#pragma once
#include <string>

// The Tx of the advanced options as its combo box shows it: whole milliseconds,
// floor(tx * 1000 + 0.5), in decimal (tx in seconds).
std::string TxText(double tx);

// Reads the Tx combo box's text the way "%ld" does: blanks, an optional sign and
// digits, whatever follows being ignored ("75ms" gives 75). On success tx receives
// the number times 0.001 s. False when the text does not begin with an integer or
// the integer does not fit a long.
bool ParseTxText(const std::string& text, double& tx);

// The range of Tx in whole milliseconds, the window's and the command line's.
constexpr long kTxMinMs = 0;
constexpr long kTxMaxMs = 1000;

// True when tx (seconds) lies in kTxMinMs..kTxMaxMs milliseconds.
bool TxInRange(double tx);

// The message of a Tx outside its range: "Please enter an integer between 0 and 1000."
std::string TxRangeMessage();
