// <windows.h> as every Windows file of the platform layer (and its tests) takes
// it: without the rarely used parts of the API (WIN32_LEAN_AND_MEAN) and without
// the min and max macros, which would break std::min, std::max and Qt's headers.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
