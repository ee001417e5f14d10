#include "tools/buffer.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>

namespace morvane::tools {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a huge page would mostly hold memory the buffer never uses.
constexpr std::size_t kHugePageThreshold = 4 * kHugePage;

} // namespace

void* AllocateBufferMemory(std::size_t bytes) {
    void* memory = nullptr;
    if (bytes >= kHugePageThreshold && bytes <= SIZE_MAX - kHugePage) {
        // Aligned to and rounded up to whole huge pages, and advised before its first touch,
        // the block is faulted in 2 MiB at a time instead of 4 KiB. Where transparent huge
        // pages are off the advice fails and changes nothing.
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        memory = std::aligned_alloc(kHugePage, rounded);
        if (memory != nullptr) {
            ::madvise(memory, rounded, MADV_HUGEPAGE);
        }
    } else {
        memory = std::malloc(bytes == 0 ? 1 : bytes);
    }
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

} // namespace morvane::tools
