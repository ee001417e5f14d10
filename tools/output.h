#pragma once
// Where a page's result goes when it is not standard output: a target file
// that is replaced atomically. The bytes go to a temporary file in the
// target's own folder, which starts closed to everyone but its writer, is
// synced, given the target's owner, group, extended attributes (its access
// control list among them) and mode, and renamed over the target; until then
// the target keeps its old content, and on any failure, one of these
// attributes that cannot be kept included, the temporary file is removed.
//
// The temporary file has no name while it is written wherever the file
// system allows, so a run killed part-way leaves nothing behind. Only in the
// moment between naming it and renaming it over the target, or on a file
// system that cannot make nameless files, can a killed run leave one: it is
// called ".NAME.morvane-XXXXXX" (NAME the target's name, cut to fit, and six
// letters or digits), held locked for as long as its writer lives, and marked
// as this program's own. SweepLeftovers() removes only those that carry the
// mark and that no live writer holds; a file of that shape that it cannot
// prove to be a leftover is left alone and named.
//
// What the operating system does for this lives in one file per system
// (replacement_posix.cpp) behind replacement_platform.h.

#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::tools {

class PendingFile;

/// What ".NAME.morvane-XXXXXX" has before its six random characters.
inline constexpr std::string_view kTemporaryMarker = ".morvane-";

/// Thrown by WriteOutput when the reader of standard output has gone away (EPIPE):
/// the run stops without a message, as a Unix filter does.
class OutputClosed final : public std::exception {
public:
    const char* what() const noexcept override { return "the reader of standard output left"; }
};

class ReplacementFile final {
public:
    /// Prepares to replace `target`, or to create it when it does not exist. Throws
    /// DriverError naming the target when its folder cannot take a temporary file (naming
    /// the folder as the cause) or the target exists and is not a regular file.
    explicit ReplacementFile(std::string target);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    /// Removes the temporary file unless Commit() succeeded; the target stays as it was.
    ~ReplacementFile();

    /// Appends `bytes` to the new content. Throws DriverError on a write failure.
    void Write(std::string_view bytes);
    /// Makes the bytes written the target's content in one step. Throws DriverError, the
    /// target untouched, when the content cannot be written or synced, when the target's
    /// owner, group, extended attributes or mode cannot be given to it, or when it cannot
    /// be renamed into place. The content is on the disk before the rename, so that even a
    /// power loss leaves the old or the new content; the rename itself is on the disk once
    /// the folder is synced, which `syncFolder` false leaves to the caller (SyncFolder()),
    /// so that a run over many files in one folder syncs it once.
    void Commit(bool syncFolder = true);

    /// The bytes handed to Write() so far.
    std::size_t Written() const { return m_written; }

private:
    void Flush();

    std::string m_target;
    std::unique_ptr<PendingFile> m_file;
    std::string m_pending;
    std::size_t m_written = 0;
};

/// Syncs a folder, so that the renames done in it are on the disk. A file system that
/// cannot sync a folder is not a failure: the targets are replaced either way.
void SyncFolder(const std::string& folder);

/// What SweepLeftovers found in a folder.
struct Leftovers {
    std::size_t removed = 0;         ///< leftovers of killed runs, removed
    std::vector<std::string> unsure; ///< names of the temporary files' shape, left alone
};

/// Removes from `folder` every ".NAME.morvane-XXXXXX" file that this program marked as its
/// own temporary file and that no live writer holds locked: what runs killed part-way
/// left. A file of that shape without the mark is a user's and stays, named in `unsure`;
/// one that a live writer holds stays unnamed. A folder that cannot be read is left alone.
Leftovers SweepLeftovers(const std::string& folder);

} // namespace morvane::tools
