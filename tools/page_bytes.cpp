#include "tools/page_bytes.h"

#include "tools/file_io.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace morvane::tools {

PageBytes::PageBytes(InputFile& input, std::size_t headSize)
    : PageBytes([&input](char* data, std::size_t size) { return input.Read(data, size); },
                input.SizeHint(), headSize) {}

PageBytes::PageBytes(ByteReader read, std::size_t sizeHint, std::size_t headSize)
    : m_read(std::move(read))
    , m_sizeHint(sizeHint)
    , m_head(headSize, '\0') {
    std::size_t have = 0;
    while (have < headSize) {
        const std::size_t got = m_read(m_head.data() + have, headSize - have);
        if (got == 0) {
            break;
        }
        have += got;
    }
    m_head.resize(have);
}

std::size_t PageBytes::Read(char* data, std::size_t size) {
    if (m_served < m_head.size()) {
        const std::size_t part = std::min(size, m_head.size() - m_served);
        std::memcpy(data, m_head.data() + m_served, part);
        m_served += part;
        return part;
    }
    return m_read(data, size);
}

std::size_t PageBytes::SizeHint() const {
    // The input's own hint was taken when it was opened, so it counts the head too.
    return m_sizeHint != 0 ? m_sizeHint : m_head.size() - m_served;
}

} // namespace morvane::tools
