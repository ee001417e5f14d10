#include "tools/page_bytes.h"

#include "tools/file_io.h"

#include <algorithm>
#include <cstring>

namespace morvane::tools {

PageBytes::PageBytes(InputFile& input, std::size_t headSize)
    : m_input(input)
    , m_head(headSize, '\0') {
    std::size_t have = 0;
    while (have < headSize) {
        const std::size_t got = m_input.Read(m_head.data() + have, headSize - have);
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
    return m_input.Read(data, size);
}

std::size_t PageBytes::SizeHint() const {
    // The input's own hint was taken when it was opened, so it counts the head too.
    return m_input.SizeHint() != 0 ? m_input.SizeHint() : m_head.size() - m_served;
}

} // namespace morvane::tools
