#pragma once
// The one way the driver's steps report a failure to main(): an exception that
// carries the finished one-line message (without the program-name prefix) and
// the exit status to end with.

#include <stdexcept>
#include <string>

namespace morvane::tools {

/// Exit status for bad input, unreadable files and failed writes.
inline constexpr int kExitFailure = 1;
/// Exit status for a command line that cannot be understood.
inline constexpr int kExitUsage = 2;

class DriverError final : public std::runtime_error {
public:
    explicit DriverError(const std::string& message, int status = kExitFailure)
        : std::runtime_error(message)
        , m_status(status) {}
    int Status() const { return m_status; }

private:
    int m_status;
};

/// "<what>: <strerror(errnum)>", the form of every system-call failure message.
std::string SystemErrorText(const std::string& what, int errnum);

} // namespace morvane::tools
