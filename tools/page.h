#pragma once
// One page through the driver's pipeline: its bytes are read and decoded, one
// engine function is applied, and the result is encoded and handed on. This is
// the whole conversion of one file; the command line, the choice of files and
// where the bytes finally go belong to the caller.

#include "tools/byte_sink.h"
#include "tools/charset_names.h"
#include "tools/cli_options.h"

#include <functional>
#include <optional>
#include <string>

namespace morvane::tools {

class InputFile;
class PageBytes;

struct PageOptions {
    Mode mode = Mode::GbToUtf;
    /// None: from the page (byte-order mark, XML declaration, else UTF-8).
    std::optional<Charset> fromCharset;
    /// None: the encoding that the result's own declaration names, else UTF-8.
    std::optional<Charset> toCharset;
};

/// Receives one finished note line (no program-name prefix, no line break), e.g.
/// "page.wml: note: ...".
using NoteSink = std::function<void(const std::string&)>;

/// Throws DriverError when a charset that `options` names is unknown, so that a run can refuse
/// it before any file is opened.
void CheckPageOptions(const PageOptions& options);

/// Converts the page read from `input` (called `name` in messages; "-" for standard input) and
/// hands the result's bytes to `sink` in order. Throws DriverError on bad input, its Failure
/// naming the page and, where there is one, the place; when it throws after `sink` already
/// received bytes (FailureKind::OutOfMemoryPartWritten), what it received is incomplete.
void ConvertPage(InputFile& input, const std::string& name, const PageOptions& options,
                 const ByteSink& sink, const NoteSink& note);
/// The same for a page whose bytes are read already as far as kSniffBytes (sniff.h).
void ConvertPage(PageBytes& bytes, const std::string& name, const PageOptions& options,
                 const ByteSink& sink, const NoteSink& note);

} // namespace morvane::tools
