// Whole sites through the driver: the command line of -o DIR, --in-place and
// --check, many files in one run, atomic replacement (modes, links, write
// failures, leftovers of killed runs) and what --check reports, on the real
// binary. Expected results come from the single-page run on standard output.

#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace morvane::tools::test {
namespace {

namespace fs = std::filesystem;

const std::string kHint = "Try 'morvane-convert --help' for more information.";

const std::string kGbPage = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n"
                            "<wml><card id=\"c\"><p>中文 &amp; café</p></card></wml>\r\n";
const std::string kBadUtf8 = "<wml><p>ab\xFF</p></wml>";

/// The single-page result of `mode` for `page`: what each file of a run must become.
std::string Expected(const std::string& mode, const std::string& page) {
    const RunResult run = RunConvert({mode}, page);
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
}

/// The names in `dir` that are not in `known`: temporary files left behind show up here.
std::vector<std::string> Others(const fs::path& dir, const std::vector<std::string>& known) {
    std::vector<std::string> others;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end()) {
            others.push_back(name);
        }
    }
    return others;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// --- the command line ---------------------------------------------------------------------

struct UsageCase {
    std::vector<std::string> args;
    std::string message;
    friend void PrintTo(const UsageCase& c, std::ostream* os) {
        *os << testing::PrintToString(c.args);
    }
};

class DestinationUsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(DestinationUsageTest, ExitsWithTwoBeforeTouchingAnyFile) {
    const ScratchDir dir;
    const std::string page = dir.Write("a.wml", kGbPage);
    std::vector<std::string> args = GetParam().args;
    for (std::string& arg : args) {
        if (arg == "PAGE") {
            arg = page;
        }
    }
    const RunResult run = RunConvert(args, "text");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Lines(run.err),
              (std::vector<std::string>{"morvane-convert: " + GetParam().message, kHint}));
    EXPECT_EQ(ReadFileBytes(page), kGbPage);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, DestinationUsageTest,
    testing::Values(
        UsageCase{{"--encode", "-o", "out", "-i", "PAGE"},
                  "choose either -o DIR or --in-place, not both"},
        UsageCase{{"--encode", "--in-place", "--output-dir=out", "PAGE"},
                  "choose either -o DIR or --in-place, not both"},
        UsageCase{{"--encode", "-i"}, "--in-place needs at least one FILE"},
        UsageCase{{"--encode", "-o", "out"}, "-o DIR needs at least one FILE"},
        UsageCase{{"--encode", "-i", "PAGE", "-"},
                  "standard input ('-') has no file to write with --in-place"},
        UsageCase{{"--encode", "-o", "out", "-"},
                  "standard input ('-') has no file to write with -o DIR"},
        UsageCase{{"--encode", "-o", "out", "a/index.wml", "b/index.wml"},
                  "'a/index.wml' and 'b/index.wml' would both be written to 'out/index.wml'"},
        UsageCase{{"--encode", "-o"}, "option '-o' needs a folder"},
        UsageCase{{"--encode", "--output-dir="}, "option '--output-dir' needs a folder"},
        // A value that is an option is a forgotten value, not a value.
        UsageCase{{"--from-charset", "--encode", "PAGE"},
                  "option '--from-charset' needs a charset name, not '--encode' (write "
                  "--from-charset=--encode if that is meant)"},
        UsageCase{{"--encode", "-o", "-i", "PAGE"},
                  "option '-o' needs a folder, not '-i' (write --output-dir=-i if that is meant)"},
        UsageCase{{"--encode", "--to-charset", "-", "PAGE"},
                  "option '--to-charset' needs a charset name, not '-' (write --to-charset=- if "
                  "that is meant)"},
        UsageCase{{"--encode", "-x"}, "unknown option '-x'"},
        UsageCase{{"--encode", "--check=yes"}, "option '--check' takes no value"}));

