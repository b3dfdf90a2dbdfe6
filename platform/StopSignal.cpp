#include "platform/StopSignal.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t received = 0;

// Keeps the first stop signal.
extern "C" void OnStopSignal(int signal) {
    if (received == 0) received = signal;
}

}  // namespace

void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

int StopSignalReceived() { return received; }

void ClearStopSignal() { received = 0; }
