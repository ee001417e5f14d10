#include "tools/file_io.h"

#include "tools/driver_error.h"
#include "tools/output.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane::tools {

std::string SystemErrorText(const std::string& what, int errnum) {
    return what + ": " + std::strerror(errnum);
}

InputFile::InputFile(const std::string& path) {
    m_name = path;
    if (path == "-") {
        m_fd = STDIN_FILENO;
    } else {
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        m_owned = true;
        if (m_fd < 0) {
            throw DriverError(SystemErrorText(m_name + ": cannot open", errno));
        }
    }
    struct stat info {};
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
            throw DriverError(SystemErrorText(m_name + ": cannot read", errno));
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