TEST(ShortFormTest, AnswerAsTheLongOnes) {
    EXPECT_EQ(RunConvert({"-h"}).out, RunConvert({"--help"}).out);
    EXPECT_EQ(RunConvert({"--encode", "-V"}).out, RunConvert({"--version"}).out);
}

// --- many files ----------------------------------------------------------------------------

struct DestinationCase {
    std::string name;
    std::vector<std::string> options; // "OUT" stands for the output folder
    bool inPlace;
};

class ManyFilesTest : public testing::TestWithParam<DestinationCase> {};

// One file that cannot be decoded among good ones: it is named, left as it was, and the
// others are all converted; the status is 1 and no temporary file is left anywhere.
TEST_P(ManyFilesTest, AFailingFileIsNamedAndTheOthersConvert) {
    const ScratchDir dir;
    const fs::path out = dir.Path() / "out";
    fs::create_directory(out);
    const std::vector<std::string> names{"a.wml", "bad.wml", "c.wml", "d.wml"};
    std::vector<std::string> args{"--gb-to-utf"};
    for (const std::string& option : GetParam().options) {
        const std::size_t at = option.find("OUT");
        args.push_back(at == std::string::npos ? option : option.substr(0, at) + out.string());
    }
    std::vector<std::string> pages;
    for (std::size_t i = 0; i < names.size(); ++i) {
        pages.push_back(names[i] == "bad.wml" ? kBadUtf8 : kGbPage + std::to_string(i));
        args.push_back(dir.Write(names[i], pages.back()));
    }
    chmod(args.back().c_str(), 0640);

    const RunResult run = RunConvert(args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::vector<std::string> err = Lines(run.err);
    ASSERT_EQ(err.size(), 1u) << run.err;
    EXPECT_TRUE(err[0].starts_with("morvane-convert: " + (dir.Path() / "bad.wml").string() + ":"))
        << err[0];

    const fs::path results = GetParam().inPlace ? dir.Path() : out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string result = (results / names[i]).string();
        if (names[i] == "bad.wml") {
            EXPECT_EQ(ReadFileBytes((dir.Path() / names[i]).string()), kBadUtf8);
            EXPECT_FALSE(!GetParam().inPlace && fs::exists(result));
        } else {
            EXPECT_EQ(ReadFileBytes(result), Expected("--gb-to-utf", pages[i])) << names[i];
        }
        if (!GetParam().inPlace) {
            EXPECT_EQ(ReadFileBytes((dir.Path() / names[i]).string()), pages[i]);
        }
    }
    if (GetParam().inPlace) {
        EXPECT_EQ(ModeOf((dir.Path() / "d.wml").string()), 0640u);
    }
    EXPECT_EQ(Others(dir.Path(), {"a.wml", "bad.wml", "c.wml", "d.wml", "out"}),
              std::vector<std::string>{});
    EXPECT_EQ(Others(out, {"a.wml", "c.wml", "d.wml"}), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Destinations, ManyFilesTest,
                         testing::Values(DestinationCase{"InPlace", {"--in-place"}, true},
                                         DestinationCase{"OutputDir", {"-o", "OUT"}, false},
                                         DestinationCase{
                                             "OutputDirAttached", {"--output-dir=OUT"}, false}),
                         [](const auto& info) { return info.param.name; });

TEST(InPlaceTest, KeepsModesAndLinksAndConvertsAFileGivenTwiceOnce) {
    const ScratchDir dir;
    const std::string page = dir.Write("page.wml", kGbPage);
    const std::string script = dir.Write("run.wml", kGbPage);
    chmod(page.c_str(), 0604);
    chmod(script.c_str(), 0751);
    const std::string link = (dir.Path() / "link.wml").string();
    fs::create_symlink("page.wml", link);

    // UtfToGb twice is not UtfToGb once ("&amp;amp;" would lose one more level).
    const std::string twice = "<p>&amp;amp; 中</p>";
    const std::string same = dir.Write("same.wml", twice);
    const std::string sameAgain = (dir.Path() / "." / "same.wml").string();
    const RunResult run = RunConvert({"--utf-to-gb", "-i", link, script, same, sameAgain});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(page), Expected("--utf-to-gb", kGbPage));
    EXPECT_EQ(ModeOf(page), 0604u);
    EXPECT_EQ(ModeOf(script), 0751u);
    EXPECT_EQ(ReadFileBytes(same), Expected("--utf-to-gb", twice));
    EXPECT_NE(run.err.find("converted once"), std::string::npos) << run.err;
}

