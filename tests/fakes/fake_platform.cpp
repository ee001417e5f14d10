#include "fake_platform.h"

#include <algorithm>

namespace morvane::fakes {

long FakeRegistry::openKey(platform::RegKey root, const std::string& subKey, std::uint32_t,
                           std::uint32_t access, platform::RegKey* result) {
    accessRequested.push_back(access);
    openedKeys.push_back(subKey);
    if (failOpen || root != platform::kHKeyLocalMachine || keys.count(subKey) == 0) {
        return platform::kRegFileNotFound;
    }
    ++opens;
    const platform::RegKey handle = m_next++;
    m_open[handle] = subKey;
    *result = handle;
    return platform::kRegSuccess;
}

long FakeRegistry::queryValue(platform::RegKey key, const std::string& valueName,
                              std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
    queriedValues.push_back(valueName);
    offeredSizes.push_back(*size);
    offeredZeroed.push_back(std::all_of(data, data + *size, [](std::uint8_t b) { return b == 0; }));
    const auto open = m_open.find(key);
    if (failQuery || open == m_open.end()) {
        return platform::kRegFileNotFound;
    }
    const auto& values = keys[open->second];
    const auto found = values.find(valueName);
    if (found == values.end()) {
        return platform::kRegFileNotFound;
    }
    const Value& v = found->second;
    if (v.data.size() > *size) {
        return platform::kRegMoreData;
    }
    std::copy(v.data.begin(), v.data.end(), data);
    *type = v.type;
    *size = static_cast<std::uint32_t>(v.data.size());
    return platform::kRegSuccess;
}

long FakeRegistry::closeKey(platform::RegKey key) {
    if (m_open.erase(key) > 0) {
        ++closes;
    }
    return platform::kRegSuccess;
}

} // namespace morvane::fakes
