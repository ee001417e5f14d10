#include "tools/cli_options.h"

#include "morvane/version.h"
#include "tools/messages.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

// GCC 12 at -O2 warns falsely that the parser's optionals (a variant of strings and lists)
// "may be used uninitialized"; clang and the sanitizer build see nothing.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

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

const ValueOption* FindValueOption(std::string_view name) {
    for (const ValueOption& option : kValueOptions) {
        if (name == option.longName || (!option.shortName.empty() && name == option.shortName)) {
            return &option;
        }
    }
    return nullptr;
}

/// An option that takes no value.
enum class Flag { Help, Version, InPlace, Check };

struct FlagOption {
    std::string_view longName;
    char shortName; ///< 0: none
    Flag flag;
};

constexpr std::array<FlagOption, 4> kFlags{{
    {"--help", 'h', Flag::Help},
    {"--version", 'V', Flag::Version},
    {"--in-place", 'i', Flag::InPlace},
    {"--check", 0, Flag::Check},
}};

const FlagOption* FindFlag(std::string_view longName, char shortName) {
    for (const FlagOption& option : kFlags) {
        if ((!longName.empty() && longName == option.longName) ||
            (shortName != 0 && shortName == option.shortName)) {
            return &option;
        }
    }
    return nullptr;
}

/// Every long option, for matching an abbreviation against all of them at once.
constexpr std::array<std::string_view, kModes.size() + kValueOptions.size() + kFlags.size()>
    kLongNames{kModes[0].first,           kModes[1].first,           kModes[2].first,
               kModes[3].first,           kValueOptions[0].longName, kValueOptions[1].longName,
               kValueOptions[2].longName, kFlags[0].longName,        kFlags[1].longName,
               kFlags[2].longName,        kFlags[3].longName};

