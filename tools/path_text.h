#pragma once
// File names between the driver's UTF-8 strings and std::filesystem. A path
// made from a std::string takes it in the system's narrow encoding, which on
// Windows is neither UTF-8 nor able to hold every name; through char8_t both
// systems take and give UTF-8 (on Linux, the bytes as they are).

#include <filesystem>
#include <string>

namespace morvane::tools {

/// The path named by `utf8`.
inline std::filesystem::path PathOf(const std::string& utf8) {
    return {std::u8string(utf8.begin(), utf8.end())};
}

/// The name of `path` in UTF-8.
inline std::string NameOf(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

} // namespace morvane::tools