TEST(OutputDirTest, AMissingFolderFailsBeforeAnyFile) {
    const ScratchDir dir;
    const std::string page = dir.Write("a.wml", kGbPage);
    const RunResult run = RunConvert({"--encode", "-o", (dir.Path() / "none").string(), page});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    EXPECT_EQ(Others(dir.Path(), {"a.wml"}), std::vector<std::string>{});
}

// A write that fails part-way (the file-size limit, as a full disk would) leaves the
// original whole and no temporary file; a run to standard output says its result is cut.
RunResult RunWithFileSizeLimit(const std::vector<std::string>& args, rlim_t limit,
                               const std::string& outPath, const std::string& errPath) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const rlimit size{limit, limit};
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
        if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0 ||
            setrlimit(RLIMIT_FSIZE, &size) != 0) {
            _exit(126);
        }
        std::vector<char*> argv{const_cast<char*>(MORVANE_CONVERT_PATH)};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        execv(MORVANE_CONVERT_PATH, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadFileBytes(outPath);
    result.err = ReadFileBytes(errPath);
    return result;
}

TEST(WriteFailureTest, LeavesTheOriginalAndNoTemporaryFile) {
    const ScratchDir dir;
    std::string page;
    while (page.size() < 400'000) {
        page += "<p>中文 text &amp; more</p>\n";
    }
    const std::string big = dir.Write("big.wml", page);
    const std::string small = dir.Write("small.wml", "<p>中</p>");
    const std::string out = (dir.Path() / "out").string();
    const std::string err = (dir.Path() / "err").string();
    // The limit lets the small page through and stops the big one's result part-way.
    const RunResult run = RunWithFileSizeLimit({"--encode", "-i", big, small}, 300'000, out, err);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(big), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("File too large"), std::string::npos) << run.err;
    EXPECT_TRUE(ReadFileBytes(big) == page);
    EXPECT_EQ(ReadFileBytes(small), "<p>&#x4E2D;</p>");
    EXPECT_EQ(Others(dir.Path(), {"big.wml", "small.wml", "out", "err"}),
              std::vector<std::string>{});
}

// A file named like a temporary file is removed only when it is provably a leftover of a
// killed run: it carries the mark this program gives its temporary files (the file's own
// device and inode numbers and its name), and no live writer holds it locked. A user's file
// of that shape, a copy of a leftover or one renamed stays and is named; one held by a live
// run stays unnamed.
class LeftoverTest : public testing::TestWithParam<bool> {}; // in place, or into -o DIR

/// Marks `path` as a temporary file of the program's own, as made for the file `asIf`;
/// false when the file system has no user extended attributes.
bool MarkAsTemporary(const std::string& path, const std::string& asIf) {
    struct stat info {};
    EXPECT_EQ(stat(asIf.c_str(), &info), 0);
    const std::string value = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) +
                              ":" + fs::path(asIf).filename().string();
    return setxattr(path.c_str(), "user.morvane-convert.temporary", value.data(), value.size(),
                    0) == 0;
}

