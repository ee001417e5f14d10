#pragma once
// The driver's command line: one conversion mode, optional input and output
// charsets, where the results go (standard output, a folder, or each file in
// place), whether to check them as XML, and the files; or a request for the
// usage or version text. Parsing is pure, so the whole grammar is decided in
// one place before any file or charset is touched.

#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace morvane::tools {

/// Which engine function a run applies.
enum class Mode { GbToUtf, UtfToGb, Encode, Decode };

/// Where each page's result goes.
enum class Destination {
    StandardOutput, ///< the single page of the run, to standard output
    Folder,         ///< `outputDir`/<file name>, replaced atomically
    InPlace,        ///< the file itself, replaced atomically
};

struct ConvertRequest {
    Mode mode = Mode::GbToUtf;
    /// Empty: decided by the page itself (byte-order mark, declaration).
    std::string fromCharset;
    /// Empty: decided by the result's own declaration.
    std::string toCharset;
    /// The pages in the order given; "-" (standard input) only as the single page of a
    /// run to standard output.
    std::vector<std::string> files{"-"};
    Destination destination = Destination::StandardOutput;
    std::string outputDir;
    /// Parse every result as XML and report what a gateway's parser would refuse.
    bool check = false;
};

struct ShowHelp {};
struct ShowVersion {};
/// A command line that cannot be understood; `message` is one line without a program-name prefix.
struct UsageError {
    std::string message;
};

using ParsedCommandLine = std::variant<ConvertRequest, ShowHelp, ShowVersion, UsageError>;

/// What a long option typed on the command line stands for.
struct LongOptionMatch {
    /// The option itself: `typed` when it is one, else the one option it abbreviates; empty
    /// when it matches none or several.
    std::string_view option;
    /// Every option that `typed` is the start of (the option itself for an exact match).
    std::vector<std::string_view> candidates;
};

/// Matches `typed` ("--gb", without any "=VALUE") against the long options `names` as
/// getopt_long does: an exact name wins, else a start that only one name has stands for it.
LongOptionMatch MatchLongOption(std::string_view typed, std::span<const std::string_view> names);

/// Reads the arguments after the program name. Options are taken in order, so --help or
/// --version answer as soon as they are met; "--" ends the options. A long option may be
/// abbreviated to any start that no other long option shares (MatchLongOption). An option that
/// takes a value as the next argument refuses one that starts with "-", so that a forgotten value
/// does not swallow the next option; the "--option=VALUE" form takes any value.
ParsedCommandLine ParseCommandLine(std::span<const char* const> args);

/// The text --help prints.
const char* HelpText();
/// The line --version prints, with its line break.
const char* VersionText();

} // namespace morvane::tools
