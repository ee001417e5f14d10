#pragma once
// What the driver says on standard error: one-line messages with the
// program's name (every failure's words are made here, from its Failure),
// --check's report lines, and on a terminal a progress line over a run of
// several files that every message first clears.

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace morvane::tools {

struct Failure;

/// The one-line message for `failure`, without the program's name: "FILE:LINE:COLUMN: " (or
/// "FILE: ", or nothing for a failure of the whole run) and what failed.
std::string FailureMessage(const Failure& failure);
/// What follows a failure after part of its result went to standard output.
std::string IncompleteOutputMessage(const std::string& file);

/// "'text'", as names and options stand in messages.
std::string Quoted(std::string_view text);

/// `text` with each control character (C0, DEL, and C1 written in UTF-8) as "\xHH" for each
/// of its bytes, so that a file name holding a line break or a terminal escape cannot split a
/// message or act on the terminal.
std::string WithoutControls(std::string_view text);

/// Writes `line`, its control characters escaped, and a line break to standard error.
void PrintLine(const std::string& line);
/// Writes "morvane-convert: <message>" to standard error.
void PrintError(const std::string& message);

/// Standard error during a run: messages, and on a terminal a progress line that each
/// message first clears, so the two never mix.
class Messages final {
public:
    /// A run over `files` files; the progress line shows only for several, on a terminal.
    explicit Messages(std::size_t files);
    Messages(const Messages&) = delete;
    Messages& operator=(const Messages&) = delete;
    ~Messages() { ClearProgress(); }

    /// A one-line message with the program's name.
    void Error(const std::string& message);
    /// A line of --check's report, which starts with the file's name as compilers' do.
    void Problem(const std::string& line);

    /// Shows "done/total name" when the last showing is a tenth of a second old.
    void Progress(std::size_t done, const std::string& name);

private:
    void ClearProgress();

    std::size_t m_total;
    bool m_progress;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_lastShown;
};

} // namespace morvane::tools
