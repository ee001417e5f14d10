#pragma once
// Input and checked output for the driver. The input is read in pieces that
// the charset decoder turns into text as they come, so the raw bytes of a
// large page are never held whole; output goes out through write(2) with every
// short write, interruption and failure handled, so that a closed pipe or a
// full disk ends the run with a message instead of a lost tail.

#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::tools {

class InputFile final {
public:
    /// Opens `path`, or standard input when `path` is "-". Throws DriverError, its message
    /// "PATH: cannot open: REASON", when it cannot be opened, and "PATH: cannot read: a FIFO,
    /// not a regular file" (a socket, a device) at once, without waiting for a writer.
    explicit InputFile(const std::string& path);
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    /// Reads up to `size` bytes into `data`; 0 means the end of the input. Throws DriverError,
    /// its message "PATH: cannot read: REASON", when the input cannot be read (a directory
    /// included).
    std::size_t Read(char* data, std::size_t size);
    /// The bytes left to read when the input is a regular file, else 0.
    std::size_t SizeHint() const { return m_sizeHint; }

private:
    std::string m_name;
    int m_fd = -1;
    bool m_owned = false;
    std::size_t m_sizeHint = 0;
};

/// Asks for a larger buffer when standard output is a pipe, so that a large result
/// goes to the reader in fewer, larger steps. Changes nothing when it cannot.
void WidenOutputPipe();

/// What WriteAllTo answers for a write that took nothing and reported no error.
inline constexpr int kWriteTookNothing = -1;

/// Writes all of `bytes` to `fd`, through short writes and interruptions. 0 when all of it
/// went, else the errno of the failure, or kWriteTookNothing (a device that takes nothing
/// and reports no error would otherwise be written to forever).
int WriteAllTo(int fd, std::string_view bytes);

/// Writes all of `bytes` to standard output. Throws OutputClosed when the reader has gone
/// away and DriverError on any other failure.
void WriteOutput(std::string_view bytes);

/// Closes standard output so that a failure reported only at close still reaches the user.
/// Throws DriverError on failure.
void CloseOutput();

} // namespace morvane::tools
