#pragma once
// The driver's command line: one conversion mode, optional input and output
// charsets and an optional input file, or a request for the usage or version
// text. Parsing is pure, so the whole grammar is decided in one place before
// any file or charset is touched.

#include <span>
#include <string>
#include <variant>

namespace morvane::tools {

/// Which engine function a run applies.
enum class Mode { GbToUtf, UtfToGb, Encode, Decode };

struct ConvertRequest {
    Mode mode = Mode::GbToUtf;
    std::string fromCharset;
    std::string toCharset;
    /// "-" is standard input.
    std::string file = "-";
};

struct ShowHelp {};
struct ShowVersion {};
/// A command line that cannot be understood; `message` is one line without a program-name prefix.
struct UsageError {
    std::string message;
};

using ParsedCommandLine = std::variant<ConvertRequest, ShowHelp, ShowVersion, UsageError>;

/// Reads the arguments after the program name. Options are taken in order, so --help or
/// --version answer as soon as they are met; "--" ends the options.
ParsedCommandLine ParseCommandLine(std::span<const char* const> args);

/// The text --help prints.
const char* HelpText();
/// The line --version prints, with its line break.
const char* VersionText();

} // namespace morvane::tools
