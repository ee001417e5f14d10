// The file replacement on Linux and other POSIX systems. The temporary file
// is made nameless (O_TMPFILE) where the file system allows, created 0600 so
// that no one but its writer may open it, locked with flock(2) for as long as
// its writer lives, and marked with the extended attribute kMark, whose value
// is the file's own device and inode numbers and the name it was given: a
// user's file cannot carry that by accident, nor can a copy of a leftover (it
// has another inode), nor a target that was renamed from it (it has another
// name). Before it is named it gets the target's owner and group, every
// extended attribute the target has (the POSIX access control list is
// "system.posix_acl_access"), then the target's mode; it loses the mark once
// it is in place.

#include "tools/driver_error.h"
#include "tools/file_io.h"
#include "tools/messages.h"
#include "tools/replacement_platform.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace morvane::tools {
namespace {

/// The extended attribute that marks a temporary file as this program's own.
constexpr const char* kMark = "user.morvane-convert.temporary";
/// The access control list, which a file created in a folder with a default list inherits.
constexpr const char* kAccessList = "system.posix_acl_access";

/// The mode a newly created file gets: 0666 less the process's umask.
mode_t CreationMode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

/// The mark's value for the file described by `info` when it is called `name`.
std::string MarkValue(const struct stat& info, const std::string& name) {
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" + name;
}

bool CarriesItsMark(int fd, const struct stat& info, const std::string& name) {
    const std::string expected = MarkValue(info, name);
    std::string value(expected.size() + 1, '\0');
    const ssize_t size = ::fgetxattr(fd, kMark, value.data(), value.size());
    return size >= 0 && value.substr(0, static_cast<std::size_t>(size)) == expected;
}

/// Reads the names of the extended attributes of `path`, links followed, into `names`
/// (none where the file system has none). 0, or the errno of the failure.
int AttributeNames(const std::string& path, std::vector<std::string>& names) {
    names.clear();
    for (;;) {
        const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
        if (size < 0) {
            return errno == ENOTSUP ? 0 : errno;
        }
        std::string list(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::listxattr(path.c_str(), list.data(), list.size());
        if (got < 0 && errno == ERANGE) {
            continue; // one was added meanwhile
        }
        if (got < 0) {
            return errno;
        }
        for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
            names.emplace_back(list.c_str() + at);
            at += names.back().size() + 1;
        }
        return 0;
    }
}

/// Gives the file `fd` the attribute `name` of `path`. 0, or the errno of the failure.
int CopyAttribute(const std::string& path, const std::string& name, int fd) {
    for (;;) {
        const ssize_t size = ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
        if (size < 0) {
            return errno;
        }
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        if (got < 0 && errno == ERANGE) {
            continue; // it grew meanwhile
        }
        if (got < 0) {
            return errno;
        }
        return ::fsetxattr(fd, name.c_str(), value.data(), static_cast<std::size_t>(got), 0) == 0
                   ? 0
                   : errno;
    }
}

class PosixPendingFile final : public PendingFile {
public:
    PosixPendingFile(std::string target, std::string folder, std::string name);
    ~PosixPendingFile() override;
    void Write(std::string_view bytes) override;
    void Commit(bool syncFolder) override;

private:
    [[noreturn]] void Fail(const std::string& why, int errnum) const {
        throw DriverError(SystemErrorText("cannot write " + Quoted(m_target) + why, errnum));
    }
    void Mark() const;
    void KeepAttributes();

    std::string m_target;
    std::string m_folder;
    std::string m_name;
    std::string m_temporaryName; ///< empty while the temporary file has no name
    int m_folderFd = -1;
    int m_fd = -1;
    bool m_existed = false;
    struct stat m_original {};
    bool m_committed = false;
};

PosixPendingFile::PosixPendingFile(std::string target, std::string folder, std::string name)
    : m_target(std::move(target))
    , m_folder(std::move(folder))
    , m_name(std::move(name)) {
    if (::stat(m_target.c_str(), &m_original) == 0) {
        if (!S_ISREG(m_original.st_mode)) {
            throw DriverError("cannot write " + Quoted(m_target) + ": not a regular file");
        }
        m_existed = true;
    } else if (errno != ENOENT) {
        Fail("", errno);
    }

    const std::string inFolder = ": cannot make a file in its folder " + Quoted(m_folder);
    m_folderFd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0) {
        Fail(inFolder, errno);
    }
    // A nameless file vanishes with the process; it is named later through /proc, which
    // needs no privilege, so it is used only where /proc is there.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::openat(m_folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            Fail(inFolder, errno); // the destructor closes the folder
        }
    }
    while (m_fd < 0) {
        m_temporaryName = TemporaryName(m_name);
        m_fd = ::openat(m_folderFd, m_temporaryName.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST) {
            m_temporaryName.clear();
            Fail(inFolder, errno);
        }
    }
    // The lock tells a later run that a writer still owns the file; it is released when
    // the process ends, however it ends. It is taken before the mark, so that a marked
    // file is never seen unlocked while its writer lives.
    (void)::flock(m_fd, LOCK_EX);
    if (!m_temporaryName.empty()) {
        Mark();
    }
}