TEST_P(LeftoverTest, OnlyProvableLeftoversAreRemoved) {
    const ScratchDir dir;
    const std::string page = dir.Write("page.wml", kGbPage);
    fs::create_directory(dir.Path() / "out");
    const fs::path folder = GetParam() ? dir.Path() : dir.Path() / "out";
    const auto write = [&](const std::string& name, const std::string& bytes) {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    };
    const std::string left = write(".page.wml.morvane-Ab12Cd", "cut sh");
    const std::string held = write(".other.wml.morvane-Zz9900", "being written");
    const std::string copied = write(".other.wml.morvane-Cp0000", "a copy of a leftover");
    const std::string renamed = write(".other.wml.morvane-Rn0000", "renamed");
    if (!MarkAsTemporary(left, left) || !MarkAsTemporary(held, held) ||
        !MarkAsTemporary(copied, held) || !MarkAsTemporary(renamed, renamed)) {
        GTEST_SKIP() << "the file system of " << folder << " has no user extended attributes";
    }
    fs::rename(renamed, folder / ".other.wml.morvane-Rn1111");
    const std::string backup = write(".index.wml.morvane-backup", "draft");
    const std::string alike = write(".page.wml.morvane-Qw34Er", "a user's file");
    const std::string notShaped = write(".page.wml.morvane-notmine", "a user's file");
    const int fd = open(held.c_str(), O_RDONLY);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);

    const RunResult run = RunConvert(
        GetParam() ? std::vector<std::string>{"--gb-to-utf", "-i", page}
                   : std::vector<std::string>{"--gb-to-utf", "-o", folder.string(), page});
    close(fd);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(fs::exists(left));
    for (const std::string& kept : {held, copied, backup, alike, notShaped}) { // renamed, too
        EXPECT_TRUE(fs::exists(kept)) << kept;
    }
    EXPECT_EQ(ReadFileBytes(backup), "draft");
    const std::string unsure = ": note: left alone: named like a temporary file of this program, "
                               "but not shown to be one it left";
    std::vector<std::string> expected{
        "morvane-convert: " + backup + unsure, "morvane-convert: " + copied + unsure,
        "morvane-convert: " + alike + unsure,
        "morvane-convert: " + (folder / ".other.wml.morvane-Rn1111").string() + unsure,
        "morvane-convert: " + folder.string() +
            ": note: removed 1 temporary file(s) left by a run that was stopped part-way"};
    std::vector<std::string> notes = Lines(run.err);
    std::sort(expected.begin(), expected.end());
    std::sort(notes.begin(), notes.end());
    EXPECT_EQ(notes, expected);
}

INSTANTIATE_TEST_SUITE_P(Destinations, LeftoverTest, testing::Bool(),
                         [](const auto& info) { return info.param ? "InPlace" : "OutputDir"; });

// --- --check ---------------------------------------------------------------------------------

struct CheckCase {
    std::string name;
    std::vector<std::string> args;
    std::string page;
    std::vector<std::string> problems; // each after "FILE:"
    friend void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }
};

class CheckTest : public testing::TestWithParam<CheckCase> {};

