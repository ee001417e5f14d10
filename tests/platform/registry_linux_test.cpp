// The Linux registry: the system-information tool's key is served from the
// first system-information program on PATH, everything else is absent.

#include "platform/implementations.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace morvane::platform {
namespace {

const std::string kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr std::uint32_t kBufferSize = 1024;

struct Lookup {
    long openResult = -1;
    long queryResult = -1;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::string data;
};

/// Runs the About window's read: open, query PATH into a 1024-byte buffer,
/// close. The data is kept exactly as returned, terminator included.
Lookup readToolPath(Registry& registry) {
    Lookup out;
    RegKey key = 0;
    out.openResult = registry.openKey(kHKeyLocalMachine, kToolKey, 0, kKeyAccess, &key);
    if (out.openResult != kRegSuccess) {
        return out;
    }
    std::array<std::uint8_t, kBufferSize> buffer{};
    out.size = kBufferSize;
    out.queryResult = registry.queryValue(key, "PATH", &out.type, buffer.data(), &out.size);
    if (out.queryResult == kRegSuccess) {
        out.data.assign(reinterpret_cast<const char*>(buffer.data()), out.size);
    }
    EXPECT_EQ(registry.closeKey(key), kRegSuccess);
    return out;
}

class LinuxRegistryTest : public ::testing::Test {
protected:
    /// Puts an executable script called name into folder number dir
    /// (created on demand) and returns its full path.
    QString install(int dir, const QString& name) {
        const QString path = folder(dir) + QLatin1Char('/') + name;
        EXPECT_TRUE(test::writeFile(path, "#!/bin/sh\nexit 0\n", true));
        return path;
    }

    QString folder(int dir) {
        const QString path = m_root.path() + QStringLiteral("/bin") + QString::number(dir);
        QDir().mkpath(path);
        return path;
    }

    /// PATH made of the given folders, in order.
    void setPath(std::initializer_list<int> dirs) {
        QStringList parts;
        for (const int d : dirs) {
            parts << folder(d);
        }
        m_path.emplace("PATH", QFile::encodeName(parts.join(QLatin1Char(':'))));
    }

