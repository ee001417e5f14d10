#pragma once
// A growable array of plain characters whose new elements are left
// uninitialised. The driver holds whole pages of tens of megabytes in memory:
// a buffer sized for the worst case costs nothing for the part that is never
// written, where a std::string or std::u16string would zero (and so touch)
// all of it. Large buffers also ask the kernel for transparent huge pages,
// because first-touch page faults are a large share of a run's time.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>

namespace morvane::tools {

/// Allocates `bytes` of uninitialised memory for a Buffer, to be released with std::free.
/// Throws std::bad_alloc when it cannot.
void* AllocateBufferMemory(std::size_t bytes);

template <typename T> class Buffer final {
    static_assert(std::is_trivially_copyable_v<T>, "a Buffer holds plain characters");

public:
    Buffer() = default;
    explicit Buffer(std::size_t capacity)
        : m_data(Allocate(capacity))
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
        Block grown = Allocate(capacity);
        if (m_size != 0) {
            std::memcpy(grown.get(), m_data.get(), m_size * sizeof(T));
        }
        m_data = std::move(grown);
        m_capacity = capacity;
    }

    /// Makes room for at least `extra` more elements than are written, doubling the room
    /// when it has to grow so that a run of small requests costs linear time.
    void ReserveMore(std::size_t extra) {
        if (m_capacity - m_size < extra) {
            Reserve(std::max(m_size + extra, m_capacity * 2));
        }
    }

private:
    struct Free {
        void operator()(T* data) const noexcept { std::free(data); }
    };
    using Block = std::unique_ptr<T[], Free>;

    static Block Allocate(std::size_t capacity) {
        if (capacity > SIZE_MAX / sizeof(T)) {
            throw std::bad_alloc();
        }
        return Block(static_cast<T*>(AllocateBufferMemory(capacity * sizeof(T))));
    }

    Block m_data;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
};

} // namespace morvane::tools
