#pragma once

// Exit statuses of the program.
enum ExitStatus : int {
    kExitSuccess = 0,  // the conversion succeeded (or --help, --version, --scan did)
    kExitFailure = 1,  // the conversion failed, was cancelled or did not start
    kExitUsage = 2,    // the command line was not understood
};
