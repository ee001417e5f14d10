#include "tools/messages.h"

#include "engine/engine.h"
#include "tools/driver_error.h"
#include "tools/terminal.h"

#include <cerrno>
#include <cstdio>
#include <utility>

namespace morvane::tools {

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

/// "a UTF-8", "an ISO-2022-CN": the article that the name, said as it is spelled, takes.
std::string WithArticle(const std::string& charset) {
    const char first = charset.empty() ? 'x' : static_cast<char>(charset.front() | 0x20);
    const bool vowel = first == 'a' || first == 'e' || first == 'i' || first == 'o';
    return (vowel ? "an " : "a ") + charset;
}

/// What a message about a page's bytes adds: the charset they were read in and why.
std::string ReadAs(const Failure& failure) {
    const std::string readAs = " (read as " + failure.charset + ", ";
    const std::string other = "; if it is in another charset, name it with --from-charset)";
    switch (failure.chosenBy) {
    case ChosenBy::Unsaid:
        break;
    case ChosenBy::Option:
        return readAs + "as --from-charset says)";
    case ChosenBy::ByteOrderMark:
        return readAs + "as its byte-order mark says" + other;
    case ChosenBy::Declaration:
        return readAs + "as its XML declaration says" + other;
    case ChosenBy::LateDeclaration:
        return readAs + "as the XML declaration at line " + std::to_string(failure.late.line) +
               ", column " + std::to_string(failure.late.column) +
               " is not at the start of the page and so names no charset" + other;
    case ChosenBy::Default:
        return readAs + "as nothing in the page names another charset" + other;
    }
    return {};
}

/// The message without its file and place.
std::string FailureBody(const Failure& failure) {
    const std::string& charset = failure.charset;
    const std::string offset = std::to_string(failure.byteOffset);
    switch (failure.kind) {
    case FailureKind::Stated:
        return failure.text;
#if defined(_WIN32)
    // The Windows stand-in for iconv (windows/iconv.h) knows the code pages' names, and
    // says ENOENT for a known charset whose code page this system lacks.
    case FailureKind::UnknownCharset:
        return "unknown charset " + Quoted(charset) +
               " (the manual page lists the names known on Windows)";
    case FailureKind::CharsetUnusable:
        if (failure.errnum == ENOENT) {
            return "charset " + Quoted(charset) +
                   " needs a Windows code page that this system does not have";
        }
        return SystemErrorText("cannot convert with charset " + Quoted(charset), failure.errnum);
#else
    case FailureKind::UnknownCharset:
        return "unknown charset " + Quoted(charset) + " (see 'iconv --list')";
    case FailureKind::CharsetUnusable:
        return SystemErrorText("cannot convert with charset " + Quoted(charset), failure.errnum);
#endif
    case FailureKind::OutputFolderMissing:
        return "cannot write into " + Quoted(failure.text) + ": not a folder, or it does not exist";
    case FailureKind::InvalidBytes:
        return "the input is not valid " + charset + ": byte 0x" + Hex(failure.value, 2) +
               " at byte offset " + offset + ReadAs(failure);
    case FailureKind::LoneSurrogate:
        return "the " + charset + " input holds a lone surrogate U+" + Hex(failure.value, 4) +
               " (byte offset " + offset + ")" + ReadAs(failure);
    case FailureKind::EndsInsideCharacter:
        return "the input ends in the middle of " + WithArticle(charset) +
               " character (it starts at byte offset " + offset + ")" + ReadAs(failure);
    case FailureKind::EndsWithLoneSurrogate:
        return "the " + charset + " input ends with a lone surrogate U+" + Hex(failure.value, 4) +
               " (byte offset " + offset + ")" + ReadAs(failure);
    case FailureKind::DecoderFailed:
        return SystemErrorText("cannot read the input as " + charset, failure.errnum);
    case FailureKind::ImpossibleDeclaration:
        return "the page declares encoding \"" + charset +
               "\" in ASCII bytes, which that encoding does not read as ASCII (and no byte-order "
               "mark starts the page); name the charset its bytes are in with --from-charset";
    case FailureKind::UnreadableDeclared:
        return "the page declares encoding \"" + charset +
               "\", which this system cannot read; name its charset with --from-charset";
    case FailureKind::UnwritableDeclared:
        return "the result declares encoding \"" + charset +
               "\", which this system cannot write; name an output charset with --to-charset";
    case FailureKind::UnfindableDeclared:
        return "the result declares encoding \"" + charset +
               "\", in which no reader could find that declaration (written in it, the "
               "declaration does not read as ASCII and no byte-order mark says otherwise); name "
               "an output charset with --to-charset";
    case FailureKind::NotEvenAReference: {
        char reference[engine::kLongestReference];
        const std::string_view written(
            reference,
            static_cast<std::size_t>(engine::PutReference(reference, failure.value) - reference));
        return "cannot write the character U+" + Hex(failure.value, 4) + " in " + charset +
               ", not even as the reference " + std::string(written) +
               "; choose another output charset with --to-charset";
    }
    case FailureKind::EncoderFailed:
        return SystemErrorText("cannot write the output as " + charset, failure.errnum);
    case FailureKind::OutOfMemory:
        return failure.file.empty() ? "not enough memory for this input"
                                    : "not enough memory for this page";
    case FailureKind::OutOfMemoryPartWritten:
        return std::string("not enough memory to finish the result; what was written of it is "
                           "incomplete") +
               (failure.discarded ? ", and was discarded: the target is left as it was" : "");
    }
    return failure.text;
}

} // namespace

