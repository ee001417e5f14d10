// The atomic replacement itself: what a target holds when the writer gives up after
// writing part of the new content, or when the target is not a file it may replace.

#include "test_support.h"

#include "tools/driver_error.h"
#include "tools/output.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace morvane::tools::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Given up after each of these amounts: nothing, a little, and more than one write's worth.
class AbandonedReplacementTest : public testing::TestWithParam<std::size_t> {};

TEST_P(AbandonedReplacementTest, LeavesTheTargetAndNoTemporaryFile) {
    const ScratchDir dir;
    const std::string target = dir.Write("page.wml", "old content");
    {
        ReplacementFile file(target);
        file.Write(std::string(GetParam(), 'n'));
        EXPECT_EQ(file.Written(), GetParam());
        EXPECT_EQ(ReadFileBytes(target), "old content");
    }
    EXPECT_EQ(ReadFileBytes(target), "old content");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"page.wml"});
}

INSTANTIATE_TEST_SUITE_P(Amounts, AbandonedReplacementTest,
                         testing::Values(std::size_t{0}, std::size_t{5}, std::size_t{200'000}));

TEST(ReplacementTest, CommitsPiecesInOrderAndCreatesAMissingTarget) {
    const ScratchDir dir;
    const std::string target = (dir.Path() / "new.wml").string();
    std::string expected;
    ReplacementFile file(target);
    for (std::size_t size : {3, 70'000, 1, 65'536, 9}) {
        const std::string piece(size, static_cast<char>('a' + size % 26));
        file.Write(piece);
        expected += piece;
    }
    file.Commit();
    EXPECT_TRUE(ReadFileBytes(target) == expected);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"new.wml"});
}

TEST(ReplacementTest, RefusesWhatIsNotARegularFile) {
    const ScratchDir dir;
    fs::create_directory(dir.Path() / "folder");
    EXPECT_THROW(ReplacementFile((dir.Path() / "folder").string()), DriverError);
    EXPECT_THROW(ReplacementFile((dir.Path() / "none" / "page.wml").string()), DriverError);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"folder"});
}

} // namespace
} // namespace morvane::tools::test
