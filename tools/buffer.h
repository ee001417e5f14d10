#pragma once
// A growable array whose new elements are left uninitialised. The driver
// holds whole pages of tens of megabytes in memory; a buffer sized for the
// worst case costs nothing for the part that is never written, where a
// std::string or std::u16string would zero (and so touch) all of it.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

namespace morvane::tools {

template <typename T> class Buffer final {
public:
    Buffer() = default;
    explicit Buffer(std::size_t capacity)
        : m_data(std::make_unique_for_overwrite<T[]>(capacity))
        , m_capacity(capacity) {}
    Buffer(Buffer&& other) noexcept { *this = std::move(other); }
    Buffer& operator=(Buffer&& other) noexcept {
        m_data = std::move(other.m_data);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_size = std::exchange(other.m_size, 0);
        return *this;
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;
    ~Buffer() = default;

    T* Data() { return m_data.get(); }
    const T* Data() const { return m_data.get(); }
    std::size_t Size() const { return m_size; }
    std::size_t Capacity() const { return m_capacity; }
    /// Marks the first `size` elements (at most Capacity()) as written.
    void SetSize(std::size_t size) { m_size = size; }
    std::basic_string_view<T> View() const { return {m_data.get(), m_size}; }

    /// Makes room for at least `capacity` elements, keeping the written ones.
    void Reserve(std::size_t capacity) {
        if (capacity <= m_capacity) {
            return;
        }
        auto grown = std::make_unique_for_overwrite<T[]>(capacity);
        if (m_size != 0) {
            std::memcpy(grown.get(), m_data.get(), m_size * sizeof(T));
        }
        m_data = std::move(grown);
        m_capacity = capacity;
    }

    /// Doubles the room (at least `minimum` elements).
    void Grow(std::size_t minimum = 4096) { Reserve(std::max(minimum, m_capacity * 2)); }

private:
    std::unique_ptr<T[]> m_data;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
};

} // namespace morvane::tools