void PosixPendingFile::Mark() const {
    // A file system without user attributes leaves the file unmarked: should a killed run
    // leave it, the next run names it instead of removing it.
    struct stat info {};
    if (::fstat(m_fd, &info) == 0) {
        const std::string value = MarkValue(info, m_temporaryName);
        (void)::fsetxattr(m_fd, kMark, value.data(), value.size(), 0);
    }
}

PosixPendingFile::~PosixPendingFile() {
    if (!m_committed && !m_temporaryName.empty()) {
        (void)::unlinkat(m_folderFd, m_temporaryName.c_str(), 0);
    }
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (m_folderFd >= 0) {
        ::close(m_folderFd);
    }
}

void PosixPendingFile::Write(std::string_view bytes) {
    const int error = WriteAllTo(m_fd, bytes);
    if (error != 0) {
        // A file that takes nothing without an error is a full one.
        Fail("", error == kWriteTookNothing ? ENOSPC : error);
    }
}

void PosixPendingFile::KeepAttributes() {
    if (!m_existed) {
        if (::fchmod(m_fd, CreationMode()) != 0) {
            Fail("", errno);
        }
        return;
    }
    // The owner first: changing it clears the set-user-ID and set-group-ID bits, which the
    // mode then puts back. A user who may not give the file to its owner would otherwise
    // own the replacement, and so could do more with it than with the original.
    struct stat now {};
    if (::fstat(m_fd, &now) != 0) {
        Fail("", errno);
    }
    if ((now.st_uid != m_original.st_uid || now.st_gid != m_original.st_gid) &&
        ::fchown(m_fd, m_original.st_uid, m_original.st_gid) != 0) {
        Fail(": cannot keep its owner and group", errno);
    }
    // The attributes before the mode: the access control list sets the mode's group bits
    // to its mask, and the mode then sets the same mask again. Until then the file is
    // 0600, closed to all but its writer.
    std::vector<std::string> names;
    if (const int error = AttributeNames(m_target, names); error != 0) {
        Fail(": cannot read its extended attributes", error);
    }
    bool hasAccessList = false;
    for (const std::string& name : names) {
        if (name == kMark) {
            continue;
        }
        hasAccessList = hasAccessList || name == kAccessList;
        if (const int error = CopyAttribute(m_target, name, m_fd); error != 0) {
            Fail(": cannot keep its extended attribute " + Quoted(name), error);
        }
    }
    // A list inherited from the folder's default list goes, as the original has none.
    if (!hasAccessList && ::fremovexattr(m_fd, kAccessList) != 0 && errno != ENODATA &&
        errno != ENOTSUP) {
        Fail(": cannot keep its access control list", errno);
    }
    if (::fchmod(m_fd, m_original.st_mode & 07777) != 0) {
        Fail(": cannot keep its mode", errno);
    }
}

void PosixPendingFile::Commit(bool syncFolder) {
    KeepAttributes();
    if (::fsync(m_fd) != 0) {
        Fail("", errno);
    }
    if (m_temporaryName.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        for (;;) {
            m_temporaryName = TemporaryName(m_name);
            Mark();
            if (::linkat(AT_FDCWD, self.c_str(), m_folderFd, m_temporaryName.c_str(),
                         AT_SYMLINK_FOLLOW) == 0) {
                break;
            }
            const int error = errno;
            m_temporaryName.clear();
            if (error != EEXIST) {
                Fail("", error);
            }
        }
    }
    if (::renameat(m_folderFd, m_temporaryName.c_str(), m_folderFd, m_name.c_str()) != 0) {
        Fail("", errno); // the destructor removes the temporary file
    }
    m_committed = true;
    // The mark names the temporary file, so a target that keeps it (the run killed just
    // now) is still never taken for a leftover; the next replacement does not copy it.
    (void)::fremovexattr(m_fd, kMark);
    if (syncFolder) {
        (void)::fsync(m_folderFd);
    }
}

} // namespace

std::unique_ptr<PendingFile> CreatePendingFile(const std::string& target, const std::string& folder,
                                               const std::string& name) {
    return std::make_unique<PosixPendingFile>(target, folder, name);
}

void SyncFolder(const std::string& folder) {
    // A file system that cannot sync a folder (EINVAL) has made the renames durable
    // already or never will.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

Leftovers SweepLeftovers(const std::string& folder) {
    Leftovers found;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return found;
    }
    const int folderFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name)) {
            continue;
        }
        const int fd =
            ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat held {};
        if (fd < 0 || ::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode) ||
            !CarriesItsMark(fd, held, entry->d_name)) {
            found.unsure.emplace_back(entry->d_name);
        } else if (struct stat named{};
                   // A live writer holds its lock until its file is renamed into place;
                   // the name must still denote the file once the lock is held.
                   ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                   ::fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                   named.st_dev == held.st_dev && named.st_ino == held.st_ino &&
                   ::unlinkat(folderFd, entry->d_name, 0) == 0) {
            ++found.removed;
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace morvane::tools
