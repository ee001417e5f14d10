// What a run over a site must never do to a user's files, on the real binary:
// widen who may read or write a page (access control lists, extended
// attributes, owner), replace a link named through -o DIR instead of its
// page, wait on something that is not a file; and every failure names its file.

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace morvane::tools::test {
namespace {

namespace fs = std::filesystem;

const std::string kGbPage = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<p>中文 &amp; café</p>\n";
/// UtfToGb twice is not UtfToGb once ("&amp;amp;" would lose one more level).
const std::string kTwice = "<p>&amp;amp; 中</p>";

/// The user the tests that need another user than root run as.
constexpr uid_t kOtherUser = 1000;

std::string Expected(const std::string& mode, const std::string& page) {
    return RunConvert({mode}, page).out;
}

/// Runs `command` through the shell; its status.
int Shell(const std::string& command) {
    return std::system((command + " 2>/dev/null").c_str());
}

/// What getfacl and getfattr say about a file's access control list and its user and
/// security attributes, its name left out.
std::string Permissions(const std::string& path) {
    const RunResult acl = RunProgram("getfacl", {"--omit-header", "--numeric", path});
    const RunResult attributes =
        RunProgram("getfattr", {"--absolute-names", "-d", "-m", "^(user|security)\\.", path});
    std::string text = acl.out + attributes.out;
    for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path)) {
        text.erase(at, path.size());
    }
    return text;
}

// --- who may read or write -----------------------------------------------------------------

struct PermissionCase {
    std::string name;
    std::string onFolder; // shell commands run first, "{F}" the folder and "{P}" the page
    std::string onPage;
    friend void PrintTo(const PermissionCase& c, std::ostream* os) { *os << c.name; }
};

class PermissionTest : public testing::TestWithParam<PermissionCase> {};

TEST_P(PermissionTest, InPlaceKeepsTheListsAndAttributes) {
    const ScratchDir dir;
    const fs::path folder = dir.Path() / "site";
    fs::create_directory(folder);
    const std::string page = (folder / "page.wml").string();
    const auto run = [&](std::string command) {
        for (const auto& [from, to] :
             {std::pair<std::string, std::string>{"{F}", folder.string()}, {"{P}", page}}) {
            for (std::size_t at = command.find(from); at != std::string::npos;
                 at = command.find(from, at + to.size())) {
                command.replace(at, from.size(), to);
            }
        }
        return Shell(command);
    };
    if (Shell("setfacl -m u:" + std::to_string(kOtherUser) + ":r " + folder.string()) != 0 ||
        Shell("setfattr -n user.probe -v 1 " + folder.string()) != 0) {
        GTEST_SKIP() << "the file system of " << dir.Path()
                     << " has no access control lists or user attributes (or setfacl or "
                        "setfattr is missing: packages acl and attr)";
    }
    ASSERT_EQ(run(GetParam().onFolder), 0);
    std::ofstream(page, std::ios::binary) << kGbPage;
    ASSERT_EQ(run(GetParam().onPage), 0);
    const std::string before = Permissions(page);

    const RunResult converted = RunConvert({"--gb-to-utf", "-i", page});
    EXPECT_EQ(converted.status, 0) << converted.err;
    EXPECT_EQ(ReadFileBytes(page), Expected("--gb-to-utf", kGbPage));
    EXPECT_EQ(Permissions(page), before);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PermissionTest,
    testing::Values(
        // A named user who may write, and a group that may only read under the mask rw-.
        PermissionCase{"NamedUserAndNarrowGroup", "true", "setfacl -m u:1000:rw-,g::r-- {P}"},
        PermissionCase{"UserAttributes", "true",
                       "setfattr -n user.author -v wang {P} && setfattr -n user.bin -v 0sAAEC {P}"},
        PermissionCase{"ListAndAttributesAndSetGroupId", "true",
                       "chmod 2640 {P} && setfacl -m u:1000:r--,o::--- {P} && "
                       "setfattr -n user.author -v li {P}"},
        // The folder's default list would give a new file a list the page never had.
        PermissionCase{"NoListInAFolderWithADefaultList", "setfacl -d -m u:1000:rwx {F}",
                       "setfacl -b {P} && chmod 644 {P}"}),
    [](const auto& info) { return info.param.name; });

/// Runs morvane-convert with `args` as another user than root, or as the current user when
/// that is not root; nothing when neither is possible.
std::optional<RunResult> RunAsUser(const std::vector<std::string>& args) {
    if (geteuid() != 0) {
        return RunConvert(args);
    }
    std::vector<std::string> all{"--reuid=" + std::to_string(kOtherUser),
                                 "--regid=" + std::to_string(kOtherUser), "--clear-groups",
                                 MORVANE_CONVERT_PATH};
    all.insert(all.end(), args.begin(), args.end());
    const RunResult probe = RunProgram("setpriv", {"--reuid=1000", "true"});
    if (probe.status != 0) {
        return std::nullopt;
    }
    return RunProgram("setpriv", all);
}

