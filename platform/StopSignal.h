#pragma once

// SIGINT, SIGTERM and SIGHUP taken as a request to stop: the running conversions
// see it at their next cancel poll and end through their normal failure path.

// Catches the three signals from now on (only the first one received is kept).
void CatchStopSignals();
// The number of the stop signal received, 0 when none was.
int StopSignalReceived();
// Forgets a received signal (for tests).
void ClearStopSignal();
