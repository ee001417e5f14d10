#pragma once
// An owned glibc iconv conversion: opened once, closed when its owner goes.
// Every charset the driver reads or writes through iconv goes through one.

#include <iconv.h>
#include <string>

namespace morvane::tools {

class IconvHandle final {
public:
    IconvHandle() = default;
    /// Opens a conversion from `from` to `to`. Throws DriverError naming `charset` (the
    /// user's name for the side that is not the driver's own) when iconv knows no such charset.
    IconvHandle(const std::string& to, const std::string& from, const std::string& charset);
    /// Opens a conversion from `from` to `to`, or gives a closed handle (IsOpen() false)
    /// when iconv cannot.
    static IconvHandle TryOpen(const std::string& to, const std::string& from);
    IconvHandle(IconvHandle&& other) noexcept;
    IconvHandle& operator=(IconvHandle&& other) noexcept;
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    ~IconvHandle();

    bool IsOpen() const { return m_cd != Closed(); }
    iconv_t Get() const { return m_cd; }
    /// Returns the conversion to its initial state.
    void Reset() const;

private:
    static iconv_t Closed();
    iconv_t m_cd = Closed();
};

/// What iconv() returns on failure.
inline constexpr std::size_t kIconvFailed = static_cast<std::size_t>(-1);

/// The name iconv uses for the engine's UTF-16 text, in the machine's byte order.
const char* NativeUtf16();

} // namespace morvane::tools
