#include "tools/file_io.h"

#include "tools/driver_error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane::tools {
namespace {

constexpr std::size_t kPipeChunk = 1 << 16;

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// Closes a descriptor the reader opened itself, on every way out.
class FileCloser final {
public:
    explicit FileCloser(int fd)
        : m_fd(fd) {}
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    ~FileCloser() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }

private:
    int m_fd;
};

} // namespace

std::string SystemErrorText(const std::string& what, int errnum) {
    return what + ": " + std::strerror(errnum);
}

Buffer<char> ReadInput(const std::string& path) {
    const bool fromStdin = path == "-";
    const std::string name = fromStdin ? std::string("standard input") : Quoted(path);
    const int fd = fromStdin ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw DriverError(SystemErrorText("cannot read " + name, errno));
    }
    const FileCloser closer(fromStdin ? -1 : fd);

    // A regular file is read in one go into a buffer one byte larger than its size, so the
    // end shows up without a copy; a pipe grows its buffer as the data comes.
    struct stat info {};
    std::size_t capacity = kPipeChunk;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        capacity = static_cast<std::size_t>(info.st_size) + 1;
    }
    Buffer<char> buffer(capacity);
    for (;;) {
        if (buffer.Size() == buffer.Capacity()) {
            buffer.Grow(kPipeChunk);
        }
        const ssize_t got =
            ::read(fd, buffer.Data() + buffer.Size(), buffer.Capacity() - buffer.Size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw DriverError(SystemErrorText("cannot read " + name, errno));
        }
        if (got == 0) {
            return buffer;
        }
        buffer.SetSize(buffer.Size() + static_cast<std::size_t>(got));
    }
}

void WriteOutput(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t put = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (put < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw DriverError(SystemErrorText("cannot write to standard output", errno));
        }
        if (put == 0) {
            // A device that takes nothing and reports no error would otherwise loop forever.
            throw DriverError("cannot write to standard output: the output takes no more data");
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
}

void CloseOutput() {
    // EBADF: there was no standard output to begin with and nothing was written to it.
    if (::close(STDOUT_FILENO) != 0 && errno != EBADF && errno != EINTR) {
        throw DriverError(SystemErrorText("cannot write to standard output", errno));
    }
}

} // namespace morvane::tools
