#include "platform/real_platform.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace morvane::platform {

void reuseFreedMemory() {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    // The text boxes lay a long line out again on every key, and each layout
    // asks for tens of megabytes of glyph memory and gives them back. By
    // default glibc maps such blocks fresh from the kernel each time and
    // returns them at once, so every key pays the page faults of zeroing
    // them anew: on a one-megabyte line that is over half of a key's time.
    // Blocks of up to 128 MiB (a layout of a line of some million
    // characters) are served from the heap instead, and up to 256 MiB of
    // freed heap is kept for the next layout rather than returned, so the
    // same memory is reused from one key to the next. Larger blocks are
    // still mapped and returned at once, so a page of tens of megabytes does
    // not leave its layouts' memory behind.
    constexpr int kFromHeapUpTo = 128 << 20;
    constexpr int kKeptFree = 256 << 20;
    mallopt(M_MMAP_THRESHOLD, kFromHeapUpTo);
    mallopt(M_TRIM_THRESHOLD, kKeptFree);
#endif
}

} // namespace morvane::platform
