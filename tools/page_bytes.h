#pragma once
// The bytes of one page as the pipeline reads them: the first ones held back
// so that the charset can be told from them, then the rest as the input gives
// them, so that a large page is never held whole as bytes.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace morvane::tools {

class InputFile;

/// Reads up to `size` bytes into `data`; 0 means the end of the page.
using ByteReader = std::function<std::size_t(char* data, std::size_t size)>;

class PageBytes final {
public:
    /// Reads the first `headSize` bytes of `input` (fewer when it ends sooner).
    PageBytes(InputFile& input, std::size_t headSize);
    /// The same for a page whose bytes `read` gives (a page held in memory, handed on in
    /// pieces of any size), about `sizeHint` bytes long (0: unknown).
    PageBytes(ByteReader read, std::size_t sizeHint, std::size_t headSize);
    PageBytes(const PageBytes&) = delete;
    PageBytes& operator=(const PageBytes&) = delete;
    ~PageBytes() = default;

    /// The page's first bytes.
    std::string_view Head() const { return m_head; }
    /// Reads up to `size` bytes into `data`, the head first; 0 means the end of the page.
    std::size_t Read(char* data, std::size_t size);
    /// About how many bytes the page holds, for sizing buffers; 0 when unknown.
    std::size_t SizeHint() const;

private:
    ByteReader m_read;
    std::size_t m_sizeHint;
    std::string m_head;
    std::size_t m_served = 0;
};

} // namespace morvane::tools
