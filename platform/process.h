#pragma once
// Starting another program and testing for a file.

#include <QString>

namespace morvane::platform {

class Process {
public:
    virtual ~Process() = default;
    /// Starts the program at path detached, in a normal window with the focus,
    /// without waiting. False when it cannot be started (no such file, empty path).
    virtual bool startDetached(const QString& path) = 0;
    /// True when an ordinary file of that name exists (folders do not count).
    virtual bool fileExists(const QString& path) const = 0;
};

} // namespace morvane::platform
