#pragma once
// The encoding step: the engine's result to the bytes of the output charset.
// Nothing is refused: a character the charset cannot hold, a lone surrogate
// and U+0000 (which no XML page may hold as a character) are written as a
// hexadecimal reference "&#xHEX;", so the page stays whole and well-formed.
// Under a GB label only codes that every reader of the label agrees on are
// written as bytes (see gb_table.h). UTF-8 goes through the driver's own
// codec, every other charset through glibc's iconv. No output starts with a
// byte-order mark but UTF-16 and UTF-32, which need one to be read.

#include "tools/byte_sink.h"
#include "tools/charset_names.h"
#include "tools/iconv_handle.h"

#include <span>
#include <string>
#include <string_view>

namespace morvane::tools {

class GbTable;

class TextEncoder final {
public:
    /// Throws DriverError when iconv knows no charset called `charset.name`.
    explicit TextEncoder(Charset charset);

    /// Encodes `text` and hands the bytes to `sink`. `atStart` says that `text` starts the
    /// output (a byte-order mark goes first; a U+FEFF there becomes a reference). Throws
    /// DriverError (FailureKind::NotEvenAReference, at its line and column in `text` of the
    /// page `name`) only when the charset cannot hold even the reference for a character;
    /// nothing has reached `sink` then.
    void Encode(std::u16string_view text, const ByteSink& sink, const std::string& name,
                bool atStart = true) const;
    /// The same for the text that `pieces` make one after the other, from the output's start.
    void Encode(std::span<const std::u16string_view> pieces, const ByteSink& sink,
                const std::string& name) const;

    /// True when Encode can never fail, so that a result may be encoded a piece at a time.
    bool NeverFails() const { return !m_iconv.IsOpen(); }

private:
    void EncodeWithIconv(std::span<const std::u16string_view> pieces, const ByteSink& sink,
                         const std::string& name, bool atStart) const;
    [[noreturn]] void ThrowUnwritable(std::span<const std::u16string_view> pieces,
                                      std::size_t piece, std::size_t at, char32_t character,
                                      const std::string& name) const;

    Charset m_charset;
    const GbTable* m_table = nullptr;
    IconvHandle m_iconv;   ///< for charsets other than UTF-8 and the GB labels
    IconvHandle m_gb18030; ///< the four-byte codes under the gb18030 label
    std::string m_byteOrderMark;
    bool m_escapeAsReference = false; ///< ESC would start a shift sequence (ISO-2022)
};

} // namespace morvane::tools
