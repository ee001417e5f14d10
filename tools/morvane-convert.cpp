// morvane-convert: the text-in, text-out driver over the conversion engine.
// It reads a whole page, decodes it to UTF-16, applies one engine function and
// writes the encoded result; every failure ends the run with one line on
// standard error and nothing on standard output.

#include "engine/engine.h"
#include "tools/charset.h"
#include "tools/cli_options.h"
#include "tools/driver_error.h"
#include "tools/file_io.h"

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

std::u16string Apply(Mode mode, std::u16string_view text) {
    namespace engine = morvane::engine;
    switch (mode) {
    case Mode::GbToUtf:
        return engine::ConvertGbToUtf(text);
    case Mode::UtfToGb:
        return engine::ConvertUtfToGb(text);
    case Mode::Encode:
        return engine::Ascii(text);
    case Mode::Decode:
        return engine::UtfToGb(text);
    }
    return {};
}

/// Units of input the encoder takes at a time when its result is written as it comes.
constexpr std::size_t kEncodeStretch = std::size_t{1} << 16;

/// Where the stretch of `text` that starts at `from` ends: about kEncodeStretch
/// units on, just after a ";", or at the end. The encoder's result for a text
/// cut just after a ";" is its results for the two parts one after the other:
/// each ampersand is decided by the text up to the first ";" after it, which
/// for every ampersand before the cut lies before the cut too.
std::size_t EncodeStretchEnd(std::u16string_view text, std::size_t from) {
    const std::size_t target = from + kEncodeStretch;
    if (target >= text.size()) {
        return text.size();
    }
    const std::size_t before = text.rfind(u';', target - 1);
    if (before != std::u16string_view::npos && before >= from + kEncodeStretch / 2) {
        return before + 1;
    }
    const std::size_t after = text.find(u';', target);
    return after == std::u16string_view::npos ? text.size() : after + 1;
}

/// The encoder into a charset that holds all of its result (U+0020..U+00FF),
/// a stretch at a time: nothing can fail after the first byte is written, and
/// the result never has to be held whole, which for a page of Chinese text is
/// four times the input.
void EncodeInStretches(std::u16string_view text, const TextEncoder& encoder) {
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = EncodeStretchEnd(text, from);
        const std::u16string result = morvane::engine::Ascii(text.substr(from, end - from));
        encoder.Encode(result, [](std::string_view piece) { WriteOutput(piece); });
        from = end;
    }
}

int Convert(const ConvertRequest& request) {
    // Both charsets are checked before the input is read.
    const TextDecoder decoder(request.fromCharset);
    const TextEncoder encoder(request.toCharset);

    // The input text is released as soon as the engine's result exists, which keeps the peak
    // memory to the engine's own need plus the input text.
    Buffer<char16_t> input;
    {
        InputFile file(request.file);
        input = decoder.Decode(file);
    }
    WidenOutputPipe();
    if (request.mode == Mode::Encode && encoder.HoldsAllButSurrogates()) {
        EncodeInStretches(input.View(), encoder);
        CloseOutput();
        return 0;
    }
    std::u16string result = Apply(request.mode, input.View());
    input = Buffer<char16_t>();

    encoder.Encode(result, [](std::string_view piece) { WriteOutput(piece); });
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
