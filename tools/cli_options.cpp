#include "tools/cli_options.h"

#include "morvane/version.h"

#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace morvane::tools {
namespace {

constexpr std::array<std::pair<std::string_view, Mode>, 4> kModes{{
    {"--gb-to-utf", Mode::GbToUtf},
    {"--utf-to-gb", Mode::UtfToGb},
    {"--encode", Mode::Encode},
    {"--decode", Mode::Decode},
}};

std::string_view ModeOption(Mode mode) {
    for (const auto& [option, value] : kModes) {
        if (value == mode) {
            return option;
        }
    }
    return {};
}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

/// An option that takes a value: its long name, its one-letter form (or nothing) and what
/// the value is called in messages.
struct ValueOption {
    std::string_view longName;
    std::string_view shortName;
    std::string_view valueName;
};

constexpr std::array<ValueOption, 3> kValueOptions{{
    {"--from-charset", "", "a charset name"},
    {"--to-charset", "", "a charset name"},
    {"--output-dir", "-o", "a folder"},
}};

/// The result of matching one argument against a value-taking option.
struct ValueMatch {
    const ValueOption* option = nullptr;
    std::optional<std::string> value; ///< nothing: the argument was not this option
    std::optional<UsageError> error;
};

ValueMatch MatchValueOption(std::span<const char* const> args, std::size_t& i) {
    const std::string_view arg = args[i];
    for (const ValueOption& option : kValueOptions) {
        std::optional<std::string_view> value;
        const bool separate =
            arg == option.longName || (!option.shortName.empty() && arg == option.shortName);
        if (separate) {
            if (i + 1 >= args.size()) {
                return {&option, std::nullopt,
                        UsageError{"option " + Quoted(arg) + " needs " +
                                   std::string(option.valueName)}};
            }
            const std::string_view next = args[i + 1];
            if (next.starts_with("-")) {
                return {&option, std::nullopt,
                        UsageError{"option " + Quoted(arg) + " needs " +
                                   std::string(option.valueName) + ", not " + Quoted(next) +
                                   " (write " + std::string(option.longName) + "=" +
                                   std::string(next) + " if that is meant)"}};
            }
            value = next;
            ++i;
        } else if (arg.starts_with(option.longName) && arg.size() > option.longName.size() &&
                   arg[option.longName.size()] == '=') {
            value = arg.substr(option.longName.size() + 1);
        } else if (!option.shortName.empty() && arg.starts_with(option.shortName)) {
            value = arg.substr(option.shortName.size()); // -oDIR
        }
        if (value) {
            if (value->empty()) {
                return {&option, std::nullopt,
                        UsageError{"option " + Quoted(option.longName) + " needs " +
                                   std::string(option.valueName)}};
            }
            return {&option, std::string(*value), std::nullopt};
        }
    }
    return {};
}

/// The checks that need the whole command line: files against destinations.
std::optional<UsageError> CheckFiles(const ConvertRequest& request, bool outputDirGiven,
                                     bool inPlace) {
    if (outputDirGiven && inPlace) {
        return UsageError{"choose either -o DIR or --in-place, not both"};
    }
    const std::vector<std::string>& files = request.files;
    if (request.destination == Destination::StandardOutput) {
        if (files.size() > 1) {
            return UsageError{"more than one input file (" + Quoted(files[0]) + " and " +
                              Quoted(files[1]) + ") needs -o DIR or --in-place"};
        }
        return std::nullopt;
    }
    const std::string_view how = inPlace ? "--in-place" : "-o DIR";
    if (files.empty()) {
        return UsageError{std::string(how) + " needs at least one FILE"};
    }
    std::map<std::string, std::string> byName; // result file name -> the file written there
    for (const std::string& file : files) {
        if (file == "-") {
            return UsageError{"standard input ('-') has no file to write with " + std::string(how)};
        }
        if (inPlace) {
            continue;
        }
        const std::string name = std::filesystem::path(file).filename().string();
        if (name.empty()) {
            continue; // a folder: reported when it is read
        }
        const auto [at, added] = byName.emplace(name, file);
        std::error_code error; // the same file named two ways is converted once
        if (!added && at->second != file && !std::filesystem::equivalent(at->second, file, error)) {
            return UsageError{Quoted(at->second) + " and " + Quoted(file) +
                              " would both be written to " +
                              Quoted((std::filesystem::path(request.outputDir) / name).string())};
        }
    }
    return std::nullopt;
}

} // namespace

