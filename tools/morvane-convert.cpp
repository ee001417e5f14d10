// morvane-convert: the text-in, text-out driver over the conversion engine.
// It reads a whole page, decodes it to UTF-16, applies one engine function and
// writes the encoded result; every failure ends the run with one line on
// standard error and nothing on standard output.

#include "tools/cli_options.h"
#include "tools/driver_error.h"
#include "tools/file_io.h"
#include "tools/page.h"

#include <csignal>
#include <cstdio>
#include <new>
#include <span>
#include <string>
#include <variant>

namespace {

using namespace morvane::tools;

void PrintError(const std::string& message) {
    std::fputs(("morvane-convert: " + message + "\n").c_str(), stderr);
}

int Convert(const ConvertRequest& request) {
    const PageOptions options{request.mode, request.fromCharset, request.toCharset};
    CheckPageOptions(options);
    InputFile input(request.file);
    WidenOutputPipe();
    ConvertPage(
        input, request.file, options, [](std::string_view piece) { WriteOutput(piece); },
        [](const std::string& line) { PrintError(line); });
    CloseOutput();
    return 0;
}

int Run(std::span<const char* const> args) {
    const ParsedCommandLine parsed = ParseCommandLine(args);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        PrintError(error->message);
        std::fputs("Try 'morvane-convert --help' for more information.\n", stderr);
        return kExitUsage;
    }
    if (std::holds_alternative<ShowHelp>(parsed)) {
        WriteOutput(HelpText());
        CloseOutput();
        return 0;
    }
    if (std::holds_alternative<ShowVersion>(parsed)) {
        WriteOutput(VersionText());
        CloseOutput();
        return 0;
    }
    return Convert(std::get<ConvertRequest>(parsed));
}

} // namespace

int main(int argc, char** argv) {
    // A reader that goes away must show up as EPIPE on write, reported like any other write
    // failure, rather than end the process without a word.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return Run(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    } catch (const DriverError& error) {
        PrintError(error.what());
        return error.Status();
    } catch (const std::bad_alloc&) {
        PrintError("not enough memory for this input");
        return kExitFailure;
    } catch (const std::exception& error) {
        PrintError(error.what());
        return kExitFailure;
    }
}
