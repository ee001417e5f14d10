#include "tools/cli_options.h"

#include "morvane/version.h"

#include <array>
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

} // namespace

ParsedCommandLine ParseCommandLine(std::span<const char* const> args) {
    ConvertRequest request;
    std::optional<Mode> mode;
    std::optional<std::string> file;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.front() == '-';
        if (!isOption) {
            if (file) {
                return UsageError{"more than one input file (" + Quoted(*file) + " and " +
                                  Quoted(arg) + ")"};
            }
            file = std::string(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help") {
            return ShowHelp{};
        }
        if (arg == "--version") {
            return ShowVersion{};
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

        // --from-charset NAME, --from-charset=NAME and the same for --to-charset.
        bool matchedCharset = false;
        for (const std::string_view option : {"--from-charset", "--to-charset"}) {
            std::optional<std::string_view> value;
            if (arg == option) {
                if (i + 1 >= args.size()) {
                    return UsageError{"option " + Quoted(option) + " needs a charset name"};
                }
                value = args[++i];
            } else if (arg.starts_with(option) && arg.size() > option.size() &&
                       arg[option.size()] == '=') {
                value = arg.substr(option.size() + 1);
            }
            if (value) {
                if (value->empty()) {
                    return UsageError{"option " + Quoted(option) + " needs a charset name"};
                }
                (option == "--from-charset" ? request.fromCharset : request.toCharset) = *value;
                matchedCharset = true;
            }
        }
        if (!matchedCharset) {
            return UsageError{"unknown option " + Quoted(arg)};
        }
    }

    if (!mode) {
        return UsageError{"no mode given: choose one of --gb-to-utf, --utf-to-gb, --encode, "
                          "--decode"};
    }
    request.mode = *mode;
    if (file) {
        request.file = *file;
    }
    return request;
}

const char* HelpText() {
    return "Usage: morvane-convert MODE [--from-charset NAME] [--to-charset NAME] [FILE]\n"
           "Converts a WML page between its GB2312 form (Chinese characters written as\n"
           "characters) and its UTF-8 form (characters outside U+0020..U+00FF written as\n"
           "hexadecimal character references such as &#x4E2D;).\n"
           "\n"
           "Modes (exactly one):\n"
           "  --gb-to-utf          the GB2312 form of a page to its UTF-8 form\n"
           "  --utf-to-gb          the UTF-8 form of a page to its GB2312 form\n"
           "  --encode             only write characters as references and escape bare '&'\n"
           "  --decode             only turn &#x...; references back into characters\n"
           "\n"
           "Options:\n"
           "  --from-charset NAME  charset of the input bytes (default: as the page says)\n"
           "  --to-charset NAME    charset of the output bytes (default: as the result says)\n"
           "  --help               print this help and exit\n"
           "  --version            print the version and exit\n"
           "\n"
           "FILE is read whole; without FILE, or when FILE is -, standard input is read.\n"
           "The result goes to standard output. Charset names are those iconv knows\n"
           "(GB2312, GBK, GB18030, ...; see 'iconv --list').\n"
           "\n"
           "Exit status: 0 on success; 1 when the input cannot be read or decoded or the\n"
           "result cannot be encoded (nothing is written then), or when the output cannot\n"
           "be written; 2 for a command line that cannot be understood.\n";
}

const char* VersionText() {
    static const std::string text = std::string("morvane-convert ") + morvane::kVersion + "\n";
    return text.c_str();
}

} // namespace morvane::tools
