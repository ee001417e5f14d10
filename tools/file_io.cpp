#include "tools/file_io.h"

#include "tools/driver_error.h"
#include "tools/output.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane::tools {

std::string SystemErrorText(const std::string& what, int errnum) {
    return what + ": " + std::strerror(errnum);
}

namespace {

/// What a file that is neither a page nor a folder is, for its message; empty for a
/// regular file or a folder (a folder is refused when it is read).
std::string OtherKind(mode_t mode) {
    return S_ISFIFO(mode)                   ? "a FIFO"
           : S_ISSOCK(mode)                 ? "a socket"
           : S_ISCHR(mode)                  ? "a character device"
           : S_ISBLK(mode)                  ? "a block device"
           : S_ISREG(mode) || S_ISDIR(mode) ? ""
                                            : "not a file";
}

[[noreturn]] void RefuseKind(const std::string& name, const std::string& kind) {
    throw DriverError::About(name, "cannot read: " + kind + ", not a regular file");
}

} // namespace

InputFile::InputFile(const std::string& path) {
    m_name = path;
    struct stat info {};
    if (path == "-") {
        m_fd = STDIN_FILENO;
    } else {
        // The kind is checked before the open, as opening a FIFO waits for a writer, and
        // again after it (without waiting), should the name have changed meanwhile.
        if (::stat(path.c_str(), &info) == 0 && !OtherKind(info.st_mode).empty()) {
            RefuseKind(m_name, OtherKind(info.st_mode));
        }
        m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) {
            throw DriverError::About(m_name, SystemErrorText("cannot open", errno));
        }
        if (::fstat(m_fd, &info) == 0 && !OtherKind(info.st_mode).empty()) {
            ::close(m_fd);
            RefuseKind(m_name, OtherKind(info.st_mode));
        }
        m_owned = true;
        (void)::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
    }
    if (::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const off_t at = ::lseek(m_fd, 0, SEEK_CUR);
        if (at >= 0 && at <= info.st_size) {
            m_sizeHint = static_cast<std::size_t>(info.st_size - at);
        }
    }
}

InputFile::~InputFile() {
    if (m_owned) {
        ::close(m_fd);
    }
}

std::size_t InputFile::Read(char* data, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(m_fd, data, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            throw DriverError::About(m_name, SystemErrorText("cannot read", errno));
        }
    }
}

void WidenOutputPipe() {
#if defined(F_SETPIPE_SZ)
    // A pipe holds 64 KiB by default: a result of many megabytes would make
    // the writer wait for the reader every 64 KiB. 1 MiB is the largest size
    // an ordinary user may ask for by default.
    struct stat info {};
    if (::fstat(STDOUT_FILENO, &info) == 0 && S_ISFIFO(info.st_mode)) {
        (void)::fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20);
    }
#endif
}

int WriteAllTo(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0) {
            return errno;
        }
        if (put == 0) {
            return kWriteTookNothing;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    return 0;
}

void WriteOutput(std::string_view bytes) {
    const int error = WriteAllTo(STDOUT_FILENO, bytes);
    if (error == EPIPE) {
        throw OutputClosed();
    }
    if (error == kWriteTookNothing) {
        throw DriverError("cannot write to standard output: the output takes no more data");
    }
    if (error != 0) {
        throw DriverError(SystemErrorText("cannot write to standard output", error));
    }
}

void CloseOutput() {
    // EBADF: there was no standard output to begin with and nothing was written to it.
    if (::close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR) {
        throw DriverError(SystemErrorText("cannot write to standard output", errno));
    }
}

} // namespace morvane::tools
