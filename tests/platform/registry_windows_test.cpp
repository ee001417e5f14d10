// The registry through advapi32's code-page calls, against keys the test
// writes under HKEY_CURRENT_USER, and the system-information tool's real keys.

#include "platform/implementations.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "platform/windows_api.h"

namespace morvane::platform {
namespace {

// HKEY_CURRENT_USER as this program's handles carry a root: 32 bits, unsigned.
constexpr RegKey kHKeyCurrentUser = 0x80000001u;
const std::string kTestKey = R"(Software\Morvane tests\registry)";
const std::string kToolPath =
    R"(C:\Program Files\Common Files\Microsoft Shared\MSInfo\MSINFO32.EXE)";

class WindowsRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const DWORD number = 0x12AB;
        ASSERT_EQ(RegSetValueExA(key, "PATH", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(kToolPath.c_str()),
                                 static_cast<DWORD>(kToolPath.size() + 1)),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, "Number", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&number), sizeof(number)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Morvane tests"); }

    std::unique_ptr<Registry> m_registry = makeRegistry();
};

TEST_F(WindowsRegistryTest, ReadsAStringWithItsZeroAndADword) {
    RegKey key = 0;
    ASSERT_EQ(m_registry->openKey(kHKeyCurrentUser, kTestKey, 0, kKeyAccess, &key), kRegSuccess);
    std::array<std::uint8_t, 1024> data{};
    std::uint32_t size = data.size();
    std::uint32_t type = 0;
    ASSERT_EQ(m_registry->queryValue(key, "PATH", &type, data.data(), &size), kRegSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, kToolPath.size() + 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.data())), kToolPath);

    size = data.size();
    ASSERT_EQ(m_registry->queryValue(key, "Number", &type, data.data(), &size), kRegSuccess);
    EXPECT_EQ(type, kRegDword);
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(data[0] | data[1] << 8, 0x12AB);
    EXPECT_EQ(m_registry->closeKey(key), kRegSuccess);
}

TEST_F(WindowsRegistryTest, AnswersWithTheRegistrysOwnCodes) {
    RegKey key = 0;
    EXPECT_EQ(m_registry->openKey(kHKeyCurrentUser, kTestKey + "\\missing", 0, kKeyAccess, &key),
              kRegFileNotFound);
    ASSERT_EQ(m_registry->openKey(kHKeyCurrentUser, kTestKey, 0, kKeyAccess, &key), kRegSuccess);
    std::array<std::uint8_t, 8> small{};
    std::uint32_t size = small.size();
    std::uint32_t type = 0;
    EXPECT_EQ(m_registry->queryValue(key, "PATH", &type, small.data(), &size), kRegMoreData);
    size = small.size();
    EXPECT_EQ(m_registry->queryValue(key, "Absent", &type, small.data(), &size), kRegFileNotFound);
    // With no buffer, the size alone.
    size = 0;
    EXPECT_EQ(m_registry->queryValue(key, "PATH", &type, nullptr, &size), kRegSuccess);
    EXPECT_EQ(size, kToolPath.size() + 1);
    EXPECT_EQ(m_registry->closeKey(key), kRegSuccess);
}

TEST(WindowsRegistrySystemTool, ReadsTheRealKeysAsGiven) {
    // Windows keeps the system-information tool's path here, readable with
    // the access the About window asks for. Wine 8.0 has the key, empty.
    auto registry = makeRegistry();
    RegKey key = 0;
    const long opened = registry->openKey(
        kHKeyLocalMachine, R"(SOFTWARE\Microsoft\Shared Tools\MSINFO)", 0, kKeyAccess, &key);
    if (opened == kRegFileNotFound) {
        GTEST_SKIP() << "this system (Wine 8.0) has no system-information tool key";
    }
    ASSERT_EQ(opened, kRegSuccess);
    std::array<std::uint8_t, 1024> data{};
    std::uint32_t size = data.size();
    std::uint32_t type = 0;
    const long read = registry->queryValue(key, "PATH", &type, data.data(), &size);
    EXPECT_EQ(registry->closeKey(key), kRegSuccess);
    if (read == kRegFileNotFound) {
        GTEST_SKIP() << "this system (Wine 8.0) has the key but no tool path in it";
    }
    ASSERT_EQ(read, kRegSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_NE(std::strstr(reinterpret_cast<const char*>(data.data()), "MSINFO32"), nullptr);
}

} // namespace
} // namespace morvane::platform
