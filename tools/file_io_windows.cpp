// Input and checked output for the driver on Windows (file_io.h): files are
// opened by their UTF-16 names and read and written through the handles the
// C runtime's descriptors stand for, as a descriptor's text mode would turn
// line breaks into others.

#include "tools/driver_error.h"
#include "tools/file_io.h"
#include "tools/output.h"
#include "tools/wide_text_windows.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace morvane::tools {

std::string SystemErrorText(const std::string& what, int errnum) {
    return what + ": " + std::strerror(errnum);
}

namespace {

/// What a handle that is not a file on a disk is, for its message; empty for a file.
std::string OtherKind(HANDLE handle) {
    switch (::GetFileType(handle)) {
    case FILE_TYPE_DISK:
        return "";
    case FILE_TYPE_CHAR:
        return "a character device";
    case FILE_TYPE_PIPE:
        return "a pipe";
    default:
        return "not a file";
    }
}

HANDLE HandleOf(int fd) {
    // The C runtime gives a descriptor's handle as an integer.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

/// Whether the Windows error `error` of a write to a pipe says that its reader has gone:
/// Windows says the pipe is being closed (ERROR_NO_DATA), Wine that it is not connected.
bool ReaderLeft(DWORD error) {
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA ||
           error == ERROR_PIPE_NOT_CONNECTED;
}

/// The errno that stands for the Windows error `error` of a write.
int WriteErrno(DWORD error) {
    if (ReaderLeft(error)) {
        return EPIPE;
    }
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    default:
        return EIO;
    }
}

} // namespace

InputFile::InputFile(const std::string& path) {
    m_name = path;
    if (path == "-") {
        m_fd = 0;
    } else {
        const std::wstring wide = WideFromUtf8(path);
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            throw DriverError::About(m_name, SystemErrorText("cannot read", EISDIR));
        }
        // Others may read, write, rename and delete the file meanwhile, as on Linux: an
        // in-place run replaces it while it is open.
        HANDLE const handle = ::CreateFileW(
            wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            throw DriverError::About(m_name, WindowsErrorText("cannot open", ::GetLastError()));
        }
        // A device (CON, NUL, COM1) or a pipe is refused as a FIFO is on Linux.
        if (const std::string kind = OtherKind(handle); !kind.empty()) {
            ::CloseHandle(handle);
            throw DriverError::About(m_name, "cannot read: " + kind + ", not a regular file");
        }
        m_fd = ::_open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_RDONLY | _O_BINARY);
        if (m_fd < 0) {
            ::CloseHandle(handle);
            throw DriverError::About(m_name, SystemErrorText("cannot open", errno));
        }
        m_owned = true;
    }
    LARGE_INTEGER size{};
    LARGE_INTEGER at{};
    HANDLE const handle = HandleOf(m_fd);
    if (::GetFileType(handle) == FILE_TYPE_DISK && ::GetFileSizeEx(handle, &size) != 0 &&
        ::SetFilePointerEx(handle, LARGE_INTEGER{}, &at, FILE_CURRENT) != 0 &&
        at.QuadPart <= size.QuadPart) {
        m_sizeHint = static_cast<std::size_t>(size.QuadPart - at.QuadPart);
    }
}

InputFile::~InputFile() {
    if (m_owned && m_fd >= 0) {
        ::_close(m_fd);
    }
}

std::size_t InputFile::Read(char* data, std::size_t size) {
    if (m_fd < 0) {
        return 0;
    }
    DWORD got = 0;
    const auto asked = static_cast<DWORD>(std::min<std::size_t>(size, 1U << 30U));
    if (::ReadFile(HandleOf(m_fd), data, asked, &got, nullptr) == 0) {
        const DWORD error = ::GetLastError();
        // The writer of a pipe closing it is the end of the input.
        if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) {
            return 0;
        }
        throw DriverError::About(m_name, WindowsErrorText("cannot read", error));
    }
    if (got == 0 && m_owned) {
        // Windows replaces no file that is open: an in-place run replaces its input once read.
        ::_close(m_fd);
        m_fd = -1;
    }
    return got;
}

void WidenOutputPipe() {
    // A Windows pipe's buffer is set by its maker, not by the writer.
}

int WriteAllTo(int fd, std::string_view bytes) {
    HANDLE const handle = HandleOf(fd);
    while (!bytes.empty()) {
        DWORD put = 0;
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30U));
        if (::WriteFile(handle, bytes.data(), size, &put, nullptr) == 0) {
            return WriteErrno(::GetLastError());
        }
        if (put == 0) {
            return kWriteTookNothing;
        }
        bytes.remove_prefix(put);
    }
    return 0;
}

void WriteOutput(std::string_view bytes) {
    HANDLE const output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        throw DriverError("cannot write to standard output: there is none");
    }
    while (!bytes.empty()) {
        DWORD put = 0;
        const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30U));
        if (::WriteFile(output, bytes.data(), size, &put, nullptr) == 0) {
            const DWORD error = ::GetLastError();
            if (ReaderLeft(error)) {
                throw OutputClosed();
            }
            throw DriverError(WindowsErrorText("cannot write to standard output", error));
        }
        if (put == 0) {
            throw DriverError("cannot write to standard output: the output takes no more data");
        }
        bytes.remove_prefix(put);
    }
}

void CloseOutput() {
    // WriteFile has reported every failure already: Windows defers none to the close.
}

} // namespace morvane::tools