/// The value of `option`, typed as `typed` ("-o", "--output-dir"): `given` when the argument
/// held it ("--output-dir=DIR", "-oDIR"), else the next argument, which may not start with
/// "-". Messages name the option as the user typed it.
std::variant<std::string, UsageError> TakeValue(const ValueOption& option, std::string_view typed,
                                                std::optional<std::string_view> given,
                                                std::span<const char* const> args, std::size_t& i) {
    const std::string needs = "option " + Quoted(typed) + " needs " + std::string(option.valueName);
    if (!given) {
        if (i + 1 >= args.size()) {
            return UsageError{needs};
        }
        const std::string_view next = args[i + 1];
        if (next.starts_with("-")) {
            return UsageError{needs + ", not " + Quoted(next) + " (write " +
                              std::string(option.longName) + "=" + std::string(next) +
                              " if that is meant)"};
        }
        given = next;
        ++i;
    }
    if (given->empty()) {
        return UsageError{needs};
    }
    return std::string(*given);
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

LongOptionMatch MatchLongOption(std::string_view typed, std::span<const std::string_view> names) {
    LongOptionMatch match;
    // "--" alone ends the options and "--=VALUE" names none: neither abbreviates anything.
    if (typed.size() <= 2 || !typed.starts_with("--")) {
        return match;
    }
    for (const std::string_view name : names) {
        if (name == typed) {
            match.option = name;
            match.candidates = {name};
            return match;
        }
        if (name.starts_with(typed)) {
            match.candidates.push_back(name);
        }
    }
    if (match.candidates.size() == 1) {
        match.option = match.candidates.front();
    }
    return match;
}

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
        // What a flag, or a value option with its value, does to the request.
        std::optional<ParsedCommandLine> answer;
        const auto apply = [&](const FlagOption& option) {
            switch (option.flag) {
            case Flag::Help:
                answer = ShowHelp{};
                break;
            case Flag::Version:
                answer = ShowVersion{};
                break;
            case Flag::InPlace:
                inPlace = true;
                break;
            case Flag::Check:
                request.check = true;
                break;
            }
        };
        const auto assign = [&](const ValueOption& option, std::string value) {
            if (option.longName == "--from-charset") {
                request.fromCharset = std::move(value);
            } else if (option.longName == "--to-charset") {
                request.toCharset = std::move(value);
            } else {
                request.outputDir = std::move(value);
                outputDirGiven = true;
            }
        };

        if (arg.starts_with("--")) {
            const std::size_t equals = arg.find('=');
            const std::string_view name = arg.substr(0, equals);
            const std::optional<std::string_view> given =
                equals == std::string_view::npos ? std::nullopt
                                                 : std::optional(arg.substr(equals + 1));
            const LongOptionMatch match = MatchLongOption(name, kLongNames);
            if (match.option.empty() && match.candidates.size() > 1) {
                std::string possibilities;
                for (const std::string_view candidate : match.candidates) {
                    possibilities += " " + Quoted(candidate);
                }
                return UsageError{"option " + Quoted(name) +
                                  " is ambiguous; possibilities:" + possibilities};
            }
            if (match.option.empty()) {
                return UsageError{"unknown option " + Quoted(arg)};
            }
            // An abbreviation stands for its option from here on; messages that quote what
            // was typed still quote `name`.
            const std::string_view full = match.option;
            const FlagOption* flag = FindFlag(full, 0);
            const auto modeMatch = std::find_if(kModes.begin(), kModes.end(),
                                                [full](const auto& m) { return m.first == full; });
            if ((flag != nullptr || modeMatch != kModes.end()) && given) {
                return UsageError{"option " + Quoted(name) + " takes no value"};
            }
            if (flag != nullptr) {
                apply(*flag);
                if (answer) {
                    return *answer;
                }
                continue;
            }
            if (modeMatch != kModes.end()) {
                if (mode && *mode != modeMatch->second) {
                    return UsageError{"choose one mode only, not both " +
                                      std::string(ModeOption(*mode)) + " and " + std::string(full)};
                }
                mode = modeMatch->second;
                continue;
            }
            const ValueOption* option = FindValueOption(full);
            auto value = TakeValue(*option, name, given, args, i);
            if (auto* error = std::get_if<UsageError>(&value)) {
                return *error;
            }
            assign(*option, std::get<std::string>(std::move(value)));
            continue;
        }

        // One-letter options, bundled as getopt_long allows: "-hV", "-io DIR", "-ioDIR".
        for (std::size_t at = 1; at < arg.size(); ++at) {
            const std::string typed = {'-', arg[at]};
            if (const FlagOption* flag = FindFlag({}, arg[at])) {
                apply(*flag);
                if (answer) {
                    return *answer;
                }
                continue;
            }
            const ValueOption* option = FindValueOption(typed);
            if (option == nullptr) {
                return UsageError{"unknown option " + Quoted(typed) +
                                  (arg.size() > 2 ? " in " + Quoted(arg) : std::string())};
            }
            const std::optional<std::string_view> given =
                at + 1 < arg.size() ? std::optional(arg.substr(at + 1)) : std::nullopt;
            auto value = TakeValue(*option, typed, given, args, i);
            if (auto* error = std::get_if<UsageError>(&value)) {
                return *error;
            }
            assign(*option, std::get<std::string>(std::move(value)));
            break;
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
           "One-letter options may be bundled (-ih is -i -h; -oDIR is -o DIR).\n"
           "A long option may be shortened to any start no other one shares (--gb).\n"
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
           "are those iconv knows (GB2312, GBK, GB18030, ...; see 'iconv --list'). A page\n"
           "declared gb2312, GBK or GB18030 is read as browsers read it (0x80 is the euro\n"
           "sign); a declaration whose own ASCII bytes its encoding would not read as\n"
           "ASCII (UTF-16 or UCS-2 without a byte-order mark, EBCDIC) is refused.\n"
           "\n"
           "--check reads each result with libxml2 as a WAP gateway would (well-formedness\n"
           "only, no DTD, no network; &nbsp; and &shy; are known whatever the DOCTYPE\n"
           "says) and reports each problem as FILE:LINE:COLUMN:, and a declared encoding\n"
           "the written bytes are not valid in; the result is written all the same.\n"
           "\n"
           "Exit status: 0 on success; 1 when any file cannot be read, decoded, converted\n"
           "or written (its target is left as it was); 2 for a command line that cannot be\n"
           "understood; 3 when --check found problems and no file failed. When the reader\n"
           "of standard output goes away, the program stops quietly by SIGPIPE.\n"
#if defined(_WIN32)
           "\n"
           "On Windows, charset names are those of the Windows code pages (the manual\n"
           "page's WINDOWS section lists them), --check is refused, a replaced file keeps\n"
           "its attributes and access control list but not its owner, and when the reader\n"
           "of standard output goes away the program stops quietly with status 1.\n"
#endif
        ;
}

const char* VersionText() {
    static const std::string text = std::string("morvane-convert ") + morvane::kVersion + "\n";
    return text.c_str();
}

} // namespace morvane::tools
