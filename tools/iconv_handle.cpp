#include "tools/iconv_handle.h"

#include "tools/driver_error.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <utility>

namespace morvane::tools {

iconv_t IconvHandle::Closed() {
    // iconv's own failure value, (iconv_t)-1: no pointer is ever made of it.
    // NOLINTNEXTLINE(performance-no-int-to-ptr)
    return reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));
}

IconvHandle::IconvHandle(const std::string& to, const std::string& from,
                         const std::string& charset) {
    // An empty name would make iconv take the locale's charset.
    if (!to.empty() && !from.empty()) {
        m_cd = ::iconv_open(to.c_str(), from.c_str());
    }
    if (m_cd == Closed()) {
        const int error = errno;
        Failure failure;
        failure.kind = to.empty() || from.empty() || error == EINVAL ? FailureKind::UnknownCharset
                                                                     : FailureKind::CharsetUnusable;
        failure.charset = charset;
        failure.errnum = error;
        throw DriverError(std::move(failure));
    }
}

IconvHandle IconvHandle::TryOpen(const std::string& to, const std::string& from) {
    IconvHandle handle;
    if (!to.empty() && !from.empty()) {
        handle.m_cd = ::iconv_open(to.c_str(), from.c_str());
    }
    return handle;
}

IconvHandle::IconvHandle(IconvHandle&& other) noexcept
    : m_cd(std::exchange(other.m_cd, Closed())) {}

IconvHandle& IconvHandle::operator=(IconvHandle&& other) noexcept {
    if (this != &other) {
        if (IsOpen()) {
            ::iconv_close(m_cd);
        }
        m_cd = std::exchange(other.m_cd, Closed());
    }
    return *this;
}

IconvHandle::~IconvHandle() {
    if (IsOpen()) {
        ::iconv_close(m_cd);
    }
}

void IconvHandle::Reset() const {
    ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
}

const char* NativeUtf16() {
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

} // namespace morvane::tools
