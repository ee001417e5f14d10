#include "tools/process.h"

#include <csignal>

namespace morvane::tools {

std::vector<std::string> StartProcess(int argc, char** argv) {
    // A reader that goes away shows up as EPIPE on write, so that the run can stop in
    // order; a closed standard error (progress, messages) never ends an in-place run.
    std::signal(SIGPIPE, SIG_IGN);
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

int EndForClosedOutput() {
    // As a Unix filter whose reader left: no message, ended by SIGPIPE itself, so that a
    // shell pipeline sees what it sees from cat or grep (status 141 in the shell).
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
    return 128 + SIGPIPE;
}

} // namespace morvane::tools