ParsedCommandLine ParseCommandLine(std::span<const char* const> args) {
    ConvertRequest request;
    request.files.clear();
    std::optional<Mode> mode;
    bool optionsEnded = false;
    bool outputDirGiven = false;
    bool inPlace = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.front() == '-';
        if (!isOption) {
            request.files.emplace_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            return ShowHelp{};
        }
        if (arg == "--version" || arg == "-V") {
            return ShowVersion{};
        }
        if (arg == "--in-place" || arg == "-i") {
            inPlace = true;
            continue;
        }
        if (arg == "--check") {
            request.check = true;
            continue;
        }

        bool matchedMode = false;
        for (const auto& [option, value] : kModes) {
            if (arg == option) {
                if (mode && *mode != value) {
                    return UsageError{"choose one mode only, not both " +
                                      std::string(ModeOption(*mode)) + " and " +
                                      std::string(option)};
                }
                mode = value;
                matchedMode = true;
            }
        }
        if (matchedMode) {
            continue;
        }

        const ValueMatch match = MatchValueOption(args, i);
        if (match.error) {
            return *match.error;
        }
        if (!match.value) {
            return UsageError{"unknown option " + Quoted(arg)};
        }
        if (match.option->longName == "--from-charset") {
            request.fromCharset = *match.value;
        } else if (match.option->longName == "--to-charset") {
            request.toCharset = *match.value;
        } else {
            request.outputDir = *match.value;
            outputDirGiven = true;
        }
    }

    if (!mode) {
        return UsageError{"no mode given: choose one of --gb-to-utf, --utf-to-gb, --encode, "
                          "--decode"};
    }
    request.mode = *mode;
    request.destination = inPlace          ? Destination::InPlace
                          : outputDirGiven ? Destination::Folder
                                           : Destination::StandardOutput;
    if (request.files.empty() && request.destination == Destination::StandardOutput) {
        request.files.emplace_back("-");
    }
    if (auto error = CheckFiles(request, outputDirGiven, inPlace)) {
        return *error;
    }
    return request;
}

const char* HelpText() {
    return "Usage: morvane-convert MODE [options] [FILE]\n"
           "       morvane-convert MODE [options] (-o DIR | -i) FILE...\n"
           "Converts a WML page between its GB2312 form (Chinese characters written as\n"
           "characters) and its UTF-8 form (characters outside U+0020..U+00FF written as\n"
           "hexadecimal character references such as &#x4E2D;).\n"
           "\n"
           "Modes (exactly one):\n"
           "  --gb-to-utf            GB2312 form of a page to its UTF-8 form\n"
           "  --utf-to-gb            UTF-8 form of a page to its GB2312 form\n"
           "  --encode               only write references, escape bare '&'\n"
           "  --decode               only turn &#x...; back into characters\n"
           "\n"
           "Options:\n"
           "  --from-charset NAME    charset of the input (default: the page's own)\n"
           "  --to-charset NAME      charset of the output (default: the result's own)\n"
           "  -o, --output-dir DIR   write each result into DIR under its name\n"
           "  -i, --in-place         replace each FILE with its result\n"
           "  --check                parse each result as XML, report problems\n"
           "  -h, --help             print this help and exit\n"
           "  -V, --version          print the version and exit\n"
           "\n"
           "Without FILE, or when FILE is -, standard input is read, and a single page\n"
           "goes to standard output. Several FILEs need -o DIR or -i: each result then\n"
           "replaces its target atomically (a temporary file .NAME.morvane-XXXXXX in the\n"
           "same folder, synced and renamed over it), so a target is always whole, old or\n"
           "new, even if the run is killed. The target keeps its owner, group, mode,\n"
           "access control list and extended attributes, or is left as it was. A name in\n"
           "DIR that is FILE itself, or a link to it, is written as -i writes it. FILE\n"
           "must be a regular file (a FIFO or a device is refused). A file that fails is\n"
           "reported by name, left untouched, and the other files go on. On a terminal, a\n"
           "run over several files shows its progress on standard error. Charset names\n"
           "are those iconv knows (GB2312, GBK, GB18030, ...; see 'iconv --list').\n"
           "\n"
           "--check reads each result with libxml2 as a WAP gateway would (well-formedness\n"
           "only, no DTD, no network) and reports each problem as FILE:LINE:COLUMN:, and a\n"
           "declared encoding the written bytes are not valid in; the result is written\n"
           "all the same.\n"
           "\n"
           "Exit status: 0 on success; 1 when any file cannot be read, decoded, converted\n"
           "or written (its target is left as it was); 2 for a command line that cannot be\n"
           "understood; 3 when --check found problems and no file failed. When the reader\n"
           "of standard output goes away, the program stops quietly by SIGPIPE.\n";
}

const char* VersionText() {
    static const std::string text = std::string("morvane-convert ") + morvane::kVersion + "\n";
    return text.c_str();
}

} // namespace morvane::tools
