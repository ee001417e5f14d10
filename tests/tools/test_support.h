#pragma once
// What the driver tests share: running the real morvane-convert binary as a
// child process with chosen standard input and output, a scratch directory,
// and conversions through glibc's iconv that serve as the independent
// reference for every expected byte sequence.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane::tools::test {

/// Where the child's standard output goes.
enum class OutputTarget {
    Capture,    ///< a file read back into RunResult::out
    DevFull,    ///< /dev/full: every write fails with ENOSPC
    ClosedPipe, ///< a pipe whose reading end is closed before the child starts
};

struct RunResult {
    int status = -1; ///< exit status, or 128 + signal number when killed by a signal
    std::string out;
    std::string err;
};

/// Runs morvane-convert with `args`, `input` on its standard input.
RunResult RunConvert(const std::vector<std::string>& args, std::string_view input = {},
                     OutputTarget target = OutputTarget::Capture);

/// Runs `program` (looked up on PATH) with `args`, `input` on its standard input.
RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                     std::string_view input = {});

/// `bytes` read by Python's codec `codec` (an independent reader), as UTF-8; fails the
/// current test when Python refuses them.
std::string PythonDecode(std::string_view bytes, const std::string& codec);

/// What xmllint says about `bytes` as an XML document: empty when it reads them as
/// well-formed.
std::string XmllintErrors(std::string_view bytes);

/// A fresh directory under the system's temporary directory, removed with its contents.
class ScratchDir final {
public:
    ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir();
    const std::filesystem::path& Path() const { return m_path; }
    /// Writes `bytes` to a file called `name` in the directory and returns its path.
    std::string Write(const std::string& name, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
};

/// The bytes of a file, read whole; fails the current test when it cannot be read.
std::string ReadFileBytes(const std::string& path);

/// `bytes` in `charset` as native UTF-16, through iconv; fails the current test on bad input.
std::u16string ToUtf16(std::string_view bytes, const std::string& charset = "UTF-8");
/// `text` as bytes in `charset`, through iconv; fails the current test when it cannot.
std::string FromUtf16(std::u16string_view text, const std::string& charset = "UTF-8");

/// Where iconv stops reading `bytes` as `charset` (an invalid or incomplete sequence), or
/// nothing when it reads them all.
std::optional<std::size_t> IconvStop(std::string_view bytes, const std::string& charset = "UTF-8");

/// The lines of `text` split at LF (a final LF ends the last line).
std::vector<std::string> Lines(const std::string& text);

} // namespace morvane::tools::test
