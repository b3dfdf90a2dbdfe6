// The conversion engine of the browser edition (built with Emscripten): one run per
// call of main, its JSON object on standard output.
#include <cstdio>
#include <string>
#include <vector>

#include "app/web/WebRun.h"

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const std::string json = RunForPage(arguments);
    std::fputs(json.c_str(), stdout);
    std::fputc('\n', stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
