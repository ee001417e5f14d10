// The Windows allocation of the driver's buffers: plain malloc. The C runtime
// the MinGW build uses has no aligned_alloc whose blocks std::free releases,
// and Windows gives large pages only to a privileged process.

#include "tools/buffer.h"

#include <new>

namespace morvane::tools {

void* AllocateBufferMemory(std::size_t bytes) {
    void* memory = std::malloc(bytes == 0 ? 1 : bytes);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

} // namespace morvane::tools
