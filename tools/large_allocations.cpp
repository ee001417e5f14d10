// The driver's global allocation functions. The engine builds its results in
// std::u16string, and on a page of tens of megabytes the first-touch page
// faults of those strings cost as much as the conversion itself. Routing
// operator new through the driver's buffer allocator gives large blocks the
// same transparent-huge-page advice as the driver's own buffers; small blocks
// go straight to malloc as before. Sanitizer builds keep their own allocator,
// which checks every new against its delete.

#if !defined(__SANITIZE_ADDRESS__)

#include "tools/buffer.h"

#include <cstdlib>
#include <new>

void* operator new(std::size_t size) {
    return morvane::tools::AllocateBufferMemory(size);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t /*size*/) noexcept {
    std::free(memory);
}

#endif
