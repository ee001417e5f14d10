// Starting a program with CreateProcess and the ordinary-file test with
// GetFileAttributes. The started program is this project's own small helper,
// which leaves a marker file and then runs on.

#include "platform/implementations.h"
#include "test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "platform/windows_api.h"

namespace morvane::platform {
namespace {

class WindowsProcessTest : public ::testing::Test {
protected:
    QString at(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    static QString helper() {
        return QCoreApplication::applicationDirPath() +
               QStringLiteral("/morvane_platform_test_helper.exe");
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Process> m_process = makeProcess();
};

TEST_F(WindowsProcessTest, StartsAProgramWhosePathHasSpacesAndChineseWithoutWaiting) {
    ASSERT_TRUE(m_dir.isValid());
    // 系统 工具: system tool
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("系统 工具")));
    const QString program = at("系统 工具/info tool.exe");
    ASSERT_TRUE(QFile::copy(helper(), program)) << helper().toStdString();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(m_process->startDetached(program));
    // The helper runs on for ten seconds after leaving its marker.
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return QFileInfo::exists(program + QStringLiteral(".started")); }, 10000));
}

TEST_F(WindowsProcessTest, ReportsProgramsThatCannotStart) {
    ASSERT_TRUE(test::writeFile(at("plain.exe"), "not a program", false));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
    for (const QString& path : {QString(), at("missing.exe"), at("plain.exe"), at("folder")}) {
        EXPECT_FALSE(m_process->startDetached(path)) << path.toStdString();
    }
}

TEST_F(WindowsProcessTest, FileExistsOnlyForOrdinaryFiles) {
    const auto attributed = [&](const char* name, DWORD attributes) {
        const QString path = at(name);
        return test::writeFile(path, "x", false) &&
               SetFileAttributesW(
                   reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                   attributes);
    };
    ASSERT_TRUE(attributed("MSINFO32.EXE", FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(attributed("readonly.exe", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(attributed("hidden.exe", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(attributed("system.exe", FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));

    const struct {
        QString path;
        bool exists;
    } cases[] = {
        {at("MSINFO32.EXE"), true}, {QDir::toNativeSeparators(at("MSINFO32.EXE")), true},
        {at("readonly.exe"), true}, {at("hidden.exe"), false},
        {at("system.exe"), false},  {at("folder"), false},
        {at("missing.exe"), false}, {QString(), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m_process->fileExists(c.path), c.exists) << c.path.toStdString();
    }
}

} // namespace
} // namespace morvane::platform
