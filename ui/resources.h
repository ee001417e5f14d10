#pragma once
// The program's icons and pictures are compiled into a static library, whose
// registration the linker drops unless something refers to it: every window
// calls InitResources() before it loads a ":/morvane/..." picture.

namespace morvane::ui {

/// Registers the compiled-in pictures once; later calls do nothing.
void InitResources();

} // namespace morvane::ui
