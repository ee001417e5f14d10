#pragma once
// A minimal registry: open a key, read one value into the caller's buffer,
// close the key. Key paths, value names and string data are bytes in the
// system code page (UTF-8 on Linux). Results are 0 on success, as the
// registry API itself answers.

#include <cstdint>
#include <string>

namespace morvane::platform {

using RegKey = std::uintptr_t;

inline constexpr RegKey kHKeyLocalMachine = 0x80000002u;
inline constexpr long kRegSuccess = 0;
inline constexpr long kRegFileNotFound = 2;
inline constexpr long kRegMoreData = 234;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;
/// Read access as the system-information lookup asks for it (read control plus
/// query, set, create sub-key, enumerate, notify and create link).
inline constexpr std::uint32_t kKeyAccess = 0x2003F;

class Registry {
public:
    virtual ~Registry() = default;
    /// Opens root\subKey; on success stores the handle in *result.
    virtual long openKey(RegKey root, const std::string& subKey, std::uint32_t options,
                         std::uint32_t access, RegKey* result) = 0;
    /// Reads value valueName of an open key into data (*size bytes on entry;
    /// the number of data bytes on success) and stores its type. A value
    /// longer than the buffer fails.
    virtual long queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
    virtual long closeKey(RegKey key) = 0;
};

} // namespace morvane::platform
