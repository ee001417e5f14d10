// The driver's files on Windows: names in Chinese through the wide calls, the
// atomic replacement of a target, what a run left behind, and inputs that are
// not files.

#include "test_support.h"

#include "tools/driver_error.h"
#include "tools/file_io.h"
#include "tools/output.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace morvane::tools::test {
namespace {

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return {name.begin(), name.end()};
}

/// The bytes of the file `path` (UTF-8), read through the wide call.
std::string ReadWide(const std::filesystem::path& path) {
    HANDLE const file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot open " << Utf8Of(path);
        return {};
    }
    std::string bytes(1024, '\0');
    DWORD got = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    ::CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

std::vector<std::string> Names(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(Utf8Of(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Names as the driver holds them, in UTF-8: Chinese, Latin with accents, and one long enough
// that the temporary file's name is cut.
class ChineseNameTest : public testing::TestWithParam<std::string> {};

TEST_P(ChineseNameTest, IsReadAndReplacedUnderItsOwnName) {
    const ScratchDir dir;
    const std::filesystem::path page =
        dir.Path() /
        std::u8string(reinterpret_cast<const char8_t*>(GetParam().data()), GetParam().size());
    const std::string name = Utf8Of(page);
    {
        ReplacementFile first(name);
        first.Write("old");
        first.Commit();
    }
    {
        InputFile input(name);
        char read[8];
        EXPECT_EQ(std::string(read, input.Read(read, sizeof read)), "old");
    }
    ReplacementFile second(name);
    second.Write("new \xE4\xB8\xAD");
    second.Commit();
    EXPECT_EQ(ReadWide(page), "new \xE4\xB8\xAD");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{GetParam()});
}

INSTANTIATE_TEST_SUITE_P(Names, ChineseNameTest,
                         testing::Values("\xE4\xB8\xAD\xE6\x96\x87.wml", "caf\xC3\xA9.wml",
                                         std::string(120, 'x') + "\xE9\xA1\xB5.wml"));

TEST(WindowsReplacementTest, RefusesAReadOnlyTargetAndLeavesIt) {
    const ScratchDir dir;
    const std::string target = dir.Write("locked.wml", "kept");
    ASSERT_NE(::SetFileAttributesW((dir.Path() / "locked.wml").c_str(), FILE_ATTRIBUTE_READONLY),
              0);
    try {
        ReplacementFile file(target);
        FAIL() << "a read-only target was accepted";
    } catch (const DriverError& error) {
        EXPECT_NE(std::string(error.what()).find("read-only"), std::string::npos) << error.what();
    }
    EXPECT_EQ(ReadFileBytes(target), "kept");
    ::SetFileAttributesW((dir.Path() / "locked.wml").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsReplacementTest, KeepsTheTargetsAttributes) {
    const ScratchDir dir;
    const std::string target = dir.Write("hidden.wml", "old");
    ASSERT_NE(::SetFileAttributesW((dir.Path() / "hidden.wml").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              0);
    ReplacementFile file(target);
    file.Write("new");
    file.Commit();
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_NE(::GetFileAttributesW((dir.Path() / "hidden.wml").c_str()) & FILE_ATTRIBUTE_HIDDEN,
              0U);
}

TEST(WindowsLeftoversTest, NamesThemAndRemovesNothing) {
    const ScratchDir dir;
    dir.Write(".page.wml.morvane-Ab12Cd", "left by a killed run, or a user's own");
    dir.Write("page.wml", "page");
    ReplacementFile live((dir.Path() / "page.wml").string()); // a live writer's file: unnamed
    const Leftovers found = SweepLeftovers(dir.Path().string());
    EXPECT_EQ(found.removed, 0U);
    EXPECT_EQ(found.unsure, std::vector<std::string>{".page.wml.morvane-Ab12Cd"});
    EXPECT_EQ(ReadFileBytes((dir.Path() / ".page.wml.morvane-Ab12Cd").string()),
              "left by a killed run, or a user's own");
}

struct NotAFile {
    std::string name;
    std::string says;
};

class NotAFileTest : public testing::TestWithParam<NotAFile> {};

TEST_P(NotAFileTest, IsRefusedWithoutWaiting) {
    const ScratchDir dir;
    std::filesystem::create_directory(dir.Path() / "folder");
    const std::string name =
        GetParam().name == "folder" ? (dir.Path() / "folder").string() : GetParam().name;
    try {
        InputFile input(name);
        FAIL() << name << " was opened";
    } catch (const DriverError& error) {
        EXPECT_EQ(std::string(error.what()), name + GetParam().says);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Devices, NotAFileTest,
    testing::Values(NotAFile{"NUL", ": cannot read: a character device, not a regular file"},
                    NotAFile{"folder", ": cannot read: Is a directory"}));

} // namespace
} // namespace morvane::tools::test