TEST_P(CheckTest, ReportsEachProblemWithItsPlaceAndStillWrites) {
    const ScratchDir dir;
    const std::string path = dir.Write("page.wml", GetParam().page);
    std::vector<std::string> args = GetParam().args;
    args.push_back("--check");
    args.push_back(path);
    const RunResult run = RunConvert(args);
    std::vector<std::string> expected;
    for (const std::string& problem : GetParam().problems) {
        expected.push_back(path + ":" + problem);
    }
    std::vector<std::string> reported; // the conversion's own notes aside
    for (const std::string& line : Lines(run.err)) {
        if (line.find(": note: ") == std::string::npos) {
            reported.push_back(line);
        }
    }
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(run.status, expected.empty() ? 0 : 3);
    args.pop_back();
    args.pop_back();
    EXPECT_EQ(run.out, RunConvert(args, GetParam().page).out);

    // xmllint, the same parser's own front end, refuses the same pages; an entity unknown to
    // WML is only what a WML gateway refuses, beyond XML's well-formedness.
    const std::string written = dir.Write("written.wml", run.out);
    const bool xmllintRefuses =
        std::system(("xmllint --nonet --noout '" + written + "' 2>/dev/null").c_str()) != 0;
    // xmllint does not know WML's own entities without the WML DTD, which it never fetches.
    const bool unknownEntityOnly = GetParam().name == "OnlyWmlEntitiesUnderTheDoctype";
    if (!GetParam().name.starts_with("WmlEntities")) {
        EXPECT_EQ(xmllintRefuses, !expected.empty() && !unknownEntityOnly);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CheckTest,
    testing::Values(
        CheckCase{"WellFormed", {"--gb-to-utf"}, kGbPage, {}},
        CheckCase{"OnlyWmlEntitiesUnderTheDoctype",
                  {"--decode"},
                  "<?xml version=\"1.0\"?>\n<!DOCTYPE wml PUBLIC \"-//WAPFORUM//DTD WML 1.1//EN\" "
                  "\"http://www.wapforum.org/DTD/wml_1.1.xml\">\n<wml><card><p>a&nbsp;b&shy;c</p>"
                  "&foo;</card></wml>\n",
                  {"3:38: Entity 'foo' not defined"}},
        CheckCase{"TagMismatch",
                  {"--decode"},
                  "<wml>\n<card>\n<p>text</card>\n</wml>\n",
                  {"3:15: Opening and ending tag mismatch: p line 3 and card",
                   "4:7: Opening and ending tag mismatch: card line 2 and wml",
                   "5:1: Premature end of data in tag wml line 1"}},
        CheckCase{"BareAmpersandLeftByDecode",
                  {"--decode"},
                  "<p>a & b</p>",
                  {"1:7: xmlParseEntityRef: no name"}},
        // WML's entities are known whatever the DOCTYPE says; any other is reported.
        CheckCase{"WmlEntitiesWithoutDoctype",
                  {"--decode"},
                  "<wml><card><p>a&nbsp;b&shy;c</p>&foo;</card></wml>",
                  {"1:38: Entity 'foo' not defined"}},
        CheckCase{
            "WmlEntitiesUnderADoctypeWithoutDtd",
            {"--decode"},
            "<!DOCTYPE wml>\n<wml><card><p title=\"a&nbsp;b\">a&nbsp;b&shy;c</p></card></wml>",
            {}},
        // The declaration names gb2312, but the bytes are UTF-8.
        CheckCase{"DeclaredGb2312WrittenInUtf8",
                  {"--decode", "--from-charset", "UTF-8", "--to-charset", "UTF-8"},
                  "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<p>\xE4\xB8\xAD</p>",
                  // E4B8 is a GB2312 character; AD3C is none.
                  {"2:5: the declaration says encoding=\"gb2312\", but bytes 0xAD 0x3C are not "
                   "valid gb2312"}},
        CheckCase{"NoDeclarationNotUtf8",
                  {"--decode", "--to-charset", "GB2312"},
                  "<p>\xE4\xB8\xAD</p>",
                  {"1:4: no encoding is declared, so the page reads as UTF-8, but bytes 0xD6 "
                   "0xD0 are not valid UTF-8"}}),
    [](const auto& info) { return info.param.name; });

TEST(CheckExitTest, AFailedFileOutranksProblemsAndInPlaceResultsAreWritten) {
    const ScratchDir dir;
    const std::string broken = dir.Write("broken.wml", "<p>a & b</p>");
    const std::string bad = dir.Write("bad.wml", kBadUtf8);
    const RunResult problems = RunConvert({"--decode", "--check", "-i", broken});
    EXPECT_EQ(problems.status, 3);
    EXPECT_EQ(ReadFileBytes(broken), "<p>a & b</p>");
    const RunResult both = RunConvert({"--decode", "--check", "-i", broken, bad});
    EXPECT_EQ(both.status, 1);
    EXPECT_NE(both.err.find(broken + ":1:7:"), std::string::npos) << both.err;
}

} // namespace
} // namespace morvane::tools::test
