#include "tools/wide_text_windows.h"

#include <windows.h>

namespace morvane::tools {

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
        L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(),
                          static_cast<int>(wide.size()));
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::string narrow(static_cast<std::size_t>(::WideCharToMultiByte(
                           CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr)),
                       '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(),
                          static_cast<int>(narrow.size()), nullptr, nullptr);
    return narrow;
}

std::string WindowsErrorText(const std::string& what, unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = length != 0 ? std::wstring(text, length) : std::wstring();
    ::LocalFree(text);
    // The system's text ends with a full stop and a line break; a message has neither.
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' ||
                               reason.back() == L'.' || reason.back() == L' ')) {
        reason.pop_back();
    }
    if (reason.empty()) {
        reason = L"Windows error " + std::to_wstring(error);
    }
    return what + ": " + Utf8FromWide(reason);
}

} // namespace morvane::tools