// A page that the user may write but not give back to its owner, and a folder the user may
// not write: the page stays as it was, and the message names the cause.
TEST(NotPermittedTest, KeepsThePageAndNamesTheCause) {
    const ScratchDir dir;
    fs::permissions(dir.Path(), fs::perms::all);
    const fs::path shared = dir.Path() / "shared";
    const fs::path closed = dir.Path() / "closed";
    fs::create_directory(shared);
    fs::create_directory(closed);
    const std::string others = (shared / "others.wml").string();
    const std::string page = (closed / "page.wml").string();
    std::ofstream(others, std::ios::binary) << kGbPage;
    std::ofstream(page, std::ios::binary) << kGbPage;
    fs::permissions(others, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                ~fs::perms::others_exec);
    fs::permissions(page, fs::perms::all);
    fs::permissions(shared, fs::perms::all);
    fs::permissions(closed, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);

    const std::optional<RunResult> folder = RunAsUser({"--gb-to-utf", "-i", page});
    if (!folder) {
        GTEST_SKIP() << "cannot run as user " << kOtherUser << " (setpriv is missing)";
    }
    EXPECT_EQ(folder->status, 1);
    EXPECT_EQ(folder->err, "morvane-convert: " + page + ": cannot write '" + page +
                               "': cannot make a file in its folder '" + closed.string() +
                               "': Permission denied\n");
    EXPECT_EQ(ReadFileBytes(page), kGbPage);

    if (geteuid() == 0) { // only root can make a page that another user may not own
        const std::optional<RunResult> owner = RunAsUser({"--gb-to-utf", "-i", others});
        EXPECT_EQ(owner->status, 1);
        EXPECT_EQ(owner->err, "morvane-convert: " + others + ": cannot write '" + others +
                                  "': cannot keep its owner and group: Operation not permitted\n");
        EXPECT_EQ(ReadFileBytes(others), kGbPage);
        EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 1);
    }
}

// --- -o DIR onto the pages' own folder --------------------------------------------------------

// A name in DIR that is the page itself is written as --in-place writes it: a link stays a
// link and its page is converted; a page named two ways is converted once.
TEST(OutputIntoOwnFolderTest, WritesThePageItselfOnce) {
    const ScratchDir dir;
    const fs::path site = dir.Path() / "site";
    fs::create_directory(site);
    fs::create_directory(dir.Path() / "shared");
    const std::string plain = (site / "a.wml").string();
    std::ofstream(plain, std::ios::binary) << kTwice;
    const std::string shared = (dir.Path() / "shared" / "t.wml").string();
    std::ofstream(shared, std::ios::binary) << kTwice;
    const std::string link = (site / "s.wml").string();
    fs::create_symlink("../shared/t.wml", link);
    const std::string plainAgain = (dir.Path() / "." / "site" / "a.wml").string();

    const RunResult run = RunConvert({"--utf-to-gb", "-o", site.string(), plain, link, plainAgain});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(shared), Expected("--utf-to-gb", kTwice));
    EXPECT_EQ(ReadFileBytes(plain), Expected("--utf-to-gb", kTwice));
    EXPECT_EQ(run.err, "morvane-convert: " + plainAgain +
                           ": note: the same file as one converted before in this run; "
                           "converted once\n");
}

// --- what is not a file -----------------------------------------------------------------------

struct KindCase {
    std::string name;
    std::vector<std::string> options; // "OUT" stands for a folder
    std::string file;                 // "FIFO", "SOCKET" or a path
    std::string kind;
    friend void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }
};

class NotAFileTest : public testing::TestWithParam<KindCase> {};

TEST_P(NotAFileTest, IsRefusedAtOnceByName) {
    const ScratchDir dir;
    std::string file = GetParam().file;
    if (file == "FIFO") {
        file = (dir.Path() / "f.wml").string();
        ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    } else if (file == "SOCKET") {
        file = (dir.Path() / "s.wml").string();
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        file.copy(address.sun_path, sizeof address.sun_path - 1);
        ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }
    std::vector<std::string> args{"10", MORVANE_CONVERT_PATH, "--gb-to-utf"};
    for (const std::string& option : GetParam().options) {
        args.push_back(option == "OUT" ? dir.Path().string() : option);
    }
    args.push_back(file);
    // timeout ends a run that waits (status 124), so that a wait fails instead of hanging.
    const RunResult run = RunProgram("timeout", args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "morvane-convert: " + file + ": cannot read: " + GetParam().kind +
                           ", not a regular file\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotAFileTest,
    testing::Values(KindCase{"FifoInPlace", {"-i"}, "FIFO", "a FIFO"},
                    KindCase{"FifoToOutputDir", {"-o", "OUT"}, "FIFO", "a FIFO"},
                    KindCase{"FifoToStandardOutput", {}, "FIFO", "a FIFO"},
                    KindCase{"SocketInPlace", {"-i"}, "SOCKET", "a socket"},
                    KindCase{"DeviceToStandardOutput", {}, "/dev/null", "a character device"}),
    [](const auto& info) { return info.param.name; });

// A target that is not a regular file, in a one-file run: the message starts with the page.
TEST(OneFileMessageTest, StartsWithThePage) {
    const ScratchDir dir;
    const std::string page = dir.Write("page.wml", kGbPage);
    fs::create_directory(dir.Path() / "out");
    const std::string target = (dir.Path() / "out" / "page.wml").string();
    ASSERT_EQ(mkfifo(target.c_str(), 0600), 0);
    const RunResult run = RunConvert({"--gb-to-utf", "-o", (dir.Path() / "out").string(), page});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "morvane-convert: " + page + ": cannot write '" + target + "': not a regular file\n");
}

} // namespace
} // namespace morvane::tools::test
