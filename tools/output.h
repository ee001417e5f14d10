#pragma once
// Where a page's result goes when it is not standard output: a target file
// that is replaced atomically. The bytes go to a temporary file in the
// target's own folder, which is synced, given the target's mode (and owner,
// where the user may) and renamed over the target; until then the target
// keeps its old content, and on any failure the temporary file is removed.
//
// The temporary file has no name while it is written (O_TMPFILE) wherever the
// file system allows, so a run killed part-way leaves nothing behind. Only in
// the moment between naming it and renaming it over the target, or on a file
// system without O_TMPFILE, can a killed run leave one: it is called
// ".NAME.morvane-XXXXXX" (NAME the target's name, cut to fit, and six letters
// or digits), is locked with flock(2) for as long as its writer lives, and
// RemoveAbandonedTemporaries() removes those no live writer holds.

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace morvane::tools {

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
    /// DriverError naming the target when its folder cannot take a temporary file or the
    /// target exists and is not a regular file.
    explicit ReplacementFile(std::string target);
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;
    /// Removes the temporary file unless Commit() succeeded; the target stays as it was.
    ~ReplacementFile();

    /// Appends `bytes` to the new content. Throws DriverError on a write failure.
    void Write(std::string_view bytes);
    /// Makes the bytes written the target's content in one step. Throws DriverError, the
    /// target untouched, when the content cannot be written, synced or renamed into place.
    /// The content is on the disk before the rename, so that even a power loss leaves the
    /// old or the new content; the rename itself is on the disk once the folder is synced,
    /// which `syncFolder` false leaves to the caller (SyncFolder()), so that a run over many
    /// files in one folder syncs it once.
    void Commit(bool syncFolder = true);

    /// The bytes handed to Write() so far.
    std::size_t Written() const { return m_written; }

private:
    void Flush();
    void WriteAll(std::string_view bytes);
    [[noreturn]] void Fail(const std::string& what, int errnum) const;

    std::string m_target;
    std::string m_folder;
    std::string m_name;
    std::string m_temporaryName; ///< empty while the temporary file has no name
    int m_folderFd = -1;
    int m_fd = -1;
    mode_t m_mode = 0;
    bool m_keepOwner = false;
    uid_t m_owner = 0;
    gid_t m_group = 0;
    bool m_committed = false;
    std::string m_pending;
    std::size_t m_written = 0;
};

/// Syncs a folder, so that the renames done in it are on the disk. A file system that
/// cannot sync a folder is not a failure: the targets are replaced either way.
void SyncFolder(const std::string& folder);

/// Removes from `folder` every ".NAME.morvane-XXXXXX" file that no live writer holds
/// locked: what runs killed part-way left. Returns how many it removed; a folder that
/// cannot be read is left alone.
std::size_t RemoveAbandonedTemporaries(const std::string& folder);

} // namespace morvane::tools
