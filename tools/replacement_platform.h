#pragma once
// The operating system's part of replacing a file (output.h): making the
// temporary file that starts closed, giving it the target's owner, group,
// extended attributes and mode, renaming it over the target, and telling this
// program's own leftovers from a user's files. Each system has one file that
// implements what is declared here, and SyncFolder() and SweepLeftovers() of
// output.h (replacement_posix.cpp; tools/CMakeLists.txt picks it); the names,
// the buffering and the messages' shape are shared (output.cpp).

#include "tools/output.h"

#include <memory>
#include <string>
#include <string_view>

namespace morvane::tools {

/// The new content of a target while it is written: a temporary file in the target's folder.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    /// Removes the temporary file unless Commit() succeeded.
    virtual ~PendingFile() = default;

    /// Appends `bytes`. Throws DriverError on a write failure.
    virtual void Write(std::string_view bytes) = 0;
    /// Gives the file the target's attributes, syncs it and renames it over the target.
    /// Throws DriverError, the target untouched, on any failure.
    virtual void Commit(bool syncFolder) = 0;
};

/// Creates the temporary file for `target`, whose folder is `folder` and name `name`.
/// Throws DriverError when the target is not a regular file or the folder cannot take it.
std::unique_ptr<PendingFile> CreatePendingFile(const std::string& target, const std::string& folder,
                                               const std::string& name);

/// A fresh temporary file name for the target called `name`: ".NAME.morvane-XXXXXX".
std::string TemporaryName(const std::string& name);
/// Whether `name` has the shape of a temporary file name.
bool IsTemporaryName(std::string_view name);

} // namespace morvane::tools