    QTemporaryDir m_root;
    std::optional<test::ScopedEnv> m_path;
    std::unique_ptr<Registry> m_registry = makeRegistry();
};

struct Candidates {
    const char* name;
    /// (folder, program) pairs installed; PATH lists folders 0 then 1.
    std::vector<std::pair<int, const char*>> installed;
    /// The program expected in the answer.
    const char* winner;
};

class LinuxRegistryWinnerTest : public LinuxRegistryTest,
                                public ::testing::WithParamInterface<Candidates> {};

TEST_P(LinuxRegistryWinnerTest, ServesTheEarliestListedProgramAsString) {
    QString expected;
    for (const auto& [dir, program] : GetParam().installed) {
        const QString path = install(dir, QString::fromLatin1(program));
        if (qstrcmp(program, GetParam().winner) == 0) {
            expected = path;
        }
    }
    ASSERT_FALSE(expected.isEmpty());
    setPath({0, 1});

    const Lookup got = readToolPath(*m_registry);
    ASSERT_EQ(got.openResult, kRegSuccess);
    ASSERT_EQ(got.queryResult, kRegSuccess);
    EXPECT_EQ(got.type, kRegSz);
    const QByteArray bytes = QFile::encodeName(expected);
    // The size counts the terminating zero byte.
    EXPECT_EQ(got.size, static_cast<std::uint32_t>(bytes.size()) + 1);
    EXPECT_EQ(got.data, bytes.toStdString() + '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Programs, LinuxRegistryWinnerTest,
    ::testing::Values(Candidates{"OnlyTheFirst", {{0, "hardinfo"}}, "hardinfo"},
                      Candidates{"OnlyTheLast", {{0, "xfce4-taskmanager"}}, "xfce4-taskmanager"},
                      Candidates{"ListOrderNotInstallOrder",
                                 {{0, "gnome-system-monitor"}, {0, "kinfocenter"}},
                                 "kinfocenter"},
                      Candidates{"ListOrderBeatsPathOrder",
                                 {{0, "xfce4-taskmanager"}, {1, "mate-system-monitor"}},
                                 "mate-system-monitor"},
                      Candidates{"EarlierPathFolderForTheSameProgram",
                                 {{1, "hardinfo"}, {0, "hardinfo"}, {1, "kinfocenter"}},
                                 "hardinfo"},
                      Candidates{"AllFive",
                                 {{1, "xfce4-taskmanager"},
                                  {1, "mate-system-monitor"},
                                  {0, "gnome-system-monitor"},
                                  {1, "kinfocenter"},
                                  {1, "hardinfo"}},
                                 "hardinfo"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinuxRegistryTest, KeyIsAbsentWithoutAnyProgram) {
    install(0, QStringLiteral("top"));
    install(0, QStringLiteral("hardinfo.sh"));
    setPath({0});
    RegKey key = 77;
    EXPECT_EQ(m_registry->openKey(kHKeyLocalMachine, kToolKey, 0, kKeyAccess, &key),
              kRegFileNotFound);
    EXPECT_EQ(key, 77u) << "a failed open leaves the handle alone";
}

TEST_F(LinuxRegistryTest, SkipsNamesThatCannotBeRun) {
    // A folder and a plain file carrying candidate names are not programs.
    QDir().mkpath(folder(0) + QStringLiteral("/hardinfo"));
    ASSERT_TRUE(test::writeFile(folder(0) + QStringLiteral("/kinfocenter"), "data", false));
    const QString monitor = install(1, QStringLiteral("gnome-system-monitor"));
    setPath({0, 1});
    EXPECT_EQ(readToolPath(*m_registry).data, QFile::encodeName(monitor).toStdString() + '\0');
}

TEST_F(LinuxRegistryTest, NonAsciiFolderComesBackInTheFileSystemEncoding) {
    // 系统工具 (system tools) as a folder name
    const QString dir = m_root.path() + QStringLiteral("/系统工具");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/hardinfo");
    ASSERT_TRUE(test::writeFile(path, "#!/bin/sh\n", true));
    m_path.emplace("PATH", QFile::encodeName(dir));
    EXPECT_EQ(readToolPath(*m_registry).data, QFile::encodeName(path).toStdString() + '\0');
}

TEST_F(LinuxRegistryTest, FindsAProgramInstalledAfterAnEarlierMiss) {
    setPath({0});
    EXPECT_EQ(readToolPath(*m_registry).openResult, kRegFileNotFound);
    install(0, QStringLiteral("kinfocenter"));
    EXPECT_EQ(readToolPath(*m_registry).openResult, kRegSuccess);
}

struct OtherPlace {
    const char* name;
    RegKey root;
    const char* key;
};

class LinuxRegistryOtherKeyTest : public LinuxRegistryTest,
                                  public ::testing::WithParamInterface<OtherPlace> {};

TEST_P(LinuxRegistryOtherKeyTest, IsAbsentEvenWithAProgramOnPath) {
    install(0, QStringLiteral("hardinfo"));
    setPath({0});
    RegKey key = 0;
    EXPECT_EQ(m_registry->openKey(GetParam().root, GetParam().key, 0, kKeyAccess, &key),
              kRegFileNotFound);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LinuxRegistryOtherKeyTest,
    ::testing::Values(
        OtherPlace{"FolderPlace", kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location"},
        OtherPlace{"OtherRoot", 0x80000001u, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"},
        OtherPlace{"LowerCase", kHKeyLocalMachine, "software\\microsoft\\shared tools\\msinfo"},
        OtherPlace{"ForwardSlashes", kHKeyLocalMachine, "SOFTWARE/Microsoft/Shared Tools/MSINFO"},
        OtherPlace{"TrailingBackslash", kHKeyLocalMachine,
                   "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO\\"},
        OtherPlace{"Parent", kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools"},
        OtherPlace{"Empty", kHKeyLocalMachine, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinuxRegistryTest, OtherValuesOfTheKeyAreAbsent) {
    install(0, QStringLiteral("hardinfo"));
    setPath({0});
    RegKey key = 0;
    ASSERT_EQ(m_registry->openKey(kHKeyLocalMachine, kToolKey, 0, kKeyAccess, &key), kRegSuccess);
    for (const char* name : {"MSINFO", "path", "", "PATH "}) {
        std::array<std::uint8_t, kBufferSize> buffer{};
        std::uint32_t size = kBufferSize;
        std::uint32_t type = 0;
        EXPECT_EQ(m_registry->queryValue(key, name, &type, buffer.data(), &size), kRegFileNotFound)
            << name;
        EXPECT_EQ(buffer[0], 0) << name;
    }
    EXPECT_EQ(m_registry->closeKey(key), kRegSuccess);
}

TEST_F(LinuxRegistryTest, HonoursTheCallersBufferSize) {
    const QByteArray path = QFile::encodeName(install(0, QStringLiteral("hardinfo")));
    setPath({0});
    const auto needed = static_cast<std::uint32_t>(path.size()) + 1;
    RegKey key = 0;
    ASSERT_EQ(m_registry->openKey(kHKeyLocalMachine, kToolKey, 0, kKeyAccess, &key), kRegSuccess);

    struct Case {
        std::uint32_t size;
        long result;
    };
    for (const Case c : {Case{0, kRegMoreData}, Case{needed - 1, kRegMoreData},
                         Case{needed, kRegSuccess}, Case{needed + 1, kRegSuccess}}) {
        std::vector<std::uint8_t> buffer(needed + 8, 0xAB);
        std::uint32_t size = c.size;
        std::uint32_t type = 0;
        EXPECT_EQ(m_registry->queryValue(key, "PATH", &type, buffer.data(), &size), c.result)
            << c.size;
        // Either way the caller learns how many bytes the value takes.
        EXPECT_EQ(size, needed) << c.size;
        if (c.result == kRegMoreData) {
            EXPECT_EQ(buffer, std::vector<std::uint8_t>(needed + 8, 0xAB)) << "nothing copied";
        } else {
            EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + needed),
                      path.toStdString() + '\0');
            EXPECT_EQ(buffer[needed], 0xAB) << "nothing past the value is written";
        }
    }
    EXPECT_EQ(m_registry->closeKey(key), kRegSuccess);
}

TEST_F(LinuxRegistryTest, HandlesAreDistinctAndDieWithClose) {
    install(0, QStringLiteral("hardinfo"));
    setPath({0});
    RegKey first = 0;
    RegKey second = 0;
    ASSERT_EQ(m_registry->openKey(kHKeyLocalMachine, kToolKey, 0, kKeyAccess, &first), kRegSuccess);
    ASSERT_EQ(m_registry->openKey(kHKeyLocalMachine, kToolKey, 0, kKeyAccess, &second),
              kRegSuccess);
    EXPECT_NE(first, second);
    EXPECT_NE(first, kHKeyLocalMachine);

    EXPECT_EQ(m_registry->closeKey(first), kRegSuccess);
    EXPECT_NE(m_registry->closeKey(first), kRegSuccess) << "closed twice";
    std::array<std::uint8_t, kBufferSize> buffer{};
    std::uint32_t size = kBufferSize;
    EXPECT_NE(m_registry->queryValue(first, "PATH", nullptr, buffer.data(), &size), kRegSuccess);
    // The other handle is still open.
    size = kBufferSize;
    EXPECT_EQ(m_registry->queryValue(second, "PATH", nullptr, buffer.data(), &size), kRegSuccess);
    EXPECT_EQ(m_registry->closeKey(second), kRegSuccess);
    EXPECT_NE(m_registry->closeKey(kHKeyLocalMachine), kRegSuccess);
}

} // namespace
} // namespace morvane::platform
