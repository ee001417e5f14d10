#include "tools/output.h"

#include "tools/driver_error.h"
#include "tools/file_io.h"

#include <array>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane::tools {
namespace {

/// Pieces are gathered up to this size before each write(2); a typical page is one write.
constexpr std::size_t kWriteSize = std::size_t{64} << 10;
/// How much of the target's name the temporary file's name keeps, so that the whole name
/// stays inside NAME_MAX (255) with the dot, the marker and the six random characters.
constexpr std::size_t kNameKept = 200;
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kRandomAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string TemporaryName(const std::string& name) {
    static std::mt19937_64 random{std::random_device{}()};
    std::string result = "." + name.substr(0, kNameKept) + std::string(kTemporaryMarker);
    std::uniform_int_distribution<std::size_t> pick(0, kRandomAlphabet.size() - 1);
    for (std::size_t i = 0; i < kRandomLength; ++i) {
        result += kRandomAlphabet[pick(random)];
    }
    return result;
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() < 1 + 1 + kTemporaryMarker.size() + kRandomLength || name.front() != '.') {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - kRandomLength);
    const std::string_view marker =
        name.substr(name.size() - kRandomLength - kTemporaryMarker.size(), kTemporaryMarker.size());
    return marker == kTemporaryMarker &&
           tail.find_first_not_of(kRandomAlphabet) == std::string_view::npos;
}

/// The mode a newly created file gets: 0666 less the process's umask.
mode_t CreationMode() {
    static const mode_t mode = [] {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

} // namespace

ReplacementFile::ReplacementFile(std::string target)
    : m_target(std::move(target)) {
    const std::filesystem::path path(m_target);
    m_name = path.filename().string();
    m_folder = path.has_parent_path() ? path.parent_path().string() : ".";
    if (m_name.empty() || m_name == "." || m_name == "..") {
        throw DriverError("cannot write " + Quoted(m_target) + ": it names a folder");
    }

    struct stat info {};
    if (::stat(m_target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            throw DriverError("cannot write " + Quoted(m_target) + ": not a regular file");
        }
        m_mode = info.st_mode & 07777;
        m_keepOwner = true;
        m_owner = info.st_uid;
        m_group = info.st_gid;
    } else if (errno == ENOENT) {
        m_mode = CreationMode();
    } else {
        Fail("cannot write " + Quoted(m_target), errno);
    }

    m_folderFd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_folderFd < 0) {
        Fail("cannot write into the folder " + Quoted(m_folder), errno);
    }
    // A nameless file vanishes with the process; it is named later through /proc, which
    // needs no privilege, so it is used only where /proc is there.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd = ::openat(m_folderFd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            const int error = errno;
            ::close(m_folderFd);
            m_folderFd = -1;
            Fail("cannot write " + Quoted(m_target), error);
        }
    }
    while (m_fd < 0) {
        m_temporaryName = TemporaryName(m_name);
        m_fd = ::openat(m_folderFd, m_temporaryName.c_str(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd < 0 && errno != EEXIST) {
            const int error = errno;
            m_temporaryName.clear();
            ::close(m_folderFd);
            m_folderFd = -1;
            Fail("cannot write " + Quoted(m_target), error);
        }
    }
    // The lock tells a later run that a writer still owns the file; it is released when
    // the process ends, however it ends. A nameless file is locked before it gets a name;
    // a named one only just after it is made, and should another run remove it in that
    // instant, the rename fails and the target stays as it was.
    (void)::flock(m_fd, LOCK_EX);
}

ReplacementFile::~ReplacementFile() {
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

void ReplacementFile::Fail(const std::string& what, int errnum) const {
    throw DriverError(SystemErrorText(what, errnum));
}

void ReplacementFile::Write(std::string_view bytes) {
    m_written += bytes.size();
    if (m_pending.size() + bytes.size() <= kWriteSize) {
        m_pending.append(bytes);
        return;
    }
    Flush();
    if (bytes.size() < kWriteSize) {
        m_pending.assign(bytes);
    } else {
        WriteAll(bytes);
    }
}

void ReplacementFile::Flush() {
    WriteAll(m_pending);
    m_pending.clear();
}

void ReplacementFile::WriteAll(std::string_view bytes) {
    const int error = WriteAllTo(m_fd, bytes);
    if (error != 0) {
        // A file that takes nothing without an error is a full one.
        Fail("cannot write " + Quoted(m_target), error == kWriteTookNothing ? ENOSPC : error);
    }
}

void ReplacementFile::Commit(bool syncFolder) {
    Flush();
    const std::string what = "cannot write " + Quoted(m_target);
    // The owner first: changing it clears the set-user-ID and set-group-ID bits, which
    // the mode then puts back. A user may not give a file away; the file is then theirs.
    if (m_keepOwner) {
        (void)::fchown(m_fd, m_owner, m_group);
    }
    if (::fchmod(m_fd, m_mode) != 0) {
        Fail(what, errno);
    }
    if (::fsync(m_fd) != 0) {
        Fail(what, errno);
    }
    if (m_temporaryName.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        for (;;) {
            m_temporaryName = TemporaryName(m_name);
            if (::linkat(AT_FDCWD, self.c_str(), m_folderFd, m_temporaryName.c_str(),
                         AT_SYMLINK_FOLLOW) == 0) {
                break;
            }
            const int error = errno;
            m_temporaryName.clear();
            if (error != EEXIST) {
                Fail(what, error);
            }
        }
    }
    if (::renameat(m_folderFd, m_temporaryName.c_str(), m_folderFd, m_name.c_str()) != 0) {
        Fail(what, errno); // the destructor removes the temporary file
    }
    m_committed = true;
    if (syncFolder) {
        (void)::fsync(m_folderFd);
    }
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

std::size_t RemoveAbandonedTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return 0;
    }
    const int folderFd = ::dirfd(dir);
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name)) {
            continue;
        }
        const int fd =
            ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat held {};
        struct stat named {};
        // Only an unlocked regular file that the name still denotes once the lock is held:
        // a live writer holds its lock until its file is renamed into place.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == held.st_dev && named.st_ino == held.st_ino &&
            ::unlinkat(folderFd, entry->d_name, 0) == 0) {
            ++removed;
        }
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

} // namespace morvane::tools
