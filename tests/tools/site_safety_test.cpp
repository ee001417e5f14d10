// What a run over a site must never do to a user's files, on the real binary:
// widen who may read or write a page, replace a link named through -o DIR
// instead of its page, or wait on what is not a file; and every failure
// starts with its file's name.

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace morvane::tools::test {
namespace {

namespace fs = std::filesystem;

/// --utf-to-gb twice is not --utf-to-gb once ("&amp;amp;" would lose one more level).
const std::string kPage = "<p>&amp;amp; 中</p>";

std::string Converted() {
    return RunConvert({"--utf-to-gb"}, kPage).out;
}

/// Runs the shell `command` in `folder`; true when it succeeds.
bool Shell(const fs::path& folder, const std::string& command) {
    return std::system(("cd '" + folder.string() + "' && (" + command + ") 2>/dev/null").c_str()) ==
           0;
}

/// The access control list and the user and security attributes of `page`.
std::string Permissions(const std::string& page) {
    return RunProgram("getfacl", {"-cpn", page}).out +
           RunProgram("getfattr", {"--absolute-names", "-d", "-m", "^(user|security)\\.", page})
               .out;
}

struct PermissionCase {
    std::string name;
    std::string setUp; // shell commands in the folder of page.wml
    friend void PrintTo(const PermissionCase& c, std::ostream* os) { *os << c.name; }
};

class PermissionTest : public testing::TestWithParam<PermissionCase> {};

TEST_P(PermissionTest, InPlaceKeepsTheListAndTheAttributes) {
    const ScratchDir dir;
    const std::string page = dir.Write("page.wml", kPage);
    if (!Shell(dir.Path(), "setfacl -m u:1000:r . && setfattr -n user.probe -v 1 .")) {
        GTEST_SKIP() << "no access control lists or user attributes in " << dir.Path()
                     << " (or no setfacl and setfattr: packages acl and attr)";
    }
    ASSERT_TRUE(Shell(dir.Path(), GetParam().setUp));
    const std::string before = Permissions(page);
    const RunResult run = RunConvert({"--utf-to-gb", "-i", page});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(page), Converted());
    EXPECT_EQ(Permissions(page), before);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PermissionTest,
    testing::Values(
        // A named user who may write, and a group that may only read under the mask rw-.
        PermissionCase{"NamedUserAndNarrowGroup", "setfacl -m u:1000:rw-,g::r-- page.wml"},
        PermissionCase{"AttributesAndSetGroupId",
                       "chmod 2640 page.wml && setfacl -m u:1000:r-- page.wml && "
                       "setfattr -n user.author -v li page.wml && "
                       "setfattr -n user.bin -v 0sAAEC page.wml"},
        // A new file would inherit the folder's default list, which the page never had.
        PermissionCase{"NoListUnderADefaultList",
                       "setfacl -d -m u:1000:rwx . && setfacl -b page.wml"}),
    [](const auto& info) { return info.param.name; });

// As user 1000: a folder it may not write is named as the cause, and another user's page
// that it may write but not give back to its owner is left as it was.
TEST(NotPermittedTest, LeavesThePageAndNamesTheCause) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to run as user 1000 and to own a page that user may write";
    }
    std::vector<std::string> asUser{"--reuid=1000", "--regid=1000", "--clear-groups",
                                    MORVANE_CONVERT_PATH, "-V"};
    if (RunProgram("setpriv", asUser).status != 0) {
        GTEST_SKIP() << "user 1000 cannot run " << MORVANE_CONVERT_PATH << " through setpriv";
    }
    asUser.pop_back();
    const ScratchDir dir;
    ASSERT_TRUE(Shell(dir.Path(), "chmod 777 . && mkdir closed shared && chmod 777 shared"));
    for (const auto& [folder, cause] :
         {std::pair<std::string, std::string>{"closed", "cannot make a file in its folder '" +
                                                            (dir.Path() / "closed").string() +
                                                            "': Permission denied"},
          {"shared", "cannot keep its owner and group: Operation not permitted"}}) {
        const std::string page = dir.Write(folder + "/page.wml", kPage);
        chmod(page.c_str(), 0666);
        std::vector<std::string> args = asUser;
        args.insert(args.end(), {"--utf-to-gb", "-i", page});
        const RunResult run = RunProgram("setpriv", args);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err,
                  "morvane-convert: " + page + ": cannot write '" + page + "': " + cause + "\n");
        EXPECT_EQ(ReadFileBytes(page), kPage);
    }
}

// A name in DIR that is the page itself is written as --in-place writes it: a link stays a
// link and its page is converted; a page named two ways is converted once.
TEST(OutputIntoOwnFolderTest, WritesThePageItselfOnce) {
    const ScratchDir dir;
    ASSERT_TRUE(Shell(dir.Path(), "mkdir site shared && ln -s ../shared/t.wml site/s.wml"));
    const std::string plain = dir.Write("site/a.wml", kPage);
    const std::string shared = dir.Write("shared/t.wml", kPage);
    const std::string link = (dir.Path() / "site" / "s.wml").string();
    const std::string plainAgain = (dir.Path() / "." / "site" / "a.wml").string();

    const RunResult run =
        RunConvert({"--utf-to-gb", "-o", (dir.Path() / "site").string(), plain, link, plainAgain});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(shared), Converted());
    EXPECT_EQ(ReadFileBytes(plain), Converted());
    EXPECT_EQ(run.err, "morvane-convert: " + plainAgain +
                           ": note: the same file as one converted before in this run; "
                           "converted once\n");
}

struct NotAFileCase {
    std::string name;
    std::vector<std::string> args; // {FIFO} is out/page.wml, a FIFO; {PAGE} is page.wml
    std::string message;
    friend void PrintTo(const NotAFileCase& c, std::ostream* os) { *os << c.name; }
};

class NotAFileTest : public testing::TestWithParam<NotAFileCase> {};

TEST_P(NotAFileTest, IsRefusedAtOnceByName) {
    const ScratchDir dir;
    const std::string page = dir.Write("page.wml", kPage);
    fs::create_directory(dir.Path() / "out");
    const std::string fifo = (dir.Path() / "out" / "page.wml").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto fill = [&](std::string text) {
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"{FIFO}", fifo},
                                       {"{PAGE}", page},
                                       {"{OUT}", (dir.Path() / "out").string()}}) {
            for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from)) {
                text.replace(at, from.size(), to);
            }
        }
        return text;
    };
    // timeout ends a run that waits (status 124), so that a wait fails instead of hanging.
    std::vector<std::string> args{"10", MORVANE_CONVERT_PATH, "--utf-to-gb"};
    for (const std::string& arg : GetParam().args) {
        args.push_back(fill(arg));
    }
    const RunResult run = RunProgram("timeout", args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "morvane-convert: " + fill(GetParam().message) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotAFileTest,
    testing::Values(NotAFileCase{"FifoInPlace",
                                 {"-i", "{FIFO}"},
                                 "{FIFO}: cannot read: a FIFO, not a regular file"},
                    NotAFileCase{"FifoToStandardOutput",
                                 {"{FIFO}"},
                                 "{FIFO}: cannot read: a FIFO, not a regular file"},
                    NotAFileCase{"DeviceToStandardOutput",
                                 {"/dev/null"},
                                 "/dev/null: cannot read: a character device, not a regular file"},
                    // One file run: the message starts with the page, as in a run over many.
                    NotAFileCase{"FifoAsTarget",
                                 {"-o", "{OUT}", "{PAGE}"},
                                 "{PAGE}: cannot write '{FIFO}': not a regular file"}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace morvane::tools::test
