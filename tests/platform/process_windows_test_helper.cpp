// Started by the Windows process test: leaves "<its own path>.started" and
// runs on for ten seconds, so the test sees the start return before it ends.

#include <cstdio>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int main() {
    wchar_t self[MAX_PATH + 16] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return 1;
    }
    wcscat_s(self, L".started");
    FILE* marker = _wfopen(self, L"w");
    if (marker == nullptr) {
        return 1;
    }
    std::fputs("started\n", marker);
    std::fclose(marker);
    Sleep(10000);
    return 0;
}
