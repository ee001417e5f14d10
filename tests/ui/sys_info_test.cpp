// The About window's system-information launcher: reading one registry value
// (GetKeyValue) and finding and starting the tool (StartSysInfo), over the
// recording fakes, and once over this machine's real registry and launcher.

#include "fake_platform.h"
#include "platform/implementations.h"
#include "probe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace morvane::ui {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString kUnavailable = QStringLiteral("此时系统信息不可用");

constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegExpandSz = 2;

Bytes Repeat(char c, std::size_t n, bool terminator) {
    Bytes b(n, static_cast<std::uint8_t>(c));
    if (terminator) {
        b.push_back(0);
    }
    return b;
}

struct ReadCase {
    const char* name;
    /// Sets up the value "V" of key "K" (or leaves it out).
    std::function<void(fakes::FakeRegistry&)> setUp;
    bool result;
    QString value;
    friend std::ostream& operator<<(std::ostream& os, const ReadCase& c) { return os << c.name; }
};

const QString kBefore = QStringLiteral("before");

const ReadCase kReadCases[] = {
    {"StringWithTerminator",
     [](auto& r) { r.setString("K", "V", "C:\\Tools\\msinfo32.exe", true); }, true,
     QStringLiteral("C:\\Tools\\msinfo32.exe")},
    {"StringWithoutTerminator",
     [](auto& r) { r.setString("K", "V", "C:\\Tools\\msinfo32.exe", false); }, true,
     QStringLiteral("C:\\Tools\\msinfo32.exe")},
    // Only the one last zero byte is the terminator.
    // Qt's decoder for a Windows code page ends the text at a zero byte; on
    // Linux the zero is kept as a character.
    {"StringWithTwoZeros",
     [](auto& r) {
         r.setRaw("K", "V", platform::kRegSz, {'a', 0, 0});
     },
#ifdef _WIN32
     true, QStringLiteral("a")},
#else
     true, QString::fromUtf16(u"a\u0000", 2)},
#endif
    {"EmptyStringWithTerminator", [](auto& r) { r.setString("K", "V", "", true); }, true,
     QString()},
    {"EmptyStringWithoutData", [](auto& r) { r.setRaw("K", "V", platform::kRegSz, {}); }, true,
     QString()},
    // 工具 (U+5DE5 U+5177, "tools"), UTF-8 bytes in the system code page.
    // 工具 in the system code page: UTF-8 on Linux, 936 (GBK) on a Chinese
    // Windows (scripts/test-windows.sh runs Wine with that code page).
    {"StringInTheSystemCodePage",
#ifdef _WIN32
     [](auto& r) { r.setString("K", "V", "/opt/\xB9\xA4\xBE\xDF/info"); }, true,
#else
     [](auto& r) { r.setString("K", "V", "/opt/\xE5\xB7\xA5\xE5\x85\xB7/info"); }, true,
#endif
     QString::fromUtf16(u"/opt/\u5DE5\u5177/info")},
    {"StringFillingTheBuffer",
     [](auto& r) { r.setRaw("K", "V", platform::kRegSz, Repeat('a', 1023, true)); }, true,
     QString(1023, QLatin1Char('a'))},
    {"StringFillingTheBufferUnterminated",
     [](auto& r) { r.setRaw("K", "V", platform::kRegSz, Repeat('a', 1024, false)); }, true,
     QString(1024, QLatin1Char('a'))},
    {"ValueLongerThanTheBuffer",
     [](auto& r) { r.setRaw("K", "V", platform::kRegSz, Repeat('a', 1024, true)); }, false,
     QString()},

    {"Dword255",
     [](auto& r) {
         r.setRaw("K", "V", platform::kRegDword, {0xFF, 0, 0, 0});
     },
     true, QStringLiteral("&hFF")},
    {"DwordAllDigitsUpperCase",
     [](auto& r) {
         r.setRaw("K", "V", platform::kRegDword, {0xCD, 0xAB, 0x34, 0x12});
     },
     true, QStringLiteral("&h1234ABCD")},
    {"DwordHighBitSet",
     [](auto& r) {
         r.setRaw("K", "V", platform::kRegDword, {0x01, 0x00, 0x00, 0x80});
     },
     true, QStringLiteral("&h80000001")},
    {"DwordZero",
     [](auto& r) {
         r.setRaw("K", "V", platform::kRegDword, {0, 0, 0, 0});
     },
     true, QStringLiteral("&h0")},
    // The zero top byte is cut off as if it were a terminator; the number stays.
    {"DwordWithZeroTopByte",
     [](auto& r) {
         r.setRaw("K", "V", platform::kRegDword, {0x00, 0x00, 0xFF, 0x00});
     },
     true, QStringLiteral("&hFF0000")},
    {"DwordShorterThanFourBytes",
     [](auto& r) {
         r.setRaw("K", "V", platform::kRegDword, {0x34, 0x12});
     },
     true, QStringLiteral("&h1234")},
    {"DwordOfOneByte", [](auto& r) { r.setRaw("K", "V", platform::kRegDword, {0x7F}); }, true,
     QStringLiteral("&h7F")},
    {"DwordWithoutData", [](auto& r) { r.setRaw("K", "V", platform::kRegDword, {}); }, true,
     QStringLiteral("&h0")},
    {"DwordLongerThanFourBytes",
     [](auto& r) {
         r.setRaw("K", "V", platform::kRegDword, {1, 0, 0, 0, 2, 0, 0, 0});
     },
     true, QStringLiteral("&h1")},

    {"OtherTypeKeepsTheValue",
     [](auto& r) {
         r.setRaw("K", "V", kRegBinary, {'x', 'y', 0});
     },
     true, kBefore},
    {"ExpandableStringIsAnotherType",
     [](auto& r) {
         r.setRaw("K", "V", kRegExpandSz, {'x', 'y', 0});
     },
     true, kBefore},

    {"KeyMissing", [](auto& r) { r.setString("Other", "V", "x"); }, false, QString()},
    {"ValueMissing", [](auto& r) { r.setString("K", "Other", "x"); }, false, QString()},
    {"OpenFails",
     [](auto& r) {
         r.setString("K", "V", "x");
         r.failOpen = true;
     },
     false, QString()},
    {"QueryFails",
     [](auto& r) {
         r.setString("K", "V", "x");
         r.failQuery = true;
     },
     false, QString()},
};

class GetKeyValueRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(GetKeyValueRead, ResultTextAndHandles) {
    const ReadCase& c = GetParam();
#ifdef _WIN32
    if (std::string(c.name) == "StringInTheSystemCodePage" &&
        QString::fromUtf16(u"\u5DE5").toLocal8Bit() != QByteArray("\xB9\xA4")) {
        GTEST_SKIP() << "the system code page is not 936 (Wine without a Chinese locale)";
    }
#endif
    fakes::FakePlatform fake;
    FrmHelp help(fake.platform);
    c.setUp(fake.registry);

    QString KeyVal = kBefore;
    const QString KeyName = QStringLiteral("K");
    const QString SubKeyRef = QStringLiteral("V");
    EXPECT_EQ(
        FrmHelpProbe::GetKeyValue(help, platform::kHKeyLocalMachine, KeyName, SubKeyRef, KeyVal),
        c.result);
    EXPECT_EQ(KeyVal, c.value);
    EXPECT_EQ(KeyName, QStringLiteral("K"));
    EXPECT_EQ(SubKeyRef, QStringLiteral("V"));

    // Every key opened is closed again.
    EXPECT_EQ(fake.registry.closes, fake.registry.opens);
    ASSERT_EQ(fake.registry.accessRequested.size(), 1u);
    EXPECT_EQ(fake.registry.accessRequested[0], 0x2003Fu);
    // A query, when there is one, gets a zero-filled buffer of 1024 bytes.
    for (std::size_t i = 0; i < fake.registry.offeredSizes.size(); ++i) {
        EXPECT_EQ(fake.registry.offeredSizes[i], 1024u);
        EXPECT_TRUE(fake.registry.offeredZeroed[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, GetKeyValueRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GetKeyValue, PassesKeyAndValueNamesInTheSystemCodePage) {
    fakes::FakePlatform fake;
    FrmHelp help(fake.platform);
    // 键 (U+952E, "key") and 值 (U+503C, "value"), in UTF-8 on Linux and in
    // code page 936 on Windows.
#ifdef _WIN32
    if (QString::fromUtf16(u"\u952E").toLocal8Bit() != QByteArray("\xBC\xFC")) {
        GTEST_SKIP() << "the system code page is not 936 (Wine without a Chinese locale)";
    }
    fake.registry.setString("\xBC\xFC", "\xD6\xB5", "ok");
#else
    fake.registry.setString("\xE9\x94\xAE", "\xE5\x80\xBC", "ok");
#endif
    QString KeyVal;
    EXPECT_TRUE(FrmHelpProbe::GetKeyValue(help, platform::kHKeyLocalMachine,
                                          QString::fromUtf16(u"\u952E"),
                                          QString::fromUtf16(u"\u503C"), KeyVal));
    EXPECT_EQ(KeyVal, QStringLiteral("ok"));
}

// StartSysInfo over the fakes: which keys are read, which file is tested,
// what is started, and whether the one message appears.
struct LaunchCase {
    const char* name;
    std::function<void(fakes::FakePlatform&)> setUp;
    std::vector<std::string> keysOpened;
    QStringList existenceChecks;
    QStringList started;
    bool message;
    friend std::ostream& operator<<(std::ostream& os, const LaunchCase& c) { return os << c.name; }
};

const QString kTool = QStringLiteral("C:\\Program Files\\Tools\\MSINFO32.EXE");

void Startable(fakes::FakePlatform& f, const QString& path) {
    f.process.startable << path;
}

const LaunchCase kLaunchCases[] = {
    {"BothPlacesOnlyTheFirstIsRead",
     [](auto& f) {
         f.registry.setString(kPathKey, "PATH", "C:\\First\\msinfo32.exe");
         f.registry.setString(kFolderKey, "MSINFO", "C:\\Second");
         Startable(f, QStringLiteral("C:\\First\\msinfo32.exe"));
     },
     {kPathKey},
     {},
     {QStringLiteral("C:\\First\\msinfo32.exe")},
     false},
    {"FirstPlaceIsStartedWithoutAnExistenceTest",
     [](auto& f) {
         f.registry.setString(kPathKey, "PATH", "/usr/bin/hardinfo", false);
         Startable(f, QStringLiteral("/usr/bin/hardinfo"));
     },
     {kPathKey},
     {},
     {QStringLiteral("/usr/bin/hardinfo")},
     false},
    {"SecondPlaceWithTheFile",
     [](auto& f) {
         f.registry.setString(kFolderKey, "MSINFO", "C:\\Program Files\\Tools");
         f.process.files << kTool;
         Startable(f, kTool);
     },
     {kPathKey, kFolderKey},
     {kTool},
     {kTool},
     false},
    {"SecondPlaceWithoutTheFile",
     [](auto& f) {
         f.registry.setString(kFolderKey, "MSINFO", "C:\\Program Files\\Tools");
         Startable(f, kTool);
     },
     {kPathKey, kFolderKey},
     {kTool},
     {},
     true},
    {"FolderEndingInABackslash",
     [](auto& f) {
         f.registry.setString(kFolderKey, "MSINFO", "C:\\Tools\\");
         f.process.files << QStringLiteral("C:\\Tools\\\\MSINFO32.EXE");
         Startable(f, QStringLiteral("C:\\Tools\\\\MSINFO32.EXE"));
     },
     {kPathKey, kFolderKey},
     {QStringLiteral("C:\\Tools\\\\MSINFO32.EXE")},
     {QStringLiteral("C:\\Tools\\\\MSINFO32.EXE")},
     false},
    // The failed first lookup emptied the path; the folder value of another
    // type leaves it empty.
    {"SecondPlaceOfAnotherType",
     [](auto& f) {
         f.registry.setRaw(kFolderKey, "MSINFO", kRegBinary, {'C', ':', 0});
     },
     {kPathKey, kFolderKey},
     {QStringLiteral("\\MSINFO32.EXE")},
     {},
     true},
    {"NeitherPlace", [](auto&) {}, {kPathKey, kFolderKey}, {}, {}, true},
    {"FirstKeyWithoutItsValue",
     [](auto& f) { f.registry.setString(kPathKey, "OTHER", "x"); },
     {kPathKey, kFolderKey},
     {},
     {},
     true},
    {"EmptyPath",
     [](auto& f) { f.registry.setString(kPathKey, "PATH", ""); },
     {kPathKey},
     {},
     {QString()},
     true},
    {"FirstPlaceOfAnotherTypeStartsNothing",
     [](auto& f) {
         f.registry.setRaw(kPathKey, "PATH", kRegBinary, {'C', ':', 0});
     },
     {kPathKey},
     {},
     {QString()},
     true},
    {"StartFails",
     [](auto& f) { f.registry.setString(kPathKey, "PATH", "C:\\Gone\\msinfo32.exe"); },
     {kPathKey},
     {},
     {QStringLiteral("C:\\Gone\\msinfo32.exe")},
     true},
    {"FirstValueTooLongFallsBackToSecond",
     [](auto& f) {
         f.registry.setRaw(kPathKey, "PATH", platform::kRegSz, Repeat('a', 1200, true));
         f.registry.setString(kFolderKey, "MSINFO", "C:\\Program Files\\Tools");
         f.process.files << kTool;
         Startable(f, kTool);
     },
     {kPathKey, kFolderKey},
     {kTool},
     {kTool},
     false},
};

class StartSysInfoLaunch : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(StartSysInfoLaunch, LooksUpStartsOrSaysUnavailable) {
    const LaunchCase& c = GetParam();
    fakes::FakePlatform fake;
    FrmHelp help(fake.platform);
    c.setUp(fake);

    FrmHelpProbe::StartSysInfo(help);

    EXPECT_EQ(fake.registry.openedKeys, c.keysOpened);
    EXPECT_EQ(fake.process.existenceChecks, c.existenceChecks);
    EXPECT_EQ(fake.process.started, c.started);
    EXPECT_EQ(fake.registry.closes, fake.registry.opens);
    if (c.message) {
        ASSERT_EQ(fake.messages.calls.size(), 1u);
        const auto& m = fake.messages.calls[0];
        EXPECT_EQ(m.text, kUnavailable);
        EXPECT_EQ(m.title, QStringLiteral("Morvane"));
        EXPECT_EQ(m.buttons, platform::MessageButtons::Ok);
        EXPECT_EQ(m.icon, platform::MessageIcon::None);
    } else {
        EXPECT_TRUE(fake.messages.calls.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Places, StartSysInfoLaunch, ::testing::ValuesIn(kLaunchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartSysInfo, ThePathStartsEmptyOnEveryClick) {
    fakes::FakePlatform fake;
    FrmHelp help(fake.platform);
    fake.registry.setString(kPathKey, "PATH", "C:\\First\\msinfo32.exe");
    Startable(fake, QStringLiteral("C:\\First\\msinfo32.exe"));
    FrmHelpProbe::cmdSysInfo_Click(help);

    // The value changes to a kind that gives no text: the earlier path must
    // not be started again.
    fake.registry.setRaw(kPathKey, "PATH", kRegBinary, {1, 2, 3});
    FrmHelpProbe::cmdSysInfo_Click(help);

    EXPECT_EQ(fake.process.started, (QStringList{QStringLiteral("C:\\First\\msinfo32.exe"), {}}));
    EXPECT_EQ(fake.messages.calls.size(), 1u);
}

// This machine's registry layer and launcher: the tool is whatever
// system-information program comes first on PATH, here a script that leaves
// a marker file behind.
class RealSysInfo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_savedPath = qgetenv("PATH");
        m_registry = platform::makeRegistry();
        m_process = platform::makeProcess();
    }
    void TearDown() override { qputenv("PATH", m_savedPath); }

    QString Marker() const { return m_dir.filePath(QStringLiteral("started")); }

    // Puts an executable script called name into the temporary folder.
    void PlaceTool(const QString& name) {
        QFile script(m_dir.filePath(name));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"$0\" > '" + QFile::encodeName(Marker()) + "'\n");
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ExeOwner);
    }

    platform::Platform Mixed(fakes::FakePlatform& fake) {
        return {fake.windows, fake.clipboard, fake.shell, fake.messages, *m_registry, *m_process};
    }

    QTemporaryDir m_dir;
    QByteArray m_savedPath;
    std::unique_ptr<platform::Registry> m_registry;
    std::unique_ptr<platform::Process> m_process;
};

TEST_F(RealSysInfo, StartsTheToolFoundOnPath) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows reads the tool from the real registry: no stand-in on PATH";
#endif
    PlaceTool(QStringLiteral("hardinfo"));
    qputenv("PATH", QFile::encodeName(m_dir.path()));
    fakes::FakePlatform fake;
    platform::Platform mixed = Mixed(fake);
    FrmHelp help(mixed);

    FrmHelpProbe::StartSysInfo(help);

    EXPECT_TRUE(fake.messages.calls.empty());
    for (int waited = 0; waited < 5000 && QFileInfo(Marker()).size() == 0; waited += 20) {
        QTest::qWait(20);
    }
    QFile marker(Marker());
    ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
    EXPECT_EQ(marker.readAll().trimmed(),
              QFile::encodeName(m_dir.filePath(QStringLiteral("hardinfo"))));
}

TEST_F(RealSysInfo, NoToolOnPathSaysUnavailable) {
    PlaceTool(QStringLiteral("not-a-system-information-tool"));
    qputenv("PATH", QFile::encodeName(m_dir.path()));
    fakes::FakePlatform fake;
    platform::Platform mixed = Mixed(fake);
    FrmHelp help(mixed);

    FrmHelpProbe::StartSysInfo(help);

    ASSERT_EQ(fake.messages.calls.size(), 1u);
    EXPECT_EQ(fake.messages.calls[0].text, kUnavailable);
    QTest::qWait(200);
    EXPECT_FALSE(QFile::exists(Marker()));
}

} // namespace
} // namespace morvane::ui
