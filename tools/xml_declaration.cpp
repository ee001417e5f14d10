#include "tools/xml_declaration.h"

namespace morvane::tools {
namespace {

constexpr bool IsXmlBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

/// Reads the parts of a declaration in order; every step fails once one has failed.
class DeclarationReader final {
public:
    explicit DeclarationReader(std::u16string_view text)
        : m_text(text) {}

    bool Literal(std::u16string_view literal) {
        if (m_text.substr(m_at).starts_with(literal)) {
            m_at += literal.size();
            return true;
        }
        return false;
    }
    /// Skips blanks; true when there was at least one.
    bool Blanks() {
        const std::size_t from = m_at;
        while (m_at < m_text.size() && IsXmlBlank(m_text[m_at])) {
            ++m_at;
        }
        return m_at > from;
    }
    /// `="value"` or `='value'`, blanks allowed around the "=".
    std::optional<std::u16string_view> Value() {
        Blanks();
        if (!Literal(u"=")) {
            return std::nullopt;
        }
        Blanks();
        if (m_at >= m_text.size() || (m_text[m_at] != u'"' && m_text[m_at] != u'\'')) {
            return std::nullopt;
        }
        const char16_t quote = m_text[m_at++];
        const std::size_t close = m_text.find(quote, m_at);
        if (close == std::u16string_view::npos) {
            return std::nullopt;
        }
        const std::u16string_view value = m_text.substr(m_at, close - m_at);
        m_at = close + 1;
        return value;
    }
    std::size_t At() const { return m_at; }

private:
    std::u16string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

bool StartsWithDeclaration(std::u16string_view text) {
    return text.starts_with(u"<?xml") && text.size() > 5 &&
           (IsXmlBlank(text[5]) || text[5] == u'?');
}

std::optional<DeclaredEncoding> FindDeclaredEncoding(std::u16string_view text) {
    DeclarationReader reader(text);
    if (!reader.Literal(u"<?xml") || !reader.Blanks() || !reader.Literal(u"version") ||
        !reader.Value() || !reader.Blanks()) {
        return std::nullopt;
    }
    const std::size_t start = reader.At();
    if (!reader.Literal(u"encoding")) {
        return std::nullopt;
    }
    const std::optional<std::u16string_view> value = reader.Value();
    // An encoding name is Latin letters, digits and ._- (XML's EncName); anything else is
    // not a name this driver could look up.
    if (!value || value->empty() || value->size() > 64) {
        return std::nullopt;
    }
    DeclaredEncoding declared;
    for (const char16_t c : *value) {
        const bool nameChar = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                              (c >= u'0' && c <= u'9') || c == u'.' || c == u'_' || c == u'-';
        if (!nameChar) {
            return std::nullopt;
        }
        declared.name += static_cast<char>(c);
    }
    declared.start = start;
    declared.end = reader.At();
    return declared;
}

} // namespace morvane::tools