std::string FailureMessage(const Failure& failure) {
    std::string where;
    if (!failure.file.empty()) {
        where = failure.file;
        if (failure.place) {
            where += ":" + std::to_string(failure.place->line) + ":" +
                     std::to_string(failure.place->column);
        }
        where += ": ";
    }
    return where + FailureBody(failure);
}

std::string IncompleteOutputMessage(const std::string& file) {
    return file + ": the result on standard output is incomplete";
}

DriverError::DriverError(const std::string& message, int status)
    : m_message(message) {
    m_failure.text = message;
    m_failure.status = status;
}

DriverError::DriverError(Failure failure)
    : m_failure(std::move(failure))
    , m_message(FailureMessage(m_failure)) {}

DriverError DriverError::About(const std::string& file, const std::string& message) {
    Failure failure;
    failure.file = file;
    failure.text = message;
    return DriverError(std::move(failure));
}

std::string WithoutControls(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                        static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (byte >= 0x20 && byte != 0x7F && !c1) {
            result += text[i];
            continue;
        }
        for (std::size_t k = 0; k < (c1 ? 2U : 1U); ++k) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(text[i + k])));
            result += escaped;
        }
        i += c1 ? 1 : 0;
    }
    return result;
}

void PrintLine(const std::string& line) {
    std::fputs((WithoutControls(line) + "\n").c_str(), stderr);
}

void PrintError(const std::string& message) {
    PrintLine("morvane-convert: " + message);
}

Messages::Messages(std::size_t files)
    : m_total(files)
    , m_progress(files > 1 && StandardErrorIsTerminal()) {}

void Messages::Error(const std::string& message) {
    ClearProgress();
    PrintError(message);
}

void Messages::Problem(const std::string& line) {
    ClearProgress();
    PrintLine(line);
}

void Messages::ClearProgress() {
    if (m_shown) {
        std::fputs("\r\x1b[K", stderr);
        m_shown = false;
    }
}

void Messages::Progress(std::size_t done, const std::string& name) {
    if (!m_progress) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_shown && now - m_lastShown < std::chrono::milliseconds(100)) {
        return;
    }
    m_lastShown = now;
    std::string line = "morvane-convert: " + std::to_string(done) + "/" + std::to_string(m_total) +
                       " " + WithoutControls(name);
    const std::size_t width = TerminalColumns();
    if (line.size() >= width) {
        // Cut at a character boundary of UTF-8, so the terminal never shows half a character.
        std::size_t cut = width - 1;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        line.resize(cut);
    }
    std::fputs(("\r\x1b[K" + line).c_str(), stderr);
    m_shown = true;
}

} // namespace morvane::tools
