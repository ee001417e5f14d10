// The Windows registry, read through the code-page (ANSI) calls.

#include "platform/implementations.h"

#include "platform/windows_api.h"

#include <bit>

namespace morvane::platform {
namespace {

/// Our handles carry the predefined roots as 32-bit values (0x80000002);
/// Windows defines them sign-extended to pointer width, so a root must be
/// widened through LONG before it becomes an HKEY. Handles that
/// RegOpenKeyExA returned are pointers and pass through unchanged. A handle
/// is a number of pointer width, so its bits are taken over as they are.
HKEY toHkey(RegKey key) {
    if (key >= 0x80000000u && key <= 0x800000FFu) {
        const auto root = static_cast<LONG>(static_cast<DWORD>(key));
        return std::bit_cast<HKEY>(static_cast<LONG_PTR>(root));
    }
    return std::bit_cast<HKEY>(key);
}

class WindowsRegistry final : public Registry {
public:
    WindowsRegistry() = default;
    Q_DISABLE_COPY_MOVE(WindowsRegistry)

    long openKey(RegKey root, const std::string& subKey, std::uint32_t options,
                 std::uint32_t access, RegKey* result) override {
        if (result == nullptr) {
            return ERROR_INVALID_PARAMETER;
        }
        HKEY opened = nullptr;
        const LSTATUS status =
            RegOpenKeyExA(toHkey(root), subKey.c_str(), options, access, &opened);
        if (status == ERROR_SUCCESS) {
            *result = reinterpret_cast<RegKey>(opened);
        }
        return status;
    }

    long queryValue(RegKey key, const std::string& valueName, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override {
        // DWORD is unsigned long here, not the same type as std::uint32_t.
        DWORD valueType = 0;
        DWORD byteCount = size != nullptr ? *size : 0;
        const LSTATUS status = RegQueryValueExA(toHkey(key), valueName.c_str(), nullptr, &valueType,
                                                data, size != nullptr ? &byteCount : nullptr);
        if (type != nullptr) {
            *type = valueType;
        }
        if (size != nullptr) {
            *size = byteCount;
        }
        return status;
    }

    long closeKey(RegKey key) override { return RegCloseKey(toHkey(key)); }
};

} // namespace

std::unique_ptr<Registry> makeRegistry() {
    return std::make_unique<WindowsRegistry>();
}

} // namespace morvane::platform
