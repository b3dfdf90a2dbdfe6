#pragma once
#include <functional>
#include <string>
#include <vector>

// rawsim stream: the records of a raw file sent as a receiver sends them live,
// paced by their epoch times, to test a station's seams.
struct StreamRequest {
    std::string input;    // the raw file
    int formatIndex = 1;  // 0 ASCII, 1 binary
    enum class Target { Stdout, Tcp, Pty, File } target = Target::Stdout;
    int port = 0;             // Tcp: the port listened on (127.0.0.1; 0: any free one)
    std::string path;         // Pty: a symbolic link made to the terminal; File: the file appended to
    std::string readyFile;    // written with the port (Tcp) or the terminal's name (Pty) once ready
    double speed = 0;         // times real time; 0: as fast as the reader takes them
    double cutEvery = 0;      // stream s between cuts: the connection closed in the middle of a
                              // record (Tcp), the file renamed to PATH.1 and a new one begun (File)
    double resend = 0;        // stream s sent again after a cut or a lost connection
    std::vector<std::pair<double, double>> pauses;  // at stream second T (from the first epoch), S s of silence
    double linger = 2;        // s the connection or terminal stays open after the last record
};

// Sends the records; false with error set when the input cannot be read or the
// target cannot be made. note receives one line per event (connections, cuts).
bool RunStream(const StreamRequest& request, std::string& error, const std::function<void(const std::string&)>& note);
