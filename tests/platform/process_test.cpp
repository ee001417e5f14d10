// Starting a program without waiting, and the ordinary-file test.

#include "platform/implementations.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace morvane::platform {
namespace {

class ProcessTest : public ::testing::Test {
protected:
    QString at(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir m_dir;
    std::unique_ptr<Process> m_process = makeProcess();
};

TEST_F(ProcessTest, StartsTheProgramWithoutWaitingForIt) {
    ASSERT_TRUE(m_dir.isValid());
    const QString marker = at("marker");
    // The program leaves a marker and then runs on for a while: the start
    // must return long before it ends.
    const QByteArray script = "#!/bin/sh\necho started > '" + QFile::encodeName(marker) +
                              "'\nexec sleep 10 >/dev/null 2>&1 </dev/null\n";
    const QString program = at("tool");
    ASSERT_TRUE(test::writeFile(program, script, true));

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(m_process->startDetached(program));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 10000));
}

TEST_F(ProcessTest, StartsAProgramWhosePathHasSpacesAndChinese) {
    // 工具 (tool) in the folder name
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("系统 工具")));
    const QString marker = at("marker");
    const QString program = at("系统 工具/info tool");
    ASSERT_TRUE(
        test::writeFile(program, "#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\n", true));
    ASSERT_TRUE(m_process->startDetached(program));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 10000));
}

TEST_F(ProcessTest, ReportsProgramsThatCannotStart) {
    ASSERT_TRUE(test::writeFile(at("plain"), "#!/bin/sh\nexit 0\n", false));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
    const QString cases[] = {QString(), at("missing"), at("plain"), at("folder")};
    for (const QString& path : cases) {
        EXPECT_FALSE(m_process->startDetached(path)) << path.toStdString();
    }
}

TEST_F(ProcessTest, FileExistsOnlyForOrdinaryFiles) {
    ASSERT_TRUE(test::writeFile(at("MSINFO32.EXE"), "x", false));
    ASSERT_TRUE(test::writeFile(at(".hidden"), "x", false));
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder")));
    ASSERT_TRUE(QFile::link(at("MSINFO32.EXE"), at("link-to-file")));
    ASSERT_TRUE(QFile::link(at("folder"), at("link-to-folder")));
    ASSERT_TRUE(QFile::link(at("gone"), at("dangling")));

    const struct {
        QString path;
        bool exists;
    } cases[] = {
        {at("MSINFO32.EXE"), true}, {at(".hidden"), true},
        {at("link-to-file"), true}, {at("msinfo32.exe"), false},
        {at("folder"), false},      {at("link-to-folder"), false},
        {at("dangling"), false},    {at("missing"), false},
        {QString(), false},         {QStringLiteral("/dev/null"), false},
        {m_dir.path(), false},      {at("MSINFO32.EXE/"), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(m_process->fileExists(c.path), c.exists) << c.path.toStdString();
    }
}

} // namespace
} // namespace morvane::platform
