#pragma once
// The one way the driver's steps report a failure to main() and to the run
// over the files: a DriverError that carries a Failure, a value that says what
// failed (its kind), in which file and where (line and column of the text,
// byte offset of the input), with what charset, byte or character. The
// message a user reads is made from it in one place (messages.cpp), so the
// run decides what to do from the kind, never from the words.

#include "tools/text_place.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

namespace morvane::tools {

/// Exit status for bad input, unreadable files and failed writes.
inline constexpr int kExitFailure = 1;
/// Exit status for a command line that cannot be understood.
inline constexpr int kExitUsage = 2;

/// What failed. The fields of Failure that each kind uses are named beside it.
enum class FailureKind : std::uint8_t {
    /// A failure of a system call (opening, reading or writing a file or standard output),
    /// its words made where the call failed, since they name the call's own objects: `text`.
    Stated,
    UnknownCharset,         ///< no charset iconv knows is called `charset`
    CharsetUnusable,        ///< iconv cannot open `charset` for another reason: `errnum`
    OutputFolderMissing,    ///< -o names `text`, which is not a folder
    InvalidBytes,           ///< `value` is a byte not valid in `charset`, at `byteOffset`
    LoneSurrogate,          ///< `value` is a lone surrogate in UTF-16 `charset`, at `byteOffset`
    EndsInsideCharacter,    ///< the input ends in a character of `charset` begun at `byteOffset`
    EndsWithLoneSurrogate,  ///< the UTF-16 input ends with the high surrogate `value`
    DecoderFailed,          ///< iconv failed reading `charset`: `errnum`
    ImpossibleDeclaration,  ///< the page declares `charset` in bytes it cannot be in
    UnreadableDeclared,     ///< the page declares `charset`, which iconv cannot read
    UnwritableDeclared,     ///< the result declares `charset`, which iconv cannot write
    UnfindableDeclared,     ///< the result declares `charset`, in which no reader would find it
    NotEvenAReference,      ///< `charset` cannot hold the character `value` even as a reference
    EncoderFailed,          ///< iconv failed writing `charset`: `errnum`
    OutOfMemory,            ///< not enough memory for the page; nothing of it was written
    OutOfMemoryPartWritten, ///< not enough memory to finish a result already partly written
};

/// How the charset a page is read in was chosen, as the messages about its bytes say.
enum class ChosenBy : std::uint8_t {
    Unsaid,          ///< nothing is said (a reader outside a run)
    Option,          ///< --from-charset
    ByteOrderMark,   ///< the page's byte-order mark
    Declaration,     ///< the page's XML declaration
    LateDeclaration, ///< nothing: the declaration at `late` does not start the page
    Default,         ///< nothing in the page names a charset
};

struct Failure {
    FailureKind kind = FailureKind::Stated;
    /// The page's name ("-" for standard input); empty for a failure of the whole run, or one
    /// whose page the run fills in.
    std::string file;
    /// Line and column in the text of the page (or of the result, for the encoder).
    std::optional<TextPlace> place;
    std::uint64_t byteOffset = 0;
    std::string charset;
    std::uint32_t value = 0;
    int errnum = 0;
    ChosenBy chosenBy = ChosenBy::Unsaid;
    TextPlace late; ///< for ChosenBy::LateDeclaration
    std::string text;
    int status = kExitFailure;
    /// The result went to a target file, whose temporary copy is gone: the target is kept.
    bool discarded = false;
};

class DriverError final : public std::exception {
public:
    /// A Stated failure: `message` is the whole message, without a file name in front.
    explicit DriverError(const std::string& message, int status = kExitFailure);
    explicit DriverError(Failure failure);
    /// A Stated failure of the page `file`.
    static DriverError About(const std::string& file, const std::string& message);

    const Failure& What() const { return m_failure; }
    int Status() const { return m_failure.status; }
    /// The message (FailureMessage), for a caller that only shows it.
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    Failure m_failure;
    std::string m_message;
};

/// "<what>: <strerror(errnum)>", the form of every system-call failure message.
std::string SystemErrorText(const std::string& what, int errnum);

} // namespace morvane::tools
